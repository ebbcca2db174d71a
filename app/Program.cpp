#include "app/Program.h"

#include <QScreen>

namespace lisko {

void ShowMainWindow(TForm1& form1) {
    if (const QScreen* screen = form1.screen()) {
        QRect frame = form1.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        form1.move(frame.topLeft());
    }
    form1.show();
}

}  // namespace lisko
