#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

#include "cli/Output.h"
#include "cli/RenderCommand.h"

namespace {

constexpr char kUsage[] =
    "Usage: liskoprinter-cli COMMAND [OPTIONS]\n"
    "\n"
    "Runs the photo pipeline of LiskoPrinter without a window.\n"
    "\n"
    "Commands:\n"
    "  render   import one photo and write its rendering as a PNG\n"
    "\n"
    "Run 'liskoprinter-cli COMMAND --help' for the options of a command.\n";

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("liskoprinter-cli"));
    QStringList arguments = QCoreApplication::arguments();

    const QString command = arguments.value(1);
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == QLatin1String("render")) {
        arguments.removeAt(1);
        return lisko::cli::RunRender(arguments);
    }
    lisko::cli::PrintError(command.isEmpty() ? QStringLiteral("no command given")
                                             : QStringLiteral("unknown command '%1'").arg(command));
    std::fputs(kUsage, stderr);
    return lisko::cli::Code(lisko::cli::Exit::Usage);
}
