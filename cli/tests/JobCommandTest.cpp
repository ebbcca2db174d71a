#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <string>
#include <string_view>
#include <vector>

#include "photo/PhotoSettings.h"
#include "raster/Jpeg.h"
#include "testsupport/JpegTools.h"
#include "testsupport/PdfPages.h"
#include "testsupport/Process.h"
#include "testsupport/TestRaster.h"

namespace lisko {
namespace {

namespace fs = std::filesystem;

QByteArray ReadBytes(const fs::path& file) {
    QFile f(QString::fromStdString(file.string()));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class JobCommand : public ::testing::Test {
protected:
    void SetUp() override {
        WritePhoto(landscape_, 90, 60, 1);
        WritePhoto(portrait_, 60, 90, 2);
        test::WriteFileBytes(dir_ / "broken.jpg", {'n', 'o', 't'});
        test::WriteFileBytes(dir_ / "notes.png", {'p', 'n', 'g'});
    }

    static void WritePhoto(const fs::path& file, int width, int height, std::uint32_t seed) {
        const std::vector<std::uint8_t> jpeg =
            EncodeJpeg(test::PageLike24(width, height, seed), 90);
        test::WriteFileBytes(file, {jpeg.begin(), jpeg.end()});
    }

    static test::ProcessResult Cli(const std::vector<std::string>& arguments) {
        return test::RunProgram(LISKO_CLI, arguments);
    }

    static std::vector<std::string> With(std::vector<std::string> arguments,
                                         const std::vector<std::string>& more) {
        arguments.insert(arguments.end(), more.begin(), more.end());
        return arguments;
    }

    QJsonObject JobText() const { return QJsonDocument::fromJson(ReadBytes(job_)).object(); }

    test::TempDir dir_;
    // Given in this order; the list puts the portrait first.
    const fs::path landscape_ = dir_ / "b-landscape.jpg";
    const fs::path portrait_ = dir_ / "a-portrait.jpg";
    const fs::path job_ = dir_ / "exam.lisko";
    const std::vector<std::string> options_{"--type",    "colour",   "--brightness", "2",
                                            "--crop",    "5,5,0,10", "--rows",       "2",
                                            "--columns", "1"};
};

TEST_F(JobCommand, WritesThePhotosInListOrderWithTheirSettingsAndTheLayout) {
    const test::ProcessResult run =
        Cli(With({"job", landscape_.string(), portrait_.string(), "-o", job_.string()},
                 With(options_, {"--order", "columns"})));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonObject job = JobText();
    EXPECT_EQ(job.value("format").toString(), QStringLiteral("liskoprinter-job"));
    EXPECT_EQ(job.value("layout").toObject(),
              (QJsonObject{{"rows", 2}, {"columns", 1}, {"order", "columns"}}));
    const QJsonArray photos = job.value("photos").toArray();
    ASSERT_EQ(photos.size(), 2);
    const QJsonObject crop{{"left", 5}, {"right", 5}, {"top", 0}, {"bottom", 10}};
    EXPECT_EQ(photos[0].toObject(), (QJsonObject{{"source", "a-portrait.jpg"},
                                                 {"rotation", 0},
                                                 {"type", "colour"},
                                                 {"brightness", 2},
                                                 {"contrast", 0},
                                                 {"crop", crop}}));
    // The import turns a landscape photo upright.
    EXPECT_EQ(photos[1].toObject().value("source").toString(), QStringLiteral("b-landscape.jpg"));
    EXPECT_EQ(photos[1].toObject().value("rotation").toInt(), 1);
}

TEST_F(JobCommand, RotationOptionOverridesTheImportsChoice) {
    const test::ProcessResult run =
        Cli({"job", landscape_.string(), "--rotation", "3", "-o", job_.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonObject photo = JobText().value("photos").toArray().at(0).toObject();
    EXPECT_EQ(photo.value("rotation").toInt(), 3);
    EXPECT_EQ(photo.value("type").toString(), QStringLiteral("bw"));
    EXPECT_EQ(photo.value("brightness").toInt(), 1);
}

// A job made from photos and options prints the very pages, and previews the very pictures, that
// the same photos and options print directly.
TEST_F(JobCommand, PrintingTheJobGivesTheSamePagesAsPrintingThePhotos) {
    ASSERT_EQ(
        Cli(With({"job", landscape_.string(), portrait_.string(), "-o", job_.string()}, options_))
            .exitCode,
        0);
    const test::ProcessResult direct =
        Cli(With({"print", landscape_.string(), portrait_.string(), "-o",
                  (dir_ / "direct.pdf").string(), "--preview-png", (dir_ / "direct").string()},
                 options_));
    ASSERT_EQ(direct.exitCode, 0) << direct.err;
    const test::ProcessResult fromJob =
        Cli({"print", "--job", job_.string(), "-o", (dir_ / "job.pdf").string(), "--preview-png",
             (dir_ / "job").string()});
    ASSERT_EQ(fromJob.exitCode, 0) << fromJob.err;

    const std::vector<QImage> pages = test::PdfImages(dir_ / "direct.pdf");
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(test::PdfImages(dir_ / "job.pdf") == pages);
    for (const char* page : {"page-001.png", "page-002.png"}) {
        const QByteArray preview = ReadBytes(dir_ / "direct" / page);
        ASSERT_FALSE(preview.isEmpty()) << page;
        EXPECT_EQ(ReadBytes(dir_ / "job" / page), preview) << page;
    }
}

TEST_F(JobCommand, CommandLineLayoutOverridesTheJobs) {
    ASSERT_EQ(
        Cli(With({"job", landscape_.string(), portrait_.string(), "-o", job_.string()}, options_))
            .exitCode,
        0);
    const fs::path pdf = dir_ / "out.pdf";
    ASSERT_EQ(Cli({"print", "--job", job_.string(), "-o", pdf.string()}).exitCode, 0);
    EXPECT_EQ(test::ReadPdfInfo(pdf).pages, 2);  // the advertisement and two photos, 2 x 1
    ASSERT_EQ(Cli({"print", "--job", job_.string(), "-o", pdf.string(), "--rows", "1"}).exitCode,
              0);
    EXPECT_EQ(test::ReadPdfInfo(pdf).pages, 3);
}

std::vector<SettingDescription> SettingsWithAnOption() {
    std::vector<SettingDescription> rows;
    for (const SettingDescription& row : kPhotoSettings) {
        if (*row.option) rows.push_back(row);
    }
    return rows;
}

class SettingOption : public JobCommand, public ::testing::WithParamInterface<SettingDescription> {
protected:
    // The option giving the setting `value` and the settings that share the option their
    // defaults, as "--option=TEXT" so that a negative number is not taken for an option.
    static std::string Option(const SettingDescription& row, int value) {
        std::string text;
        for (const SettingDescription& other : kPhotoSettings) {
            if (std::string_view(other.option) != row.option) continue;
            const int given = other.setting == row.setting ? value : other.defaultValue;
            if (!text.empty()) text += ',';
            text += row.choices.empty() ? std::to_string(given)
                                        : row.choices[static_cast<std::size_t>(given)];
        }
        return "--" + std::string(row.option) + "=" + text;
    }

    // The photo's field in the job file the command wrote.
    QJsonValue Stored(const SettingDescription& row) const {
        QJsonObject object = JobText().value("photos").toArray().at(0).toObject();
        if (*row.jobObject) object = object.value(row.jobObject).toObject();
        return object.value(row.jobKey);
    }
};

// Each setting's option takes the setting's whole range, the range the job file's reader takes,
// into the setting's field, and refuses one past either end naming that range.
TEST_P(SettingOption, TakesTheSettingsRangeIntoItsField) {
    const SettingDescription& row = GetParam();
    for (const int value : {row.minimum, row.maximum}) {
        const std::string option = Option(row, value);
        const test::ProcessResult run =
            Cli({"job", portrait_.string(), option, "-o", job_.string()});
        ASSERT_EQ(run.exitCode, 0) << option << ": " << run.err;
        const QJsonValue expected =
            row.choices.empty()
                ? QJsonValue(value)
                : QJsonValue(QLatin1String(row.choices[static_cast<std::size_t>(value)]));
        EXPECT_EQ(Stored(row), expected) << option;
    }
    if (!row.choices.empty()) return;  // other names: the table of bad calls
    for (const int value : {row.minimum - 1, row.maximum + 1}) {
        const std::string option = Option(row, value);
        const test::ProcessResult run =
            Cli({"job", portrait_.string(), option, "-o", (dir_ / "out.lisko").string()});
        EXPECT_EQ(run.exitCode, 2) << option;
        const std::string message = "--" + std::string(row.option) + " takes a whole number from " +
                                    std::to_string(row.minimum) + " to " +
                                    std::to_string(row.maximum) + ", not '" +
                                    std::to_string(value) + "'";
        EXPECT_NE(run.err.find(message), std::string::npos) << option << ": " << run.err;
        EXPECT_FALSE(fs::exists(dir_ / "out.lisko"));
    }
}

INSTANTIATE_TEST_SUITE_P(JobCommand, SettingOption, ::testing::ValuesIn(SettingsWithAnOption()),
                         [](const auto& testCase) {
                             const SettingDescription& row = testCase.param;
                             return std::string(row.jobObject) + (*row.jobObject ? "_" : "") +
                                    row.jobKey;
                         });

struct ErrorCase {
    const char* name;
    std::vector<std::string> arguments;  // "DIR/" stands for the test's folder
    int exitCode;
    const char* message;  // a part of what stderr says
};

class JobCommandError : public JobCommand, public ::testing::WithParamInterface<ErrorCase> {};

// Every failure names what was wrong and leaves no output behind.
TEST_P(JobCommandError, IsReportedAndWritesNothing) {
    test::WriteFileBytes(dir_ / "bad.lisko", {'{', '}'});
    const std::string json = R"({"format": "liskoprinter-job", "version": 1,
        "layout": {"rows": 3, "columns": 3, "order": "rows"},
        "photos": [{"source": "gone.jpg", "rotation": 0, "type": "bw", "brightness": 1,
                    "contrast": 0, "crop": {"left": 0, "right": 0, "top": 0, "bottom": 0}}]})";
    test::WriteFileBytes(dir_ / "gone.lisko", {json.begin(), json.end()});

    std::vector<std::string> arguments;
    for (const std::string& argument : GetParam().arguments) {
        arguments.push_back(argument.rfind("DIR/", 0) == 0 ? (dir_ / argument.substr(4)).string()
                                                           : argument);
    }
    const test::ProcessResult run = Cli(arguments);
    EXPECT_EQ(run.exitCode, GetParam().exitCode) << run.err;
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(dir_ / "out.pdf"));
    EXPECT_FALSE(fs::exists(dir_ / "out.lisko"));
}

INSTANTIATE_TEST_SUITE_P(
    JobCommand, JobCommandError,
    ::testing::Values(
        ErrorCase{"NoPhotos", {"job", "-o", "DIR/out.lisko"}, 2, "no photos given"},
        ErrorCase{"NoOutput", {"job", "DIR/a-portrait.jpg"}, 2, "no output file given"},
        ErrorCase{"OnlyForeignFiles",
                  {"job", "DIR/notes.png", "-o", "DIR/out.lisko"},
                  2,
                  "no .jpg or .jpeg photo given"},
        ErrorCase{"BrightnessOutOfRange",
                  {"job", "DIR/a-portrait.jpg", "--brightness", "30", "-o", "DIR/out.lisko"},
                  2,
                  "--brightness takes a whole number from -20 to 20, not '30'"},
        ErrorCase{"UnreadablePhoto",
                  {"job", "DIR/a-portrait.jpg", "DIR/broken.jpg", "-o", "DIR/out.lisko"},
                  1,
                  "broken.jpg: JPEG error #"},
        ErrorCase{"OutputFolderMissing",
                  {"job", "DIR/a-portrait.jpg", "-o", "DIR/gone/out.lisko"},
                  1,
                  "out.lisko: cannot save the job: "},
        ErrorCase{"JobMissing",
                  {"print", "--job", "DIR/none.lisko", "-o", "DIR/out.pdf"},
                  1,
                  "none.lisko: "},
        ErrorCase{"JobMalformed",
                  {"print", "--job", "DIR/bad.lisko", "-o", "DIR/out.pdf"},
                  1,
                  R"(bad.lisko: not a job file: "format" is missing)"},
        ErrorCase{"JobPhotoMissing",
                  {"print", "--job", "DIR/gone.lisko", "-o", "DIR/out.pdf"},
                  1,
                  "gone.jpg: "},
        ErrorCase{"JobAndPhotos",
                  {"print", "DIR/a-portrait.jpg", "--job", "DIR/gone.lisko", "-o", "DIR/out.pdf"},
                  2,
                  "give either photos or --job FILE, not both"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace lisko
