#include <benchmark/benchmark.h>

#include <QString>
#include <algorithm>
#include <chrono>
#include <limits>
#include <memory>
#include <vector>

#include "pages/Advertisements.h"
#include "pages/PageComposer.h"
#include "raster/Jpeg.h"
#include "testsupport/JpegTools.h"
#include "testsupport/TestRaster.h"

namespace lisko {
namespace {

using Clock = std::chrono::steady_clock;

// Nine 1500 x 1125 photos of pages, imported as the program imports them (black and white,
// turned upright), and a list on which they fill page 2 of a 3 x 3 layout: slots 9 to 17 hold
// photos 8 to 16, no advertisement among them.
struct NinePhotos {
    test::TempDir dir;
    std::vector<std::unique_ptr<TLisko>> photos;
    PageSources sources;

    NinePhotos() {
        for (std::uint32_t i = 0; i < 9; ++i) {
            const std::vector<std::uint8_t> jpeg =
                EncodeJpeg(test::PageLike24(1500, 1125, i + 1), 85);
            const std::filesystem::path file = dir / ("page" + std::to_string(i) + ".jpg");
            test::WriteFileBytes(file, {jpeg.begin(), jpeg.end()});
            photos.push_back(std::make_unique<TLisko>(QString::fromStdString(file.string()),
                                                      QString::fromStdString(dir.Path().string())));
        }
        sources.layout = {3, 3, SlotOrder::RowWise};
        for (int i = 0; i < 17; ++i)
            sources.photos.push_back(photos[static_cast<std::size_t>(std::max(0, i - 8))].get());
        sources.previewAdvertisement = PreviewAdvertisement();
        sources.printAdvertisement = PrintAdvertisement();
        sources.today = QDate(2024, 5, 5);
    }
};

NinePhotos& Photos() {
    static NinePhotos photos;
    return photos;
}

constexpr int kPageWithNinePhotos = 1;

// The yardstick: the nine renderings one after another, nothing drawn.
double NineRenderingsSeconds() {
    const Clock::time_point start = Clock::now();
    for (const auto& photo : Photos().photos) {
        QImage rendering = photo->Render(true);
        benchmark::DoNotOptimize(rendering.constBits());
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A print page of the nine photos against the nine renderings alone, measured in turn in every
// iteration so that both meet the same state of the machine and of the memory allocator. The
// counter relates the fastest page to the fastest renderings: 1.0 would be no cost beyond
// rendering.
void BM_ComposePrintPage(benchmark::State& state) {
    PageSources sources = Photos().sources;
    sources.rendering = state.range(0) == 1 ? Rendering::OneAtATime : Rendering::TwoAtATime;
    double renderings = std::numeric_limits<double>::max();
    double composing = std::numeric_limits<double>::max();
    for (auto _ : state) {
        state.PauseTiming();
        renderings = std::min(renderings, NineRenderingsSeconds());
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        QImage page = ComposePage(kPrintScale, kPageWithNinePhotos, sources);
        composing =
            std::min(composing, std::chrono::duration<double>(Clock::now() - start).count());
        benchmark::DoNotOptimize(page.constBits());
    }
    state.counters["renderings_ms"] = renderings * 1000;
    state.counters["page_ms"] = composing * 1000;
    state.counters["vs_renderings"] = composing / renderings;
}
BENCHMARK(BM_ComposePrintPage)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The preview of the same page: thumbnails only, run on every change in the editor.
void BM_ComposePreviewPage(benchmark::State& state) {
    const PageSources& sources = Photos().sources;
    for (auto _ : state) {
        QImage page = ComposePage(kPreviewScale, kPageWithNinePhotos, sources);
        benchmark::DoNotOptimize(page.constBits());
    }
}
BENCHMARK(BM_ComposePreviewPage)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lisko
