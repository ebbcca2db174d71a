#pragma once

#include <QObject>
#include <functional>
#include <memory>

namespace lisko::test {

// Runs a QtTest object as every window test needs it: the program's application object (errors
// that escape are shown, Qt's texts are Russian), a settings store of the run's own (the window's
// reminders write their dates there, never into the user's), addresses caught before they reach
// the desktop (the reminders would otherwise open the mail program), and the network kept on
// this machine: the update check and every host name the web tabs look up lead to a loopback
// server that answers "not found".
int RunWindowTest(int argc, char* argv[],
                  const std::function<std::unique_ptr<QObject>()>& makeTest);

// Sends every host name the web tabs look up to this loopback port instead, for a test that
// serves the pages itself. The browser engine reads it when it starts, with the first web view.
void SendWebHostsTo(quint16 port);

}  // namespace lisko::test
