#include <gtest/gtest.h>

#include <string>

#include <QException>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "editor/ApplyToMany.h"
#include "raster/FastDIB.h"
#include "raster/Jpeg.h"
#include "testsupport/TestRaster.h"

namespace lisko {
namespace {

struct FlagCase {
    const char* name;
    ApplyFlags flags;
    TLiskoData expected;  // the target's settings after taking over the source's
};

TLiskoData Settings(int type, int rotation, int brightness, int contrast, int left, int right,
                    int top, int bottom) {
    TLiskoData p;
    p.ImageType = type;
    p.Rotation = rotation;
    p.Brightness = brightness;
    p.Contrast = contrast;
    p.CropLeft = left;
    p.CropRight = right;
    p.CropTop = top;
    p.CropBottom = bottom;
    p.WorkFile = QStringLiteral("target.jpg");
    return p;
}

class AppliedSettings : public ::testing::TestWithParam<FlagCase> {};

// Each check box takes over exactly its own settings; the target keeps everything else, its
// working copy and its sheet among them.
TEST_P(AppliedSettings, TakeOverTheFlagsGroupsOnly) {
    const TLiskoData target = Settings(0, 0, 0, 0, 0, 0, 0, 0);
    TLiskoData source = Settings(1, 3, 5, -5, 10, 11, 12, 13);
    source.WorkFile = QStringLiteral("source.jpg");
    source.Straighten = true;
    source.SheetCorners = SheetQuad{};
    EXPECT_EQ(AppliedParameters(target, source, GetParam().flags), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, AppliedSettings,
    ::testing::Values(
        FlagCase{"None", {}, Settings(0, 0, 0, 0, 0, 0, 0, 0)},
        FlagCase{"Type", ApplyFlag::ApplyType, Settings(1, 0, 0, 0, 0, 0, 0, 0)},
        FlagCase{"Rotation", ApplyFlag::ApplyRotation, Settings(0, 3, 0, 0, 0, 0, 0, 0)},
        FlagCase{"Tone", ApplyFlag::ApplyTone, Settings(0, 0, 5, -5, 0, 0, 0, 0)},
        FlagCase{"Crop", ApplyFlag::ApplyCrop, Settings(0, 0, 0, 0, 10, 11, 12, 13)},
        // Straightening is the worker's: the settings stay.
        FlagCase{"Straighten", ApplyFlag::ApplyStraighten, Settings(0, 0, 0, 0, 0, 0, 0, 0)},
        FlagCase{"All",
                 ApplyFlag::ApplyType | ApplyFlag::ApplyRotation | ApplyFlag::ApplyTone |
                     ApplyFlag::ApplyCrop,
                 Settings(1, 3, 5, -5, 10, 11, 12, 13)}),
    [](const auto& row) { return std::string(row.param.name); });

// Five small photos on a list; photo 0 is the source unless a test says otherwise.
class ApplyRun : public ::testing::Test {
protected:
    static constexpr int kPhotos = 5;

    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        for (int i = 0; i < kPhotos; ++i) {
            const QString path = dir_.filePath(QStringLiteral("p%1.jpg").arg(i));
            const std::vector<std::uint8_t> jpeg =
                EncodeJpeg(test::PageLike24(60, 90, static_cast<std::uint32_t>(i)), 85);
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(reinterpret_cast<const char*>(jpeg.data()),
                       static_cast<qint64>(jpeg.size()));
            file.close();
            list_.Insert(i, path, std::make_unique<TLisko>(path, dir_.path()));
        }
        source_ = &list_.Photo(0);
        source_->Brightness = 7;
        source_->Contrast = -3;
    }

    TLisko& Photo(int i) { return list_.Photo(i); }

    // Runs apply to many for brightness and contrast; the indices it reported, in order.
    std::vector<int> Run(ApplyScope scope, const ApplyToMany::Progress& also = {}) {
        std::vector<int> reported;
        ApplyRequest request;
        request.flags = ApplyFlag::ApplyTone;
        request.scope = scope;
        ApplyToMany run(list_, source_, request, [&](int index) {
            reported.push_back(index);
            if (also) also(index);
        });
        run.Run();
        return reported;
    }

    bool Applied(int i) { return Photo(i).Brightness == 7 && Photo(i).Contrast == -3; }

    QTemporaryDir dir_;
    PhotoList list_;
    TLisko* source_ = nullptr;
};

struct ScopeCase {
    const char* name;
    ApplyScope scope;
    std::vector<int> changed;
};

class ApplyScopes : public ApplyRun, public ::testing::WithParamInterface<ScopeCase> {};

// The photos in scope take the settings, in the list's order, each with the thumbnail its own
// rendering gives; the others keep theirs.
TEST_P(ApplyScopes, ChangeThePhotosInScope) {
    const test::RasterThreadsScope threads(2);
    std::vector<QImage> thumbnails;
    for (int i = 0; i < kPhotos; ++i)
        thumbnails.push_back(Photo(i).Thumbnail);

    EXPECT_EQ(Run(GetParam().scope), GetParam().changed);
    for (int i = 0; i < kPhotos; ++i) {
        const bool changed = std::find(GetParam().changed.begin(), GetParam().changed.end(), i) !=
                             GetParam().changed.end();
        EXPECT_EQ(Applied(i), changed || i == 0) << "photo " << i;
        const QImage applied = Photo(i).Thumbnail;
        EXPECT_EQ(applied == thumbnails[static_cast<std::size_t>(i)], !changed) << "photo " << i;
        if (!changed) continue;
        Photo(i).RenderThumbnail();
        EXPECT_EQ(Photo(i).Thumbnail, applied) << "photo " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Scopes, ApplyScopes,
                         ::testing::Values(ScopeCase{"All", ApplyScope::ScopeAll, {0, 1, 2, 3, 4}},
                                           ScopeCase{"Odd", ApplyScope::ScopeOdd, {0, 2, 4}},
                                           ScopeCase{"Even", ApplyScope::ScopeEven, {1, 3}}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(ApplyRun, NothingInScopeReportsNothing) {
    while (list_.Count() > 1)
        list_.Remove(1);
    EXPECT_TRUE(Run(ApplyScope::ScopeEven).empty());
}

// While the photos are under way the event loop runs: a photo the user changes after its start
// keeps that change, a photo removed before its start is skipped.
TEST_F(ApplyRun, PhotosChangedOrRemovedMeanwhileKeepWhatTheyHave) {
    const test::RasterThreadsScope threads(2);
    TLisko* removed = &Photo(3);
    QTimer::singleShot(0, [this, removed] {
        Photo(1).CropLeft = 20;
        list_.Remove(*list_.IndexOfPhoto(removed));
    });
    EXPECT_EQ(Run(ApplyScope::ScopeAll), (std::vector<int>{0, 1, 2, 4}));
    ASSERT_EQ(list_.Count(), kPhotos - 1);
    EXPECT_FALSE(Applied(1));
    EXPECT_EQ(Photo(1).CropLeft, 20);
    EXPECT_TRUE(Applied(2));
    EXPECT_TRUE(Applied(3));  // the last photo, now at 3
}

// Once the source photo is gone no further photo starts; those under way are taken.
TEST_F(ApplyRun, SourceGoneStopsStartingPhotos) {
    const test::RasterThreadsScope threads(1);
    source_ = &Photo(4);
    std::swap(Photo(0).Brightness, Photo(4).Brightness);
    std::swap(Photo(0).Contrast, Photo(4).Contrast);
    EXPECT_EQ(Run(ApplyScope::ScopeAll, [this](int) { source_ = nullptr; }), std::vector<int>{0});
    EXPECT_TRUE(Applied(0));
    for (int i = 1; i < 4; ++i)
        EXPECT_FALSE(Applied(i)) << "photo " << i;
}

// A photo whose working copy is gone fails the run with its own error, not a wrapper; the
// photos before it are taken, the ones after it stay as they were though they were under way.
TEST_F(ApplyRun, AFailureLeavesTheLaterPhotosAsTheyWere) {
    const test::RasterThreadsScope threads(3);
    const QString missing = Photo(2).WorkFile;
    ASSERT_TRUE(QFile::remove(missing));
    const QImage laterThumbnail = Photo(3).Thumbnail;
    try {
        Run(ApplyScope::ScopeAll);
        FAIL() << "the run went through";
    } catch (const QException&) {
        FAIL() << "the worker's error came wrapped";
    } catch (const RasterError& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(missing)) << e.what();
    }
    EXPECT_TRUE(Applied(1));
    for (int i = 2; i < kPhotos; ++i)
        EXPECT_FALSE(Applied(i)) << "photo " << i;
    EXPECT_EQ(Photo(3).Thumbnail, laterThumbnail);
}

}  // namespace
}  // namespace lisko
