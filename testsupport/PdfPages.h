#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>
#include <filesystem>
#include <vector>

namespace lisko::test {

// What poppler's pdfinfo says about a PDF file.
struct PdfInfo {
    int pages = 0;
    QString title;
    QSizeF pageSize;  // of the first page, in points
};

// Throw when the file is not a readable PDF.
PdfInfo ReadPdfInfo(const std::filesystem::path& pdf);
// Page `page` (1-based) as poppler's pdftoppm renders it at `dpi`.
QImage RenderPdfPage(const std::filesystem::path& pdf, int page, int dpi);
// The pictures stored in the PDF, in document order, as poppler's pdfimages extracts them: the
// stored pixels themselves (RGB888), not a rendering.
std::vector<QImage> PdfImages(const std::filesystem::path& pdf);
// How each picture is stored, as `pdfimages -list` names it: "image" for lossless (Flate or
// raw), "jpeg" for JPEG, and so on.
std::vector<QString> PdfImageEncodings(const std::filesystem::path& pdf);

}  // namespace lisko::test
