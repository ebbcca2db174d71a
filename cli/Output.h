#pragma once

#include <QString>
#include <exception>

namespace lisko::cli {

// Exit codes of every command.
enum class Exit : int { Ok = 0, Failed = 1, Usage = 2 };

// Prints "liskoprinter-cli: message" on standard error.
void PrintError(const QString& message);
// The text of an error, with the decoder's own words where there are any.
QString DescribeError(const std::exception& error);

int Code(Exit exit);

}  // namespace lisko::cli
