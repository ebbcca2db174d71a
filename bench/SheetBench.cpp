#include <benchmark/benchmark.h>

#include <QString>
#include <stdexcept>

#include "photo/Content.h"
#include "photo/Lisko.h"
#include "photo/Sheet.h"
#include "testsupport/JpegTools.h"
#include "testsupport/SheetPhotos.h"

namespace lisko {
namespace {

// A 2048 x 1536 photo of a sheet on a wooden desk: its working copy is 1500 x 1125.
struct SheetFixture {
    test::TempDir dir;
    test::TempDir scratch;
    std::unique_ptr<TLisko> photo;
    TFastDIB working;

    SheetFixture() {
        const test::SheetScene scene = test::SheetScenes()[1];
        const QString file = QString::fromStdString((dir / "sheet.jpg").string());
        test::SaveSheetPhoto(scene, file);
        photo = std::make_unique<TLisko>(file, QString::fromStdString(scratch.Path().string()));
        working = TFastDIB::LoadJpegFile(photo->WorkFile.toStdString());
        if (working.Width() != 1500 || working.Height() != 1125)
            throw std::logic_error("the working copy is not 1500 x 1125");
    }
};

SheetFixture& Sheet() {
    static SheetFixture fixture;
    return fixture;
}

// Finding the sheet in the decoded working copy and undistorting it.
void BM_SheetDetectAndStraighten(benchmark::State& state) {
    const TFastDIB& working = Sheet().working;
    for (auto _ : state) {
        const std::optional<SheetQuad> corners = DetectSheet(working);
        if (!corners) throw std::logic_error("no sheet found");
        TFastDIB sheet = StraightenSheet(working, *corners);
        benchmark::DoNotOptimize(sheet.Row(0));
    }
}
// OpenCV spreads the warp over threads: wall time is the fair measure for both.
BENCHMARK(BM_SheetDetectAndStraighten)->Unit(benchmark::kMillisecond)->UseRealTime();

// Finding the writing in the decoded working copy, turned as the photo is.
void BM_ContentOfWorkingCopy(benchmark::State& state) {
    const TFastDIB& working = Sheet().working;
    const Turn turn = Sheet().photo->TurnOf();
    for (auto _ : state) {
        benchmark::DoNotOptimize(DetectContent(working, turn));
    }
}
BENCHMARK(BM_ContentOfWorkingCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same from the photo's settings, decoding its working copy as a rendering does.
void BM_ContentOfPhoto(benchmark::State& state) {
    const TLisko& photo = *Sheet().photo;
    for (auto _ : state) {
        benchmark::DoNotOptimize(DetectContentIn(photo, photo.WorkingSize()));
    }
}
BENCHMARK(BM_ContentOfPhoto)->Unit(benchmark::kMillisecond)->UseRealTime();

// The yardstick: the same photo's black-and-white rendering with crop and thumbnail,
// unstraightened.
void BM_SheetPhotoRenderBlackWhite(benchmark::State& state) {
    TLisko& photo = *Sheet().photo;
    for (auto _ : state) {
        QImage rendering = photo.Render(true);
        benchmark::DoNotOptimize(rendering.constBits());
    }
}
BENCHMARK(BM_SheetPhotoRenderBlackWhite)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace lisko
