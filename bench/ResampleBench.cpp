#include <benchmark/benchmark.h>

#include <fstream>

#include "raster/Jpeg.h"
#include "raster/Resample.h"
#include "raster/Tone.h"
#include "testsupport/JpegTools.h"
#include "testsupport/TestRaster.h"

namespace lisko {
namespace {

// A camera photo of a page as the import meets it, made once for all benchmarks.
const TFastDIB& CameraPhoto() {
    static const TFastDIB photo = test::PageLike24(4000, 3000, 1);
    return photo;
}

// The same photo at its working size.
const TFastDIB& WorkingCopy() {
    static const TFastDIB copy = [] {
        TFastDIB c = TFastDIB::CreateBlank(1500, 1125, 24);
        ResizeSmooth(CameraPhoto(), c);
        return c;
    }();
    return copy;
}

void SetPixelsProcessed(benchmark::State& state, const TFastDIB& dest) {
    state.SetItemsProcessed(state.iterations() * dest.Width() * dest.RowCount());
}

// The yardstick for the resize: decoding the photo it resizes, which the import does first.
void BM_LoadJpeg4000x3000(benchmark::State& state) {
    const test::TempDir dir;
    const auto file = dir / "photo.jpg";
    const std::vector<std::uint8_t> bytes = EncodeJpeg(CameraPhoto(), 85);
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    for (auto _ : state) {
        TFastDIB photo = TFastDIB::LoadJpegFile(file);
        benchmark::DoNotOptimize(photo.Row(0));
    }
}
BENCHMARK(BM_LoadJpeg4000x3000)->Unit(benchmark::kMillisecond);

void BM_ResizeSmooth4000x3000To1500x1125(benchmark::State& state) {
    const TFastDIB& source = CameraPhoto();
    TFastDIB dest = TFastDIB::CreateBlank(1500, 1125, 24);
    for (auto _ : state) {
        ResizeSmooth(source, dest);
        benchmark::ClobberMemory();
    }
    SetPixelsProcessed(state, dest);
}
BENCHMARK(BM_ResizeSmooth4000x3000To1500x1125)->Unit(benchmark::kMillisecond);

void BM_ResizeFast1500x1125To200x200(benchmark::State& state) {
    const TFastDIB& source = WorkingCopy();
    TFastDIB dest = TFastDIB::CreateBlank(200, 200, 24);
    for (auto _ : state) {
        ResizeFast(source, dest);
        benchmark::ClobberMemory();
    }
    SetPixelsProcessed(state, dest);
}
BENCHMARK(BM_ResizeFast1500x1125To200x200)->Unit(benchmark::kMicrosecond);

// A quarter turn of the working copy, in colour and (as the thumbnail of a black-and-white photo
// turns it) in grey.
void BM_RotateInto90Of1500x1125(benchmark::State& state) {
    const int bits = static_cast<int>(state.range(0));
    TFastDIB grey;
    if (bits == 8) WorkingCopy().ToGray8(grey);
    const TFastDIB& source = bits == 8 ? grey : WorkingCopy();
    TFastDIB dest = TFastDIB::CreateBlank(1125, 1500, bits);
    for (auto _ : state) {
        RotateInto(source, dest, 65536, 90);
        benchmark::ClobberMemory();
    }
    SetPixelsProcessed(state, dest);
}
BENCHMARK(BM_RotateInto90Of1500x1125)
    ->ArgName("bits")
    ->Arg(24)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond);

void BM_AutoLevels1500x1125(benchmark::State& state) {
    TFastDIB raster = TFastDIB::CreateBlank(1500, 1125, 24);
    for (auto _ : state) {
        state.PauseTiming();
        WorkingCopy().ConvertInto(raster);
        state.ResumeTiming();
        AutoLevels(raster);
        benchmark::ClobberMemory();
    }
    SetPixelsProcessed(state, raster);
}
BENCHMARK(BM_AutoLevels1500x1125)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lisko
