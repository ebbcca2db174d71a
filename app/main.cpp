#include "app/Program.h"
#include "ui/Application.h"
#include "ui/Skin.h"

int main(int argc, char* argv[]) {
    lisko::LiskoApplication app(argc, argv);
    lisko::ApplySkin(app);
    QGuiApplication::setApplicationDisplayName(QString::fromUtf8(lisko::ApplicationTitle));
    lisko::Forms forms;
    lisko::ShowMainWindow(forms.form1);
    // Showing runs the start-up checks, which process events: the user may have closed the
    // window already, and the event loop would then wait for a window that never comes back.
    if (!forms.form1.isVisible()) return 0;
    return QApplication::exec();
}
