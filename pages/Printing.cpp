#include "pages/Printing.h"

#include <sys/stat.h>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QStorageInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <future>
#include <stdexcept>

#include "photo/SaveFile.h"

namespace lisko {

namespace {

std::runtime_error PrintError(const QString& problem, const QPrinter& printer) {
    const QString where =
        printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    return std::runtime_error(
        QStringLiteral("PrintJob: %1 (%2)").arg(problem, where).toStdString());
}

// Whether a printed document is whole: a PDF ends with its end-of-file marker, which a write that
// failed on the way (a full disk) never reaches. `file` is open for reading.
bool EndsAsAPdf(QFile& file) {
    constexpr qint64 kTail = 32;
    return file.size() >= kTail && file.seek(file.size() - kTail) &&
           file.read(kTail).contains("%%EOF");
}

// Qt's PDF output reports no failed write, so a document found cut short is explained by its
// disk: full, or failing in some way the system did not tell.
QString WhyIncomplete(const QFileInfo& target) {
    if (QStorageInfo(target.absolutePath()).bytesAvailable() == 0)
        return QString::fromLocal8Bit(std::strerror(ENOSPC));
    return QStringLiteral("the document came out incomplete");
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
    // Without this hint Qt stores each page as a JPEG: grey specks in the white, ringing round
    // fine handwriting. With it the page reaches the PDF or the printer as composed (Flate).
    painter.setRenderHint(QPainter::LosslessImageRendering);
    try {
        // The page is stretched over the printable area, whose top-left corner is the origin.
        const QRectF area(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size());
        // Each page is composed on another thread while the one before it goes into the job
        // (for a PDF mostly compressing it): on two cores a PDF of 20 photos took 2.39 s instead
        // of 2.52 s. Pages are still composed one at a time and in order. Leaving this block
        // waits for a composition under way, also when the job fails.
        const auto composeAhead = [&](std::size_t k) {
            return std::async(std::launch::async, compose, indices[k]);
        };
        std::future<QImage> next;
        if (!indices.empty()) next = composeAhead(0);
        for (std::size_t k = 0; k < indices.size(); ++k) {
            const QImage page = next.get();
            if (k + 1 < indices.size()) next = composeAhead(k + 1);
            painter.drawImage(area, page);
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

void PrintCopiesToFile(QPrinter& printer, const PageRange& range, int copies,
                       const PageComposer& compose) {
    const QString output = printer.outputFileName();
    const QFileInfo target(output);
    QTemporaryFile partial(
        target.absoluteDir().filePath(target.fileName() + QStringLiteral(".XXXXXX")));
    if (!partial.open()) throw WriteError(output, partial.errorString());
    partial.close();

    std::vector<int> indices;
    for (int copy = 1; copy <= copies; ++copy) {
        const std::vector<int> pages = range.Indices();
        indices.insert(indices.end(), pages.begin(), pages.end());
    }
    printer.setPageLayout(SheetLayout());
    printer.setOutputFileName(partial.fileName());
    try {
        PrintJob(printer, indices, compose);
    } catch (...) {
        printer.setOutputFileName(output);
        throw;
    }
    printer.setOutputFileName(output);
    if (!partial.open() || !EndsAsAPdf(partial)) throw WriteError(output, WhyIncomplete(target));
    partial.close();

    // A new file's permissions: what the user's umask leaves of read and write for all.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    std::error_code error;
    const std::filesystem::path from = partial.fileName().toStdString();
    std::filesystem::permissions(from, static_cast<std::filesystem::perms>(0666 & ~mask), error);
    if (!error) std::filesystem::rename(from, target.absoluteFilePath().toStdString(), error);
    if (error) throw WriteError(output, QString::fromStdString(error.message()));
    partial.setAutoRemove(false);
}

QPageLayout SheetLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

PageRange ChosenRange(const QPrinter& printer, int pageCount) {
    if (printer.printRange() == QPrinter::PageRange) return {printer.fromPage(), printer.toPage()};
    return {1, pageCount};
}

}  // namespace lisko
