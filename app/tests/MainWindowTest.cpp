#include <sys/stat.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <atomic>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "app/OpenPhotos.h"
#include "app/Program.h"
#include "app/tests/WindowFixture.h"
#include "app/tests/WindowTestMain.h"
#include "raster/Jpeg.h"
#include "testsupport/FakeDialogs.h"
#include "testsupport/TestRaster.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

namespace lisko {
namespace {

using test::Column;
using test::FakeDialogs;

// Throws from a mouse press, as a faulty handler would.
class FaultyWidget : public QWidget {
protected:
    void mousePressEvent(QMouseEvent*) override { throw std::runtime_error("boom"); }
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir photos_;
    FakeDialogs dialogs_;
    std::optional<test::WindowFixture> fixture_;

    QString Photo(const QString& relative) const { return photos_.filePath(relative); }
    TForm1& Form() { return fixture_->Windows().form1; }
    QStringList ScratchFiles() const {
        return QDir(fixture_->ScratchPath()).entryList(QDir::Files);
    }

    void WriteJpeg(const QString& relative, int width, int height) {
        QDir().mkpath(QFileInfo(Photo(relative)).path());
        const std::vector<std::uint8_t> jpeg = EncodeJpeg(test::Noise24(width, height, 3), 80);
        QFile file(Photo(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(jpeg.data()), static_cast<qint64>(jpeg.size()));
    }

    void Add(const QStringList& relative) {
        QStringList paths;
        for (const QString& r : relative)
            paths << Photo(r);
        dialogs_.answers.push_back(paths);
        QTest::mouseClick(Form().sSpeedButton3, Qt::LeftButton);
    }

    void Mark(const QList<int>& rows) {
        Form().fileView->clearSelection();
        for (int row : rows)
            Form().fileView->topLevelItem(row)->setSelected(true);
    }

private slots:
    void initTestCase() {
        QVERIFY(photos_.isValid());
        for (const char* name : {"x/a.jpg", "x/b.JPEG", "x/B.jpg", "x/b.jpg", "x/c.jpg", "x/d.jpg",
                                 "x/e.jpg", "y/a.jpg"}) {
            WriteJpeg(QString::fromLatin1(name), 40, 30);
        }
        for (const char* name : {"x/c.png", "x/d", "x/broken.jpg"}) {
            QFile file(Photo(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("not a photo");
        }
    }

    void init() {
        // Nothing listens there: the update check that showing runs ends at once, on this machine.
        qputenv("LISKO_UPDATE_URL", "http://127.0.0.1:1");
        dialogs_ = FakeDialogs();
        fixture_.emplace(dialogs_);
    }

    void cleanup() {
        fixture_.reset();
        qunsetenv("LISKO_UPDATE_URL");
    }

    void captionCarriesTheProgramVersion() {
        QCOMPARE(Form().ProgramVersion, QStringLiteral(LISKO_VERSION));
        QCOMPARE(Form().windowTitle(),
                 QStringLiteral("LiskoPrinter " LISKO_VERSION " от 10.05.2010"));
        QCOMPARE(fixture_->Windows().form4.windowTitle(), Form().windowTitle());
    }

    void numbersUseAFullStopWhateverTheLocale() {
        fixture_->CloseWindows();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
        fixture_->OpenWindows();
        QCOMPARE(QLocale().decimalPoint(), QStringLiteral("."));
        QCOMPARE(QLocale().toString(1.5), QStringLiteral("1.5"));
        bool ok = false;
        QCOMPARE(QLocale().toDouble(QStringLiteral("2.25"), &ok), 2.25);
        QVERIFY(ok);
        char text[16];
        std::snprintf(text, sizeof text, "%.1f", 1.5);
        QCOMPARE(QString::fromLatin1(text), QStringLiteral("1.5"));
    }

    void toolbarButtonsInTheirPlaces_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("width");
        QTest::addColumn<QSize>("picture");
        QTest::newRow("add") << "sSpeedButton3"
                             << "Добавить файлы" << 0 << 97 << QSize(48, 48);
        QTest::newRow("print") << "sSpeedButton4"
                               << "Печать" << 104 << 65 << QSize(48, 48);
        QTest::newRow("recommend") << "sSpeedButton8"
                                   << "Посоветовать\nдругу" << 176 << 89 << QSize(48, 41);
        QTest::newRow("feedback") << "sSpeedButton6"
                                  << "Написать отзыв" << 272 << 89 << QSize(48, 48);
        QTest::newRow("about") << "sSpeedButton5"
                               << "О программе" << 368 << 73 << QSize(48, 48);
    }

    void toolbarButtonsInTheirPlaces() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(int, left);
        QFETCH(int, width);
        QFETCH(QSize, picture);
        const auto* button = Form().findChild<QToolButton*>(name);
        QVERIFY(button);
        QCOMPARE(button->text(), caption);
        QCOMPARE(button->geometry(), QRect(left, 0, width, 73));
        QCOMPARE(button->iconSize(), picture);
        QVERIFY(!button->icon().isNull());
    }

    void forumButtonIsHidden() {
        Form().show();
        QVERIFY(!Form().sSpeedButton7->isVisible());
        QCOMPARE(Form().sSpeedButton7->text(), QStringLiteral("Форум"));
    }

    void pageControlsHaveTheirTabsInOrder() {
        const QTabWidget* left = Form().findChild<QTabWidget*>(QStringLiteral("sPageControl2"));
        QVERIFY(left);
        QCOMPARE(left->count(), 2);
        QCOMPARE(left->tabText(0), QStringLiteral("Список файлов"));
        QCOMPARE(left->widget(0)->objectName(), QStringLiteral("sTabSheet2"));
        QCOMPARE(left->tabText(1), QStringLiteral("Предварительный просмотр"));
        QCOMPARE(left->widget(1)->objectName(), QStringLiteral("sTabSheet4"));
        QCOMPARE(left->currentIndex(), 1);
        const QTabWidget* right = Form().findChild<QTabWidget*>(QStringLiteral("sPageControl1"));
        QVERIFY(right);
        QCOMPARE(right->count(), 3);
        QCOMPARE(right->tabText(0), QStringLiteral("Свойства снимка"));
        QCOMPARE(right->widget(0)->objectName(), QStringLiteral("sTabSheet3"));
        QCOMPARE(right->widget(1)->objectName(), QStringLiteral("sTabSheet1"));
        QCOMPARE(right->widget(2)->objectName(), QStringLiteral("sTabSheet5"));
        QCOMPARE(right->currentIndex(), 0);
        for (const char* name : {"fileView", "sSpeedButton1", "sSpeedButton2", "sWebLabel1",
                                 "sProgressBar1", "Image1"}) {
            QVERIFY2(Form().findChild<QWidget*>(QString::fromLatin1(name)), name);
        }
    }

    void windowKeepsTheDesignedLayout() {
        Form().show();
        QCOMPARE(Form().centralWidget()->size(), QSize(983, 761));
        QCOMPARE(Form().sPageControl2->geometry(), QRect(0, 80, 441, 665));
        QCOMPARE(Form().sPageControl1->geometry(), QRect(448, 0, 538, 745));
        QCOMPARE(Form().sProgressBar1->geometry(), QRect(0, 745, 983, 16));
        Form().resize(1183, 861);
        QCOMPARE(Form().sPageControl2->geometry(), QRect(0, 80, 441, 765));
        QCOMPARE(Form().sPageControl1->geometry(), QRect(448, 0, 738, 845));
        QCOMPARE(Form().minimumHeight(), 600);
    }

    void fileDialogIsSetUpForPhotos() {
        QTest::mouseClick(Form().sSpeedButton3, Qt::LeftButton);
        QCOMPARE(dialogs_.openCount, 1);
        QCOMPARE(dialogs_.lastRequest.title, QStringLiteral("Добавить фотографии в список шпор"));
        QCOMPARE(dialogs_.lastRequest.nameFilters.size(), 2);
        QCOMPARE(dialogs_.lastRequest.nameFilters.value(1), QStringLiteral("*.* (*)"));
    }

    // Qt's own file dialog, as the window opens it: the first choice shows every name the photo
    // list takes, in any letter case, and nothing else; the choices read as their names.
    void qtFileDialogShowsEveryPhotoName() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QStringList photos{"a.jpg", "b.JPG", "c.jpeg", "D.JpEg"};
        for (const QString& name : photos + QStringList{"e.png", "f.jpg.bak", "g.jpgx", "h"}) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        // The dialog opens in the folder photos were last added from.
        RememberPhotoFolder(folder.path());

        QStringList shown;
        QStringList choices;
        QTimer::singleShot(0, this, [&shown, &choices] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            const auto* list = dialog->findChild<QListView*>(QStringLiteral("listView"));
            const auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            if (!list || !types) return;
            // The folder is read in the background; the names come in as it goes.
            for (int i = 0; i < 100 && list->model()->rowCount(list->rootIndex()) < 4; ++i)
                QTest::qWait(30);
            QTest::qWait(100);
            for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row)
                shown << list->model()->index(row, 0, list->rootIndex()).data().toString();
            for (int i = 0; i < types->count(); ++i)
                choices << types->itemText(i);
            dialog->reject();
        });
        {
            // The desktop's dialogs: offscreen, that is Qt's own file dialog.
            SystemDialogs desktop;
            const ScopedDialogs scoped(desktop);
            QTest::mouseClick(Form().sSpeedButton3, Qt::LeftButton);
        }
        shown.sort(Qt::CaseInsensitive);
        QCOMPARE(shown, photos);
        QCOMPARE(choices, (QStringList{"*.jpg, *.jpeg", "*.*"}));
    }

    // Qt's own texts (file dialog, print dialog, buttons) are Russian like the program's.
    void qtTextsAreRussian() {
        QFileDialog files;
        files.setOption(QFileDialog::DontUseNativeDialog);
        QCOMPARE(files.labelText(QFileDialog::FileName), QStringLiteral("&Имя файла:"));
        QCOMPARE(files.labelText(QFileDialog::Reject), QStringLiteral("Отмена"));
        // Qt's Russian keeps "OK" as it is; the other standard buttons are translated.
        QMessageBox box(QMessageBox::Information, {}, {}, QMessageBox::Ok | QMessageBox::Close);
        QCOMPARE(box.button(QMessageBox::Close)->text().remove(QLatin1Char('&')),
                 QStringLiteral("Закрыть"));
        // Where the translation is missing, nothing is installed and Qt's texts stay as they were.
        QTemporaryDir empty;
        QVERIFY(!InstallQtTranslations(empty.path()));
        QCOMPARE(files.labelText(QFileDialog::Reject), QStringLiteral("Отмена"));
    }

    void addingSkipsOtherExtensionsAndDuplicates_data() {
        QTest::addColumn<QList<QStringList>>("batches");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("directories");
        const QString x = QStringLiteral("x/");
        const QString y = QStringLiteral("y/");
        QTest::newRow("extensions") << QList<QStringList>{{"x/a.jpg", "x/b.JPEG", "x/c.png", "x/d"}}
                                    << QStringList{"a.jpg", "b.JPEG"} << QStringList{x, x};
        QTest::newRow("order across batches")
            << QList<QStringList>{{"x/b.jpg"}, {"x/a.jpg"}, {"y/a.jpg"}}
            << QStringList{"a.jpg", "b.jpg", "a.jpg"} << QStringList{x, x, y};
        QTest::newRow("capitals first") << QList<QStringList>{{"x/B.jpg", "x/a.jpg"}}
                                        << QStringList{"B.jpg", "a.jpg"} << QStringList{x, x};
        QTest::newRow("duplicate in a batch")
            << QList<QStringList>{{"x/a.jpg", "x/a.jpg"}} << QStringList{"a.jpg"} << QStringList{x};
        QTest::newRow("duplicate across batches") << QList<QStringList>{{"x/a.jpg"}, {"x/a.jpg"}}
                                                  << QStringList{"a.jpg"} << QStringList{x};
    }

    void addingSkipsOtherExtensionsAndDuplicates() {
        QFETCH(QList<QStringList>, batches);
        QFETCH(QStringList, names);
        QFETCH(QStringList, directories);
        for (const QStringList& batch : batches)
            Add(batch);
        QCOMPARE(Column(Form().fileView, 0), names);
        QStringList expectedDirectories;
        for (const QString& d : directories)
            expectedDirectories << QDir(photos_.path()).filePath(d);
        QCOMPARE(Column(Form().fileView, 1), expectedDirectories);
        QCOMPARE(Form().Photos().Count(), names.size());
        QCOMPARE(ScratchFiles().size(), names.size());
        QVERIFY(dialogs_.messages.empty());
        QCOMPARE(Form().sProgressBar1->value(), 0);
    }

    void listControlIsSetUp() {
        const QTreeWidget* view = Form().fileView;
        QCOMPARE(view->headerItem()->text(0), QStringLiteral("Имя"));
        QCOMPARE(view->headerItem()->text(1), QStringLiteral("Путь"));
        QCOMPARE(view->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(view->toolTip(), QStringLiteral("Для удаления одного файла просто нажмите Del"));
    }

    void errorEndsTheBatchAndKeepsEarlierEntries() {
        Add({"x/a.jpg", "x/broken.jpg", "x/b.jpg"});
        QCOMPARE(Column(Form().fileView, 0), QStringList{"a.jpg"});
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        const FakeDialogs::Message& m = dialogs_.messages.front();
        QVERIFY2(m.text.startsWith(QStringLiteral("JPEG error #")), qPrintable(m.text));
        QVERIFY(m.text.endsWith(QLatin1Char('.')));
        QCOMPARE(m.caption, QString::fromUtf8(ApplicationTitle));
        QCOMPARE(m.icon, QMessageBox::Critical);
        // The progress bar keeps where the batch stopped.
        QCOMPARE(Form().sProgressBar1->value(), 1);
        QCOMPARE(ScratchFiles().size(), 1);
        // The program goes on: the next batch works.
        Add({"x/b.jpg"});
        QCOMPARE(Column(Form().fileView, 0), (QStringList{"a.jpg", "b.jpg"}));
    }

    void removingMarksTheEntryThatTookTheFirstPlace() {
        Add({"x/a.jpg", "x/b.jpg", "x/c.jpg", "x/d.jpg", "x/e.jpg"});
        Mark({2, 3});
        QTest::mouseClick(Form().sSpeedButton1, Qt::LeftButton);
        QCOMPARE(Column(Form().fileView, 0), (QStringList{"a.jpg", "b.jpg", "e.jpg"}));
        QVERIFY(Form().fileView->topLevelItem(2)->isSelected());
        QCOMPARE(Form().CurrentPhoto, &Form().Photos().Photo(2));
        QCOMPARE(ScratchFiles().size(), 3);
    }

    void removingTheLastEntriesMarksTheNewLast() {
        Add({"x/a.jpg", "x/b.jpg", "x/c.jpg"});
        Mark({1, 2});
        QTest::mouseClick(Form().sSpeedButton1, Qt::LeftButton);
        QCOMPARE(Column(Form().fileView, 0), QStringList{"a.jpg"});
        QVERIFY(Form().fileView->topLevelItem(0)->isSelected());
        QCOMPARE(Form().CurrentPhoto, &Form().Photos().Photo(0));
        Mark({0});
        QTest::mouseClick(Form().sSpeedButton1, Qt::LeftButton);
        QCOMPARE(Form().fileView->topLevelItemCount(), 0);
        QCOMPARE(Form().CurrentPhoto, nullptr);
        QVERIFY(ScratchFiles().isEmpty());
    }

    void deleteKeyRemovesTheMarkedEntries() {
        Add({"x/a.jpg", "x/b.jpg"});
        Mark({0});
        QTest::keyClick(Form().fileView, Qt::Key_Delete);
        QCOMPARE(Column(Form().fileView, 0), QStringList{"b.jpg"});
    }

    void deleteWithNothingMarkedKeepsEverything() {
        Add({"x/a.jpg", "x/b.jpg"});
        Mark({1});
        QCOMPARE(Form().CurrentPhoto, &Form().Photos().Photo(1));
        // Unmarking is a change of the list too; a click in the preview then picks a photo
        // without marking it.
        Form().fileView->clearSelection();
        QCOMPARE(Form().CurrentPhoto, nullptr);
        Form().SelectPhoto(&Form().Photos().Photo(0));
        TLisko* current = Form().CurrentPhoto;
        QTest::keyClick(Form().fileView, Qt::Key_Delete);
        QCOMPARE(Form().Photos().Count(), 2);
        QCOMPARE(Form().CurrentPhoto, current);
    }

    void clickingAnEntryMakesItsPhotoCurrent() {
        Add({"x/a.jpg", "x/b.jpg"});
        QTreeWidget* view = Form().fileView;
        Form().show();
        const QRect row = view->visualItemRect(view->topLevelItem(1));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(Form().CurrentPhoto, &Form().Photos().Photo(1));
    }

    void clearingAnEmptyListShrinksTheEditorPicture() {
        QTest::mouseClick(Form().sSpeedButton2, Qt::LeftButton);
        QCOMPARE(Form().Photos().Count(), 0);
        QCOMPARE(Form().Image1->pixmap().size(), QSize(1, 1));
        QCOMPARE(Form().sPageControl1->currentIndex(), 1);
    }

    void cancellingTheDialogChangesNothing() {
        Add({"x/a.jpg"});
        QTest::mouseClick(Form().sSpeedButton3, Qt::LeftButton);  // no answer queued: cancel
        QCOMPARE(Column(Form().fileView, 0), QStringList{"a.jpg"});
    }

    void closingDeletesEveryWorkingCopy() {
        Add({"x/a.jpg", "x/b.jpg", "y/a.jpg"});
        QCOMPARE(ScratchFiles().size(), 3);
        Form().show();
        QVERIFY(Form().close());
        QCOMPARE(Form().Photos().Count(), 0);
        QVERIFY(ScratchFiles().isEmpty());
    }

    void closingWhileAddingStopsTheBatch() {
        Form().show();
        dialogs_.whileOpen = [this] { QTimer::singleShot(0, &Form(), [this] { Form().close(); }); };
        Add({"x/a.jpg", "x/b.jpg", "x/c.jpg"});
        QCOMPARE(Form().Photos().Count(), 0);
        QVERIFY(ScratchFiles().isEmpty());
    }

    void clearingWhileAddingKeepsTheBatchGoing() {
        Add({"x/a.jpg"});
        dialogs_.whileOpen = [this] {
            QTimer::singleShot(0, &Form(), [this] { Form().RemoveAllClick(); });
        };
        Add({"x/b.jpg", "x/c.jpg"});
        QCOMPARE(Column(Form().fileView, 0), (QStringList{"b.jpg", "c.jpg"}));
        QCOMPARE(ScratchFiles().size(), 2);
    }

    // The progress bar counts the files in the batch's order, whichever import ends first; the
    // entries take their places in the list.
    void addingCountsFilesInOrder() {
        QList<int> values;
        connect(Form().sProgressBar1, &QProgressBar::valueChanged, this,
                [&values](int value) { values << value; });
        Add({"x/e.jpg", "x/c.png", "x/a.jpg", "x/d.jpg", "x/a.jpg", "x/c.jpg", "y/a.jpg"});
        QCOMPARE(values, (QList<int>{1, 2, 3, 4, 5, 6, 0}));
        QCOMPARE(Column(Form().fileView, 0),
                 (QStringList{"a.jpg", "c.jpg", "d.jpg", "e.jpg", "a.jpg"}));
        QCOMPARE(ScratchFiles().size(), 5);
    }

    // A file that was a duplicate when the batch began is added after all once the user has
    // removed its twin, as adding one file after another did.
    void removingDuringTheBatchLetsALaterTwinIn() {
        connect(Form().sProgressBar1, &QProgressBar::valueChanged, this, [this](int value) {
            if (value == 2) Form().RemoveAllClick();
        });
        Add({"x/a.jpg", "x/b.jpg", "x/a.jpg", "x/c.jpg"});
        QCOMPARE(Column(Form().fileView, 0), (QStringList{"a.jpg", "c.jpg"}));
        QCOMPARE(ScratchFiles().size(), 2);
    }

    // The file is a pipe that delivers its second half only after the window's timer has ticked
    // while the import was reading it: an import on the window's thread would never let it tick.
    void windowGoesOnWhileAPhotoIsImported() {
        QDir().mkpath(Photo(QStringLiteral("pipe")));
        const QString pipe = Photo(QStringLiteral("pipe/notes.jpg"));
        QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
        QFile source(Photo(QStringLiteral("x/a.jpg")));
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QByteArray jpeg = source.readAll();

        std::atomic<bool> opened{false};
        std::atomic<bool> tickedWhileReading{false};
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] {
            if (opened) tickedWhileReading = true;
        });
        ticker.start(1);
        std::jthread writer([&] {
            std::FILE* out = std::fopen(QFile::encodeName(pipe).constData(), "wb");
            if (!out) return;
            opened = true;
            std::fwrite(jpeg.constData(), 1, static_cast<std::size_t>(jpeg.size() / 2), out);
            std::fflush(out);
            // Should the window freeze, the rest comes anyway after a while: the test then
            // fails instead of hanging.
            for (int wait = 0; wait < 2000 && !tickedWhileReading; ++wait)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            std::fwrite(jpeg.constData() + jpeg.size() / 2, 1,
                        static_cast<std::size_t>(jpeg.size() - jpeg.size() / 2), out);
            std::fclose(out);
        });
        Add({"pipe/notes.jpg"});
        writer.join();
        QVERIFY(tickedWhileReading);
        QCOMPARE(Column(Form().fileView, 0), QStringList{"notes.jpg"});
    }

    void errorBoxText_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "File not found"
                                << "File not found.";
        QTest::newRow("full stop") << "Done."
                                   << "Done.";
        QTest::newRow("bang sorts below") << "Oops!"
                                          << "Oops!";
        QTest::newRow("bracket sorts below") << "(x)"
                                             << "(x)";
        QTest::newRow("digit") << "JPEG error #53"
                               << "JPEG error #53.";
        QTest::newRow("cyrillic") << "Ошибка"
                                  << "Ошибка.";
        QTest::newRow("slash sorts above") << "a/"
                                           << "a/.";
        QTest::newRow("empty") << ""
                               << "";
    }

    void errorBoxText() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(ErrorBoxText(message), shown);
    }

    void errorEscapingAnEventHandlerIsShownAndTheProgramGoesOn() {
        FaultyWidget widget;
        widget.resize(50, 50);
        widget.show();
        QTest::mouseClick(&widget, Qt::LeftButton);
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        QCOMPARE(dialogs_.messages.front().text, QStringLiteral("boom."));
        QCOMPARE(dialogs_.messages.front().caption, QString::fromUtf8(ApplicationTitle));
        QTest::mouseClick(&widget, Qt::LeftButton);
        QCOMPARE(dialogs_.messages.size(), std::size_t{2});
    }
};

}  // namespace lisko

int main(int argc, char* argv[]) {
    return lisko::test::RunWindowTest(argc, argv,
                                      [] { return std::make_unique<lisko::MainWindowTest>(); });
}

#include "MainWindowTest.moc"
