#include <gtest/gtest.h>

#include <QImage>
#include <QLineF>
#include <QStringList>

#include "photo/Lisko.h"
#include "testsupport/ContentPages.h"
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

// detect-content prints the crops the photo item's own one step sets: for a sheet on a desk,
// those of the straightened sheet; for a page filling the photo, those of the page as it is.
TEST_F(SheetCommands, DetectContentPrintsTheCropsOfTheOneStep) {
    std::vector<fs::path> photos{Photo("plain_desk")};
    for (const test::ContentPage& page : test::ContentPages()) {
        if (page.name != QLatin1String("lined") && page.name != QLatin1String("blank")) continue;
        photos.push_back(dir_ / (page.name.toStdString() + ".jpg"));
        test::SavePhoto(test::DrawContentPage(page).image, Q(photos.back()));
    }
    for (const fs::path& photo : photos) {
        const test::ProcessResult run = Cli({"detect-content", photo.string()});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        test::TempDir scratch;
        TLisko expected(Q(photo), Q(scratch.Path()));
        expected.StraightenAndCropToContent();
        EXPECT_EQ(run.out, std::to_string(expected.CropLeft) + "," +
                               std::to_string(expected.CropRight) + "," +
                               std::to_string(expected.CropTop) + "," +
                               std::to_string(expected.CropBottom) + "\n")
            << photo;
        if (photo.stem() == "blank") {
            EXPECT_EQ(run.out, "0,0,0,0\n");
        }
        EXPECT_EQ(expected.Straighten, photo.stem() == "plain_desk") << photo;
    }
}

TEST_F(SheetCommands, DetectContentFailsOnAnUnreadablePhoto) {
    const fs::path missing = dir_ / "missing.jpg";
    test::ProcessResult run = Cli({"detect-content", missing.string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("missing.jpg"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");

    run = Cli({"detect-content", missing.string(), missing.string()});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("exactly one photo"), std::string::npos) << run.err;
}

// A command --auto is given to, and the file of what it writes that is compared.
struct AutoCall {
    const char* command;
    std::vector<std::string> arguments;  // after the photo; OUT stands for the output's stem
    const char* output;                  // the file compared, under the output's stem
};

class AutoOption : public SheetCommands, public ::testing::WithParamInterface<AutoCall> {
protected:
    // Runs the command on `photo` with `options`, writing under dir_/stem; returns that file.
    fs::path Run(const fs::path& photo, const std::string& stem,
                 const std::vector<std::string>& options) {
        std::vector<std::string> arguments{GetParam().command, photo.string()};
        for (const std::string& a : GetParam().arguments)
            arguments.push_back(a.starts_with("OUT") ? (dir_ / stem).string() + a.substr(3) : a);
        arguments.insert(arguments.end(), options.begin(), options.end());
        const test::ProcessResult run = Cli(arguments);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return dir_ / (stem + GetParam().output);
    }
};

// --auto writes what straightening with the crops detect-content prints writes, and that is not
// what the photo gives without options: the sheet on the desk is straightened and cropped.
TEST_P(AutoOption, StraightensAndCropsAsDetectContentSays) {
    const fs::path photo = Photo("plain_desk");
    const test::ProcessResult detected = Cli({"detect-content", photo.string()});
    ASSERT_EQ(detected.exitCode, 0) << detected.err;
    const std::string crops = detected.out.substr(0, detected.out.find('\n'));

    const fs::path automatic = Run(photo, "auto", {"--auto"});
    const fs::path byHand = Run(photo, "hand", {"--straighten", "--crop", crops});
    const fs::path plain = Run(photo, "plain", {});
    ASSERT_TRUE(fs::exists(automatic));
    EXPECT_EQ(test::ReadFileBytes(automatic), test::ReadFileBytes(byHand)) << crops;
    EXPECT_NE(test::ReadFileBytes(automatic), test::ReadFileBytes(plain));
}

INSTANTIATE_TEST_SUITE_P(Commands, AutoOption,
                         ::testing::Values(AutoCall{"render", {"-o", "OUT.png"}, ".png"},
                                           AutoCall{
                                               "print", {"--preview-png", "OUT"}, "/page-001.png"},
                                           AutoCall{"job", {"-o", "OUT.lisko"}, ".lisko"}),
                         [](const auto& row) { return std::string(row.param.command); });

}  // namespace
}  // namespace lisko
