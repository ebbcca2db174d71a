#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <stdexcept>

namespace lisko {

// A file that could not be written whole: "cannot write NAME: REASON". The name and the system's
// reason stay at hand for messages worded otherwise.
class WriteError : public std::runtime_error {
public:
    WriteError(const QString& fileName, const QString& reason);
    const QString& FileName() const { return fileName_; }
    const QString& Reason() const { return reason_; }

private:
    QString fileName_;
    QString reason_;
};

// The one way a file is written whole. The bytes go to a temporary file beside the name, which
// takes the name only at Commit(); every failure throws WriteError, and a file never committed is
// removed, leaving any older file of that name as it was.
//
// The temporary file is unbuffered. Buffered, a write that fails (a full disk) shows only when
// commit() flushes the buffer, and Qt 6.4's commit() then still renames the cut-short file into
// place; unbuffered, the failing write itself fails.
class WholeFile {
public:
    // Opens the temporary file.
    explicit WholeFile(const QString& fileName);

    // Appends all of `bytes`.
    void Write(const QByteArray& bytes);
    // Gives the file its name.
    void Commit();

private:
    QSaveFile file_;
};

// Writes `bytes` as the whole of `fileName`.
void WriteWholeFile(const QString& fileName, const QByteArray& bytes);

}  // namespace lisko
