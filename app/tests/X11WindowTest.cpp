// The windows as an X server sees them, on the xcb platform under Xvfb: the titles the window
// manager shows, the owner of the apply-to-many dialog, and GTK's file dialog. The offscreen
// platform has no window manager titles and no desktop dialogs, so it would hide these faults.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>
#include <optional>

#include "app/OpenPhotos.h"
#include "app/Program.h"
#include "app/tests/WindowFixture.h"
#include "app/tests/WindowTestMain.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

namespace lisko {

namespace {

// A property of an X window as xprop reads it from the server: the text after "NAME = ", or
// after "NAME: " for a window id.
QString XProperty(WId window, const char* name) {
    QProcess xprop;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    xprop.setProcessEnvironment(environment);
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window),
                                          QStringLiteral("-notype"), QString::fromLatin1(name)});
    if (!xprop.waitForFinished(10000)) return QStringLiteral("xprop did not finish");
    const QString line = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const QString prefix = QString::fromLatin1(name);
    for (const QString& separator : {QStringLiteral(" = "), QStringLiteral(": ")}) {
        if (line.startsWith(prefix + separator)) return line.mid(prefix.size() + separator.size());
    }
    return line;
}

// The title the window manager shows: _NET_WM_NAME without its quotes.
QString ShownTitle(const QWidget& window) {
    const QString quoted = XProperty(window.winId(), "_NET_WM_NAME");
    if (quoted.size() < 2 || !quoted.startsWith(QLatin1Char('"'))) return quoted;
    return quoted.mid(1, quoted.size() - 2);
}

// Hands the file dialog's question to the desktop's own dialog and keeps the answer, but gives
// the window nothing to add.
class RecordingDialogs : public SystemDialogs {
public:
    QStringList OpenFiles(QWidget* parent, const OpenFilesRequest& request) override {
        chosen = SystemDialogs::OpenFiles(parent, request);
        return {};
    }
    QStringList chosen;
};

}  // namespace

class X11WindowTest : public QObject {
    Q_OBJECT

private:
    std::optional<test::WindowFixture> fixture_;

    TForm1& Form() { return fixture_->Windows().form1; }

private slots:
    void init() {
        // Nothing listens there: no update check ever leaves this machine.
        qputenv("LISKO_UPDATE_URL", "http://127.0.0.1:1");
        fixture_.emplace();
    }

    void cleanup() {
        fixture_.reset();
        qunsetenv("LISKO_UPDATE_URL");
    }

    void platformIsXcb() { QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb")); }

    // Each window's title on the screen is its caption alone, with nothing appended.
    void titlesAreTheCaptionsAlone() {
        const QString caption = QStringLiteral("LiskoPrinter " LISKO_VERSION " от 10.05.2010");
        QCOMPARE(ShownTitle(Form()), caption);
        QCOMPARE(ShownTitle(fixture_->Windows().form4), caption);
        Form().winId();
        fixture_->Windows().form2.show();
        QCOMPARE(ShownTitle(fixture_->Windows().form2), QStringLiteral("Применить ко многим..."));
        fixture_->Windows().form2.hide();
    }

    void messageBoxTitlesAreTheirCaptions_data() {
        QTest::addColumn<QString>("caption");
        QTest::newRow("about box") << QStringLiteral("О программе");
        QTest::newRow("error box") << QString::fromUtf8(ApplicationTitle);
    }

    void messageBoxTitlesAreTheirCaptions() {
        QFETCH(QString, caption);
        QString shown;
        QTimer::singleShot(0, this, [&shown] {
            QWidget* box = nullptr;
            for (int i = 0; i < 100 && !box; ++i) {
                QTest::qWait(50);
                box = QApplication::activeModalWidget();
            }
            if (!box) return;
            shown = ShownTitle(*box);
            box->close();
        });
        if (caption == QString::fromUtf8(ApplicationTitle)) {
            ShowStandardError(&Form(), QStringLiteral("Что-то пошло не так"));
        } else {
            QTest::mouseClick(Form().sSpeedButton5, Qt::LeftButton);
        }
        QCOMPARE(shown, caption);
    }

    // Apply-to-many belongs to the main window: the window manager keeps it above that window
    // and gives it no task-bar entry of its own.
    void applyToManyIsTransientForTheMainWindow() {
        const WId main = Form().winId();
        fixture_->Windows().form2.show();
        const QString owner = XProperty(fixture_->Windows().form2.winId(), "WM_TRANSIENT_FOR");
        fixture_->Windows().form2.hide();
        QCOMPARE(owner.section(QLatin1Char('#'), 1).trimmed().toULongLong(nullptr, 16),
                 static_cast<qulonglong>(main));
    }

    // GTK's file dialog, which Qt uses on GNOME, matches its patterns case by case: the first
    // choice must still show every photo name the list takes, and nothing else. A user's
    // select-all in the dialog returns what it shows.
    void gtkFileDialogShowsEveryPhotoName() {
        QVERIFY2(QGuiApplication::platformName() == QStringLiteral("xcb"), "needs an X server");
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QStringList photos{"a.jpg", "b.JPG", "c.jpeg", "D.JpEg"};
        for (const QString& name : photos + QStringList{"e.png", "f.jpg.bak", "g.jpgx", "h"}) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        // The dialog opens in the folder photos were last added from.
        RememberPhotoFolder(folder.path());

        // Once the dialog is up, select all in its list and open.
        QProcess user;
        user.start(QStringLiteral("sh"),
                   {QStringLiteral("-c"),
                    QStringLiteral(
                        "for try in $(seq 1 40); do "
                        "  id=$(xdotool search --onlyvisible --pid %1 2>/dev/null | head -n 1); "
                        "  if [ -n \"$id\" ]; then sleep 1; "
                        "    xdotool windowfocus --sync \"$id\" 2>/dev/null; "
                        "    xdotool key --clearmodifiers ctrl+a; sleep 0.3; xdotool key Return; "
                        "    sleep 1; "
                        "    xdotool search --onlyvisible --pid %1 >/dev/null 2>&1 || exit 0; "
                        "  fi; sleep 0.5; "
                        "done; exit 1")
                        .arg(QCoreApplication::applicationPid())});
        RecordingDialogs dialogs;
        {
            const ScopedDialogs scoped(dialogs);
            QTest::mouseClick(Form().sSpeedButton3, Qt::LeftButton);
        }
        QVERIFY(user.waitForFinished(60000));
        QCOMPARE(user.exitCode(), 0);

        QStringList chosen;
        for (const QString& path : dialogs.chosen)
            chosen << QFileInfo(path).fileName();
        chosen.sort(Qt::CaseInsensitive);
        QCOMPARE(chosen, photos);
        QCOMPARE(Form().Photos().Count(), 0);
    }
};

}  // namespace lisko

int main(int argc, char* argv[]) {
    return lisko::test::RunWindowTest(argc, argv,
                                      [] { return std::make_unique<lisko::X11WindowTest>(); });
}

#include "X11WindowTest.moc"
