#pragma once

#include <QString>
#include <QStringList>

class QMimeData;

namespace lisko {

// Photos reach the list outside the file dialog as well: named on the command line, the way a
// desktop's "Open with" passes them, or dropped from a file manager. Both become one batch of
// full paths for TForm1::AddFiles.

// Full paths for the list: a relative path is taken from the working directory; a folder stands
// for the files directly inside it, in name order (the list skips the ones that are no photos).
QStringList PhotoPathsFrom(const QStringList& paths);

// Paths that name job files (".lisko" in any case), apart from the photos and folders beside them.
// Only files named themselves count as jobs: a folder stands for the photos in it.
struct JobsAndPhotos {
    QStringList jobs;    // full paths, in the order given
    QStringList photos;  // as given
};
JobsAndPhotos SeparateJobFiles(const QStringList& paths);

// The local files and folders a drag carries; web addresses, text and other data give none.
QStringList LocalPaths(const QMimeData& data);

// Where the file dialog opens: the folder photos were last added from while it still exists,
// else the user's Pictures folder, else the home folder.
QString PhotoDialogFolder();
// Keeps the folder in the settings store next to the reminder dates. A store that does not take
// it costs the user nothing but this convenience, so that is not reported.
void RememberPhotoFolder(const QString& folder);

// The settings-store value that holds that folder.
inline constexpr char PhotoFolderValue[] = "ПапкаФотографий";

}  // namespace lisko
