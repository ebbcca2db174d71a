#include "ui/Application.h"

namespace lisko {

LiskoApplication::LiskoApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool LiskoApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowStandardError(activeWindow(), error);
    } catch (...) {
        ShowStandardError(activeWindow(), QStringLiteral("Unknown error"));
    }
    return false;
}

}  // namespace lisko
