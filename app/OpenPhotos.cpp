#include "app/OpenPhotos.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QStandardPaths>
#include <QUrl>

#include "identity/SettingsStore.h"
#include "pages/JobFile.h"

namespace lisko {

QStringList PhotoPathsFrom(const QStringList& paths) {
    QStringList full;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        const QString absolute = QDir::cleanPath(info.absoluteFilePath());
        if (!info.isDir()) {
            full << absolute;
            continue;
        }
        const QDir folder(absolute);
        for (const QString& name : folder.entryList(QDir::Files, QDir::Name))
            full << folder.filePath(name);
    }
    return full;
}

JobsAndPhotos SeparateJobFiles(const QStringList& paths) {
    const QString suffix = QLatin1Char('.') + QLatin1String(kJobFileSuffix);
    JobsAndPhotos separated;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (path.endsWith(suffix, Qt::CaseInsensitive) && !info.isDir()) {
            separated.jobs << QDir::cleanPath(info.absoluteFilePath());
        } else {
            separated.photos << path;
        }
    }
    return separated;
}

QStringList LocalPaths(const QMimeData& data) {
    QStringList paths;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile()) paths << url.toLocalFile();
    }
    return paths;
}

QString PhotoDialogFolder() {
    SettingsStore store;
    if (store.OpenKey()) {
        const QString remembered = store.ReadText(QString::fromUtf8(PhotoFolderValue));
        if (!remembered.isEmpty() && QFileInfo(remembered).isDir()) return remembered;
    }
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir()) return pictures;
    return QDir::homePath();
}

void RememberPhotoFolder(const QString& folder) {
    SettingsStore store;
    if (store.OpenKey()) store.WriteText(QString::fromUtf8(PhotoFolderValue), folder);
}

}  // namespace lisko
