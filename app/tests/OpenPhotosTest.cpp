#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <memory>
#include <optional>

#include "app/OpenPhotos.h"
#include "app/Program.h"
#include "app/tests/WindowFixture.h"
#include "app/tests/WindowTestMain.h"
#include "identity/SettingsStore.h"
#include "pages/JobFile.h"
#include "raster/Jpeg.h"
#include "testsupport/FakeDialogs.h"
#include "testsupport/TestRaster.h"
#include "ui/Dialogs.h"

namespace lisko {
namespace {

using test::Column;
using test::FakeDialogs;

// What a file manager's drag carries.
std::unique_ptr<QMimeData> DragOf(const QList<QUrl>& urls, const QString& text = {}) {
    auto data = std::make_unique<QMimeData>();
    if (!urls.isEmpty()) data->setUrls(urls);
    if (!text.isEmpty()) data->setText(text);
    return data;
}

}  // namespace

class OpenPhotosTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir photos_;
    FakeDialogs dialogs_;
    std::optional<test::WindowFixture> fixture_;

    QString Photo(const QString& relative) const { return photos_.filePath(relative); }
    TForm1& Form() { return fixture_->Windows().form1; }
    QWidget* DropTarget(const QString& name) {
        return name == QLatin1String("list") ? Form().fileView->viewport()
                                             : Form().Image2->parentWidget();
    }

    void WriteFile(const QString& relative, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(Photo(relative)).path());
        QFile file(Photo(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // Drags the data over the target and drops it there, as a file manager does; true when the
    // target took the drop.
    bool Drop(QWidget* target, const QMimeData& data) {
        const QPoint at(5, 5);
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        return drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
    }

    // A job of x/a.jpg in colour with a crop, on a 2 x 1 layout.
    void WriteJob(const QString& relative) {
        TLiskoData settings;
        settings.ImageType = 0;
        settings.CropLeft = 10;
        SaveJobFile(Photo(relative), {PageLayout{2, 1, SlotOrder::RowWise},
                                      {{Photo(QStringLiteral("x/a.jpg")), settings}}});
    }

    QString OpenDialogFolder() {
        QTest::mouseClick(Form().sSpeedButton3, Qt::LeftButton);
        return dialogs_.lastRequest.directory;
    }

private slots:
    void initTestCase() {
        QVERIFY(photos_.isValid());
        const std::vector<std::uint8_t> jpeg = EncodeJpeg(test::Noise24(40, 30, 3), 80);
        const QByteArray photo(reinterpret_cast<const char*>(jpeg.data()),
                               static_cast<qsizetype>(jpeg.size()));
        for (const char* name : {"x/a.jpg", "x/b.JPEG", "x/B.jpg", "y/a.jpg", "y/sub/c.jpg",
                                 "folder with space/d.jpg"}) {
            WriteFile(QString::fromLatin1(name), photo);
        }
        WriteFile(QStringLiteral("x/c.png"), "not a photo");
        WriteFile(QStringLiteral("x/notes.txt"), "not a photo");
        WriteFile(QStringLiteral("x/broken.jpg"), "not a photo");
    }

    void init() {
        dialogs_ = FakeDialogs();
        fixture_.emplace(dialogs_);
    }

    void cleanup() {
        fixture_.reset();
        QFile::remove(SettingsStore::SubkeyLocation());
    }

    // Relative names count from the working directory; a folder gives the files directly in it;
    // the list's own rules drop other extensions and duplicates and keep its order.
    void argumentsAddPhotosLikeTheFileDialog() {
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(photos_.path()));
        QSignalSpy progress(Form().sProgressBar1, &QProgressBar::valueChanged);
        OpenPhotosFromArguments(
            Form(), {"x/b.JPEG", Photo("x/a.jpg"), "x/c.png", "y", "./x/../x/a.jpg", "x/B.jpg"});
        QVERIFY(QDir::setCurrent(before));
        QCOMPARE(Column(Form().fileView, 0), (QStringList{"B.jpg", "a.jpg", "b.JPEG", "a.jpg"}));
        QCOMPARE(Column(Form().fileView, 1),
                 (QStringList{Photo("x/"), Photo("x/"), Photo("x/"), Photo("y/")}));
        QVERIFY(dialogs_.messages.empty());
        QCOMPARE(dialogs_.openCount, 0);
        // One batch: the folder y stands for its one photo (not the one in y/sub).
        QCOMPARE(Form().sProgressBar1->maximum(), 6);
        QCOMPARE(Form().sProgressBar1->value(), 0);
        QVERIFY(progress.count() >= 5);
        QCOMPARE(Form().PageCount, 1);
    }

    void noArgumentsAddNothing() {
        OpenPhotosFromArguments(Form(), {});
        QCOMPARE(Form().fileView->topLevelItemCount(), 0);
        QVERIFY(dialogs_.messages.empty());
    }

    // A missing or damaged file ends the batch with the standard error box naming it; what was
    // added before stays.
    void argumentErrorIsShownAndEndsTheBatch_data() {
        QTest::addColumn<QString>("bad");
        QTest::addColumn<QString>("named");
        QTest::newRow("missing") << "x/absent.jpg"
                                 << "absent.jpg";
        QTest::newRow("damaged") << "x/broken.jpg"
                                 << "";
    }

    void argumentErrorIsShownAndEndsTheBatch() {
        QFETCH(QString, bad);
        QFETCH(QString, named);
        OpenPhotosFromArguments(Form(), {Photo("x/a.jpg"), Photo(bad), Photo("x/B.jpg")});
        QCOMPARE(Column(Form().fileView, 0), QStringList{"a.jpg"});
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        QCOMPARE(dialogs_.messages.front().icon, QMessageBox::Critical);
        QVERIFY2(dialogs_.messages.front().text.contains(named),
                 qPrintable(dialogs_.messages.front().text));
    }

    void dropAddsFilesAndFolders_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QStringList>("dropped");
        QTest::addColumn<QStringList>("names");
        for (const char* target : {"list", "preview"}) {
            const QByteArray t(target);
            QTest::newRow(t + ": files") << target << QStringList{"x/b.JPEG", "x/a.jpg", "x/c.png"}
                                         << QStringList{"a.jpg", "b.JPEG"};
            QTest::newRow(t + ": folder") << target << QStringList{"y"} << QStringList{"a.jpg"};
            QTest::newRow(t + ": folder and file")
                << target << QStringList{"folder with space", "y/sub/c.jpg"}
                << QStringList{"d.jpg", "c.jpg"};
        }
    }

    void dropAddsFilesAndFolders() {
        QFETCH(QString, target);
        QFETCH(QStringList, dropped);
        QFETCH(QStringList, names);
        QList<QUrl> urls;
        for (const QString& d : dropped)
            urls << QUrl::fromLocalFile(Photo(d));
        QVERIFY(Drop(DropTarget(target), *DragOf(urls)));
        // The photos come after the drop has returned to the file manager.
        QCOMPARE(Form().fileView->topLevelItemCount(), 0);
        QTRY_COMPARE(Column(Form().fileView, 0), names);
        QVERIFY(dialogs_.messages.empty());
        QCOMPARE(Form().PageCount, 1);
    }

    // Web addresses and plain text are not taken; a drag with some local files takes those.
    void dropOfOtherDataIsRefusedSilently_data() {
        QTest::addColumn<QString>("target");
        for (const char* target : {"list", "preview"})
            QTest::newRow(target) << target;
    }

    void dropOfOtherDataIsRefusedSilently() {
        QFETCH(QString, target);
        QVERIFY(!Drop(DropTarget(target), *DragOf({}, QStringLiteral("/etc/passwd"))));
        QVERIFY(!Drop(DropTarget(target), *DragOf({QUrl("http://partner.example/a.jpg")})));
        QVERIFY(Drop(DropTarget(target), *DragOf({QUrl("http://partner.example/b.jpg"),
                                                  QUrl::fromLocalFile(Photo("x/notes.txt")),
                                                  QUrl::fromLocalFile(Photo("x/a.jpg"))})));
        QTRY_COMPARE(Column(Form().fileView, 0), QStringList{"a.jpg"});
        QTest::qWait(50);
        QCOMPARE(Form().fileView->topLevelItemCount(), 1);
        QVERIFY(dialogs_.messages.empty());
    }

    // A drop while a batch runs waits for it and is added as the next batch.
    void dropDuringABatchIsAddedAfterIt() {
        const auto data = DragOf({QUrl::fromLocalFile(Photo("y"))});
        QTimer::singleShot(0, this, [this, &data] { QVERIFY(Drop(DropTarget("list"), *data)); });
        QStringList seen;
        connect(Form().fileView->model(), &QAbstractItemModel::rowsInserted, this,
                [this, &seen](const QModelIndex&, int first) {
                    seen << Form().fileView->topLevelItem(first)->text(1) +
                                Form().fileView->topLevelItem(first)->text(0);
                });
        Form().AddFiles({Photo("x/a.jpg"), Photo("x/b.JPEG"), Photo("x/B.jpg")});
        QCOMPARE(seen, (QStringList{Photo("x/a.jpg"), Photo("x/b.JPEG"), Photo("x/B.jpg"),
                                    Photo("y/a.jpg")}));
        QCOMPARE(Form().fileView->topLevelItemCount(), 4);
        QCOMPARE(Form().sProgressBar1->value(), 0);
    }

    // A job file named on the command line or dropped opens as "Открыть" opens it: after the same
    // question when the list is not empty, replacing the list or, answered No, keeping it.
    void jobNamedOrDroppedOpensAsAJob_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("job");
        QTest::addColumn<bool>("replace");
        QTest::newRow("argument") << "argument"
                                  << "exam.lisko" << true;
        QTest::newRow("argument, capitals") << "argument"
                                            << "EXAM.LISKO" << true;
        QTest::newRow("argument, kept") << "argument"
                                        << "exam.lisko" << false;
        QTest::newRow("drop on the list") << "list"
                                          << "exam.lisko" << true;
        QTest::newRow("drop on the preview") << "preview"
                                             << "exam.lisko" << true;
        QTest::newRow("drop, kept") << "list"
                                    << "exam.lisko" << false;
    }

    void jobNamedOrDroppedOpensAsAJob() {
        QFETCH(QString, way);
        QFETCH(QString, job);
        QFETCH(bool, replace);
        WriteJob(job);
        Form().AddFiles({Photo("y/a.jpg")});
        const TLisko* before = &Form().Photos().Photo(0);
        dialogs_.yesNo.push_back(replace);
        if (way == QLatin1String("argument")) {
            // A relative name counts from the working directory, as a photo's does.
            const QString current = QDir::currentPath();
            QVERIFY(QDir::setCurrent(photos_.path()));
            OpenPhotosFromArguments(Form(), {job});
            QVERIFY(QDir::setCurrent(current));
        } else {
            QVERIFY(Drop(DropTarget(way), *DragOf({QUrl::fromLocalFile(Photo(job))})));
            QTRY_COMPARE(dialogs_.questions.size(), std::size_t{1});
        }
        QCOMPARE(dialogs_.questions.size(), std::size_t{1});
        QCOMPARE(dialogs_.questions.front().text,
                 QStringLiteral("Заменить снимки списка снимками задания «%1»?").arg(job));
        QVERIFY(dialogs_.messages.empty());
        if (!replace) {
            QCOMPARE(Form().Photos().Count(), 1);
            QCOMPARE(&Form().Photos().Photo(0), before);
            return;
        }
        QCOMPARE(Column(Form().fileView, 1), QStringList{Photo("x/")});
        QCOMPARE(Form().Photos().Photo(0).ImageType, 0);
        QCOMPARE(Form().Photos().Photo(0).CropLeft, 10);
        QCOMPARE(Form().sSpinEdit7->value(), 2);
        QCOMPARE(Form().sSpinEdit8->value(), 1);
    }

    // A job dropped with photos and folders opens first, and they are added to it; a folder named
    // like a job stands for its photos; of two jobs the first given opens, and a message names the
    // other.
    void jobDroppedWithPhotosOpensAndTheyJoinIt() {
        WriteJob(QStringLiteral("exam.lisko"));
        WriteJob(QStringLiteral("second.lisko"));
        const QByteArray photo = [this] {
            QFile file(Photo("x/a.jpg"));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        WriteFile(QStringLiteral("z.lisko/e.jpg"), photo);
        QVERIFY(Drop(DropTarget("list"), *DragOf({QUrl::fromLocalFile(Photo("y/a.jpg")),
                                                  QUrl::fromLocalFile(Photo("second.lisko")),
                                                  QUrl::fromLocalFile(Photo("exam.lisko")),
                                                  QUrl::fromLocalFile(Photo("z.lisko"))})));
        QTRY_COMPARE(Form().Photos().Count(), 3);
        QCOMPARE(Column(Form().fileView, 1),
                 (QStringList{Photo("x/"), Photo("y/"), Photo("z.lisko/")}));
        QCOMPARE(Form().Photos().Photo(0).CropLeft, 10);
        QCOMPARE(Form().Photos().Photo(1).CropLeft, 0);
        QVERIFY(dialogs_.questions.empty());
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        QCOMPARE(dialogs_.messages.front().icon, QMessageBox::Information);
        QCOMPARE(
            dialogs_.messages.front().text,
            QStringLiteral("Открывается одно задание за раз. Не открыты:\n") + Photo("exam.lisko"));
    }

    // A damaged job is refused with its error; the photos given with it are still added.
    void damagedJobIsReportedAndThePhotosWithItAdded() {
        WriteFile(QStringLiteral("damaged.lisko"), "{}");
        OpenPhotosFromArguments(Form(), {Photo("damaged.lisko"), Photo("y/a.jpg")});
        QCOMPARE(Column(Form().fileView, 1), QStringList{Photo("y/")});
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        QCOMPARE(dialogs_.messages.front().icon, QMessageBox::Critical);
        QVERIFY2(dialogs_.messages.front().text.contains(
                     Photo("damaged.lisko") + R"(: not a job file: "format" is missing)"),
                 qPrintable(dialogs_.messages.front().text));
    }

    // The dialog opens where photos were last added from, kept with the reminder dates, while
    // that folder exists; else in the user's Pictures folder.
    void fileDialogOpensInTheLastPhotoFolder() {
        const QTemporaryDir home;
        const QByteArray realHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        QVERIFY(QDir(home.path()).mkpath(QStringLiteral("Pictures")));
        const QString pictures = QDir(home.path()).filePath(QStringLiteral("Pictures"));

        QCOMPARE(OpenDialogFolder(), pictures);
        dialogs_.answers.push_back({Photo("y/sub/c.jpg")});
        QCOMPARE(OpenDialogFolder(), pictures);
        QCOMPARE(OpenDialogFolder(), Photo("y/sub"));
        // A drop is an addition as well; a batch that added nothing moves nothing.
        QVERIFY(Drop(DropTarget("list"), *DragOf({QUrl::fromLocalFile(Photo("x/a.jpg"))})));
        QTRY_COMPARE(Form().fileView->topLevelItemCount(), 2);
        Form().AddFiles({Photo("y/notes.txt")});
        QCOMPARE(OpenDialogFolder(), Photo("x"));
        const QSettings store(SettingsStore::SubkeyLocation(), QSettings::IniFormat);
        QCOMPARE(store.value(QString::fromUtf8(PhotoFolderValue)).toString(), Photo("x"));
        QVERIFY(store.contains(QStringLiteral("Приглашения")));

        // The next start remembers it; a folder that has gone is forgotten.
        fixture_->OpenWindows();
        QCOMPARE(OpenDialogFolder(), Photo("x"));
        RememberPhotoFolder(home.filePath(QStringLiteral("gone")));
        QCOMPARE(OpenDialogFolder(), pictures);
        QVERIFY(QDir(pictures).removeRecursively());
        QCOMPARE(OpenDialogFolder(), home.path());
        qputenv("HOME", realHome);
    }
};

}  // namespace lisko

int main(int argc, char* argv[]) {
    return lisko::test::RunWindowTest(argc, argv,
                                      [] { return std::make_unique<lisko::OpenPhotosTest>(); });
}

#include "OpenPhotosTest.moc"
