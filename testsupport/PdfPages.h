#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>
#include <filesystem>

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

}  // namespace lisko::test
