#pragma once

#include <QObject>
#include <functional>
#include <memory>

namespace lisko::test {

// Runs a QtTest object as every window test needs it: the application object that shows
// escaping errors, the program's title, a settings store of the run's own (the window's
// reminders write their dates there, never into the user's), and addresses caught before they
// reach the desktop (the reminders would otherwise open the mail program).
int RunWindowTest(int argc, char* argv[],
                  const std::function<std::unique_ptr<QObject>()>& makeTest);

}  // namespace lisko::test
