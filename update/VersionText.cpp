#include "update/VersionText.h"

#include <QList>

namespace lisko {

namespace {

constexpr char16_t kFirstCp1251Letter = 192;  // А
constexpr char16_t kLastCp1251Letter = 255;   // я
constexpr char16_t kCp1251ToUnicodeLetters = 848;

QByteArray Unquoted(QByteArray value) {
    value = value.trimmed();
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.mid(1, value.size() - 2);
    return value;
}

}  // namespace

QString WidenCp1251Letters(const QString& text) {
    QString widened = text;
    for (QChar& c : widened) {
        const char16_t unit = c.unicode();
        if (unit >= kFirstCp1251Letter && unit <= kLastCp1251Letter)
            c = QChar(static_cast<char16_t>(unit + kCp1251ToUnicodeLetters));
    }
    return widened;
}

bool DeclaresUtf8(const QByteArray& contentType) {
    const QList<QByteArray> parts = contentType.split(';');
    // The first part is the media type; the parameters follow.
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const qsizetype equals = parts[i].indexOf('=');
        if (equals < 0) continue;
        if (parts[i].left(equals).trimmed().toLower() != "charset") continue;
        const QByteArray charset = Unquoted(parts[i].mid(equals + 1)).toLower();
        return charset == "utf-8" || charset == "utf8";
    }
    return false;
}

QString DecodeVersionText(const QByteArray& body, const QByteArray& contentType) {
    const QString text =
        DeclaresUtf8(contentType) ? QString::fromUtf8(body) : QString::fromLatin1(body);
    return WidenCp1251Letters(text);
}

}  // namespace lisko
