#include "cli/ImageFormats.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QStringList>
#include <array>
#include <utility>

#include "cli/PngFile.h"
#include "photo/SaveFile.h"

namespace lisko::cli {

namespace {

constexpr std::array<std::pair<const char*, ImageFormat>, 5> kExtensions{{
    {"png", ImageFormat::Png},
    {"jpg", ImageFormat::Jpeg},
    {"jpeg", ImageFormat::Jpeg},
    {"bmp", ImageFormat::Bmp},
    {"ppm", ImageFormat::Ppm},
}};

// The writer's error text, empty on success.
QString WriteImage(const QImage& image, QIODevice& device, ImageFormat format, int jpegQuality) {
    if (format == ImageFormat::Png) return WritePng(image, device);
    QImageWriter writer(&device, format == ImageFormat::Jpeg  ? "jpeg"
                                 : format == ImageFormat::Bmp ? "bmp"
                                                              : "ppm");
    if (format == ImageFormat::Jpeg) writer.setQuality(jpegQuality);
    // The writers of BMP and PPM take 24-bit RGB whole; handing them that keeps every byte.
    const bool plainRgb = format == ImageFormat::Bmp || format == ImageFormat::Ppm;
    const QImage& written = plainRgb && image.format() != QImage::Format_RGB888 && !image.isNull()
                                ? image.convertToFormat(QImage::Format_RGB888)
                                : image;
    if (writer.write(written)) return {};
    return writer.errorString();
}

}  // namespace

std::optional<ImageFormat> FormatOfName(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    for (const auto& [extension, format] : kExtensions) {
        if (suffix == QLatin1String(extension)) return format;
    }
    return std::nullopt;
}

QString AcceptedExtensions() {
    QStringList names;
    for (const auto& entry : kExtensions)
        names << QLatin1Char('.') + QLatin1String(entry.first);
    return names.join(QStringLiteral(", "));
}

QByteArray EncodeImage(const QImage& image, const QString& fileName, int jpegQuality) {
    QBuffer encoded;
    encoded.open(QIODevice::WriteOnly);
    const QString error = WriteImage(image, encoded, *FormatOfName(fileName), jpegQuality);
    if (!error.isEmpty()) throw WriteError(fileName, error);
    return encoded.data();
}

}  // namespace lisko::cli
