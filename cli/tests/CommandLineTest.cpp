#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "testsupport/JpegTools.h"
#include "testsupport/Process.h"

namespace lisko {
namespace {

namespace fs = std::filesystem;

// What every command shares: the help, whose usage line names the command, the refusal of an
// option the command does not know, and how a failure is reported.
class EveryCommand : public ::testing::TestWithParam<const char*> {
protected:
    static test::ProcessResult Cli(const std::vector<std::string>& arguments) {
        return test::RunProgram(LISKO_CLI, arguments);
    }
};

TEST_P(EveryCommand, HelpNamesTheCommandInItsUsageLine) {
    const test::ProcessResult run = Cli({GetParam(), "--help"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::string usage = run.out.substr(0, run.out.find('\n'));
    EXPECT_EQ(
        usage.rfind("Usage: " + std::string(LISKO_CLI) + " " + GetParam() + " [options] PHOTO", 0),
        0u)
        << usage;
    EXPECT_NE(run.out.find("-h, --help"), std::string::npos);
}

TEST_P(EveryCommand, UnknownOptionIsAUsageErrorNamingIt) {
    const test::ProcessResult run = Cli({GetParam(), "--no-such-option", "photo.jpg"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("no-such-option"), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
}

// A photo that cannot be decoded fails every command the same way: exit code 1 and one line
// naming the photo, with libjpeg's own words after the error's number.
TEST_P(EveryCommand, UnreadablePhotoIsNamedWithTheDecodersWords) {
    const test::TempDir dir;
    const fs::path photo = dir / "broken.jpg";
    test::WriteFileBytes(photo, {'n', 'o', 't'});
    const std::string command = GetParam();
    std::vector<std::string> arguments{command, photo.string()};
    const std::map<std::string, std::string> outputs{
        {"render", "out.png"}, {"print", "out.pdf"}, {"job", "out.lisko"}};
    if (outputs.contains(command)) {
        arguments.insert(arguments.end(), {"-o", (dir / outputs.at(command)).string()});
    }
    const test::ProcessResult run = Cli(arguments);
    EXPECT_EQ(run.exitCode, 1);
    // Printing starts a GUI application, which may add a warning of its own.
    const std::size_t at = run.err.find("liskoprinter-cli: ");
    ASSERT_NE(at, std::string::npos) << run.err;
    const std::string line = run.err.substr(at);
    EXPECT_EQ(line.rfind("liskoprinter-cli: " + photo.string() + ": JPEG error #", 0), 0u) << line;
    EXPECT_NE(line.find(" ("), std::string::npos) << line;
    EXPECT_TRUE(line.ends_with(")\n")) << line;
    EXPECT_EQ(line.find('\n'), line.size() - 1) << line;
}

INSTANTIATE_TEST_SUITE_P(Cli, EveryCommand,
                         ::testing::Values("render", "print", "job", "detect-page"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                             std::string name = param.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

}  // namespace
}  // namespace lisko
