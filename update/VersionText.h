#pragma once

#include <QByteArray>
#include <QString>

namespace lisko {

// The same text with the code units 192 to 255 moved up by 848: the Windows-1251 letters А to я,
// taken one byte per code unit, become the Unicode letters U+0410 to U+044F. Ё, ё and every
// other code unit stay as they are.
QString WidenCp1251Letters(const QString& text);

// Whether a Content-Type value declares the character set UTF-8 (or UTF8), in any letter case.
bool DeclaresUtf8(const QByteArray& contentType);

// The update server's version text from its response: the body as UTF-8 when the Content-Type
// declares it, otherwise one code unit per byte; then widened. Nothing is trimmed.
QString DecodeVersionText(const QByteArray& body, const QByteArray& contentType);

}  // namespace lisko
