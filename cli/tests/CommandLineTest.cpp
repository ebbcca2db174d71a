#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "testsupport/Process.h"

namespace lisko {
namespace {

// What every command shares: the help, whose usage line names the command, and the refusal of an
// option the command does not know.
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

INSTANTIATE_TEST_SUITE_P(Cli, EveryCommand,
                         ::testing::Values("render", "print", "job", "detect-page"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                             std::string name = param.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

}  // namespace
}  // namespace lisko
