#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>

namespace lisko::cli {

// The picture formats the tool writes, chosen by the output file's extension.
enum class ImageFormat { Png, Jpeg, Bmp, Ppm };

inline constexpr int kDefaultJpegQuality = 95;

// The format of a file name by its extension in any letter case; none for another extension.
std::optional<ImageFormat> FormatOfName(const QString& fileName);
// ".png, .jpg, .jpeg, .bmp, .ppm", for the messages that refuse another one.
QString AcceptedExtensions();

// The picture encoded in the format of `fileName`, which FormatOfName knows: PNG with zlib's
// fastest level and no row filters (a rendering is written once and read rarely; Qt's writer at
// its default level spent more than half of a whole render run), BMP and PPM with the exact
// pixels, JPEG at jpegQuality (1..100). Throws WriteError naming the file when the encoder fails.
QByteArray EncodeImage(const QImage& image, const QString& fileName, int jpegQuality);

}  // namespace lisko::cli
