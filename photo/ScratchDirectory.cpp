#include "photo/ScratchDirectory.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <stdexcept>

namespace lisko {

QString ScratchDirectory() {
    const QString overridden = qEnvironmentVariable("LISKO_SCRATCH_DIR");
    if (!overridden.isEmpty()) return QDir::cleanPath(overridden);
#ifdef Q_OS_WIN
    return QStringLiteral("C:/TempDir");
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/LiskoPrinter/TempDir");
#endif
}

QString CreateWorkFile(const QString& directory, const QByteArray& bytes, int nameCount) {
    if (!QDir().mkpath(directory)) {
        throw std::runtime_error("Cannot create the scratch directory \"" +
                                 QDir::toNativeSeparators(directory).toStdString() + "\"");
    }
    const QDir dir(directory);
    for (int n = 0; n < nameCount; ++n) {
        QFile file(dir.filePath(QString::number(n) + QStringLiteral(".jpg")));
        if (file.exists()) continue;
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (file.exists()) continue;  // another program took the name just now
            throw std::runtime_error("Cannot create the working copy \"" +
                                     QDir::toNativeSeparators(file.fileName()).toStdString() +
                                     "\": " + file.errorString().toStdString());
        }
        const bool written = file.write(bytes) == bytes.size() && file.flush();
        if (!written) {
            const QString reason = file.errorString();
            file.close();
            file.remove();
            throw std::runtime_error("Cannot write the working copy \"" +
                                     QDir::toNativeSeparators(file.fileName()).toStdString() +
                                     "\": " + reason.toStdString());
        }
        file.close();
        return file.fileName();
    }
    throw std::runtime_error("The scratch directory \"" +
                             QDir::toNativeSeparators(directory).toStdString() +
                             "\" has no free name: " + "0.jpg to " + std::to_string(nameCount - 1) +
                             ".jpg are all taken");
}

}  // namespace lisko
