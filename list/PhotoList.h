#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "photo/Lisko.h"

namespace lisko {

// One photo on the list: where it came from and the photo item it owns.
struct PhotoEntry {
    QString name;       // file name with extension, column "Имя"
    QString directory;  // up to and including the last delimiter, column "Путь"
    std::unique_ptr<TLisko> photo;

    QString FullPath() const { return directory + name; }
};

// The photos to print, in print order: ascending full path by ordinal comparison of the UTF-16
// code units, without duplicates. Marking lives in the list control, not here.
class PhotoList {
public:
    int Count() const { return static_cast<int>(entries_.size()); }
    const PhotoEntry& Entry(int index) const {
        return entries_.at(static_cast<std::size_t>(index));
    }
    TLisko& Photo(int index) const { return *Entry(index).photo; }

    std::optional<int> IndexOfPath(const QString& path) const;
    // The index of the first entry whose full path sorts after path; Count() when none does.
    int InsertPosition(const QString& path) const;
    // Index of the entry that owns photo, if any.
    std::optional<int> IndexOfPhoto(const TLisko* photo) const;

    void Insert(int index, const QString& path, std::unique_ptr<TLisko> photo);
    // Destroys the entry's photo item (deleting its working copy), then the entry.
    void Remove(int index);

private:
    std::vector<PhotoEntry> entries_;
};

// Case-sensitive comparison by UTF-16 code units; a prefix sorts first.
bool OrdinalLess(const QString& a, const QString& b);

// True for the extensions ".jpg" and ".jpeg" in any letter case.
bool HasPhotoExtension(const QString& path);

// The directory part of path, up to and including its last delimiter, and the rest.
QString DirectoryPart(const QString& path);
QString NamePart(const QString& path);

}  // namespace lisko
