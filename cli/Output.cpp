#include "cli/Output.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <optional>

#include "raster/Jpeg.h"

namespace lisko::cli {

void PrintError(const QString& message) {
    std::fprintf(stderr, "liskoprinter-cli: %s\n", message.toLocal8Bit().constData());
}

QString DescribeError(const std::exception& error) {
    return QString::fromStdString(DescribeJpegError(error));
}

std::runtime_error ErrorAbout(const QString& file, const std::exception& error) {
    return std::runtime_error((file + QStringLiteral(": ") + DescribeError(error)).toStdString());
}

int Code(Exit exit) {
    return static_cast<int>(exit);
}

QCommandLineOption AddHelpOption(QCommandLineParser& parser) {
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    parser.addOption(help);
    return help;
}

namespace {

// The exit code when the run ends with the arguments, with the parser's error or the help
// printed; nothing when the command goes on.
std::optional<int> ParseCommandLine(QCommandLineParser& parser, const QCommandLineOption& help,
                                    const QStringList& arguments, const QString& command) {
    if (!parser.parse(arguments)) {
        PrintError(parser.errorText());
        return Code(Exit::Usage);
    }
    if (parser.isSet(help)) {
        // Qt's usage line names the program alone: "Usage: liskoprinter-cli [options] PHOTO".
        QString text = parser.helpText();
        const QString options = QStringLiteral("[options]");
        const qsizetype at = text.indexOf(options);
        if (at >= 0) text.insert(at, command + QLatin1Char(' '));
        std::fputs(qPrintable(text), stdout);
        return Code(Exit::Ok);
    }
    return std::nullopt;
}

}  // namespace

int RunCommand(QCommandLineParser& parser, const QCommandLineOption& help,
               const QStringList& arguments, const QString& command, const CommandWork& work) {
    if (const std::optional<int> exit = ParseCommandLine(parser, help, arguments, command)) {
        return *exit;
    }
    try {
        work(parser);
    } catch (const UsageError& e) {
        PrintError(DescribeError(e));
        return Code(Exit::Usage);
    } catch (const std::exception& e) {
        PrintError(DescribeError(e));
        return Code(Exit::Failed);
    }
    return Code(Exit::Ok);
}

ProgressLine::ProgressLine() : enabled_(isatty(STDERR_FILENO) == 1) {}

ProgressLine::~ProgressLine() {
    if (enabled_ && shownWidth_ > 0) std::fputc('\n', stderr);
}

void ProgressLine::Show(const QString& text) {
    if (!enabled_) return;
    const QByteArray line = ("liskoprinter-cli: " + text).toLocal8Bit();
    // Blanks over whatever a longer earlier text left behind.
    const int width = static_cast<int>(line.size());
    std::fprintf(stderr, "\r%s%*s", line.constData(), std::max(0, shownWidth_ - width), "");
    std::fflush(stderr);
    shownWidth_ = width;
}

}  // namespace lisko::cli
