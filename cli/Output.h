#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <exception>
#include <functional>
#include <stdexcept>

namespace lisko::cli {

// Exit codes of every command.
enum class Exit : int { Ok = 0, Failed = 1, Usage = 2 };

// A command line that asks for something the program cannot do (exit code 2).
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Prints "liskoprinter-cli: message" on standard error.
void PrintError(const QString& message);
// The text of an error, with the decoder's own words where there are any.
QString DescribeError(const std::exception& error);
// An error met while working on `file`: the file's name, then the error as described above.
std::runtime_error ErrorAbout(const QString& file, const std::exception& error);

int Code(Exit exit);

// -h/--help, added before a command's own options so that the help lists it first.
QCommandLineOption AddHelpOption(QCommandLineParser& parser);

// What a command does once its arguments are parsed. It reports failure by throwing.
using CommandWork = std::function<void(const QCommandLineParser& parser)>;

// Runs one command, the same way for every command: parses its arguments, where the parser's
// error or the help (its usage line naming the command) ends the run; then does the work. What
// the work throws is printed as DescribeError words it, with exit code Exit::Usage for a
// UsageError and Exit::Failed for any other error. Returns the process exit code.
int RunCommand(QCommandLineParser& parser, const QCommandLineOption& help,
               const QStringList& arguments, const QString& command, const CommandWork& work);

// One line on standard error, rewritten as long work goes on; silent unless standard error is a
// terminal. The line ends when the object goes.
class ProgressLine {
public:
    ProgressLine();
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void Show(const QString& text);

private:
    bool enabled_;
    int shownWidth_ = 0;
};

}  // namespace lisko::cli
