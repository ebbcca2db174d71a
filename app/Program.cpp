#include "app/Program.h"

#include <QScreen>

#include "ui/Application.h"

namespace lisko {

void ShowMainWindow(TForm1& form1) {
    if (const QScreen* screen = form1.screen()) {
        QRect frame = form1.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        form1.move(frame.topLeft());
    }
    form1.show();
}

void OpenPhotosFromArguments(TForm1& form1, const QStringList& arguments) {
    if (arguments.isEmpty()) return;
    RunHandler(&form1, [&form1, &arguments] { form1.OpenPaths(arguments); });
}

}  // namespace lisko
