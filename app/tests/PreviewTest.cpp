#include <sys/statvfs.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <optional>

#include "app/Program.h"
#include "app/tests/WindowFixture.h"
#include "app/tests/WindowTestMain.h"
#include "list/PageSources.h"
#include "pages/Clock.h"
#include "pages/PageComposer.h"
#include "raster/Jpeg.h"
#include "testsupport/FakeDialogs.h"
#include "testsupport/PdfPages.h"
#include "testsupport/TestRaster.h"
#include "testsupport/Tmpfs.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

namespace lisko {
namespace {

// The shared fake, with a PDF file in place of the printer that the print dialog sets up.
class FakeDialogs : public test::FakeDialogs {
public:
    bool SetUpPrinter(QWidget*, QPrinter& printer, int pageCount) override {
        offeredPages.push_back(pageCount);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setCopyCount(copies);
        printer.setPrintRange(range);
        printer.setFromTo(from, to);
        return true;
    }

    QString pdf;
    int copies = 1;
    QPrinter::PrintRange range = QPrinter::AllPages;
    int from = 0;
    int to = 0;
    std::vector<int> offeredPages;
};

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Every file below dir with its bytes, by path.
std::map<QString, QByteArray> FilesBelow(const QString& dir) {
    std::map<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[path] = FileBytes(path);
    }
    return files;
}

enum class Tint { Red, Blue, Other };

// Which of the two test photos a printed page shows in its middle.
Tint TintOf(const QImage& page) {
    const QColor c = page.pixelColor(page.rect().center());
    if (c.red() > 150 && c.blue() < 100) return Tint::Red;
    if (c.blue() > 150 && c.red() < 100) return Tint::Blue;
    return Tint::Other;
}

}  // namespace

class PreviewTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir photos_;
    QTemporaryDir output_;
    FakeDialogs dialogs_;
    std::optional<test::WindowFixture> fixture_;

    TForm1& Form() { return fixture_->Windows().form1; }
    QString Pdf() const { return output_.filePath(QStringLiteral("printed.pdf")); }

    void WriteJpeg(const QString& name, const TFastDIB& picture) {
        const std::vector<std::uint8_t> jpeg = EncodeJpeg(picture, 90);
        QFile file(photos_.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(jpeg.data()), static_cast<qint64>(jpeg.size()));
    }

    // The first n of the numbered photos, added in one batch.
    void AddPhotos(int n) {
        QStringList paths;
        for (int i = 0; i < n; ++i)
            paths << photos_.filePath(QStringLiteral("p%1.jpg").arg(i, 2, 10, QLatin1Char('0')));
        dialogs_.answers.push_back(paths);
        QTest::mouseClick(Form().sSpeedButton3, Qt::LeftButton);
        QCOMPARE(Form().Photos().Count(), n);
    }

    // The red and the blue photo, rendered in colour.
    void AddTintedPhotos() {
        dialogs_.answers.push_back({photos_.filePath(QStringLiteral("a-red.jpg")),
                                    photos_.filePath(QStringLiteral("b-blue.jpg"))});
        QTest::mouseClick(Form().sSpeedButton3, Qt::LeftButton);
        QCOMPARE(Form().Photos().Count(), 2);
        for (int i = 0; i < 2; ++i) {
            Form().Photos().Photo(i).ImageType = 0;
            Form().Photos().Photo(i).Brightness = 0;
        }
    }

    void SetLayout(int rows, int columns) {
        Form().sSpinEdit7->setValue(rows);
        Form().sSpinEdit8->setValue(columns);
    }

    QString FirstMessage() const {
        return dialogs_.messages.empty() ? QString() : dialogs_.messages.front().text;
    }

    QImage Preview() const { return fixture_->Windows().form1.Image2->pixmap().toImage(); }

    QImage Expected(int scale, int page) {
        const TForm3& form3 = fixture_->Windows().form3;
        return ComposePage(scale, page,
                           SourcesOf(Form().Photos(),
                                     {Form().sSpinEdit7->value(), Form().sSpinEdit8->value(),
                                      static_cast<SlotOrder>(Form().sComboBox3->currentIndex())},
                                     form3.Image0, form3.Image1, Today()));
    }

private slots:
    void initTestCase() {
        QVERIFY(photos_.isValid());
        for (int i = 0; i < 40; ++i) {
            WriteJpeg(QStringLiteral("p%1.jpg").arg(i, 2, 10, QLatin1Char('0')),
                      test::Noise24(40, 30, static_cast<std::uint32_t>(i)));
        }
        WriteJpeg(QStringLiteral("a-red.jpg"), test::Uniform24(30, 40, {40, 40, 210}));
        WriteJpeg(QStringLiteral("b-blue.jpg"), test::Uniform24(30, 40, {210, 40, 40}));
    }

    void init() {
        dialogs_ = FakeDialogs();
        dialogs_.pdf = Pdf();
        QFile::remove(Pdf());
        fixture_.emplace(dialogs_);
    }

    void cleanup() { fixture_.reset(); }

    void layoutPanelStartsAtThreeByThreeRowWise() {
        QCOMPARE(Form().sSpinEdit7->value(), 3);
        QCOMPARE(Form().sSpinEdit8->value(), 3);
        QCOMPARE(Form().sSpinEdit7->minimum(), 1);
        QCOMPARE(Form().sSpinEdit7->maximum(), 5);
        QCOMPARE(Form().sSpinEdit8->maximum(), 5);
        QCOMPARE(Form().sComboBox3->count(), 2);
        QCOMPARE(Form().sComboBox3->itemText(0), QStringLiteral("В строку"));
        QCOMPARE(Form().sComboBox3->itemText(1), QStringLiteral("В столбик"));
        QCOMPARE(Form().sComboBox3->currentIndex(), 0);
        QCOMPARE(Form().sGroupBox3->title(), QStringLiteral("Расположение:"));
        QCOMPARE(Form().sLabel14->text(), QStringLiteral("Страница:               из:"));
        QCOMPARE(Form().sLabel16->text(), QStringLiteral("0"));
        QCOMPARE(Form().sSpinEdit13->value(), 1);
        QCOMPARE(Form().PageCount, 0);
    }

    void pageCountFollowsTheListAndTheLayout_data() {
        QTest::addColumn<int>("photos");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("selectorMaximum");
        QTest::newRow("none") << 0 << 3 << 3 << 0 << 2;
        QTest::newRow("one photo, two slots") << 1 << 3 << 3 << 1 << 2;
        QTest::newRow("eight fill a page") << 8 << 3 << 3 << 1 << 2;
        QTest::newRow("nine spill over") << 9 << 3 << 3 << 2 << 2;
        QTest::newRow("seventeen") << 17 << 3 << 3 << 2 << 2;
        QTest::newRow("eighteen") << 18 << 3 << 3 << 3 << 3;
        QTest::newRow("twenty on five by five") << 20 << 5 << 5 << 1 << 2;
        QTest::newRow("five pages") << 37 << 3 << 3 << 5 << 5;
    }

    void pageCountFollowsTheListAndTheLayout() {
        QFETCH(int, photos);
        QFETCH(int, rows);
        QFETCH(int, columns);
        QFETCH(int, pages);
        QFETCH(int, selectorMaximum);
        SetLayout(rows, columns);
        AddPhotos(photos);
        // Adding recounts (unless nothing was added); so does every change of the layout.
        Form().sComboBox3->setCurrentIndex(1);
        QCOMPARE(Form().PageCount, pages);
        QCOMPARE(Form().sLabel16->text(), QString::number(pages));
        QCOMPARE(Form().sSpinEdit13->minimum(), 1);
        QCOMPARE(Form().sSpinEdit13->maximum(), selectorMaximum);
    }

    void removingPhotosRecountsThePages() {
        AddPhotos(9);
        QCOMPARE(Form().PageCount, 2);
        Form().fileView->selectAll();
        QTest::mouseClick(Form().sSpeedButton1, Qt::LeftButton);
        QCOMPARE(Form().PageCount, 0);
        QCOMPARE(Form().sLabel16->text(), QStringLiteral("0"));
    }

    void selectorGoesBackToPageOneWhenItsPageGoes() {
        AddPhotos(26);  // 28 slots: four pages of nine
        QCOMPARE(Form().PageCount, 4);
        Form().sSpinEdit13->setValue(4);
        Form().sPageControl1->setCurrentIndex(0);
        Form().sSpinEdit7->setValue(2);  // six a page: five pages, page 4 stays
        QCOMPARE(Form().PageCount, 5);
        QCOMPARE(Form().sSpinEdit13->value(), 4);
        QCOMPARE(Form().sPageControl1->currentIndex(), 0);
        Form().sSpinEdit8->setValue(5);  // ten a page: three pages
        QCOMPARE(Form().PageCount, 3);
        QCOMPARE(Form().sSpinEdit13->value(), 1);
        QCOMPARE(Form().sSpinEdit13->maximum(), 3);
        // The selector's change shows the partner page, as any change of the selector does.
        QCOMPARE(Form().sPageControl1->currentIndex(), 1);
        QCOMPARE(Preview(), Expected(kPreviewScale, 0).convertToFormat(Preview().format()));
    }

    void previewShowsTheSelectedPage() {
        AddPhotos(10);
        Form().sPageControl1->setCurrentIndex(0);
        Form().sSpinEdit13->setValue(2);
        QCOMPARE(Preview().size(), QSize(420, 594));
        QCOMPARE(Form().Image2->size(), QSize(420, 594));
        QCOMPARE(Preview(), Expected(kPreviewScale, 1).convertToFormat(Preview().format()));
        QCOMPARE(Form().sPageControl1->currentIndex(), 1);
        // A change of layout recomposes the page without switching the right-hand pages.
        Form().sPageControl1->setCurrentIndex(0);
        Form().sComboBox3->setCurrentIndex(1);
        QCOMPARE(Preview(), Expected(kPreviewScale, 1).convertToFormat(Preview().format()));
        QCOMPARE(Form().sPageControl1->currentIndex(), 0);
    }

    void showingThePreviewTabShowsThePartnerPage() {
        Form().show();
        // The window opens on the preview tab, which counts as showing it.
        QCOMPARE(Form().sPageControl1->currentIndex(), 1);
        QCOMPARE(Preview().size(), QSize(420, 594));
        Form().sPageControl2->setCurrentIndex(0);
        AddPhotos(3);
        Form().sPageControl1->setCurrentIndex(0);
        Form().sPageControl2->setCurrentIndex(1);
        QCOMPARE(Form().sPageControl1->currentIndex(), 1);
        QCOMPARE(Preview(), Expected(kPreviewScale, 0).convertToFormat(Preview().format()));
    }

    void clickingThePreviewPicksAPhoto_data() {
        QTest::addColumn<int>("photos");
        QTest::addColumn<int>("page");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<int>("selected");  // list index, -1 the advertisement, -2 nothing
        QTest::newRow("row 1 column 1") << 9 << 1 << QPoint(150, 200) << Qt::LeftButton << 3;
        QTest::newRow("advertisement") << 9 << 1 << QPoint(20, 20) << Qt::LeftButton << -1;
        QTest::newRow("below the grid") << 9 << 1 << QPoint(20, 560) << Qt::LeftButton << 8;
        QTest::newRow("right button") << 9 << 2 << QPoint(20, 20) << Qt::RightButton << 8;
        QTest::newRow("past the list") << 3 << 1 << QPoint(150, 200) << Qt::LeftButton << -2;
    }

    void clickingThePreviewPicksAPhoto() {
        QFETCH(int, photos);
        QFETCH(int, page);
        QFETCH(QPoint, point);
        QFETCH(Qt::MouseButton, button);
        QFETCH(int, selected);
        AddPhotos(photos);
        Form().show();
        Form().sSpinEdit13->setValue(page);
        Form().fileView->clearSelection();
        Form().SelectPhoto(&Form().Photos().Photo(1));
        Form().sPageControl1->setCurrentIndex(2);
        QTest::mouseClick(Form().Image2, button, {}, point);
        if (selected == -2) {
            QCOMPARE(Form().CurrentPhoto, &Form().Photos().Photo(1));
            QCOMPARE(Form().sPageControl1->currentIndex(), 2);
            return;
        }
        QCOMPARE(Form().CurrentPhoto, selected < 0 ? nullptr : &Form().Photos().Photo(selected));
        QCOMPARE(Form().sPageControl1->currentIndex(), 0);
    }

    void printingAnEmptyListSaysThereIsNothingToPrint() {
        QTest::mouseClick(Form().sSpeedButton4, Qt::LeftButton);
        QVERIFY(dialogs_.offeredPages.empty());
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        QVERIFY(dialogs_.messages.front().text.contains(QStringLiteral("печатать нечего")));
        QVERIFY(!QFile::exists(Pdf()));
    }

    void printsEveryPageInOrder() {
        SetLayout(1, 1);
        AddTintedPhotos();  // advertisement, red, blue
        QCOMPARE(Form().PageCount, 3);
        QTest::mouseClick(Form().sSpeedButton4, Qt::LeftButton);
        QVERIFY2(dialogs_.messages.empty(), qPrintable(FirstMessage()));
        QCOMPARE(dialogs_.offeredPages, std::vector<int>{3});
        const test::PdfInfo info = test::ReadPdfInfo(Pdf().toStdString());
        QCOMPARE(info.pages, 3);
        QCOMPARE(info.title, QStringLiteral("Шпаргалки"));
        QVERIFY(info.pageSize.width() < info.pageSize.height());
        QCOMPARE(TintOf(test::RenderPdfPage(Pdf().toStdString(), 1, 20)), Tint::Other);
        QCOMPARE(TintOf(test::RenderPdfPage(Pdf().toStdString(), 2, 20)), Tint::Red);
        QCOMPARE(TintOf(test::RenderPdfPage(Pdf().toStdString(), 3, 20)), Tint::Blue);
    }

    void printsTheChosenRange() {
        SetLayout(1, 1);
        AddTintedPhotos();
        dialogs_.range = QPrinter::PageRange;
        dialogs_.from = 2;
        dialogs_.to = 3;
        dialogs_.copies = 2;
        QTest::mouseClick(Form().sSpeedButton4, Qt::LeftButton);
        QVERIFY2(dialogs_.messages.empty(), qPrintable(FirstMessage()));
        // Printed to a file, the copies follow one another in the one document.
        QCOMPARE(test::ReadPdfInfo(Pdf().toStdString()).pages, 4);
        for (int page = 1; page <= 4; ++page) {
            QCOMPARE(TintOf(test::RenderPdfPage(Pdf().toStdString(), page, 20)),
                     page % 2 == 1 ? Tint::Red : Tint::Blue);
        }
    }

    // The print dialog itself, as a user without a printer meets it: it offers a PDF file, and
    // the file holds each chosen page exactly as composed, at its own size on a whole A4 sheet.
    void printDialogPrintsToAPdfFileAsComposed() {
        SetLayout(2, 2);
        AddPhotos(5);  // two pages
        QCOMPARE(Form().PageCount, 2);
        QStringList problems;
        QTimer::singleShot(0, this, [this, &problems] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                problems << QStringLiteral("no print dialog");
                return;
            }
            auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
            auto* file = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
            auto* copies = dialog->findChild<QSpinBox*>(QStringLiteral("copies"));
            if (!printers || !file || !copies) {
                problems << QStringLiteral("the dialog's controls are not there");
                dialog->reject();
                return;
            }
            const int toFile = printers->findText(QStringLiteral("Печать в файл (PDF)"));
            if (toFile < 0)
                problems << QStringLiteral("no print to file: ") + printers->itemText(0);
            printers->setCurrentIndex(toFile);
            file->setText(Pdf());
            copies->setValue(2);
            dialog->accept();
        });
        {
            // The desktop's dialogs: offscreen, that is Qt's own print dialog.
            SystemDialogs desktop;
            const ScopedDialogs scoped(desktop);
            QTest::mouseClick(Form().sSpeedButton4, Qt::LeftButton);
        }
        QVERIFY2(problems.empty(), qPrintable(problems.join(QStringLiteral("; "))));
        const test::PdfInfo info = test::ReadPdfInfo(Pdf().toStdString());
        QCOMPARE(info.pages, 4);
        QVERIFY(std::abs(info.pageSize.width() - 595.3) < 0.5);
        QVERIFY(std::abs(info.pageSize.height() - 841.9) < 0.5);
        const std::vector<QImage> stored = test::PdfImages(Pdf().toStdString());
        QCOMPARE(stored.size(), std::size_t{4});
        for (std::size_t k = 0; k < stored.size(); ++k) {
            const QImage page = Expected(kPrintScale, static_cast<int>(k % 2));
            QVERIFY2(stored[k] == page.convertToFormat(QImage::Format_RGB888),
                     qPrintable(QStringLiteral("page %1 differs").arg(k + 1)));
        }
    }

    // Print to a file whose directory fails for real: a small tmpfs with one page left, or
    // mounted read-only. Qt's PDF output reports no failed write, so only the program can notice.
    void printToAFailingDirectoryChangesNothing_data() {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<int>("reason");  // the system's error number
        QTest::newRow("full") << false << ENOSPC;
        QTest::newRow("read-only") << true << EROFS;
    }

    void printToAFailingDirectoryChangesNothing() {
        QFETCH(bool, readOnly);
        QFETCH(int, reason);
        QTemporaryDir outer;
        const QString dir = outer.filePath(QStringLiteral("pdf"));
        QVERIFY(QDir().mkpath(dir));
        const test::Tmpfs tmpfs(QFile::encodeName(dir).toStdString());
        if (!tmpfs.Mounted())
            QSKIP(qPrintable(QStringLiteral("cannot mount a tmpfs here (%1); the failing PDF "
                                            "directory needs one")
                                 .arg(QString::fromStdString(tmpfs.Error()))));
        const QString pdf = QDir(dir).filePath(QStringLiteral("printed.pdf"));
        WriteFile(pdf, "old");

        SetLayout(1, 1);
        AddPhotos(3);  // noise: four pages far above the page left free
        const auto workingCopies = [this] {
            QByteArrayList bytes;
            for (int i = 0; i < Form().Photos().Count(); ++i)
                bytes << FileBytes(Form().Photos().Photo(i).WorkFile);
            return bytes;
        };
        const QByteArrayList working = workingCopies();
        const std::map<QString, QByteArray> settings =
            FilesBelow(qEnvironmentVariable("XDG_CONFIG_HOME"));
        if (readOnly) {
            QVERIFY(tmpfs.MakeReadOnly());
        } else {
            struct statvfs room {};
            QCOMPARE(::statvfs(QFile::encodeName(dir).constData(), &room), 0);
            const qint64 free = static_cast<qint64>(room.f_bavail * room.f_frsize);
            WriteFile(QDir(dir).filePath(QStringLiteral("filler")), QByteArray(free - 4096, 'f'));
        }
        const std::map<QString, QByteArray> files = FilesBelow(dir);

        dialogs_.pdf = pdf;
        QTest::mouseClick(Form().sSpeedButton4, Qt::LeftButton);
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        const QString message = dialogs_.messages.front().text;
        QVERIFY2(message.contains(pdf) &&
                     message.contains(QString::fromLocal8Bit(std::strerror(reason))),
                 qPrintable(message));
        QCOMPARE(dialogs_.messages.front().icon, QMessageBox::Critical);
        QVERIFY(FilesBelow(dir) == files);
        QCOMPARE(workingCopies(), working);
        QVERIFY(FilesBelow(qEnvironmentVariable("XDG_CONFIG_HOME")) == settings);

        // The window goes on: the same pages print to a healthy directory.
        dialogs_.messages.clear();
        dialogs_.pdf = Pdf();
        QTest::mouseClick(Form().sSpeedButton4, Qt::LeftButton);
        QVERIFY2(dialogs_.messages.empty(), qPrintable(FirstMessage()));
        QCOMPARE(test::ReadPdfInfo(Pdf().toStdString()).pages, 4);
    }

    void workingCopyTurnedToGarbageStopsPrintingByName() {
        AddTintedPhotos();
        const QString workFile = Form().Photos().Photo(1).WorkFile;
        {
            QFile file(workFile);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write("not a photo any more");
        }
        QTest::mouseClick(Form().sSpeedButton4, Qt::LeftButton);
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        QVERIFY2(dialogs_.messages.front().text.contains(workFile),
                 qPrintable(dialogs_.messages.front().text));
        QCOMPARE(Form().Photos().Count(), 2);
        QVERIFY(QFile::exists(Form().Photos().Photo(0).WorkFile));
    }

    void errorWhilePrintingIsShownAndTheProgramGoesOn() {
        AddTintedPhotos();
        const QString workFile = Form().Photos().Photo(1).WorkFile;
        QVERIFY(QFile::rename(workFile, workFile + QStringLiteral(".away")));
        QTest::mouseClick(Form().sSpeedButton4, Qt::LeftButton);
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        QCOMPARE(dialogs_.messages.front().icon, QMessageBox::Critical);
        QCOMPARE(dialogs_.messages.front().caption, QString::fromUtf8(ApplicationTitle));
        QVERIFY(QFile::rename(workFile + QStringLiteral(".away"), workFile));
        QTest::mouseClick(Form().sSpeedButton4, Qt::LeftButton);
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        QCOMPARE(test::ReadPdfInfo(Pdf().toStdString()).pages, 1);
    }
};

}  // namespace lisko

int main(int argc, char* argv[]) {
    return lisko::test::RunWindowTest(argc, argv,
                                      [] { return std::make_unique<lisko::PreviewTest>(); });
}

#include "PreviewTest.moc"
