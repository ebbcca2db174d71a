#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "photo/BlackWhiteFilter.h"
#include "raster/Jpeg.h"
#include "testsupport/JpegTools.h"
#include "testsupport/TestRaster.h"

namespace lisko {
namespace {

// The largest working copy a photo item keeps: 1500 pixels a side.
constexpr int kSide = 1500;

// The machine is shared, so with --benchmark_repetitions the fastest run is the steadiest figure.
double Fastest(const std::vector<double>& runs) {
    return *std::min_element(runs.begin(), runs.end());
}

const TFastDIB& Page() {
    static const TFastDIB page = test::PageLike24(kSide, kSide, 1);
    return page;
}

// The filter at the editor's defaults (contrast 0: one smoothing pass) and at its most
// (contrast 20: 21 passes), brightness 1 (2 x 2 tiles) as for a new photo.
void BM_BlackWhiteFilter(benchmark::State& state) {
    const int contrast = static_cast<int>(state.range(0));
    TFastDIB picture = TFastDIB::CreateBlank(kSide, kSide, 24);
    for (auto _ : state) {
        state.PauseTiming();
        Page().ConvertInto(picture);
        state.ResumeTiming();
        BlackWhiteFilter(1, 1, contrast, picture);
        benchmark::DoNotOptimize(picture.Row(0));
    }
}
BENCHMARK(BM_BlackWhiteFilter)
    ->ArgName("Contrast")
    ->Arg(0)
    ->Arg(20)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", Fastest);

// The yardstick: libjpeg decoding the same page as a quality-85 working copy.
void BM_LoadJpegFile(benchmark::State& state) {
    const test::TempDir dir;
    const std::vector<std::uint8_t> jpeg = EncodeJpeg(Page(), 85);
    test::WriteFileBytes(dir / "page.jpg", std::vector<char>(jpeg.begin(), jpeg.end()));
    for (auto _ : state) {
        TFastDIB decoded = TFastDIB::LoadJpegFile(dir / "page.jpg");
        benchmark::DoNotOptimize(decoded.Row(0));
    }
}
BENCHMARK(BM_LoadJpegFile)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);

}  // namespace
}  // namespace lisko
