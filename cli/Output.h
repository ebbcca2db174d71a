#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <exception>
#include <optional>

namespace lisko::cli {

// Exit codes of every command.
enum class Exit : int { Ok = 0, Failed = 1, Usage = 2 };

// Prints "liskoprinter-cli: message" on standard error.
void PrintError(const QString& message);
// The text of an error, with the decoder's own words where there are any.
QString DescribeError(const std::exception& error);

int Code(Exit exit);

// -h/--help, added before a command's own options so that the help lists it first.
QCommandLineOption AddHelpOption(QCommandLineParser& parser);
// Parses one command's arguments. The exit code when the run ends here, with the parser's error
// or the help printed (its usage line naming the command); nothing when the command goes on.
std::optional<int> ParseCommandLine(QCommandLineParser& parser, const QCommandLineOption& help,
                                    const QStringList& arguments, const QString& command);

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
