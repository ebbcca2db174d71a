#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QProgressBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <memory>
#include <optional>

#include "app/Program.h"
#include "app/tests/WindowFixture.h"
#include "app/tests/WindowTestMain.h"
#include "pages/JobFile.h"
#include "raster/Jpeg.h"
#include "testsupport/FakeDialogs.h"
#include "testsupport/PdfPages.h"
#include "testsupport/Process.h"
#include "testsupport/SheetPhotos.h"
#include "testsupport/TestRaster.h"
#include "ui/Dialogs.h"

namespace lisko {
namespace {

using test::Column;

// The shared fake, with a PDF file in place of the printer that the print dialog sets up.
class FakeDialogs : public test::FakeDialogs {
public:
    bool SetUpPrinter(QWidget*, QPrinter& printer, int) override {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    }

    QString pdf;
};

bool SameBytes(const QImage& a, const QImage& b) {
    if (a.format() != b.format() || a.size() != b.size()) return false;
    for (int y = 0; y < a.height(); ++y) {
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y),
                        static_cast<std::size_t>(a.width()) * 3) != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

class JobWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir photos_;
    std::unique_ptr<QTemporaryDir> output_;
    FakeDialogs dialogs_;
    std::optional<test::WindowFixture> fixture_;

    TForm1& Form() { return fixture_->Windows().form1; }
    QString Photo(const QString& relative) const { return photos_.filePath(relative); }
    QString Output(const QString& name) const { return output_->filePath(name); }

    void WriteJpeg(const QString& relative, int width, int height, std::uint32_t seed) {
        QDir().mkpath(QFileInfo(Photo(relative)).path());
        const std::vector<std::uint8_t> jpeg =
            EncodeJpeg(test::PageLike24(width, height, seed), 90);
        QFile file(Photo(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(jpeg.data()), static_cast<qint64>(jpeg.size()));
    }

    void WriteText(const QString& path, const QByteArray& text) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    void Add(const QStringList& relative) {
        QStringList paths;
        for (const QString& r : relative)
            paths << Photo(r);
        dialogs_.answers.push_back(paths);
        QTest::mouseClick(Form().sSpeedButton3, Qt::LeftButton);
    }

    // Marks one entry, which makes it the editor's photo.
    void Select(int row) {
        Form().fileView->clearSelection();
        Form().fileView->topLevelItem(row)->setSelected(true);
    }

    void Print(const QString& pdf) {
        dialogs_.pdf = pdf;
        QTest::mouseClick(Form().sSpeedButton4, Qt::LeftButton);
        QVERIFY(QFile::exists(pdf));
    }

    void Save(const QString& path) {
        dialogs_.fileNames.push_back(path);
        QTest::mouseClick(Form().sSpeedButton9, Qt::LeftButton);
    }

    void Open(const QString& path, bool replace = true) {
        dialogs_.fileNames.push_back(path);
        dialogs_.yesNo.push_back(replace);
        QTest::mouseClick(Form().sSpeedButton10, Qt::LeftButton);
    }

    // Three photos in the list, edited through the editor's controls, and a 2 x 2 layout filled
    // down the columns.
    void MakeEditedList() {
        Add({"notes/a.jpg", "notes/b.jpg", "c.jpg"});
        QCOMPARE(Form().Photos().Count(), 3);
        Select(0);
        Form().sComboBox1->setCurrentIndex(2);
        Form().sSpinEdit1->setValue(5);
        Form().sSpinEdit5->setValue(12);
        Select(1);
        Form().sComboBox2->setCurrentIndex(0);
        Form().sSpinEdit1->setValue(-3);
        Form().sSpinEdit2->setValue(7);
        Form().sSpinEdit3->setValue(10);
        Form().sSpinEdit4->setValue(20);
        Select(2);
        Form().sSpinEdit6->setValue(50);
        Form().sSpinEdit2->setValue(4);
        Form().sSpinEdit7->setValue(2);
        Form().sSpinEdit8->setValue(2);
        Form().sComboBox3->setCurrentIndex(1);
    }

    std::vector<TLiskoData> Settings() {
        std::vector<TLiskoData> settings;
        for (int i = 0; i < Form().Photos().Count(); ++i)
            settings.push_back(Form().Photos().Photo(i));
        return settings;
    }

private slots:
    void initTestCase() {
        QVERIFY(photos_.isValid());
        WriteJpeg(QStringLiteral("notes/a.jpg"), 90, 60, 1);
        WriteJpeg(QStringLiteral("notes/b.jpg"), 60, 90, 2);
        WriteJpeg(QStringLiteral("c.jpg"), 70, 70, 3);
        WriteText(Photo(QStringLiteral("broken.jpg")), "not a photo");
        WriteText(Photo(QStringLiteral("notes.png")), "not a photo either");
        for (const test::SheetScene& scene : test::SheetScenes()) {
            if (scene.name == QLatin1String("plain_desk"))
                test::SaveSheetPhoto(scene, Photo(QStringLiteral("b-desk.jpg")));
        }
    }

    void init() {
        output_ = std::make_unique<QTemporaryDir>();
        qputenv("LISKO_UPDATE_URL", "http://127.0.0.1:1");
        dialogs_ = FakeDialogs();
        fixture_.emplace(dialogs_);
    }

    void cleanup() {
        fixture_.reset();
        qunsetenv("LISKO_UPDATE_URL");
    }

    void jobButtonsSitBesideTheRightHandTabs() {
        const QWidget* corner = Form().sPageControl1->cornerWidget(Qt::TopRightCorner);
        QVERIFY(corner);
        QCOMPARE(Form().sSpeedButton9->parentWidget(), corner);
        QCOMPARE(Form().sSpeedButton10->parentWidget(), corner);
        QCOMPARE(Form().sSpeedButton9->text(), QStringLiteral("Сохранить"));
        QCOMPARE(Form().sSpeedButton10->text(), QStringLiteral("Открыть"));
        QCOMPARE(Form().sSpeedButton9->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(Form().sSpeedButton10->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
        QVERIFY(!Form().sSpeedButton9->icon().isNull());
        QVERIFY(!Form().sSpeedButton10->icon().isNull());
    }

    void shortcutsOpenTheJobDialogs() {
        Form().show();
        QVERIFY(QTest::qWaitForWindowActive(&Form()));
        Add({"c.jpg"});
        QTest::keyClick(Form().windowHandle(), Qt::Key_S, Qt::ControlModifier);
        // A button's shortcut clicks it the way the mouse does, after a short press.
        QTRY_COMPARE(dialogs_.fileNameCount, 1);
        QCOMPARE(dialogs_.lastFileNameRequest.title, QStringLiteral("Сохранить задание"));
        QTest::keyClick(Form().windowHandle(), Qt::Key_O, Qt::ControlModifier);
        QTRY_COMPARE(dialogs_.fileNameCount, 2);
        QCOMPARE(dialogs_.lastFileNameRequest.title, QStringLiteral("Открыть задание"));
        QCOMPARE(dialogs_.lastFileNameRequest.defaultSuffix, QStringLiteral("lisko"));
        QCOMPARE(dialogs_.lastFileNameRequest.nameFilters.front(),
                 QStringLiteral("Задания LiskoPrinter (*.lisko)"));
    }

    // Save, open again over the same list, print: the same pages, the same renderings, the same
    // settings and layout, and the first photo in the editor.
    void savedJobReopensAndPrintsTheSamePages() {
        MakeEditedList();
        Print(Output(QStringLiteral("before.pdf")));
        const std::vector<TLiskoData> settingsBefore = Settings();
        std::vector<QImage> renderings;
        for (int i = 0; i < Form().Photos().Count(); ++i)
            renderings.push_back(Form().Photos().Photo(i).Render(true));
        const QStringList names = Column(Form().fileView, 0);
        const QStringList folders = Column(Form().fileView, 1);

        Save(Photo(QStringLiteral("exam.lisko")));
        QVERIFY(QFile::exists(Photo(QStringLiteral("exam.lisko"))));
        QVERIFY(dialogs_.messages.empty());
        Form().sSpinEdit7->setValue(4);
        Form().sComboBox3->setCurrentIndex(0);
        Open(Photo(QStringLiteral("exam.lisko")));

        QCOMPARE(dialogs_.questions.size(), std::size_t{1});
        QVERIFY(dialogs_.messages.empty());
        QCOMPARE(Column(Form().fileView, 0), names);
        QCOMPARE(Column(Form().fileView, 1), folders);
        const std::vector<TLiskoData> settingsAfter = Settings();
        for (std::size_t i = 0; i < settingsBefore.size(); ++i) {
            QVERIFY2(SameSettings(settingsAfter[i], settingsBefore[i]), qPrintable(names[i]));
            QVERIFY2(
                SameBytes(Form().Photos().Photo(static_cast<int>(i)).Render(true), renderings[i]),
                qPrintable(names[i]));
        }
        QCOMPARE(Form().sSpinEdit7->value(), 2);
        QCOMPARE(Form().sSpinEdit8->value(), 2);
        QCOMPARE(Form().sComboBox3->currentIndex(), 1);
        QCOMPARE(Form().sLabel16->text(), QStringLiteral("1"));
        QCOMPARE(Form().CurrentPhoto, &Form().Photos().Photo(0));
        QVERIFY(Form().fileView->topLevelItem(0)->isSelected());
        QCOMPARE(Form().sPageControl1->currentIndex(), 0);
        QCOMPARE(Form().sComboBox1->currentIndex(), 2);
        QCOMPARE(Form().sSpinEdit5->value(), 12);
        QCOMPARE(Form().sProgressBar1->value(), 0);

        Print(Output(QStringLiteral("after.pdf")));
        const std::vector<QImage> before =
            test::PdfImages(Output(QStringLiteral("before.pdf")).toStdString());
        QCOMPARE(before.size(), std::size_t{1});
        QVERIFY(before == test::PdfImages(Output(QStringLiteral("after.pdf")).toStdString()));
    }

    void openingOverAListAsksAndNoKeepsIt() {
        Add({"c.jpg"});
        Save(Output(QStringLiteral("job.lisko")));
        Add({"notes/a.jpg"});
        const TLisko* first = &Form().Photos().Photo(0);
        Open(Output(QStringLiteral("job.lisko")), false);
        QCOMPARE(dialogs_.questions.size(), std::size_t{1});
        QCOMPARE(dialogs_.questions.front().text,
                 QStringLiteral("Заменить снимки списка снимками задания «job.lisko»?"));
        QCOMPARE(Form().Photos().Count(), 2);
        QCOMPARE(&Form().Photos().Photo(0), first);
    }

    void openingIntoAnEmptyListDoesNotAsk() {
        SaveJobFile(Output(QStringLiteral("one.lisko")),
                    {PageLayout{}, {{Photo(QStringLiteral("c.jpg")), TLiskoData{}}}});
        Open(Output(QStringLiteral("one.lisko")));
        QVERIFY(dialogs_.questions.empty());
        QCOMPARE(Column(Form().fileView, 0), QStringList{"c.jpg"});
    }

    // A faulty job is reported before anything happens: no question, the list as it was.
    void faultyJobChangesNothing() {
        Add({"c.jpg", "notes/a.jpg"});
        const TLisko* first = &Form().Photos().Photo(0);
        Save(Output(QStringLiteral("faulty.lisko")));
        QFile file(Output(QStringLiteral("faulty.lisko")));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray text = file.readAll();
        text.replace("\"rotation\": 0", "\"rotation\": 9");
        file.resize(0);
        file.write(text);
        file.close();

        Open(Output(QStringLiteral("faulty.lisko")));
        QVERIFY(dialogs_.questions.empty());
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        QCOMPARE(dialogs_.messages.front().icon, QMessageBox::Critical);
        QVERIFY2(dialogs_.messages.front().text.contains(
                     R"(photo 1: "rotation" must be a whole number from 0 to 3, not 9)"),
                 qPrintable(dialogs_.messages.front().text));
        QCOMPARE(Form().Photos().Count(), 2);
        QCOMPARE(&Form().Photos().Photo(0), first);
    }

    // Missing, unreadable, foreign and repeated sources are skipped, and one message at the end
    // says which and why; the others open.
    void skippedSourcesAreListedOnceAtTheEnd() {
        const QByteArray photo = R"({ "rotation": 0, "type": "bw", "brightness": 1,
            "contrast": 0, "crop": { "left": 0, "right": 0, "top": 0, "bottom": 0 } })";
        QByteArray photos;
        for (const char* source :
             {"notes/a.jpg", "gone.jpg", "broken.jpg", "notes.png", "./notes/a.jpg", "c.jpg"}) {
            QByteArray entry = photo;
            entry.insert(1, QByteArray(R"( "source": ")") + source + "\",");
            photos += (photos.isEmpty() ? "" : ",") + entry;
        }
        WriteText(Photo(QStringLiteral("mixed.lisko")),
                  R"({ "format": "liskoprinter-job", "version": 1,
                       "layout": { "rows": 3, "columns": 3, "order": "rows" },
                       "photos": [)" +
                      photos + "] }");

        Open(Photo(QStringLiteral("mixed.lisko")));
        QCOMPARE(Column(Form().fileView, 0), (QStringList{"c.jpg", "a.jpg"}));
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        const test::FakeDialogs::Message& message = dialogs_.messages.front();
        QCOMPARE(message.icon, QMessageBox::Warning);
        const QStringList lines = message.text.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0], QStringLiteral("Эти снимки задания не открыты:"));
        QCOMPARE(lines[1], Photo(QStringLiteral("gone.jpg")) + QStringLiteral(" — файл не найден"));
        QVERIFY2(lines[2].startsWith(Photo(QStringLiteral("broken.jpg")) + " — JPEG error #"),
                 qPrintable(lines[2]));
        QCOMPARE(lines[3], Photo(QStringLiteral("notes.png")) +
                               QStringLiteral(" — не снимок JPEG (.jpg, .jpeg)"));
        QCOMPARE(lines[4],
                 Photo(QStringLiteral("notes/a.jpg")) + QStringLiteral(" — уже есть в задании"));
        QCOMPARE(QDir(fixture_->ScratchPath()).entryList(QDir::Files).size(), 2);
    }

    // Photos dropped while a job opens wait for it, then join the list.
    void photosDroppedWhileAJobOpensJoinIt() {
        SaveJobFile(Output(QStringLiteral("one.lisko")),
                    {PageLayout{}, {{Photo(QStringLiteral("c.jpg")), TLiskoData{}}}});
        QTimer::singleShot(0, &Form(),
                           [this] { Form().AddFiles({Photo(QStringLiteral("notes/a.jpg"))}); });
        Open(Output(QStringLiteral("one.lisko")));
        QCOMPARE(Column(Form().fileView, 0), (QStringList{"c.jpg", "a.jpg"}));
        QVERIFY(dialogs_.messages.empty());
    }

    // A drop naming a job while the list is being filled waits for the batch under way: then the
    // job opens as ever, asking before it replaces the list, and the photos dropped with it join
    // the list that stands after that. A batch that ends with an error takes the drop with it,
    // as it does the photos waiting behind it.
    void jobDroppedDuringABatchOpensAfterIt_data() {
        QTest::addColumn<QString>("batch");
        QTest::addColumn<bool>("replace");
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("messages");
        const QStringList replaced{"c.jpg", "b.jpg"};
        const QStringList kept{"a.jpg", "b.jpg"};
        QTest::newRow("photos, replaced") << "photos" << true << replaced << 1 << 0;
        QTest::newRow("photos, kept") << "photos" << false << kept << 1 << 0;
        QTest::newRow("job, replaced") << "job" << true << replaced << 1 << 0;
        QTest::newRow("job, kept") << "job" << false << kept << 1 << 0;
        QTest::newRow("failing photo") << "failing" << true << QStringList{"a.jpg"} << 0 << 1;
    }
    void jobDroppedDuringABatchOpensAfterIt() {
        QFETCH(QString, batch);
        QFETCH(bool, replace);
        QFETCH(QStringList, list);
        QFETCH(int, questions);
        QFETCH(int, messages);
        const QString dropped = Output(QStringLiteral("dropped.lisko"));
        SaveJobFile(dropped, {PageLayout{}, {{Photo(QStringLiteral("c.jpg")), TLiskoData{}}}});
        bool waited = false;
        QTimer::singleShot(0, &Form(), [this, dropped, &waited] {
            Form().OpenPaths({dropped, Photo(QStringLiteral("notes/b.jpg"))});
            waited = Form().Photos().Count() == 0 && dialogs_.questions.empty();
        });
        if (batch == QLatin1String("job")) {
            const QString first = Output(QStringLiteral("first.lisko"));
            SaveJobFile(first,
                        {PageLayout{}, {{Photo(QStringLiteral("notes/a.jpg")), TLiskoData{}}}});
            // Opening into the empty list asks nothing: the answer is for the dropped job.
            Open(first, replace);
        } else {
            dialogs_.yesNo.push_back(replace);
            Add(batch == QLatin1String("photos") ? QStringList{"notes/a.jpg"}
                                                 : QStringList{"notes/a.jpg", "broken.jpg"});
        }
        QVERIFY(waited);
        QCOMPARE(Column(Form().fileView, 0), list);
        QCOMPARE(dialogs_.questions.size(), static_cast<std::size_t>(questions));
        QCOMPARE(dialogs_.messages.size(), static_cast<std::size_t>(messages));
        // The replaced photo's working copy went with it.
        QCOMPARE(QDir(fixture_->ScratchPath()).entryList(QDir::Files).size(), list.size());
        // Nothing of the drop is left to open after a later batch.
        Add({"notes/b.jpg"});
        QCOMPARE(dialogs_.questions.size(), static_cast<std::size_t>(questions));
    }

    // A photo straightened with "Выровнять лист" comes back from its job straightened, with the
    // same corners: the window prints the same pages, and so does the command-line tool from the
    // same job file.
    void straightenedJobReopensAndPrintsTheSamePagesHereAndInTheCommandLine() {
        Add({"b-desk.jpg", "c.jpg"});
        Select(0);
        Form().sCheckBoxStraighten->click();
        QVERIFY(Form().Photos().Photo(0).Straighten);
        QVERIFY(Form().Photos().Photo(0).SheetCorners);
        Form().sSpinEdit7->setValue(2);
        Form().sSpinEdit8->setValue(2);
        Print(Output(QStringLiteral("before.pdf")));
        const std::vector<TLiskoData> settingsBefore = Settings();
        const QImage rendering = Form().Photos().Photo(0).Render(true);

        Save(Photo(QStringLiteral("straight.lisko")));
        Open(Photo(QStringLiteral("straight.lisko")));
        QVERIFY(dialogs_.messages.empty());
        const std::vector<TLiskoData> settingsAfter = Settings();
        QCOMPARE(settingsAfter.size(), settingsBefore.size());
        for (std::size_t i = 0; i < settingsBefore.size(); ++i)
            QVERIFY(SameSettings(settingsAfter[i], settingsBefore[i]));
        QVERIFY(SameBytes(Form().Photos().Photo(0).Render(true), rendering));
        QCOMPARE(Form().CurrentPhoto, &Form().Photos().Photo(0));
        QVERIFY(Form().sCheckBoxStraighten->isChecked());

        Print(Output(QStringLiteral("after.pdf")));
        const std::vector<QImage> before =
            test::PdfImages(Output(QStringLiteral("before.pdf")).toStdString());
        QCOMPARE(before.size(), std::size_t{1});
        QVERIFY(before == test::PdfImages(Output(QStringLiteral("after.pdf")).toStdString()));

        const test::ProcessResult cli =
            test::RunProgram(LISKO_CLI, {"print", "--job", Photo("straight.lisko").toStdString(),
                                         "-o", Output(QStringLiteral("cli.pdf")).toStdString()});
        QVERIFY2(cli.exitCode == 0, cli.err.c_str());
        QVERIFY(before == test::PdfImages(Output(QStringLiteral("cli.pdf")).toStdString()));
    }

    // Corners that the photo item would refuse make the whole job refused, as a faulty field
    // does: one error naming the job file and the photo, no question, the list as it was.
    void faultySheetCornersChangeNothing_data() {
        QTest::addColumn<QByteArray>("straightening");
        QTest::addColumn<QString>("problem");
        const auto sheet = [](const char* corners) {
            return QByteArray(R"("straighten": true, "sheet": )") + corners;
        };
        // c.jpg is 70 x 70 pixels.
        QTest::newRow("outside the picture")
            << sheet(R"({"top-left": {"x": 5, "y": 5}, "top-right": {"x": 75, "y": 5},
                         "bottom-right": {"x": 60, "y": 60}, "bottom-left": {"x": 5, "y": 60}})")
            << QStringLiteral(R"(photo 2: "sheet" does not fit %1 as imported: sheet corner )"
                              "top-right (75, 5) lies outside the 70 x 70 picture")
                   .arg(Photo(QStringLiteral("c.jpg")));
        QTest::newRow("edges crossing")
            << sheet(R"({"top-left": {"x": 5, "y": 5}, "top-right": {"x": 60, "y": 60},
                         "bottom-right": {"x": 60, "y": 5}, "bottom-left": {"x": 5, "y": 60}})")
            << QStringLiteral(R"(photo 2: "sheet": sheet edges cross or bend inwards)");
        QTest::newRow("degenerate")
            << sheet(R"({"top-left": {"x": 5, "y": 5}, "top-right": {"x": 60, "y": 5},
                         "bottom-right": {"x": 62, "y": 7}, "bottom-left": {"x": 5, "y": 60}})")
            << QStringLiteral(R"(photo 2: "sheet": sheet edge from the top-right to the )"
                              "bottom-right corner is shorter than 8 pixels");
        QTest::newRow("no corners")
            << QByteArray(R"("straighten": true)")
            << QStringLiteral(R"(photo 2: "straighten" is true, but "sheet" is )"
                              "missing");
    }

    void faultySheetCornersChangeNothing() {
        QFETCH(QByteArray, straightening);
        QFETCH(QString, problem);
        Add({"notes/a.jpg"});
        const TLisko* first = &Form().Photos().Photo(0);
        const QByteArray photo = R"("rotation": 0, "type": "bw", "brightness": 1, "contrast": 0,
            "crop": { "left": 0, "right": 0, "top": 0, "bottom": 0 })";
        WriteText(Output(QStringLiteral("corners.lisko")),
                  R"({ "format": "liskoprinter-job", "version": 1,
                       "layout": { "rows": 3, "columns": 3, "order": "rows" },
                       "photos": [ { "source": "b.jpg", )" +
                      photo + R"( }, { "source": ")" + Photo(QStringLiteral("c.jpg")).toUtf8() +
                      R"(", )" + photo + ", " + straightening + " } ] }");

        Open(Output(QStringLiteral("corners.lisko")));
        QVERIFY(dialogs_.questions.empty());
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        QCOMPARE(dialogs_.messages.front().icon, QMessageBox::Critical);
        const QString expected = Output(QStringLiteral("corners.lisko")) + ": " + problem;
        QVERIFY2(dialogs_.messages.front().text.contains(expected),
                 qPrintable(dialogs_.messages.front().text + "\n" + expected));
        QCOMPARE(Form().Photos().Count(), 1);
        QCOMPARE(&Form().Photos().Photo(0), first);
    }

    void savingAnEmptyListSaysThereIsNothingToSave() {
        QTest::mouseClick(Form().sSpeedButton9, Qt::LeftButton);
        QCOMPARE(dialogs_.fileNameCount, 0);
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        QVERIFY(dialogs_.messages.front().text.contains(QStringLiteral("сохранять нечего")));
    }

    // The save dialog starts on the job last opened or saved; cancelling it writes nothing.
    void saveDialogStartsOnTheLastJobAndCancelWritesNothing() {
        Add({"c.jpg"});
        Save(Output(QStringLiteral("first.lisko")));
        QTest::mouseClick(Form().sSpeedButton9, Qt::LeftButton);
        QCOMPARE(dialogs_.lastFileNameRequest.selected, Output(QStringLiteral("first.lisko")));
        QCOMPARE(QDir(output_->path()).entryList({"*.lisko"}, QDir::Files),
                 QStringList{"first.lisko"});
    }
};

}  // namespace lisko

int main(int argc, char* argv[]) {
    return lisko::test::RunWindowTest(argc, argv,
                                      [] { return std::make_unique<lisko::JobWindowTest>(); });
}

#include "JobWindowTest.moc"
