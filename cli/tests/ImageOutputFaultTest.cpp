// The pictures the tool writes (render -o, --thumbnail, print --preview-png) landing on a file
// system that fails for real: a small tmpfs with one page left, or mounted read-only.

#include <gtest/gtest.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "raster/Jpeg.h"
#include "testsupport/JpegTools.h"
#include "testsupport/Process.h"
#include "testsupport/TestRaster.h"
#include "testsupport/Tmpfs.h"

namespace lisko {
namespace {

namespace fs = std::filesystem;

const std::vector<char> kOld{'o', 'l', 'd'};

enum class Fault { Full, ReadOnly };

struct Places {
    fs::path photo;
    fs::path small;    // its rendering fits into Qt's 16 KiB write buffer
    fs::path failing;  // on the tmpfs
    fs::path healthy;  // an ordinary directory beside it
};

struct OutputCase {
    const char* name;
    Fault fault;
    // The arguments of the run; it must fail at the file `victim` names inside `failing`.
    std::function<std::vector<std::string>(const Places&)> arguments;
    const char* victim;
};

class ImageOutputFault : public ::testing::TestWithParam<OutputCase> {
protected:
    void SetUp() override {
        // Noise keeps every picture far above the page the full file system has left.
        const std::vector<std::uint8_t> jpeg = EncodeJpeg(test::Noise24(300, 400, 5), 95);
        test::WriteFileBytes(places_.photo, {jpeg.begin(), jpeg.end()});
        const std::vector<std::uint8_t> small = EncodeJpeg(test::Noise24(60, 50, 6), 95);
        test::WriteFileBytes(places_.small, {small.begin(), small.end()});
        fs::create_directory(places_.healthy);
        if (!tmpfs_.Mounted()) {
            GTEST_SKIP() << "cannot mount a tmpfs here (" << tmpfs_.Error()
                         << "); the failing output directory needs one";
        }
    }

    // Leaves one page of the tmpfs free: a picture begins, then runs out of room.
    void FillToTheLastPage() {
        struct statvfs room {};
        ASSERT_EQ(::statvfs(places_.failing.c_str(), &room), 0) << std::strerror(errno);
        const std::size_t free = room.f_bavail * room.f_frsize;
        ASSERT_GT(free, 4096u);
        test::WriteFileBytes(places_.failing / "filler", std::vector<char>(free - 4096, 'f'));
    }

    std::vector<std::string> FilesIn(const fs::path& dir) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempDir photos_;
    test::TempDir outer_;
    const Places places_{photos_ / "photo.jpg", photos_ / "small.jpg", outer_ / "failing",
                         outer_ / "healthy"};
    const test::Tmpfs tmpfs_{places_.failing};  // unmounted before outer_ goes
};

// The run fails naming the file and the reason, and every file of the names it would have
// written, on either file system, is as it was: no partial picture, no stray temporary file.
TEST_P(ImageOutputFault, FailsByNameAndLeavesEarlierFilesAsTheyWere) {
    const OutputCase& c = GetParam();
    const fs::path victim = places_.failing / c.victim;
    test::WriteFileBytes(victim, kOld);
    test::WriteFileBytes(places_.healthy / "out.png", kOld);
    const char* reason = "No space left on device";
    if (c.fault == Fault::Full) {
        FillToTheLastPage();
    } else {
        ASSERT_TRUE(tmpfs_.MakeReadOnly()) << std::strerror(errno);
        reason = "is not writable";  // Qt's own check, before any system call
    }
    const std::vector<std::string> before = FilesIn(places_.failing);

    const test::ProcessResult run = test::RunProgram(LISKO_CLI, c.arguments(places_));
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.err.find(victim.string()), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
    EXPECT_EQ(test::ReadFileBytes(victim), kOld);
    EXPECT_EQ(FilesIn(places_.failing), before);
    EXPECT_EQ(test::ReadFileBytes(places_.healthy / "out.png"), kOld);
    EXPECT_EQ(FilesIn(places_.healthy), std::vector<std::string>{"out.png"});
}

std::vector<std::string> Render(const Places& p, const std::string& output) {
    return {"render", "--type", "colour", "-o", output, p.photo.string()};
}

std::vector<std::string> RenderSmall(const Places& p, const std::string& output) {
    return {"render", "--type", "colour", "-o", output, p.small.string()};
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, ImageOutputFault,
    ::testing::Values(
        OutputCase{"RenderPng", Fault::Full,
                   [](const Places& p) { return Render(p, (p.failing / "out.png").string()); },
                   "out.png"},
        OutputCase{"RenderBmp", Fault::Full,
                   [](const Places& p) { return Render(p, (p.failing / "out.bmp").string()); },
                   "out.bmp"},
        // 9 KB: buffered whole, it would fail only once the file is closed.
        OutputCase{
            "SmallRenderBmp", Fault::Full,
            [](const Places& p) { return RenderSmall(p, (p.failing / "small.bmp").string()); },
            "small.bmp"},
        OutputCase{"RenderReadOnly", Fault::ReadOnly,
                   [](const Places& p) { return Render(p, (p.failing / "out.png").string()); },
                   "out.png"},
        // The rendering itself goes to a healthy directory; it must not replace the earlier one
        // there when its thumbnail cannot be written.
        OutputCase{"Thumbnail", Fault::Full,
                   [](const Places& p) {
                       std::vector<std::string> arguments =
                           Render(p, (p.healthy / "out.png").string());
                       arguments.insert(arguments.end() - 1,
                                        {"--thumbnail", (p.failing / "thumb.bmp").string()});
                       return arguments;
                   },
                   "thumb.bmp"},
        OutputCase{"PreviewPng", Fault::Full,
                   [](const Places& p) {
                       return std::vector<std::string>{"print",
                                                       "--rows",
                                                       "1",
                                                       "--columns",
                                                       "1",
                                                       "--preview-png",
                                                       p.failing.string(),
                                                       p.photo.string()};
                   },
                   "page-001.png"}),
    [](const ::testing::TestParamInfo<OutputCase>& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace lisko
