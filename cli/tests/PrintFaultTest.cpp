// The PDF's directory failing for real under `print -o`: a small tmpfs, full or read-only.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
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

class PdfDirectoryFault : public ::testing::Test {
protected:
    void SetUp() override {
        const std::vector<std::uint8_t> jpeg = EncodeJpeg(test::Noise24(300, 400, 5), 95);
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
            test::WriteFileBytes(photos_ / name, {jpeg.begin(), jpeg.end()});
        if (!tmpfs_.Mounted()) {
            GTEST_SKIP() << "cannot mount a tmpfs here (" << tmpfs_.Error()
                         << "); the full and read-only PDF directory need one";
        }
        test::WriteFileBytes(out_ / "sheets.pdf", {'o', 'l', 'd'});
        test::WriteFileBytes(out_ / "other.txt", {'k', 'e', 'p', 't'});
    }

    // Prints the three photos in colour, one to a page, over sheets.pdf.
    test::ProcessResult Print() const {
        std::vector<std::string> arguments{"print",     "--rows", "1",
                                           "--columns", "1",      "--type",
                                           "colour",    "-o",     (out_ / "sheets.pdf").string()};
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
            arguments.push_back((photos_ / name).string());
        return test::RunProgram(LISKO_CLI, arguments);
    }

    void ExpectFailureThatChangedNothing(const test::ProcessResult& run, const char* reason) {
        EXPECT_EQ(run.exitCode, 1) << run.err;
        EXPECT_NE(run.err.find((out_ / "sheets.pdf").string()), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_EQ(test::ReadFileBytes(out_ / "sheets.pdf"), (std::vector<char>{'o', 'l', 'd'}));
        EXPECT_EQ(test::ReadFileBytes(out_ / "other.txt"), (std::vector<char>{'k', 'e', 'p', 't'}));
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(out_))
            left.push_back(entry.path().filename().string());
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, expectedFiles_);
    }

    test::TempDir photos_;
    test::TempDir outer_;
    const fs::path out_ = outer_ / "out";
    const test::Tmpfs tmpfs_{out_, "size=64k,mode=0755"};  // unmounted before outer_ goes
    std::vector<std::string> expectedFiles_{"other.txt", "sheets.pdf"};
};

TEST_F(PdfDirectoryFault, FullDirectoryKeepsTheOldPdf) {
    // Leaves a few kilobytes: the PDF begins, then runs out of room.
    std::vector<char> filler(40 * 1024, 'f');
    test::WriteFileBytes(out_ / "filler", filler);
    expectedFiles_.insert(expectedFiles_.begin(), "filler");
    ExpectFailureThatChangedNothing(Print(), "No space left on device");
}

TEST_F(PdfDirectoryFault, ReadOnlyDirectoryKeepsTheOldPdf) {
    ASSERT_TRUE(tmpfs_.MakeReadOnly()) << std::strerror(errno);
    ExpectFailureThatChangedNothing(Print(), "Read-only file system");
}

}  // namespace
}  // namespace lisko
