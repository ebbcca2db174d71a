#include "pages/Printing.h"

#include <QPainter>
#include <QPrinter>
#include <stdexcept>

namespace lisko {

namespace {

std::runtime_error PrintError(const QString& problem, const QPrinter& printer) {
    const QString where =
        printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    return std::runtime_error(
        QStringLiteral("PrintJob: %1 (%2)").arg(problem, where).toStdString());
}

}  // namespace

std::vector<int> PageRange::Indices() const {
    std::vector<int> indices;
    for (int q = first; q <= last; ++q)
        indices.push_back(q - 1);
    return indices;
}

QString PrintJobTitle() {
    return QStringLiteral("Шпаргалки");
}

void PrintJob(QPrinter& printer, const std::vector<int>& indices, const PageComposer& compose) {
    QPainter painter;
    if (!painter.begin(&printer)) throw PrintError(QStringLiteral("cannot start the job"), printer);
    try {
        // The page is stretched over the printable area, whose top-left corner is the origin.
        const QRectF area(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size());
        for (std::size_t k = 0; k < indices.size(); ++k) {
            painter.drawImage(area, compose(indices[k]));
            if (k + 1 < indices.size() && !printer.newPage())
                throw PrintError(QStringLiteral("cannot start a new page"), printer);
        }
    } catch (...) {
        printer.abort();
        painter.end();
        throw;
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw PrintError(QStringLiteral("cannot finish the job"), printer);
}

void PrintCopies(QPrinter& printer, const PageRange& range, int copies, const PageComposer& compose,
                 const std::function<void(int copy)>& beforeJob) {
    const std::vector<int> indices = range.Indices();
    for (int copy = 1; copy <= copies; ++copy) {
        if (beforeJob) beforeJob(copy);
        PrintJob(printer, indices, compose);
    }
}

PageRange ChosenRange(const QPrinter& printer, int pageCount) {
    if (printer.printRange() == QPrinter::PageRange) return {printer.fromPage(), printer.toPage()};
    return {1, pageCount};
}

}  // namespace lisko
