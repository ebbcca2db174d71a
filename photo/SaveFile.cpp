#include "photo/SaveFile.h"

namespace lisko {

bool OpenUnbuffered(QSaveFile& file) {
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

QString WriteAll(QSaveFile& file, const QByteArray& bytes) {
    // A write that runs out of room part of the way returns what it wrote without an error; the
    // next one then fails at once and says why.
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0) return file.errorString();
        written += n;
    }
    return {};
}

}  // namespace lisko
