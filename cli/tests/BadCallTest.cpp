#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "raster/Jpeg.h"
#include "testsupport/JpegTools.h"
#include "testsupport/Process.h"
#include "testsupport/TestRaster.h"

namespace lisko {
namespace {

namespace fs = std::filesystem;

// A command line a command refuses before doing any work.
struct BadCall {
    const char* command;  // "print" or "render"
    const char* name;
    std::vector<std::string> arguments;  // after the call the command would carry out (Start)
    const char* mustMention;
};

class RefusesBadCall : public ::testing::TestWithParam<BadCall> {
protected:
    void SetUp() override {
        const std::vector<std::uint8_t> jpeg =
            EncodeJpeg(test::Uniform24(30, 40, {40, 40, 210}), 95);
        for (const fs::path& photo : {first_, second_})
            test::WriteFileBytes(photo, {jpeg.begin(), jpeg.end()});
    }

    bool Printing() const { return std::string_view(GetParam().command) == "print"; }

    fs::path Output() const { return dir_ / (Printing() ? "out.pdf" : "out.png"); }

    // The call the command would carry out: print lays out two photos, render takes one.
    std::vector<std::string> Start() const {
        if (Printing())
            return {"print", first_.string(), second_.string(), "-o", Output().string()};
        return {"render", first_.string(), "-o", Output().string()};
    }

    test::TempDir dir_;
    const fs::path first_ = dir_ / "a.jpg";
    const fs::path second_ = dir_ / "b.jpg";
};

TEST_P(RefusesBadCall, WithAUsageErrorAndNoOutput) {
    std::vector<std::string> arguments = Start();
    arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
    const test::ProcessResult run = test::RunProgram(LISKO_CLI, arguments);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find(GetParam().mustMention), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(Output()));
}

INSTANTIATE_TEST_SUITE_P(
    Cli, RefusesBadCall,
    ::testing::Values(
        BadCall{"print", "SixRows", {"--rows", "6"}, "--rows"},
        BadCall{"print", "NoColumns", {"--columns", "0"}, "1 to 5"},
        BadCall{"print", "UnknownOrder", {"--order", "diagonal"}, "diagonal"},
        BadCall{"print", "BackwardRange", {"--pages", "3-2"}, "FROM <= TO"},
        BadCall{"print", "RangeNotANumber", {"--pages", "two"}, "--pages"},
        BadCall{"print", "RangePastTheLastPage", {"--pages", "1-2"}, "fill 1 page"},
        BadCall{"print", "NoCopies", {"--copies", "0"}, "--copies"},
        BadCall{"print", "PdfAndPrinter", {"--printer", "office"}, "not both"},
        BadCall{"print", "UnknownType", {"--type", "sepia"}, "sepia"},
        BadCall{"print", "CropOverHalf", {"--crop", "0,51,0,0"}, "--crop"},
        BadCall{"print", "AutoAndCrop", {"--auto", "--crop", "1,1,1,1"}, "not both"},
        BadCall{"render", "RotationOutOfRange", {"--rotation", "4"}, "--rotation"},
        BadCall{"render", "UnknownType", {"--type", "sepia"}, "sepia"},
        BadCall{"render", "BrightnessNotANumber", {"--brightness", "bright"}, "--brightness"},
        BadCall{"render", "ContrastTooHigh", {"--contrast", "21"}, "-20 to 20"},
        BadCall{"render", "ThreeCrops", {"--crop", "1,2,3"}, "LEFT,RIGHT,TOP,BOTTOM"},
        BadCall{"render", "CropOverHalf", {"--crop", "0,51,0,0"}, "--crop"},
        BadCall{"render", "AutoAndCrop", {"--crop", "1,1,1,1", "--auto"}, "not both"},
        BadCall{"render", "UnknownOption", {"--sharpen"}, "sharpen"},
        BadCall{"render", "TwoPhotos", {"second.jpg"}, "exactly one photo"},
        BadCall{"render", "QualityZero", {"--quality", "0"}, "--quality"},
        BadCall{"render", "QualityOver100", {"--quality", "101"}, "--quality"}),
    [](const auto& testCase) {
        return std::string(testCase.param.command) + "_" + testCase.param.name;
    });

}  // namespace
}  // namespace lisko
