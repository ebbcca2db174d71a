#pragma once

#include <QStringList>

namespace lisko::cli {

// `render PHOTO -o OUT.png [options]`: one photo through import and rendering, as the program
// does it, written as a lossless PNG. Returns the process exit code.
int RunRender(const QStringList& arguments);

}  // namespace lisko::cli
