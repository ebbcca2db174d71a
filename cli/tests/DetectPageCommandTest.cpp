#include <gtest/gtest.h>

#include <QImage>
#include <QLineF>
#include <QStringList>

#include "photo/Lisko.h"
#include "testsupport/JpegTools.h"
#include "testsupport/Process.h"
#include "testsupport/SheetPhotos.h"

namespace lisko {
namespace {

namespace fs = std::filesystem;

QString Q(const fs::path& p) {
    return QString::fromStdString(p.string());
}

test::SheetScene Scene(const char* name) {
    for (const test::SheetScene& scene : test::SheetScenes()) {
        if (scene.name == QLatin1String(name)) return scene;
    }
    throw std::invalid_argument(name);
}

class SheetCommands : public ::testing::Test {
protected:
    fs::path Photo(const char* scene) {
        const fs::path file = dir_ / (std::string(scene) + ".jpg");
        test::SaveSheetPhoto(Scene(scene), Q(file));
        return file;
    }
    static test::ProcessResult Cli(const std::vector<std::string>& arguments) {
        return test::RunProgram(LISKO_CLI, arguments);
    }
    test::TempDir dir_;
};

// The corners come in the source photo's pixels (2048 x 1536 here, a working copy of
// 1500 x 1125), so they land where the sheet was drawn.
TEST_F(SheetCommands, DetectPagePrintsTheCornersInSourcePixels) {
    const test::SheetScene scene = Scene("wood_desk_perspective");
    const test::ProcessResult run = Cli({"detect-page", Photo("wood_desk_perspective").string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_EQ(run.out.back(), '\n');
    const QStringList points = QString::fromStdString(run.out).trimmed().split(QLatin1Char(' '));
    ASSERT_EQ(points.size(), 4) << run.out;
    for (int i = 0; i < 4; ++i) {
        const QStringList xy = points[i].split(QLatin1Char(','));
        ASSERT_EQ(xy.size(), 2) << run.out;
        bool xOk = false;
        bool yOk = false;
        const QPointF found(xy[0].toInt(&xOk), xy[1].toInt(&yOk));
        ASSERT_TRUE(xOk && yOk) << run.out;
        EXPECT_LE(QLineF(found, (*scene.sheet)[static_cast<std::size_t>(i)]).length(), 0.015 * 2048)
            << "corner " << i << " of " << run.out;
    }
}

TEST_F(SheetCommands, DetectPageSaysNoneWithoutAWholeSheet) {
    for (const char* scene : {"empty_desk", "cut_by_the_frame"}) {
        const test::ProcessResult run = Cli({"detect-page", Photo(scene).string()});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, "none\n") << scene;
    }
}

TEST_F(SheetCommands, DetectPageFailsOnAnUnreadablePhoto) {
    const fs::path missing = dir_ / "missing.jpg";
    test::ProcessResult run = Cli({"detect-page", missing.string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("missing.jpg"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");

    run = Cli({"detect-page"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("no photo given"), std::string::npos) << run.err;
}

// --straighten renders what the photo item renders with its own detected corners; a photo
// without a sheet renders as if the option were not given.
TEST_F(SheetCommands, RenderStraightensWhereThereIsASheet) {
    for (const char* scene : {"notebook_spread", "empty_desk"}) {
        const fs::path photo = Photo(scene);
        const fs::path out = dir_ / "out.png";
        const test::ProcessResult run =
            Cli({"render", photo.string(), "-o", out.string(), "--straighten", "--type", "colour"});
        ASSERT_EQ(run.exitCode, 0) << run.err;

        test::TempDir scratch;
        TLisko expected(Q(photo), Q(scratch.Path()));
        expected.ImageType = 0;
        const QImage plain = expected.Render(true);
        const bool found = expected.DetectSheetCorners();
        EXPECT_EQ(found, scene == std::string("notebook_spread"));
        expected.Straighten = found;
        const QImage written(Q(out));
        EXPECT_EQ(written.convertToFormat(QImage::Format_RGB888),
                  expected.Render(true).convertToFormat(QImage::Format_RGB888))
            << scene;
        EXPECT_EQ(written.size() == plain.size(), !found) << scene;
    }
}

}  // namespace
}  // namespace lisko
