#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

namespace lisko {

// Opens `file` for writing with Qt's own buffer off. Buffered, a write that fails (a full disk)
// shows only when commit() flushes the buffer, and Qt 6.4's commit() then still renames the
// cut-short file into place. Unbuffered, the failing write itself fails, and commit() removes the
// file and leaves any older file of that name as it was.
bool OpenUnbuffered(QSaveFile& file);

// Writes all of `bytes` into `file`, opened by OpenUnbuffered. An empty text when every byte went,
// otherwise the system's reason; the file must not be committed then.
QString WriteAll(QSaveFile& file, const QByteArray& bytes);

}  // namespace lisko
