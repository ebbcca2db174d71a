#include "testsupport/PdfPages.h"

#include <QStringList>
#include <stdexcept>

#include "testsupport/JpegTools.h"
#include "testsupport/Process.h"

namespace lisko::test {

PdfInfo ReadPdfInfo(const std::filesystem::path& pdf) {
    const ProcessResult run = RunProgram(PDFINFO_EXECUTABLE, {"-enc", "UTF-8", pdf.string()});
    if (run.exitCode != 0) throw std::runtime_error("pdfinfo " + pdf.string() + ": " + run.err);
    PdfInfo info;
    for (const QString& line : QString::fromStdString(run.out).split(QLatin1Char('\n'))) {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        const QString key = line.left(colon);
        const QString value = line.mid(colon + 1).trimmed();
        if (key == QLatin1String("Pages")) info.pages = value.toInt();
        if (key == QLatin1String("Title")) info.title = value;
        if (key == QLatin1String("Page size")) {
            // "595.276 x 841.89 pts (A4)"
            const QStringList parts = value.split(QLatin1Char(' '));
            info.pageSize = QSizeF(parts.value(0).toDouble(), parts.value(2).toDouble());
        }
    }
    return info;
}

QImage RenderPdfPage(const std::filesystem::path& pdf, int page, int dpi) {
    const TempDir dir;
    const std::string prefix = (dir / "page").string();
    const std::string n = std::to_string(page);
    const ProcessResult run = RunProgram(
        PDFTOPPM_EXECUTABLE,
        {"-r", std::to_string(dpi), "-f", n, "-l", n, "-png", "-singlefile", pdf.string(), prefix});
    if (run.exitCode != 0) throw std::runtime_error("pdftoppm " + pdf.string() + ": " + run.err);
    QImage image(QString::fromStdString(prefix + ".png"));
    if (image.isNull()) throw std::runtime_error("pdftoppm wrote no page " + n);
    return image.convertToFormat(QImage::Format_RGB888);
}

std::vector<QImage> PdfImages(const std::filesystem::path& pdf) {
    const TempDir dir;
    const ProcessResult run =
        RunProgram(PDFIMAGES_EXECUTABLE, {"-png", pdf.string(), (dir / "image").string()});
    if (run.exitCode != 0) throw std::runtime_error("pdfimages " + pdf.string() + ": " + run.err);
    std::vector<QImage> images;
    // pdfimages numbers its files image-000.png, image-001.png, ... in document order.
    for (int k = 0;; ++k) {
        const std::filesystem::path file =
            dir / QStringLiteral("image-%1.png").arg(k, 3, 10, QLatin1Char('0')).toStdString();
        if (!std::filesystem::exists(file)) break;
        QImage image(QString::fromStdString(file.string()));
        if (image.isNull())
            throw std::runtime_error("pdfimages wrote an unreadable " + file.string());
        images.push_back(image.convertToFormat(QImage::Format_RGB888));
    }
    return images;
}

std::vector<QString> PdfImageEncodings(const std::filesystem::path& pdf) {
    const ProcessResult run = RunProgram(PDFIMAGES_EXECUTABLE, {"-list", pdf.string()});
    if (run.exitCode != 0) throw std::runtime_error("pdfimages " + pdf.string() + ": " + run.err);
    std::vector<QString> encodings;
    // Two heading lines, then "page num type width height color comp bpc enc ...".
    const QStringList lines = QString::fromStdString(run.out).split(QLatin1Char('\n'));
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QStringList fields = lines[i].simplified().split(QLatin1Char(' '));
        if (fields.size() > 8) encodings.push_back(fields[8]);
    }
    return encodings;
}

}  // namespace lisko::test
