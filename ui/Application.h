#pragma once

#include <QApplication>
#include <exception>
#include <utility>

#include "ui/Dialogs.h"

namespace lisko {

// The application title (with "Priner", as it always was): the caption of the program's message
// boxes. It is deliberately not Qt's application display name, which Qt would append to every
// window title on X11 and Wayland.
inline constexpr char ApplicationTitle[] = "LiskoPriner2 - Программа для печати шпаргалок";

// Installs Qt's Russian translation of its own texts (file and print dialogs, message box
// buttons) from directory, as every text of the program is Russian. False, and Qt's English
// stays, when the translation is missing there.
bool InstallQtTranslations(const QString& directory);

// The application object, with Qt's own texts in Russian. Every error that escapes an event handler
// is shown in the standard error box and the program goes on with the next event; no exception
// crosses the event loop.
class LiskoApplication : public QApplication {
public:
    LiskoApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Runs a handler that a signal calls. Qt's signal code is not built for exceptions to pass
// through it, so an error is caught right here and shown like one escaping any event handler.
template <typename Handler>
void RunHandler(QWidget* owner, Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& error) {
        ShowStandardError(owner, error);
    }
}

}  // namespace lisko
