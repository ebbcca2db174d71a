#pragma once

#include <QStringList>

namespace lisko::cli {

// `detect-page PHOTO`: imports the photo and prints the corners of the sheet it shows, in the
// decoded source's pixels, or "none". Returns the process exit code.
int RunDetectPage(const QStringList& arguments);

}  // namespace lisko::cli
