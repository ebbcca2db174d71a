#pragma once

#include <QStringList>

namespace lisko::cli {

// `print PHOTO... -o OUT.pdf [options]`: the photos laid out on pages exactly as the program
// prints them, written as an A4 PDF, sent to a printer, or previewed as PNG pages. Needs a
// QGuiApplication (fonts). Returns the process exit code.
int RunPrint(const QStringList& arguments);

}  // namespace lisko::cli
