#include <QIcon>
#include <cstdio>
#include <cstring>

#include "app/Program.h"
#include "ui/Application.h"
#include "ui/Skin.h"

namespace {

constexpr char kUsage[] =
    "Usage: liskoprinter [FILE]...\n"
    "\n"
    "Prints crib sheets from photographs: photos of notes are adjusted one by one and printed "
    "reduced, several to an A4 sheet, with a live preview. Photos and folders given are added to "
    "the list once the window is up; a job file (.lisko) given opens as a job.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Show this help.\n"
    "  -V, --version  Show the version.\n"
    "\n"
    "Arguments:\n"
    "  FILE           A photo (.jpg, .jpeg), a folder of photos or a job file (.lisko).\n";

// What a terminal or a package's scripts ask of the program, answered without a window.
bool AnsweredWithoutWindow(int argc, char* argv[]) {
    if (argc != 2) return false;
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kUsage, stdout);
        return true;
    }
    if (std::strcmp(argv[1], "--version") == 0 || std::strcmp(argv[1], "-V") == 0) {
        std::fputs("liskoprinter " LISKO_PROGRAM_VERSION "\n", stdout);
        return true;
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (AnsweredWithoutWindow(argc, argv)) return 0;
    lisko::LiskoApplication app(argc, argv);
    lisko::ApplySkin(app);
    // The desktop matches the window to the installed entry and icon by these names.
    QGuiApplication::setDesktopFileName(QStringLiteral("liskoprinter"));
    QGuiApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("liskoprinter")));
    lisko::Forms forms;
    lisko::ShowMainWindow(forms.form1);
    // Showing runs the start-up checks, which process events: the user may have closed the
    // window already, and the event loop would then wait for a window that never comes back.
    if (!forms.form1.isVisible()) return 0;
    // The photos a desktop's "Open with" or the command line names, once the window is up.
    lisko::OpenPhotosFromArguments(forms.form1, QCoreApplication::arguments().mid(1));
    if (!forms.form1.isVisible()) return 0;
    return QApplication::exec();
}
