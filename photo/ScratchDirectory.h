#pragma once

#include <QByteArray>
#include <QString>

namespace lisko {

// Where working copies live: LISKO_SCRATCH_DIR when set (tests, portable installs), otherwise
// C:\TempDir\ on Windows and <user cache>/LiskoPrinter/TempDir elsewhere.
QString ScratchDirectory();

// Writes bytes to the first free name N.jpg (N = 0, 1, ... below nameCount) in directory, which
// is created with its parents when missing, and returns the file's full path. The file is created
// exclusively, so another program working in the same directory never has a file overwritten;
// names taken by files an earlier run left behind are skipped. Throws when no name is free or the
// file cannot be written; a partly written file is removed.
QString CreateWorkFile(const QString& directory, const QByteArray& bytes, int nameCount = 100000);

}  // namespace lisko
