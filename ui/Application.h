#pragma once

#include <QApplication>
#include <exception>
#include <utility>

#include "ui/Dialogs.h"

namespace lisko {

// The application object. Every error that escapes an event handler is shown in the standard
// error box and the program goes on with the next event; no exception crosses the event loop.
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
