#include <benchmark/benchmark.h>

#include <QString>
#include <memory>

#include "photo/ImportBatch.h"
#include "photo/Lisko.h"
#include "raster/Jpeg.h"
#include "raster/Resample.h"
#include "testsupport/JpegTools.h"
#include "testsupport/TestRaster.h"

namespace lisko {
namespace {

QString Q(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}

struct Fixture {
    test::TempDir dir;
    std::filesystem::path camera = dir / "camera.jpg";
    std::filesystem::path working = dir / "working.jpg";
    TFastDIB normalised;

    Fixture() {
        // A 12-megapixel photo of a page at a camera's usual quality.
        const TFastDIB photo = test::PageLike24(4000, 3000, 5);
        const std::vector<std::uint8_t> jpeg = EncodeJpeg(photo, 92);
        test::WriteFileBytes(camera, std::vector<char>(jpeg.begin(), jpeg.end()));
        normalised = TFastDIB::CreateBlank(1500, 1125, 24);
        ResizeSmooth(photo, normalised);
        const std::vector<std::uint8_t> copy = EncodeJpeg(normalised, 85);
        test::WriteFileBytes(working, std::vector<char>(copy.begin(), copy.end()));
    }
};

Fixture& Files() {
    static Fixture fixture;
    return fixture;
}

// The whole import of a camera photo: decode, resample to 1500 pixels, levels, working copy,
// first rendering and thumbnail; the destructor's file deletion is included. The argument is the
// number of threads the kernels' row loops use.
void BM_ImportCameraPhoto(benchmark::State& state) {
    const Fixture& files = Files();
    const test::TempDir scratch;
    const test::RasterThreadsScope threads(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TLisko photo(Q(files.camera), Q(scratch.Path()));
        benchmark::DoNotOptimize(photo.Thumbnail.constBits());
    }
}
BENCHMARK(BM_ImportCameraPhoto)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Twenty camera photos imported as a batch, the way the window and the print command do: one
// worker per thread.
void BM_ImportBatchOfTwenty(benchmark::State& state) {
    const Fixture& files = Files();
    const test::TempDir scratch;
    const test::RasterThreadsScope threads(static_cast<int>(state.range(0)));
    QStringList twenty;
    for (int k = 0; k < 20; ++k)
        twenty << Q(files.camera);
    for (auto _ : state) {
        ImportBatch batch(twenty, Q(scratch.Path()));
        for (int k = 0; k < twenty.size(); ++k)
            benchmark::DoNotOptimize(batch.Take(k)->Thumbnail.constBits());
    }
}
BENCHMARK(BM_ImportBatchOfTwenty)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// What no import can avoid: decoding the camera photo and encoding the 1500 x 1125 working copy.
void BM_ImportYardstick(benchmark::State& state) {
    const Fixture& files = Files();
    for (auto _ : state) {
        TFastDIB decoded = TFastDIB::LoadJpegFile(files.camera);
        benchmark::DoNotOptimize(decoded.Row(0));
        std::vector<std::uint8_t> jpeg = EncodeJpeg(files.normalised, 85);
        benchmark::DoNotOptimize(jpeg.data());
    }
}
BENCHMARK(BM_ImportYardstick)->Unit(benchmark::kMillisecond)->UseRealTime();

enum class Mode { Colour, BlackWhiteContrast0, BlackWhiteContrast20 };

// A landscape 1500 x 1125 working copy set to the mode in the benchmark's first argument.
std::unique_ptr<TLisko> PhotoInMode(const test::TempDir& scratch, Mode mode) {
    auto photo = std::make_unique<TLisko>(Q(Files().working), Q(scratch.Path()));
    photo->ImageType = mode == Mode::Colour ? 0 : 1;
    photo->Brightness = mode == Mode::Colour ? 2 : 1;
    photo->Contrast = mode == Mode::BlackWhiteContrast20 ? 20 : 1;
    if (mode == Mode::BlackWhiteContrast0) photo->Contrast = 0;
    return photo;
}

void RenderArguments(benchmark::internal::Benchmark* b) {
    b->ArgNames({"Colour0_BW1_BW20", "threads"})
        ->ArgsProduct({{static_cast<int>(Mode::Colour), static_cast<int>(Mode::BlackWhiteContrast0),
                        static_cast<int>(Mode::BlackWhiteContrast20)},
                       {1, 2}})
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

// A whole rendering (turned, with crop, thumbnail refreshed), as printing makes it.
void BM_Render(benchmark::State& state) {
    const test::TempDir scratch;
    const std::unique_ptr<TLisko> photo = PhotoInMode(scratch, static_cast<Mode>(state.range(0)));
    const test::RasterThreadsScope threads(static_cast<int>(state.range(1)));
    for (auto _ : state) {
        QImage rendering = photo->Render(true);
        benchmark::DoNotOptimize(rendering.constBits());
    }
}
BENCHMARK(BM_Render)->Apply(RenderArguments);

// The thumbnail alone, as the import and apply to many make it.
void BM_RenderThumbnail(benchmark::State& state) {
    const test::TempDir scratch;
    const std::unique_ptr<TLisko> photo = PhotoInMode(scratch, static_cast<Mode>(state.range(0)));
    const test::RasterThreadsScope threads(static_cast<int>(state.range(1)));
    for (auto _ : state) {
        photo->RenderThumbnail();
        benchmark::DoNotOptimize(photo->Thumbnail.constBits());
    }
}
BENCHMARK(BM_RenderThumbnail)->Apply(RenderArguments);

}  // namespace
}  // namespace lisko
