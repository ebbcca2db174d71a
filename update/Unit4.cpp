#include "update/Unit4.h"

namespace lisko {

TForm4::TForm4(const QWidget& mainWindow) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(mainWindow.windowTitle());
}

}  // namespace lisko
