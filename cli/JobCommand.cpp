#include "cli/JobCommand.h"

#include <QCommandLineParser>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <stdexcept>

#include "cli/Output.h"
#include "cli/PhotoOptions.h"
#include "list/PhotoList.h"
#include "pages/JobFile.h"
#include "photo/Lisko.h"

namespace lisko::cli {

namespace {

struct Settings {
    QStringList photos;  // accepted, in list order
    QString output;
    std::optional<int> rotation;
    PhotoSettings photoSettings;
    PageLayout layout;
};

Settings ReadSettings(const QCommandLineParser& parser) {
    Settings s;
    if (parser.positionalArguments().isEmpty()) throw UsageError("no photos given");
    s.output = parser.value(QStringLiteral("output"));
    if (s.output.isEmpty()) throw UsageError("no output file given (-o FILE.lisko)");
    if (parser.isSet(QStringLiteral("rotation"))) {
        const SettingDescription& turn = Describe(Setting::Rotation);
        s.rotation = ParseInt(parser.value(QStringLiteral("rotation")), turn.minimum, turn.maximum,
                              "rotation");
    }
    s.photoSettings = ReadPhotoSettings(parser);
    s.layout = ReadLayout(parser, PageLayout{});
    s.photos = AcceptedPhotos(parser.positionalArguments());
    if (s.photos.isEmpty()) throw UsageError("no .jpg or .jpeg photo given");
    std::sort(s.photos.begin(), s.photos.end(), OrdinalLess);
    return s;
}

// Each photo is imported as the program imports it, which also decides its rotation, and gets
// the settings given.
Job MakeJob(const Settings& settings) {
    QTemporaryDir scratch;
    if (!scratch.isValid()) throw std::runtime_error("cannot create a scratch directory");
    Job job;
    job.layout = settings.layout;
    ProgressLine progress;
    for (int k = 0; k < settings.photos.size(); ++k) {
        progress.Show(
            QStringLiteral("importing photo %1 of %2").arg(k + 1).arg(settings.photos.size()));
        const QString& path = settings.photos[k];
        try {
            TLisko photo(path, scratch.path());
            if (settings.rotation) photo.Rotation = *settings.rotation;
            Apply(settings.photoSettings, photo);
            job.photos.push_back(JobPhotoOf(photo));
        } catch (const std::exception& e) {
            throw ErrorAbout(path, e);
        }
    }
    return job;
}

void WriteJob(const QCommandLineParser& parser) {
    const Settings settings = ReadSettings(parser);
    SaveJobFile(settings.output, MakeJob(settings));
}

}  // namespace

int RunJob(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a job file: the photos as the program's list takes them (only .jpg and .jpeg "
        "files, each once, in ascending order of full path), each with the settings given (a new "
        "photo's defaults otherwise: black and white, brightness 1, contrast 0, no crop, "
        "rotation chosen from the photo's orientation), and the page layout. The program opens "
        "it with \"Открыть\"; 'print --job' prints it. Photos under the job file's folder are "
        "stored relative to it."));
    parser.addPositionalArgument(QStringLiteral("PHOTO..."), QStringLiteral("The JPEG photos."));
    const QCommandLineOption help = AddHelpOption(parser);
    parser.addOptions({
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("Write the job to <FILE.lisko>."),
         QStringLiteral("FILE.lisko")},
        {QStringLiteral("rotation"),
         QStringLiteral("0 none, 1 +90, 2 -90, 3 180 degrees; overrides the automatic choice."),
         RangeText(Describe(Setting::Rotation))},
    });
    AddPhotoOptions(parser);
    AddLayoutOptions(parser);
    return RunCommand(parser, help, arguments, QStringLiteral("job"), WriteJob);
}

}  // namespace lisko::cli
