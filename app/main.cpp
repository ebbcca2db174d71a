#include <QIcon>

#include "app/Program.h"
#include "ui/Application.h"
#include "ui/Skin.h"

int main(int argc, char* argv[]) {
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
