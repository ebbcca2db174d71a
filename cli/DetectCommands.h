#pragma once

#include <QStringList>

namespace lisko::cli {

// The commands that import one photo and print what is found on it. Each returns the process
// exit code.

// `detect-page PHOTO`: the corners of the sheet the photo shows, in the decoded source's pixels,
// or "none".
int RunDetectPage(const QStringList& arguments);
// `detect-content PHOTO`: the crops --auto would set, "left,right,top,bottom" in whole percent.
int RunDetectContent(const QStringList& arguments);

}  // namespace lisko::cli
