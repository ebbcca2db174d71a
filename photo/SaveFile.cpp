#include "photo/SaveFile.h"

namespace lisko {

WriteError::WriteError(const QString& fileName, const QString& reason)
    : std::runtime_error(QStringLiteral("cannot write %1: %2").arg(fileName, reason).toStdString()),
      fileName_(fileName),
      reason_(reason) {}

WholeFile::WholeFile(const QString& fileName) : file_(fileName) {
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw WriteError(fileName, file_.errorString());
}

void WholeFile::Write(const QByteArray& bytes) {
    // A write that runs out of room part of the way returns what it wrote without an error; the
    // next one then fails at once and says why.
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file_.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0) throw WriteError(file_.fileName(), file_.errorString());
        written += n;
    }
}

void WholeFile::Commit() {
    if (!file_.commit()) throw WriteError(file_.fileName(), file_.errorString());
}

void WriteWholeFile(const QString& fileName, const QByteArray& bytes) {
    WholeFile file(fileName);
    file.Write(bytes);
    file.Commit();
}

}  // namespace lisko
