#pragma once

#include <string>
#include <vector>

namespace lisko::test {

struct ProcessResult {
    int exitCode = -1;  // -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs a program without a shell and collects its exit code and output.
ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace lisko::test
