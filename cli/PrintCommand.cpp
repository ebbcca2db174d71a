#include "cli/PrintCommand.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "cli/ImageFormats.h"
#include "cli/Output.h"
#include "cli/PhotoOptions.h"
#include "list/PageSources.h"
#include "list/PhotoList.h"
#include "pages/Advertisements.h"
#include "pages/Clock.h"
#include "pages/JobFile.h"
#include "pages/PageComposer.h"
#include "pages/Printing.h"
#include "photo/ImportBatch.h"
#include "photo/SaveFile.h"

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
    QHash<QString, JobPhoto> jobPhotos;  // a job's settings, by source
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

// With a job, its photos and layout are the starting point that the options change.
Settings ReadSettings(const QCommandLineParser& parser, const Job* job) {
    Settings s;
    s.photos = parser.positionalArguments();
    if (job && !s.photos.isEmpty()) throw UsageError("give either photos or --job FILE, not both");
    if (job) {
        for (const JobPhoto& photo : job->photos) {
            s.photos << photo.source;
            s.jobPhotos.insert(photo.source, photo);
        }
        if (s.photos.isEmpty()) throw UsageError("the job holds no photos");
    }
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
    s.layout = ReadLayout(parser, job ? job->layout : PageLayout{});
    if (parser.isSet(QStringLiteral("pages"))) {
        s.pages = ParsePages(parser.value(QStringLiteral("pages")));
    }
    if (parser.isSet(QStringLiteral("copies"))) {
        s.copies = ParseInt(parser.value(QStringLiteral("copies")), 1, kMostCopies, "copies");
    }
    s.photoSettings = ReadPhotoSettings(parser);
    return s;
}

// Imports the photos into a list in the program's order, each with the given settings. The
// imports run on every core; the list takes them in the order given, as one after another would.
void ImportPhotos(const QStringList& paths, const Settings& settings, const QString& scratch,
                  PhotoList& list) {
    // Runs on the workers, which only read the settings, before each photo's first rendering, so
    // the preview's thumbnails show the settings.
    ImportBatch batch(paths, scratch, {}, [&settings](TLisko& photo) {
        if (const auto job = settings.jobPhotos.constFind(photo.SourceFile);
            job != settings.jobPhotos.constEnd()) {
            ApplySettings(*job, photo);
        }
        Apply(settings.photoSettings, photo);
    });
    ProgressLine progress;
    for (int k = 0; k < paths.size(); ++k) {
        progress.Show(QStringLiteral("importing photo %1 of %2").arg(k + 1).arg(paths.size()));
        const QString& path = paths[k];
        try {
            list.Insert(list.InsertPosition(path), path, batch.Take(k));
        } catch (const std::exception& e) {
            throw ErrorAbout(path, e);
        }
    }
}

void WritePreviews(const QString& directory, const PageRange& range, const PageSources& sources) {
    if (!QDir().mkpath(directory)) throw Failure(QStringLiteral("cannot create %1").arg(directory));
    for (const int index : range.Indices()) {
        const QString name = QDir(directory).filePath(
            QStringLiteral("page-%1.png").arg(index + 1, 3, 10, QLatin1Char('0')));
        WriteWholeFile(name, EncodeImage(ComposePage(kPreviewScale, index, sources), name,
                                         kDefaultJpegQuality));
    }
}

// One PDF document holding the copies one after another, as the window prints to a file.
void WritePdf(const QString& output, const PageRange& range, int copies,
              const PageComposer& compose) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(output);
    printer.setDocName(PrintJobTitle());
    printer.setCreator(QStringLiteral("LiskoPrinter"));
    PrintCopiesToFile(printer, range, copies, compose);
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

    const PageSources sources =
        SourcesOf(list, settings.layout, PreviewAdvertisement(), PrintAdvertisement(), Today());

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
    WritePdf(settings.output, range, settings.copies, compose);
}

// The job is read first: its photos and layout are what the options change.
void PrintPhotos(const QCommandLineParser& parser) {
    std::optional<Job> job;
    if (parser.isSet(QStringLiteral("job"))) job = LoadJobFile(parser.value(QStringLiteral("job")));
    const Settings settings = ReadSettings(parser, job ? &*job : nullptr);
    const QStringList paths = AcceptedPhotos(settings.photos);
    const int pageCount = PageCount(static_cast<int>(paths.size()), settings.layout);
    if (pageCount == 0) throw UsageError("no .jpg or .jpeg photo to print");
    const PageRange range = settings.pages.value_or(PageRange{1, pageCount});
    if (range.last > pageCount) {
        throw UsageError(
            QStringLiteral("--pages: the photos fill %1 page(s)").arg(pageCount).toStdString());
    }
    Print(settings, paths, range);
}

}  // namespace

int RunPrint(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Lays the photos out on A4 pages exactly as the program prints them: in the order of the "
        "program's list (ascending full path), only .jpg and .jpeg files, each once, with an "
        "advertisement before every 19 photos. Each photo is imported as the program imports it "
        "and rendered with the settings given (a new photo's defaults otherwise: black and "
        "white, brightness 1, contrast 0, no crop). --job takes the photos, their settings and the "
        "layout from a job file instead; the options given change them. With -o the pages go "
        "into one PDF, the copies one after another; with --printer every copy is a print job of "
        "its own."));
    parser.addPositionalArgument(QStringLiteral("PHOTO..."), QStringLiteral("The JPEG photos."));
    const QCommandLineOption help = AddHelpOption(parser);
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
        {QStringLiteral("job"),
         QStringLiteral("Print the photos of the job file <FILE.lisko> with their settings and "
                        "its layout, instead of photos given here; options change them."),
         QStringLiteral("FILE.lisko")},
        {QStringLiteral("pages"), QStringLiteral("Print only these pages (default all)."),
         QStringLiteral("FROM-TO")},
        {QStringLiteral("copies"), QStringLiteral("Number of copies (default 1)."),
         QStringLiteral("N")},
    });
    AddLayoutOptions(parser);
    AddPhotoOptions(parser);
    return RunCommand(parser, help, arguments, QStringLiteral("print"), PrintPhotos);
}

}  // namespace lisko::cli
