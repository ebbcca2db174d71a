#include "cli/PrintCommand.h"

#include <sys/stat.h>

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "cli/ImageFormats.h"
#include "cli/Output.h"
#include "cli/PhotoOptions.h"
#include "list/PhotoList.h"
#include "pages/PageComposer.h"
#include "pages/Printing.h"
#include "pages/Unit3.h"
#include "photo/ImportBatch.h"
#include "ui/Clock.h"

namespace lisko::cli {

namespace {

constexpr int kMostCopies = 999;

struct Settings {
    QStringList photos;  // as given
    QString output;      // the PDF
    QString printer;     // or a system printer
    QString previewDirectory;
    PageLayout layout;
    std::optional<PageRange> pages;  // all pages when not given
    int copies = 1;
    PhotoSettings photoSettings;
};

std::runtime_error Failure(const QString& message) {
    return std::runtime_error(message.toStdString());
}

PageRange ParsePages(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('-'));
    bool firstOk = false;
    bool lastOk = parts.size() == 1;
    PageRange range;
    range.first = parts.front().toInt(&firstOk);
    range.last = parts.size() == 2 ? parts.back().toInt(&lastOk) : range.first;
    if (parts.size() > 2 || !firstOk || !lastOk || range.first < 1 || range.last < range.first) {
        throw UsageError(
            ("--pages takes FROM-TO with 1 <= FROM <= TO, not '" + text + "'").toStdString());
    }
    return range;
}

Settings ReadSettings(const QCommandLineParser& parser) {
    Settings s;
    s.photos = parser.positionalArguments();
    if (s.photos.isEmpty()) throw UsageError("no photos given");
    s.output = parser.value(QStringLiteral("output"));
    s.printer = parser.value(QStringLiteral("printer"));
    s.previewDirectory = parser.value(QStringLiteral("preview-png"));
    if (!s.output.isEmpty() && !s.printer.isEmpty()) {
        throw UsageError("give either -o OUT.pdf or --printer NAME, not both");
    }
    if (s.output.isEmpty() && s.printer.isEmpty() && s.previewDirectory.isEmpty()) {
        throw UsageError("nothing to write: give -o OUT.pdf, --printer NAME or --preview-png DIR");
    }
    if (parser.isSet(QStringLiteral("rows"))) {
        s.layout.rows = ParseInt(parser.value(QStringLiteral("rows")), 1, kLargestGrid, "rows");
    }
    if (parser.isSet(QStringLiteral("columns"))) {
        s.layout.columns =
            ParseInt(parser.value(QStringLiteral("columns")), 1, kLargestGrid, "columns");
    }
    if (parser.isSet(QStringLiteral("order"))) {
        const QString order = parser.value(QStringLiteral("order"));
        if (order != QLatin1String("rows") && order != QLatin1String("columns")) {
            throw UsageError(("--order is 'rows' or 'columns', not '" + order + "'").toStdString());
        }
        s.layout.order =
            order == QLatin1String("columns") ? SlotOrder::ColumnWise : SlotOrder::RowWise;
    }
    if (parser.isSet(QStringLiteral("pages"))) {
        s.pages = ParsePages(parser.value(QStringLiteral("pages")));
    }
    if (parser.isSet(QStringLiteral("copies"))) {
        s.copies = ParseInt(parser.value(QStringLiteral("copies")), 1, kMostCopies, "copies");
    }
    s.photoSettings = ReadPhotoSettings(parser);
    return s;
}

// The files the program's list would take, in the order given: only .jpg and .jpeg names, each
// full path once. The rest are skipped with a note, where the program skips them silently.
QStringList AcceptedPhotos(const QStringList& given) {
    QStringList accepted;
    QSet<QString> seen;
    for (const QString& file : given) {
        // The file dialog gives absolute, clean paths; the list orders and compares those.
        const QString path = QDir::cleanPath(QFileInfo(file).absoluteFilePath());
        if (!HasPhotoExtension(path)) {
            PrintError(
                QStringLiteral("skipping %1: only .jpg and .jpeg files are printed").arg(file));
        } else if (seen.contains(path)) {
            PrintError(QStringLiteral("skipping %1: given twice").arg(file));
        } else {
            seen.insert(path);
            accepted << path;
        }
    }
    return accepted;
}

// Imports the photos into a list in the program's order, each with the given settings. The
// imports run on every core; the list takes them in the order given, as one after another would.
void ImportPhotos(const QStringList& paths, const Settings& settings, const QString& scratch,
                  PhotoList& list) {
    // The preview shows thumbnails, which the program refreshes on every change.
    const bool refreshThumbnails =
        !settings.previewDirectory.isEmpty() && settings.photoSettings.ChangesAnything();
    ImportBatch batch(paths, scratch, {}, [&settings, refreshThumbnails](TLisko& photo) {
        Apply(settings.photoSettings, photo);
        if (refreshThumbnails) photo.Render(true);
    });
    ProgressLine progress;
    for (int k = 0; k < paths.size(); ++k) {
        progress.Show(QStringLiteral("importing photo %1 of %2").arg(k + 1).arg(paths.size()));
        const QString& path = paths[k];
        try {
            list.Insert(list.InsertPosition(path), path, batch.Take(k));
        } catch (const std::exception& e) {
            throw Failure(path + QStringLiteral(": ") + DescribeError(e));
        }
    }
}

void WritePreviews(const QString& directory, const PageRange& range, const PageSources& sources) {
    if (!QDir().mkpath(directory)) throw Failure(QStringLiteral("cannot create %1").arg(directory));
    for (const int index : range.Indices()) {
        const QString name = QDir(directory).filePath(
            QStringLiteral("page-%1.png").arg(index + 1, 3, 10, QLatin1Char('0')));
        QSaveFile file(name);
        QString error = file.open(QIODevice::WriteOnly) ? QString() : file.errorString();
        if (error.isEmpty()) {
            error = WriteImage(ComposePage(kPreviewScale, index, sources), file, ImageFormat::Png,
                               kDefaultJpegQuality);
        }
        if (error.isEmpty() && !file.commit()) error = file.errorString();
        if (!error.isEmpty()) throw Failure(QStringLiteral("cannot write %1: %2").arg(name, error));
    }
}

// A new file's permissions: what the user's umask leaves of read and write for all.
std::filesystem::perms NewFilePermissions() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<std::filesystem::perms>(0666 & ~mask);
}

// One PDF document holding the copies one after another. It is written beside its final name and
// renamed when complete, so that no half document ever stands under that name.
void WritePdf(const QString& output, const std::vector<int>& indices, const PageComposer& compose) {
    const QFileInfo target(output);
    QTemporaryFile partial(target.absoluteDir().filePath(target.fileName() + ".XXXXXX"));
    if (!partial.open())
        throw Failure(QStringLiteral("cannot write %1: %2").arg(output, partial.errorString()));
    partial.close();

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(partial.fileName());
    // The composed page carries its own margins: it covers the A4 sheet exactly.
    printer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    printer.setDocName(PrintJobTitle());
    printer.setCreator(QStringLiteral("LiskoPrinter"));
    PrintJob(printer, indices, compose);

    std::error_code error;
    const std::filesystem::path from = partial.fileName().toStdString();
    std::filesystem::permissions(from, NewFilePermissions(), error);
    if (!error) std::filesystem::rename(from, target.absoluteFilePath().toStdString(), error);
    if (error) {
        throw Failure(QStringLiteral("cannot write %1: %2")
                          .arg(output, QString::fromStdString(error.message())));
    }
    partial.setAutoRemove(false);
}

void SendToPrinter(const QString& name, const PageRange& range, int copies,
                   const PageComposer& compose) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull()) {
        const QStringList known = QPrinterInfo::availablePrinterNames();
        throw Failure(QStringLiteral("no printer named '%1' (known: %2)")
                          .arg(name, known.isEmpty() ? QStringLiteral("none")
                                                     : known.join(QStringLiteral(", "))));
    }
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(PrintJobTitle());
    printer.setCopyCount(1);
    PrintCopies(printer, range, copies, compose);
}

void Print(const Settings& settings, const QStringList& paths, const PageRange& range) {
    // The working copies live in a directory of this run alone, removed at exit.
    QTemporaryDir scratch;
    if (!scratch.isValid()) throw Failure(QStringLiteral("cannot create a scratch directory"));
    PhotoList list;
    ImportPhotos(paths, settings, scratch.path(), list);

    PageSources sources;
    sources.layout = settings.layout;
    for (int i = 0; i < list.Count(); ++i)
        sources.photos.push_back(&list.Photo(i));
    sources.previewAdvertisement = PreviewAdvertisement();
    sources.printAdvertisement = PrintAdvertisement();
    sources.today = Today();

    if (!settings.previewDirectory.isEmpty())
        WritePreviews(settings.previewDirectory, range, sources);
    if (settings.output.isEmpty() && settings.printer.isEmpty()) return;

    ProgressLine progress;
    const std::vector<int> indices = range.Indices();
    const auto total = static_cast<int>(indices.size()) * settings.copies;
    int composed = 0;
    const PageComposer compose = [&](int index) {
        progress.Show(QStringLiteral("composing page %1 (%2 of %3)")
                          .arg(index + 1)
                          .arg(++composed)
                          .arg(total));
        return ComposePage(kPrintScale, index, sources);
    };
    if (!settings.printer.isEmpty()) {
        SendToPrinter(settings.printer, range, settings.copies, compose);
        return;
    }
    std::vector<int> document;
    for (int copy = 0; copy < settings.copies; ++copy)
        document.insert(document.end(), indices.begin(), indices.end());
    WritePdf(settings.output, document, compose);
}

}  // namespace

int RunPrint(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Lays the photos out on A4 pages exactly as the program prints them: in the order of the "
        "program's list (ascending full path), only .jpg and .jpeg files, each once, with an "
        "advertisement before every 19 photos. Each photo is imported as the program imports it "
        "and rendered with the settings given (a new photo's defaults otherwise: black and "
        "white, brightness 1, contrast 0, no crop). With -o the pages go into one PDF, the "
        "copies one after another; with --printer every copy is a print job of its own."));
    parser.addPositionalArgument(QStringLiteral("PHOTO..."), QStringLiteral("The JPEG photos."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    parser.addOption(help);
    parser.addOptions({
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("Write the pages to <OUT.pdf>, A4 portrait."),
         QStringLiteral("OUT.pdf")},
        {QStringLiteral("printer"),
         QStringLiteral("Send the pages to the system printer <NAME> instead."),
         QStringLiteral("NAME")},
        {QStringLiteral("preview-png"),
         QStringLiteral("Also write the pages as the preview shows them, DIR/page-NNN.png."),
         QStringLiteral("DIR")},
        {QStringLiteral("rows"), QStringLiteral("Rows of photos on a page (default 3)."),
         QStringLiteral("1..5")},
        {QStringLiteral("columns"), QStringLiteral("Columns of photos on a page (default 3)."),
         QStringLiteral("1..5")},
        {QStringLiteral("order"),
         QStringLiteral("Fill the cells along the rows (default) or down the columns."),
         QStringLiteral("rows|columns")},
        {QStringLiteral("pages"), QStringLiteral("Print only these pages (default all)."),
         QStringLiteral("FROM-TO")},
        {QStringLiteral("copies"), QStringLiteral("Number of copies (default 1)."),
         QStringLiteral("N")},
    });
    AddPhotoOptions(parser);

    if (!parser.parse(arguments)) {
        PrintError(parser.errorText());
        return Code(Exit::Usage);
    }
    if (parser.isSet(help)) {
        std::fputs(
            qPrintable(parser.helpText().replace(QStringLiteral("[options] PHOTO..."),
                                                 QStringLiteral("print [options] PHOTO..."))),
            stdout);
        return Code(Exit::Ok);
    }

    Settings settings;
    QStringList paths;
    PageRange range;
    try {
        settings = ReadSettings(parser);
        paths = AcceptedPhotos(settings.photos);
        const int pageCount = PageCount(static_cast<int>(paths.size()), settings.layout);
        if (pageCount == 0) throw UsageError("no .jpg or .jpeg photo to print");
        range = settings.pages.value_or(PageRange{1, pageCount});
        if (range.last > pageCount) {
            throw UsageError(
                QStringLiteral("--pages: the photos fill %1 page(s)").arg(pageCount).toStdString());
        }
    } catch (const UsageError& e) {
        PrintError(QString::fromStdString(e.what()));
        return Code(Exit::Usage);
    }

    try {
        Print(settings, paths, range);
    } catch (const std::exception& e) {
        PrintError(DescribeError(e));
        return Code(Exit::Failed);
    }
    return Code(Exit::Ok);
}

}  // namespace lisko::cli
