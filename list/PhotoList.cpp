#include "list/PhotoList.h"

#include <algorithm>

namespace lisko {

namespace {

qsizetype LastDelimiter(const QString& path) {
#ifdef Q_OS_WIN
    const qsizetype slash =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return std::max(slash, path.lastIndexOf(QLatin1Char(':')));
#else
    return path.lastIndexOf(QLatin1Char('/'));
#endif
}

}  // namespace

bool OrdinalLess(const QString& a, const QString& b) {
    return std::lexicographical_compare(a.utf16(), a.utf16() + a.size(), b.utf16(),
                                        b.utf16() + b.size());
}

bool HasPhotoExtension(const QString& path) {
    const QString name = NamePart(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) return false;
    // Only ASCII letters change case, as the extension test has always done.
    QString extension = name.mid(dot);
    for (QChar& c : extension) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 'a' + 'A');
    }
    return extension == QLatin1String(".JPG") || extension == QLatin1String(".JPEG");
}

QString DirectoryPart(const QString& path) {
    return path.left(LastDelimiter(path) + 1);
}

QString NamePart(const QString& path) {
    return path.mid(LastDelimiter(path) + 1);
}

std::optional<int> PhotoList::IndexOfPath(const QString& path) const {
    for (int i = 0; i < Count(); ++i) {
        if (Entry(i).FullPath() == path) return i;
    }
    return std::nullopt;
}

int PhotoList::InsertPosition(const QString& path) const {
    for (int i = 0; i < Count(); ++i) {
        if (OrdinalLess(path, Entry(i).FullPath())) return i;
    }
    return Count();
}

std::optional<int> PhotoList::IndexOfPhoto(const TLisko* photo) const {
    for (int i = 0; i < Count(); ++i) {
        if (Entry(i).photo.get() == photo) return i;
    }
    return std::nullopt;
}

void PhotoList::Insert(int index, const QString& path, std::unique_ptr<TLisko> photo) {
    entries_.insert(entries_.begin() + index,
                    PhotoEntry{NamePart(path), DirectoryPart(path), std::move(photo)});
}

void PhotoList::Remove(int index) {
    entries_.at(static_cast<std::size_t>(index)).photo.reset();
    entries_.erase(entries_.begin() + index);
}

}  // namespace lisko
