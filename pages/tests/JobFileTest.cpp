#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <string>

#include "pages/JobFile.h"
#include "photo/PhotoSettings.h"
#include "raster/Jpeg.h"
#include "testsupport/JpegTools.h"
#include "testsupport/TestRaster.h"
#include "testsupport/Tmpfs.h"

namespace lisko {
namespace {

const QString kFolder = QStringLiteral("/jobs/exam");

// Two photos, the first stored relative to the job's folder, the second absolute; every
// malformed case below is this document with one change. The first has no straightening fields,
// as every job saved before straightening existed; the second is straightened.
constexpr char kValidJob[] = R"({
  "format": "liskoprinter-job", "version": 1,
  "layout": { "rows": 2, "columns": 4, "order": "columns" },
  "photos": [
    { "source": "notes/page1.jpg", "rotation": 1, "type": "bw", "brightness": 1,
      "contrast": 0, "crop": { "left": 0, "right": 0, "top": 5, "bottom": 0 } },
    { "source": "/photos/page2.jpeg", "rotation": 3, "type": "colour", "brightness": -20,
      "contrast": 20, "crop": { "left": 50, "right": 49, "top": 0, "bottom": 50 },
      "straighten": true,
      "sheet": { "top-left": { "x": 100.25, "y": 80 }, "top-right": { "x": 900, "y": 120 },
                 "bottom-right": { "x": 950, "y": 1300 }, "bottom-left": { "x": 60, "y": 1250 } } }
  ]
})";

QJsonObject ValidJob() {
    return QJsonDocument::fromJson(kValidJob).object();
}

// The node with the value at the path ("photos/1/crop/top") replaced; an undefined value
// removes the field.
QJsonValue Edited(const QJsonValue& node, QStringList path, const QJsonValue& value) {
    if (path.isEmpty()) return value;
    const QString key = path.takeFirst();
    if (node.isArray()) {
        QJsonArray array = node.toArray();
        array[key.toInt()] = Edited(array[key.toInt()], path, value);
        return array;
    }
    QJsonObject object = node.toObject();
    const QJsonValue child = Edited(object.value(key), path, value);
    if (child.isUndefined()) {
        object.remove(key);
    } else {
        object.insert(key, child);
    }
    return object;
}

QByteArray Text(const QJsonValue& root) {
    return QJsonDocument(root.toObject()).toJson();
}

std::string ReadError(const QByteArray& text) {
    try {
        JobFromJson(text, kFolder);
    } catch (const JobFileError& e) {
        return e.what();
    }
    return "no error";
}

const QJsonValue kRemoved(QJsonValue::Undefined);

QJsonObject Corner(double x, double y) {
    return {{"x", x}, {"y", y}};
}

// The second photo's sheet with other corners.
QJsonObject Sheet(QJsonObject topLeft, QJsonObject topRight, QJsonObject bottomRight,
                  QJsonObject bottomLeft) {
    return {{"top-left", topLeft},
            {"top-right", topRight},
            {"bottom-right", bottomRight},
            {"bottom-left", bottomLeft}};
}

TEST(JobFile, ReadsEveryFieldAndTakesRelativeSourcesFromTheJobsFolder) {
    const Job job = JobFromJson(kValidJob, kFolder);
    EXPECT_EQ(job.layout.rows, 2);
    EXPECT_EQ(job.layout.columns, 4);
    EXPECT_EQ(job.layout.order, SlotOrder::ColumnWise);
    ASSERT_EQ(job.photos.size(), 2u);
    const JobPhoto& first = job.photos[0];
    EXPECT_EQ(first.source, QStringLiteral("/jobs/exam/notes/page1.jpg"));
    EXPECT_EQ(first.settings.Rotation, 1);
    EXPECT_EQ(first.settings.ImageType, 1);
    EXPECT_EQ(first.settings.Brightness, 1);
    EXPECT_EQ(first.settings.Contrast, 0);
    EXPECT_EQ(first.settings.CropTop, 5);
    EXPECT_FALSE(first.settings.Straighten);
    EXPECT_FALSE(first.settings.SheetCorners);
    const JobPhoto& second = job.photos[1];
    EXPECT_EQ(second.source, QStringLiteral("/photos/page2.jpeg"));
    EXPECT_EQ(second.settings.Rotation, 3);
    EXPECT_EQ(second.settings.ImageType, 0);
    EXPECT_EQ(second.settings.Brightness, -20);
    EXPECT_EQ(second.settings.Contrast, 20);
    EXPECT_EQ(second.settings.CropLeft, 50);
    EXPECT_EQ(second.settings.CropRight, 49);
    EXPECT_EQ(second.settings.CropTop, 0);
    EXPECT_EQ(second.settings.CropBottom, 50);
    EXPECT_TRUE(second.settings.Straighten);
    ASSERT_TRUE(second.settings.SheetCorners);
    EXPECT_EQ(*second.settings.SheetCorners, (SheetQuad{QPointF(100.25, 80), QPointF(900, 120),
                                                        QPointF(950, 1300), QPointF(60, 1250)}));
}

// A later program may add optional fields; this one opens such a file and ignores them. A byte
// order mark from a text editor does not matter either.
TEST(JobFile, IgnoresFieldsItDoesNotKnowAndAByteOrderMark) {
    QJsonValue job = Edited(ValidJob(), {QStringLiteral("comment")}, QStringLiteral("exam 3"));
    job = Edited(job, QStringLiteral("photos/0/label").split('/'), true);
    const Job read = JobFromJson("\xEF\xBB\xBF" + Text(job), kFolder);
    ASSERT_EQ(read.photos.size(), 2u);
    EXPECT_EQ(read.photos[0].settings.CropTop, 5);
}

TEST(JobFile, ResolvesParentFoldersInRelativeSources) {
    const QJsonValue job = Edited(ValidJob(), QStringLiteral("photos/0/source").split('/'),
                                  QStringLiteral("../shared/./page.jpg"));
    EXPECT_EQ(JobFromJson(Text(job), kFolder).photos[0].source,
              QStringLiteral("/jobs/shared/page.jpg"));
}

struct EditCase {
    const char* name;
    const char* path;  // of the field changed, "/" between the steps
    QJsonValue value;  // kRemoved removes it
    const char* message;
};

class MalformedJob : public ::testing::TestWithParam<EditCase> {};

TEST_P(MalformedJob, IsRefusedWithAMessageNamingTheFieldAndThePhoto) {
    const EditCase& c = GetParam();
    const QJsonValue job =
        Edited(ValidJob(), QString::fromLatin1(c.path).split(QLatin1Char('/')), c.value);
    EXPECT_EQ(ReadError(Text(job)), c.message);
}

INSTANTIATE_TEST_SUITE_P(
    JobFile, MalformedJob,
    ::testing::Values(
        EditCase{"FormatMissing", "format", kRemoved, R"(not a job file: "format" is missing)"},
        EditCase{"FormatOther", "format", "photo-album",
                 R"(not a job file: "format" is "photo-album", not "liskoprinter-job")"},
        EditCase{"FormatNotText", "format", 1,
                 R"(not a job file: "format" is 1, not "liskoprinter-job")"},
        EditCase{"VersionNewer", "version", 2,
                 "the job was saved by a newer program (format version 2); this one reads "
                 "version 1"},
        EditCase{"VersionMissing", "version", kRemoved, R"("version" is missing)"},
        EditCase{"VersionZero", "version", 0,
                 R"("version" must be a whole number from 1 up, not 0)"},
        EditCase{"VersionText", "version", "1",
                 R"("version" must be a whole number from 1 up, not "1")"},
        EditCase{"LayoutMissing", "layout", kRemoved, R"("layout" is missing)"},
        EditCase{"LayoutNotObject", "layout", QJsonArray{3, 3},
                 R"("layout" must be an object, not a list)"},
        EditCase{"RowsZero", "layout/rows", 0,
                 R"("layout.rows" must be a whole number from 1 to 5, not 0)"},
        EditCase{"RowsFraction", "layout/rows", 2.5,
                 R"("layout.rows" must be a whole number from 1 to 5, not 2.5)"},
        EditCase{"ColumnsSix", "layout/columns", 6,
                 R"("layout.columns" must be a whole number from 1 to 5, not 6)"},
        EditCase{"ColumnsMissing", "layout/columns", kRemoved, R"("layout.columns" is missing)"},
        EditCase{"OrderUnknown", "layout/order", "diagonal",
                 R"("layout.order" must be "rows" or "columns", not "diagonal")"},
        EditCase{"OrderAsNumber", "layout/order", 1,
                 R"("layout.order" must be "rows" or "columns", not 1)"},
        EditCase{"PhotosMissing", "photos", kRemoved, R"("photos" is missing)"},
        EditCase{"PhotosNotList", "photos", QJsonObject{},
                 R"("photos" must be a list, not an object)"},
        EditCase{"PhotoNotObject", "photos/1", "page2.jpg",
                 R"(photo 2 must be an object, not "page2.jpg")"},
        EditCase{"SourceMissing", "photos/0/source", kRemoved, R"(photo 1: "source" is missing)"},
        EditCase{"SourceEmpty", "photos/0/source", "",
                 R"(photo 1: "source" must be a non-empty text, not "")"},
        EditCase{"SourceNumber", "photos/1/source", 5,
                 R"(photo 2: "source" must be a non-empty text, not 5)"},
        EditCase{"RotationFour", "photos/1/rotation", 4,
                 R"(photo 2: "rotation" must be a whole number from 0 to 3, not 4)"},
        EditCase{"RotationNegative", "photos/0/rotation", -1,
                 R"(photo 1: "rotation" must be a whole number from 0 to 3, not -1)"},
        EditCase{"RotationAsCaption", "photos/0/rotation", "+90",
                 R"(photo 1: "rotation" must be a whole number from 0 to 3, not "+90")"},
        EditCase{"TypeMissing", "photos/1/type", kRemoved, R"(photo 2: "type" is missing)"},
        EditCase{"TypeGrey", "photos/1/type", "grey",
                 R"(photo 2: "type" must be "colour" or "bw", not "grey")"},
        EditCase{"TypeAsIndex", "photos/1/type", 0,
                 R"(photo 2: "type" must be "colour" or "bw", not 0)"},
        EditCase{"BrightnessAboveRange", "photos/1/brightness", 21,
                 R"(photo 2: "brightness" must be a whole number from -20 to 20, not 21)"},
        EditCase{"BrightnessBelowRange", "photos/1/brightness", -21,
                 R"(photo 2: "brightness" must be a whole number from -20 to 20, not -21)"},
        EditCase{"BrightnessBool", "photos/0/brightness", true,
                 R"(photo 1: "brightness" must be a whole number from -20 to 20, not true)"},
        EditCase{"BrightnessNull", "photos/0/brightness", QJsonValue(),
                 R"(photo 1: "brightness" must be a whole number from -20 to 20, not null)"},
        EditCase{"ContrastFraction", "photos/0/contrast", 0.5,
                 R"(photo 1: "contrast" must be a whole number from -20 to 20, not 0.5)"},
        EditCase{"ContrastHuge", "photos/0/contrast", 1e300,
                 R"(photo 1: "contrast" must be a whole number from -20 to 20, not 1e+300)"},
        EditCase{"ContrastMissing", "photos/1/contrast", kRemoved,
                 R"(photo 2: "contrast" is missing)"},
        EditCase{"CropMissing", "photos/1/crop", kRemoved, R"(photo 2: "crop" is missing)"},
        EditCase{"CropNotObject", "photos/1/crop", 5,
                 R"(photo 2: "crop" must be an object, not 5)"},
        EditCase{"CropTopMissing", "photos/0/crop/top", kRemoved,
                 R"(photo 1: "crop.top" is missing)"},
        EditCase{"CropLeftNegative", "photos/0/crop/left", -1,
                 R"(photo 1: "crop.left" must be a whole number from 0 to 50, not -1)"},
        EditCase{"CropBottomAboveRange", "photos/1/crop/bottom", 51,
                 R"(photo 2: "crop.bottom" must be a whole number from 0 to 50, not 51)"},
        EditCase{"CropRightAsText", "photos/1/crop/right", "10",
                 R"(photo 2: "crop.right" must be a whole number from 0 to 50, not "10")"},
        EditCase{"CropsMeetAcross", "photos/1/crop/right", 50,
                 R"(photo 2: "crop.left" and "crop.right" together cut the whole photo away )"
                 "(50 + 50)"},
        EditCase{"CropsMeetDown", "photos/1/crop/top", 50,
                 R"(photo 2: "crop.top" and "crop.bottom" together cut the whole photo away )"
                 "(50 + 50)"},
        EditCase{"StraightenAsNumber", "photos/1/straighten", 1,
                 R"(photo 2: "straighten" must be true or false, not 1)"},
        EditCase{"StraightenWithoutSheet", "photos/1/sheet", kRemoved,
                 R"(photo 2: "straighten" is true, but "sheet" is missing)"},
        EditCase{"SheetAsList", "photos/1/sheet", QJsonArray{100, 80},
                 R"(photo 2: "sheet" must be an object, not a list)"},
        EditCase{"CornerMissing", "photos/1/sheet/bottom-left", kRemoved,
                 R"(photo 2: "sheet.bottom-left" is missing)"},
        EditCase{"CornerWithoutY", "photos/1/sheet/top-right/y", kRemoved,
                 R"(photo 2: "sheet.top-right.y" is missing)"},
        EditCase{"CornerNegative", "photos/1/sheet/top-left/x", -3,
                 R"(photo 2: "sheet.top-left.x" must be a number from 0 to 1500, not -3)"},
        EditCase{"CornerBeyondAnyWorkingCopy", "photos/1/sheet/bottom-right/y", 1500.5,
                 R"(photo 2: "sheet.bottom-right.y" must be a number from 0 to 1500, not 1500.5)"},
        EditCase{"CornerAsText", "photos/1/sheet/top-left/x", "100",
                 R"(photo 2: "sheet.top-left.x" must be a number from 0 to 1500, not "100")"},
        EditCase{"CornerNull", "photos/1/sheet/top-left/y", QJsonValue(),
                 R"(photo 2: "sheet.top-left.y" must be a number from 0 to 1500, not null)"},
        EditCase{"EdgesCross", "photos/1/sheet",
                 Sheet(Corner(100, 80), Corner(950, 1300), Corner(900, 120), Corner(60, 1250)),
                 R"(photo 2: "sheet": sheet edges cross or bend inwards: the corners must )"
                 "make a convex quadrilateral"},
        EditCase{"CornersMirrored", "photos/1/sheet",
                 Sheet(Corner(900, 120), Corner(100, 80), Corner(60, 1250), Corner(950, 1300)),
                 R"(photo 2: "sheet": sheet corners go round the wrong way: they must be )"
                 "top-left, top-right, bottom-right, bottom-left"},
        EditCase{"TwoCornersTogether", "photos/1/sheet/bottom-right", Corner(903, 125),
                 R"(photo 2: "sheet": sheet edge from the top-right to the bottom-right corner )"
                 "is shorter than 8 pixels"},
        EditCase{"CornerOnItsNeighboursLine", "photos/1/sheet/top-right", Corner(525, 690),
                 R"(photo 2: "sheet": sheet corner top-right (525, 690) lies almost on the )"
                 "line of its neighbours"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

class EachSetting : public ::testing::TestWithParam<SettingDescription> {
protected:
    // The path of the setting's field in the first photo of kValidJob, "/" between the steps.
    static QStringList Path(const SettingDescription& row) {
        QStringList path{QStringLiteral("photos"), QStringLiteral("0")};
        if (*row.jobObject) path << QLatin1String(row.jobObject);
        return path << QLatin1String(row.jobKey);
    }

    // The setting's field as an error message names it: "crop.left".
    static std::string Name(const SettingDescription& row) {
        return std::string(row.jobObject) + (*row.jobObject ? "." : "") + row.jobKey;
    }
};

// Each setting is read from its field over its whole range and saved back to the same field,
// and a number one past either end of the range is refused, the message naming the range.
TEST_P(EachSetting, IsReadAndSavedOverItsRangeAndRefusedPastIt) {
    const SettingDescription& row = GetParam();
    for (const int value : {row.minimum, row.maximum}) {
        const QJsonValue stored =
            row.choices.empty()
                ? QJsonValue(value)
                : QJsonValue(QLatin1String(row.choices[static_cast<std::size_t>(value)]));
        const Job job = JobFromJson(Text(Edited(ValidJob(), Path(row), stored)), kFolder);
        EXPECT_EQ(job.photos.at(0).settings.*row.field, value) << value;
        QJsonValue saved = QJsonDocument::fromJson(JobToJson(job, kFolder)).object();
        for (const QString& step : Path(row))
            saved =
                saved.isArray() ? saved.toArray().at(step.toInt()) : saved.toObject().value(step);
        EXPECT_EQ(saved, stored) << value;
    }
    if (!row.choices.empty()) return;  // other names: MalformedJob
    for (const int value : {row.minimum - 1, row.maximum + 1}) {
        const QJsonValue job = Edited(ValidJob(), Path(row), value);
        EXPECT_EQ(ReadError(Text(job)),
                  "photo 1: \"" + Name(row) + "\" must be a whole number from " +
                      std::to_string(row.minimum) + " to " + std::to_string(row.maximum) +
                      ", not " + std::to_string(value));
    }
}

INSTANTIATE_TEST_SUITE_P(JobFile, EachSetting, ::testing::ValuesIn(kPhotoSettings),
                         [](const auto& testCase) {
                             const SettingDescription& row = testCase.param;
                             return std::string(row.jobObject) + (*row.jobObject ? "_" : "") +
                                    row.jobKey;
                         });

struct TextCase {
    const char* name;
    QByteArray text;
    const char* message;
};

class MalformedText : public ::testing::TestWithParam<TextCase> {};

TEST_P(MalformedText, IsNotAJobFile) {
    EXPECT_EQ(ReadError(GetParam().text), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    JobFile, MalformedText,
    ::testing::Values(TextCase{"Empty", "",
                               "not a job file: not JSON (illegal value at character 0)"},
                      TextCase{"CutShort", QByteArray(kValidJob).left(120),
                               "not a job file: not JSON (unterminated object at character 120)"},
                      TextCase{"BrokenUtf8",
                               R"({"format": "liskoprinter-job", "x": ")"
                               "\xC3\x28"
                               R"("})",
                               "not a job file: not JSON (invalid UTF8 string at character 37)"},
                      TextCase{"List", "[1, 2]", "not a job file: not a JSON object"},
                      TextCase{"Jpeg", QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10),
                               "not a job file: not JSON (illegal value at character 1)"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

struct SourceCase {
    const char* name;
    const char* folder;
    const char* source;
    const char* stored;
};

class StoredSource : public ::testing::TestWithParam<SourceCase> {};

// Under the job's folder a source is stored relative, so that the folder can move as a whole;
// anything else absolute. Either way it reads back as the same absolute path.
TEST_P(StoredSource, IsRelativeOnlyUnderTheJobsFolder) {
    const SourceCase& c = GetParam();
    Job job;
    job.photos.push_back({QString::fromUtf8(c.source), TLiskoData{}});
    const QByteArray text = JobToJson(job, QString::fromUtf8(c.folder));
    const QJsonObject photo =
        QJsonDocument::fromJson(text).object().value("photos").toArray().at(0).toObject();
    EXPECT_EQ(photo.value("source").toString(), QString::fromUtf8(c.stored));
    EXPECT_EQ(JobFromJson(text, QString::fromUtf8(c.folder)).photos.at(0).source,
              QString::fromUtf8(c.source));
}

INSTANTIATE_TEST_SUITE_P(
    JobFile, StoredSource,
    ::testing::Values(SourceCase{"InTheFolder", "/jobs/exam", "/jobs/exam/page.jpg", "page.jpg"},
                      SourceCase{"InASubfolder", "/jobs/exam", "/jobs/exam/day 1/лекция.jpg",
                                 "day 1/лекция.jpg"},
                      SourceCase{"InAFolderSharingThePrefix", "/jobs/exam", "/jobs/exam2/a.jpg",
                                 "/jobs/exam2/a.jpg"},
                      SourceCase{"InTheParentFolder", "/jobs/exam", "/jobs/a.jpg", "/jobs/a.jpg"},
                      SourceCase{"Elsewhere", "/jobs/exam", "/media/card/DCIM/IMG_1.JPG",
                                 "/media/card/DCIM/IMG_1.JPG"},
                      SourceCase{"UnderTheRoot", "/", "/a.jpg", "a.jpg"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TLiskoData Settings(int rotation, int type, int brightness, int contrast, int left, int right,
                    int top, int bottom) {
    TLiskoData s;
    s.Rotation = rotation;
    s.ImageType = type;
    s.Brightness = brightness;
    s.Contrast = contrast;
    s.CropLeft = left;
    s.CropRight = right;
    s.CropTop = top;
    s.CropBottom = bottom;
    return s;
}

// Corners come back to the last bit, so a reopened photo straightens to the same pixels: also
// thirds and square roots, which have no short decimal form. Corners are kept with the box off.
TEST(JobFile, WritesWhatItReadsBack) {
    Job job;
    job.layout = {5, 1, SlotOrder::ColumnWise};
    job.photos = {{"/jobs/exam/a.jpg", Settings(2, 0, -20, 20, 50, 49, 1, 2)},
                  {"/jobs/b.jpg", Settings(0, 1, 20, -20, 0, 0, 50, 0)},
                  {"/jobs/c.jpg", Settings(0, 1, 1, 0, 0, 0, 0, 0)},
                  {"/jobs/d.jpg", Settings(1, 1, 1, 0, 0, 0, 0, 0)}};
    job.photos[2].settings.Straighten = true;
    job.photos[2].settings.SheetCorners =
        SheetQuad{QPointF(100.0 / 3, 0), QPointF(1499.9999999999998, 1e-9),
                  QPointF(std::sqrt(2.0) * 1000, 1125), QPointF(0.1, 1000.0 / 7)};
    job.photos[3].settings.SheetCorners =
        SheetQuad{QPointF(0, 0), QPointF(1500, 0), QPointF(1500, 1500), QPointF(0, 1500)};
    const Job read = JobFromJson(JobToJson(job, kFolder), kFolder);
    EXPECT_EQ(read.layout.rows, 5);
    EXPECT_EQ(read.layout.columns, 1);
    EXPECT_EQ(read.layout.order, SlotOrder::ColumnWise);
    ASSERT_EQ(read.photos.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(read.photos[i].source, job.photos[i].source);
        EXPECT_TRUE(SameSettings(read.photos[i].settings, job.photos[i].settings)) << i;
    }
}

// A photo that has never been straightened is written with the fields it always had, so a job
// without straightening reads as before in a program that does not know the new fields.
TEST(JobFile, PhotoWithoutCornersHasNoStraighteningFields) {
    Job job;
    job.photos = {{"/jobs/exam/a.jpg", Settings(1, 1, 1, 0, 0, 0, 0, 0)}};
    const QJsonObject photo = QJsonDocument::fromJson(JobToJson(job, kFolder))
                                  .object()
                                  .value("photos")
                                  .toArray()
                                  .at(0)
                                  .toObject();
    EXPECT_EQ(photo.keys(),
              (QStringList{"brightness", "contrast", "crop", "rotation", "source", "type"}));
}

// Values the photo item renders like the editor's own are written as those.
TEST(JobFile, WritesATurnOrTypeOutsideTheEditorsChoicesAsTheOneItRendersLike) {
    Job job;
    job.photos = {{"/jobs/exam/a.jpg", Settings(7, 5, 1, 0, 0, 0, 0, 0)}};
    const Job read = JobFromJson(JobToJson(job, kFolder), kFolder);
    EXPECT_EQ(read.photos.at(0).settings.Rotation, 0);
    EXPECT_EQ(read.photos.at(0).settings.ImageType, 1);
}

class JobFileOnDisk : public ::testing::Test {
protected:
    QString Path(const char* name) const { return QString::fromStdString((dir_ / name).string()); }
    static QByteArray Contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }
    static void Write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QStringList Files() const {
        return QDir(QString::fromStdString(dir_.Path().string())).entryList(QDir::Files);
    }
    Job TwoPhotos() const {
        Job job;
        job.photos = {{Path("a.jpg"), Settings(1, 0, 3, -4, 5, 6, 7, 8)},
                      {"/elsewhere/b.jpg", Settings(0, 1, 1, 0, 0, 0, 0, 0)}};
        return job;
    }

    test::TempDir dir_;
};

TEST_F(JobFileOnDisk, SavesAndLoadsRelativeToTheFilesFolder) {
    SaveJobFile(Path("exam.lisko"), TwoPhotos());
    EXPECT_TRUE(Contents(Path("exam.lisko")).contains(R"("source": "a.jpg")"));
    const Job read = LoadJobFile(Path("exam.lisko"));
    ASSERT_EQ(read.photos.size(), 2u);
    EXPECT_EQ(read.photos[0].source, Path("a.jpg"));
    EXPECT_EQ(read.photos[1].source, QStringLiteral("/elsewhere/b.jpg"));
    EXPECT_EQ(Files(), QStringList{"exam.lisko"});
}

// What the program could not read back is never written, and the earlier file stays.
TEST_F(JobFileOnDisk, RefusesToSaveValuesOutsideTheEditorsRanges) {
    Write(Path("exam.lisko"), "earlier");
    Job job = TwoPhotos();
    job.photos[1].settings.Brightness = 30;
    try {
        SaveJobFile(Path("exam.lisko"), job);
        FAIL() << "saved";
    } catch (const JobFileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  Path("exam.lisko").toStdString() +
                      R"(: cannot save the job: photo 2: "brightness" must be a whole number )"
                      "from -20 to 20, not 30");
    }
    EXPECT_EQ(Contents(Path("exam.lisko")), "earlier");
}

// The disk fills up halfway (a file size limit stands in for it): the earlier job stays whole
// and no partial file is left beside it.
TEST_F(JobFileOnDisk, FailedWriteLeavesTheEarlierFileIntact) {
    Write(Path("exam.lisko"), "earlier");
    std::string error;
    {
        const test::FileSizeLimit limit(64);
        ASSERT_TRUE(limit.Set());
        try {
            SaveJobFile(Path("exam.lisko"), TwoPhotos());
        } catch (const JobFileError& e) {
            error = e.what();
        }
    }
    EXPECT_EQ(error.rfind(Path("exam.lisko").toStdString() + ": cannot save the job: ", 0), 0u)
        << error;
    EXPECT_EQ(Contents(Path("exam.lisko")), "earlier");
    EXPECT_EQ(Files(), QStringList{"exam.lisko"});
}

TEST_F(JobFileOnDisk, NamesTheFileItCannotSaveOrLoad) {
    const QString missingFolder = Path("gone/exam.lisko");
    EXPECT_THROW(SaveJobFile(missingFolder, TwoPhotos()), JobFileError);
    try {
        LoadJobFile(missingFolder);
        FAIL() << "loaded";
    } catch (const JobFileError& e) {
        EXPECT_EQ(std::string(e.what()).rfind(missingFolder.toStdString() + ": ", 0), 0u)
            << e.what();
    }
}

TEST_F(JobFileOnDisk, LoadingNamesTheFileBeforeTheFault) {
    Write(Path("exam.lisko"),
          Text(Edited(ValidJob(), QStringLiteral("photos/1/rotation").split('/'), 9)));
    try {
        LoadJobFile(Path("exam.lisko"));
        FAIL() << "loaded";
    } catch (const JobFileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  Path("exam.lisko").toStdString() +
                      R"(: photo 2: "rotation" must be a whole number from 0 to 3, not 9)");
    }
}

// A file chosen by mistake, say a film, is not read into memory whole.
TEST_F(JobFileOnDisk, RefusesAFileFarLargerThanAJob) {
    QFile big(Path("film.lisko"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(64 * 1024 * 1024));
    big.close();
    try {
        LoadJobFile(Path("film.lisko"));
        FAIL() << "loaded";
    } catch (const JobFileError& e) {
        EXPECT_EQ(std::string(e.what()), Path("film.lisko").toStdString() +
                                             ": not a job file: larger than 16777216 bytes");
    }
}

struct FitCase {
    const char* name;
    int width;  // of the source photo; 0: no such file, -1: a file that is no JPEG
    int height;
    SheetQuad corners;
    const char* problem;  // after the job file's path; empty when the job loads
};

class SheetAgainstTheSource : public JobFileOnDisk,
                              public ::testing::WithParamInterface<FitCase> {};

// The corners lie in the working copy the import will make; whether they fit it is known from
// the source's size, before anything is imported.
TEST_P(SheetAgainstTheSource, FitsTheWorkingCopyItsSourceGives) {
    const FitCase& c = GetParam();
    if (c.width > 0) {
        const std::vector<std::uint8_t> jpeg =
            EncodeJpeg(test::Uniform24(c.width, c.height, {200, 200, 200}), 75);
        test::WriteFileBytes(dir_ / "page.jpg", {jpeg.begin(), jpeg.end()});
    } else if (c.width < 0) {
        Write(Path("page.jpg"), "not a photo");
    }
    Job job;
    job.photos = {{Path("page.jpg"), Settings(0, 1, 1, 0, 0, 0, 0, 0)}};
    job.photos[0].settings.Straighten = true;
    job.photos[0].settings.SheetCorners = c.corners;
    SaveJobFile(Path("exam.lisko"), job);
    try {
        const Job read = LoadJobFile(Path("exam.lisko"));
        EXPECT_STREQ(c.problem, "");
        EXPECT_TRUE(SameSettings(read.photos.at(0).settings, job.photos[0].settings));
    } catch (const JobFileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  Path("exam.lisko").toStdString() + ": " +
                      QString::fromUtf8(c.problem).arg(Path("page.jpg")).toStdString());
    }
}

const SheetQuad kWholeLandscape{QPointF(0, 0), QPointF(1500, 0), QPointF(1500, 750),
                                QPointF(0, 750)};

INSTANTIATE_TEST_SUITE_P(
    JobFile, SheetAgainstTheSource,
    ::testing::Values(
        // 2000 x 1000 is imported as 1500 x 750; its corners reach to the edges.
        FitCase{"ToTheEdgesOfAScaledPhoto", 2000, 1000, kWholeLandscape, ""},
        FitCase{"BelowAScaledPhoto", 2000, 999, kWholeLandscape,
                R"(photo 1: "sheet" does not fit %1 as imported: sheet corner bottom-right )"
                "(1500, 750) lies outside the 1500 x 749 picture"},
        FitCase{"RightOfATurnedPhoto", 1000, 2000, kWholeLandscape,
                R"(photo 1: "sheet" does not fit %1 as imported: sheet corner top-right )"
                "(1500, 0) lies outside the 750 x 1500 picture"},
        FitCase{"BelowASmallPhoto", 300, 200,
                SheetQuad{QPointF(10, 10), QPointF(290, 10), QPointF(290, 190), QPointF(10, 200.5)},
                R"(photo 1: "sheet" does not fit %1 as imported: sheet corner bottom-left )"
                "(10, 201) lies outside the 300 x 200 picture"},
        // Opening such a photo fails with its own reason, which the window lists.
        FitCase{"SourceMissing", 0, 0, kWholeLandscape, ""},
        FitCase{"SourceNoJpeg", -1, 0, kWholeLandscape, ""}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace lisko
