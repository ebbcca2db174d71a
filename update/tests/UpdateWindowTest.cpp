#include <sys/statvfs.h>

#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <memory>
#include <optional>

#include "app/Program.h"
#include "app/tests/WindowFixture.h"
#include "app/tests/WindowTestMain.h"
#include "identity/Identity.h"
#include "identity/SettingsStore.h"
#include "testsupport/Tmpfs.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "update/ReplacementScript.h"
#include "update/Unit4.h"
#include "update/Update.h"
#include "update/UpdateSystem.h"
#include "update/tests/HttpTestServer.h"

using namespace std::chrono_literals;

namespace lisko {
namespace {

using test::HttpAnswer;
using test::HttpResponse;
using test::OkResponse;
using test::RedirectResponse;

constexpr char kVersion[] = "2.7.0.1";
constexpr char kProgramName[] = "liskoprinter";
constexpr char kChecking[] = "Проверка обновлений....";
constexpr char kVersionPath[] = "/version.txt";
constexpr char kSetupPath[] = "/files/LiskoSetup.exe";

// Records what the update asks of the system instead of starting anything or ending the tests.
class FakeUpdateSystem : public UpdateSystem {
public:
    QString ProgramFile() const override { return programFile; }
    void StartScript(const QString& script, const QString& directory) override {
        events << QStringLiteral("start %1 in %2").arg(script, directory);
    }
    void EndProgram() override { events << QStringLiteral("end"); }
    std::chrono::milliseconds VersionFetchLimit() const override { return fetchLimit; }
    std::chrono::milliseconds StallLimit() const override { return stallLimit; }
    bool InstalledByPackage() const override { return packaged; }

    QString programFile;
    bool packaged = false;
    QStringList events;
    std::chrono::milliseconds fetchLimit = 10s;
    std::chrono::milliseconds stallLimit = 10s;
};

class FakeDialogs : public Dialogs {
public:
    bool SetUpPrinter(QWidget*, QPrinter&, int) override { return false; }
    QStringList OpenFiles(QWidget*, const OpenFilesRequest&) override { return {}; }
    void ShowMessage(QWidget*, const QString&, const QString& text, QMessageBox::Icon) override {
        messages << text;
    }
    int RunModal(QDialog&) override { return 2; }
    QStringList messages;
};

struct Route {
    QByteArray path;
    HttpAnswer answer;
};
using Routes = QList<Route>;

QByteArray Cp1251(const QString& text) {
    return ToCp1251(text).value();
}

// Bytes that differ from block to block, so a block written twice or skipped shows.
QByteArray SetupBytes(qsizetype size) {
    QByteArray bytes(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 1024) & 0xFF);
    return bytes;
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace
}  // namespace lisko

Q_DECLARE_METATYPE(lisko::Routes)
Q_DECLARE_METATYPE(lisko::test::HttpAnswer)

namespace lisko {

class UpdateWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> programDir_;
    std::optional<test::ScratchDir> scratch_;
    FakeUpdateSystem system_;
    std::unique_ptr<ScopedUpdateSystem> scopedSystem_;
    FakeDialogs dialogs_;
    std::unique_ptr<ScopedDialogs> scopedDialogs_;
    std::unique_ptr<test::HttpTestServer> server_;
    std::unique_ptr<QWidget> mainWindow_;
    std::unique_ptr<TForm4> form_;
    QList<int> progress_;
    int shown_ = 0;  // how often the update window appeared

    QString ProgramDir() const { return programDir_->path() + QLatin1Char('/'); }
    QString ProgramFile() const { return ProgramDir() + QLatin1String(kProgramName); }
    QStringList ProgramDirEntries() const {
        return QDir(programDir_->path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    void Serve(const Routes& routes) {
        for (const Route& route : routes)
            server_->Answer(route.path, route.answer);
    }

    void Check(const QString& programVersion = QString::fromLatin1(kVersion)) {
        CheckForUpdate(*form_, programVersion);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == form_.get() && event->type() == QEvent::Show) ++shown_;
        return QObject::eventFilter(watched, event);
    }

    // The state after a check that left the program as it was: the window came and went.
    void VerifyNothingChanged() {
        QCOMPARE(shown_, 1);
        QVERIFY(!form_->isVisible());
        QCOMPARE(ProgramDirEntries(), QStringList{kProgramName});
        QCOMPARE(ReadFile(ProgramFile()), QByteArray("old program"));
        QCOMPARE(system_.events, QStringList());
        QCOMPARE(dialogs_.messages, QStringList());
    }

    // Serves a new version and the given setup answer.
    void ServeUpdate(const HttpAnswer& setup) {
        Serve({{kVersionPath, {OkResponse("2.7.0.2"), false}}, {kSetupPath, setup}});
    }

    QByteArray ExpectedScript() const {
        const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid());
        return "#!/bin/sh\n"
               "tries=0 renamed=\n"
               "while kill -0 " +
               pid +
               " 2>/dev/null && [ \"$tries\" -lt 60 ]; do "
               "tries=$((tries + 1)); sleep 1; done\n"
               "kill -0 " +
               pid +
               " 2>/dev/null || rm -f -- 'liskoprinter'\n"
               "if [ -e 'liskoprinter' ]; then rm -f -- 'LiskoSetup.exe'; "
               "elif mv -f -- 'LiskoSetup.exe' 'liskoprinter'; then renamed=1; fi\n"
               "[ -n \"$renamed\" ] && chmod +x -- 'liskoprinter' && './liskoprinter' "
               "</dev/null >/dev/null 2>&1 &\n"
               "rm -f -- \"$0\"\n";
    }

    // The state after a check that downloaded setup and handed over to the script.
    void VerifyReplaced(const QByteArray& setup) {
        QCOMPARE(ProgramDirEntries(),
                 (QStringList{"LiskoSetup.exe", "LiskoSetup.sh", kProgramName}));
        QCOMPARE(ReadFile(ProgramDir() + "LiskoSetup.exe"), setup);
        QCOMPARE(ReadFile(ProgramDir() + "LiskoSetup.sh"), ExpectedScript());
        QCOMPARE(ReadFile(ProgramFile()), QByteArray("old program"));
        QCOMPARE(
            system_.events,
            (QStringList{QStringLiteral("start %1LiskoSetup.sh in %1").arg(ProgramDir()), "end"}));
        QCOMPARE(dialogs_.messages, QStringList());
    }

private slots:
    void init() {
        programDir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(programDir_->isValid());
        QFile program(ProgramFile());
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write("old program");
        program.close();

        scratch_.emplace();
        system_ = FakeUpdateSystem();
        system_.programFile = ProgramFile();
        scopedSystem_ = std::make_unique<ScopedUpdateSystem>(system_);
        dialogs_ = FakeDialogs();
        scopedDialogs_ = std::make_unique<ScopedDialogs>(dialogs_);
        server_ = std::make_unique<test::HttpTestServer>();
        qputenv("LISKO_UPDATE_URL", server_->BaseUrl().toUtf8());

        mainWindow_ = std::make_unique<QWidget>();
        mainWindow_->setWindowTitle(QStringLiteral("LiskoPrinter 2.7.0.1 от 10.05.2010"));
        form_ = std::make_unique<TForm4>(*mainWindow_);
        progress_.clear();
        shown_ = 0;
        form_->installEventFilter(this);
        connect(form_->sProgressBar1, &QProgressBar::valueChanged, this,
                [this](int value) { progress_ << value; });
    }

    void cleanup() {
        form_.reset();
        mainWindow_.reset();
        server_.reset();
        scopedDialogs_.reset();
        scopedSystem_.reset();
        qunsetenv("LISKO_UPDATE_URL");
        scratch_.reset();
    }

    void windowHasItsDesign() {
        TForm4& form = *form_;
        QCOMPARE(form.windowTitle(), QStringLiteral("LiskoPrinter 2.7.0.1 от 10.05.2010"));
        QVERIFY(!form.isVisible());
        QCOMPARE(form.size(), QSize(482, 102));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        const Qt::WindowFlags flags = form.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
        for (Qt::WindowType icon : {Qt::WindowSystemMenuHint, Qt::WindowCloseButtonHint,
                                    Qt::WindowMinimizeButtonHint, Qt::WindowMaximizeButtonHint}) {
            QVERIFY(!flags.testFlag(icon));
        }
        QCOMPARE(form.sLabel1->text(), QString::fromUtf8(kChecking));
        QCOMPARE(form.sLabel1->alignment(), Qt::AlignCenter);
        QCOMPARE(form.sLabel1->y(), 0);
        QCOMPARE(form.sLabel1->width(), 482);
        QCOMPARE(form.sLabel1->palette().color(QPalette::WindowText), QColor(40, 44, 49));
        QCOMPARE(form.sLabel1->font().family(), QApplication::font().family());
        QVERIFY(QFontMetrics(form.sLabel1->font()).height() <= 13);
        QCOMPARE(form.sProgressBar1->geometry(), QRect(8, 24, 465, 24));
        QCOMPARE(form.sProgressBar1->minimum(), 0);
        QCOMPARE(form.sProgressBar1->maximum(), 100);
        QCOMPARE(form.sProgressBar1->value(), 30);
        QCOMPARE(form.sButton1->text(), QStringLiteral("Отменить обновление"));
        QCOMPARE(form.sButton1->geometry(), QRect(176, 56, 129, 33));
    }

    void cancelButtonAndCloseRequestClearTheTag() {
        form_->show();
        form_->Tag = 1;
        QTest::mouseClick(form_->sButton1, Qt::LeftButton);
        QCOMPARE(form_->Tag, 0);
        // A close request from the desktop cancels too, and the window stays until the check
        // hides it.
        form_->Tag = 1;
        QVERIFY(!form_->close());
        QCOMPARE(form_->Tag, 0);
        QVERIFY(form_->isVisible());
    }

    void noUpdate_data() {
        QTest::addColumn<QString>("programVersion");
        QTest::addColumn<Routes>("routes");
        QTest::addColumn<int>("fetchLimitMs");
        QTest::addColumn<int>("progress");
        QTest::addColumn<int>("requests");
        const QString beta = QStringLiteral("2.7.0.1-бета");
        QTest::newRow("equal version")
            << QString::fromLatin1(kVersion) << Routes{{kVersionPath, {OkResponse("2.7.0.1")}}}
            << 10000 << 100 << 1;
        QTest::newRow("cp1251 letters without charset")
            << beta << Routes{{kVersionPath, {OkResponse(Cp1251(beta))}}} << 10000 << 100 << 1;
        QTest::newRow("utf-8 charset")
            << beta
            << Routes{{kVersionPath, {OkResponse(beta.toUtf8(), "text/plain; charset=UTF-8")}}}
            << 10000 << 100 << 1;
        QTest::newRow("redirect on the same host")
            << QString::fromLatin1(kVersion)
            << Routes{{kVersionPath, {RedirectResponse("/moved/version.txt")}},
                      {"/moved/version.txt", {OkResponse("2.7.0.1")}}}
            << 10000 << 100 << 2;
        // An empty text is fetched all right, but it is no version.
        QTest::newRow("empty body")
            << QString::fromLatin1(kVersion) << Routes{{kVersionPath, {OkResponse("")}}} << 10000
            << 100 << 1;
        QTest::newRow("404") << QString::fromLatin1(kVersion) << Routes{} << 10000 << 0 << 1;
        QTest::newRow("500") << QString::fromLatin1(kVersion)
                             << Routes{{kVersionPath, {HttpResponse(500, {}, "2.7.0.2")}}} << 10000
                             << 0 << 1;
        QTest::newRow("never answers")
            << QString::fromLatin1(kVersion) << Routes{{kVersionPath, {QByteArray(), true}}} << 200
            << 0 << 1;
        QTest::newRow("answer stops in the middle")
            << QString::fromLatin1(kVersion)
            << Routes{{kVersionPath, {HttpResponse(200, {{"Content-Length", "7"}}, "2.7."), true}}}
            << 200 << 0 << 1;
        QTest::newRow("longer than a version text")
            << QString::fromLatin1(kVersion)
            << Routes{{kVersionPath, {OkResponse(QByteArray(5000, '2'))}}} << 10000 << 0 << 1;
    }

    void noUpdate() {
        QFETCH(QString, programVersion);
        QFETCH(Routes, routes);
        QFETCH(int, fetchLimitMs);
        QFETCH(int, progress);
        QFETCH(int, requests);
        Serve(routes);
        system_.fetchLimit = std::chrono::milliseconds(fetchLimitMs);
        Check(programVersion);
        QCOMPARE(server_->Requests().size(), requests);
        QVERIFY(!server_->RequestedPaths().contains(kSetupPath));
        QCOMPARE(form_->sProgressBar1->value(), progress);
        QCOMPARE(progress_.value(0), 0);  // the check starts from 0
        QCOMPARE(form_->sLabel1->text(), QString::fromUtf8(kChecking));
        VerifyNothingChanged();
    }

    // Whatever the server sends is shown as the characters it sent, never as markup.
    void versionTextIsShownAsPlainText() {
        server_->Answer(kVersionPath, {OkResponse("<h1>2.7.0.2</h1><b>x</b>")});
        Check();
        const QString shown = form_->sLabel1->text();
        QVERIFY(shown.contains(QStringLiteral("<h1>2.7.0.2</h1><b>x</b>")));
        // The label's text alone, drawn on white.
        auto ink = [](QLabel& label) {
            QImage image(label.size(), QImage::Format_RGB32);
            image.fill(Qt::white);
            label.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
            return image;
        };
        auto drawn = [this, &shown, &ink](Qt::TextFormat format) {
            QLabel label(shown);
            label.setTextFormat(format);
            label.setFont(form_->sLabel1->font());
            label.setPalette(form_->sLabel1->palette());
            label.setAlignment(form_->sLabel1->alignment());
            label.resize(form_->sLabel1->size());
            return ink(label);
        };
        QVERIFY(drawn(Qt::RichText) != drawn(Qt::PlainText));
        QCOMPARE(ink(*form_->sLabel1), drawn(Qt::PlainText));
    }

    void redirectToAnotherHostIsNotFollowed() {
        // localhost is the same machine under another name: the redirect must not go there.
        server_->Answer(kVersionPath,
                        {RedirectResponse("http://localhost:" +
                                          QByteArray::number(server_->Port()) + "/version.txt")});
        server_->Answer("/other", {OkResponse("2.7.0.2")});
        Check();
        QCOMPARE(server_->RequestedPaths(), QList<QByteArray>{kVersionPath});
        QCOMPARE(form_->sProgressBar1->value(), 0);
        VerifyNothingChanged();
    }

    void refusedConnection() {
        qputenv("LISKO_UPDATE_URL",
                QByteArray("http://127.0.0.1:") + QByteArray::number(test::ClosedPort()));
        Check();
        QCOMPARE(form_->sProgressBar1->value(), 0);
        VerifyNothingChanged();
    }

    void versionRequestCarriesItsHeaders() {
        server_->Answer(kVersionPath, {OkResponse("2.7.0.1")});
        Check();
        QCOMPARE(server_->Requests().size(), 1);
        const test::HttpRequest& request = server_->Requests().front();
        QCOMPARE(request.method, QByteArray("GET"));
        QCOMPARE(request.path, QByteArray(kVersionPath));
        QCOMPARE(request.headers.value("accept"), QByteArray("text/html, */*"));
        QCOMPARE(request.headers.value("accept-language"), QByteArray("ru"));
        QCOMPARE(request.headers.value("user-agent"),
                 QByteArray("Mozilla/3.0 (compatible; Indy Library)"));
    }

    void differentVersionAsksForTheSetup_data() {
        QTest::addColumn<QString>("programVersion");
        QTest::addColumn<QByteArray>("versionResponse");
        QTest::addColumn<QString>("status");
        const QString beta = QStringLiteral("2.7.0.1-бета");
        QTest::newRow("version and line end")
            << QString::fromLatin1(kVersion) << OkResponse("2.7.0.1\r\n")
            << QStringLiteral("Доступна новая версия 2.7.0.1\r\n. Установка обновления...");
        QTest::newRow("lower version")
            << QString::fromLatin1(kVersion) << OkResponse("2.6.0.0")
            << QStringLiteral("Доступна новая версия 2.6.0.0. Установка обновления...");
        QTest::newRow("letter case") << beta << OkResponse(Cp1251(QStringLiteral("2.7.0.1-БЕТА")))
                                     << QStringLiteral(
                                            "Доступна новая версия 2.7.0.1-БЕТА. Установка "
                                            "обновления...");
        QTest::newRow("cp1251 letters in the status")
            << QString::fromLatin1(kVersion) << OkResponse(Cp1251(QStringLiteral("3.0-бета")))
            << QStringLiteral("Доступна новая версия 3.0-бета. Установка обновления...");
        // Without the charset UTF-8 bytes are taken one by one, so the texts differ.
        QTest::newRow("utf-8 without charset")
            << beta << OkResponse(beta.toUtf8())
            << QStringLiteral("Доступна новая версия 2.7.0.1-") + QChar(0x0420) + QChar(0xB1) +
                   QChar(0x0420) + QChar(0xB5) + QChar(0x0421) + QChar(0x82) + QChar(0x0420) +
                   QChar(0xB0) + QStringLiteral(". Установка обновления...");
    }

    void differentVersionAsksForTheSetup() {
        QFETCH(QString, programVersion);
        QFETCH(QByteArray, versionResponse);
        QFETCH(QString, status);
        server_->Answer(kVersionPath, {versionResponse});  // the setup path gets 404
        Check(programVersion);
        QCOMPARE(server_->RequestedPaths(), (QList<QByteArray>{kVersionPath, kSetupPath}));
        QCOMPARE(form_->sLabel1->text(), status);
        // 100 after the fetch, back to 0 for the download.
        QVERIFY(progress_.contains(100));
        QCOMPARE(form_->sProgressBar1->value(), 0);
        VerifyNothingChanged();
    }

    // A program of a package: each new version the server announces is said once, in Russian,
    // with the project site; nothing is downloaded or replaced, and start-up goes on.
    void packagedProgramAnnouncesEachNewVersionOnce_data() {
        QTest::addColumn<QStringList>("serverVersions");  // one check each; empty: no answer
        QTest::addColumn<QList<int>>("messagesAfter");
        QTest::newRow("same version twice")
            << QStringList{"2.7.0.2", "2.7.0.2"} << QList<int>{1, 1};
        QTest::newRow("each new version")
            << QStringList{"2.7.0.2", "2.7.0.3", "2.7.0.3"} << QList<int>{1, 2, 2};
        QTest::newRow("back to an earlier one")
            << QStringList{"2.7.0.2", "2.7.0.3", "2.7.0.2"} << QList<int>{1, 2, 3};
        QTest::newRow("the program's own version") << QStringList{kVersion} << QList<int>{0};
        QTest::newRow("failed check") << QStringList{QString()} << QList<int>{0};
    }

    void packagedProgramAnnouncesEachNewVersionOnce() {
        QFETCH(QStringList, serverVersions);
        QFETCH(QList<int>, messagesAfter);
        system_.packaged = true;
        SettingsStore store;
        if (store.OpenKey()) store.WriteText(QString::fromUtf8(AnnouncedVersionValue), {});
        for (qsizetype i = 0; i < serverVersions.size(); ++i) {
            const QString version = serverVersions[i];
            server_ = std::make_unique<test::HttpTestServer>();
            qputenv("LISKO_UPDATE_URL", server_->BaseUrl().toUtf8());
            if (!version.isEmpty()) server_->Answer(kVersionPath, {OkResponse(version.toLatin1())});
            Check();
            QCOMPARE(dialogs_.messages.size(), messagesAfter[i]);
            QVERIFY(!server_->RequestedPaths().contains(kSetupPath));
            QVERIFY(!form_->isVisible());
        }
        QCOMPARE(ProgramDirEntries(), QStringList{kProgramName});
        QCOMPARE(system_.events, QStringList());
        if (!dialogs_.messages.isEmpty()) {
            QCOMPARE(dialogs_.messages.last(), PackageUpdateText(serverVersions.last()));
        }
    }

    void packageUpdateTextNamesTheVersionThePackageManagerAndTheSite() {
        const QString text = PackageUpdateText(QStringLiteral("3.0 <бета>"));
        QVERIFY(
            text.contains(QStringLiteral("Вышла новая версия LiskoPrinter: 3.0 &lt;бета&gt;.")));
        QVERIFY(text.contains(QStringLiteral("менеджер пакетов")));
        const QString site = QString::fromUtf8(identity::ProjectSite);
        QVERIFY(text.contains(QStringLiteral("<a href=\"https://%1/\">%1</a>").arg(site)));
    }

    // The test program runs from its build folder, which it may write: a package only when
    // built for one.
    void programInAWritableFolderIsPackagedOnlyWhenBuiltForIt() {
        QCOMPARE(DesktopUpdateSystem().InstalledByPackage(), static_cast<bool>(LISKO_PACKAGED));
    }

    void incompleteDownloadLeavesNothing_data() {
        QTest::addColumn<HttpAnswer>("setup");
        QTest::addColumn<int>("stallLimitMs");
        QTest::addColumn<int>("progressLimit");
        const QByteArray body = SetupBytes(3000);
        QTest::newRow("404") << HttpAnswer{HttpResponse(404, {{"Content-Length", "3000"}}, body)}
                             << 10000 << 0;
        QTest::newRow("500") << HttpAnswer{HttpResponse(500, {{"Content-Length", "3000"}}, body)}
                             << 10000 << 0;
        QTest::newRow("no length") << HttpAnswer{HttpResponse(200, {}, body)} << 10000 << 0;
        QTest::newRow("length not a number")
            << HttpAnswer{HttpResponse(200, {{"Content-Length", "lots"}}, body)} << 10000 << 0;
        QTest::newRow("negative length")
            << HttpAnswer{HttpResponse(200, {{"Content-Length", "-3000"}}, body)} << 10000 << 0;
        QTest::newRow("zero length")
            << HttpAnswer{HttpResponse(200, {{"Content-Length", "0"}}, {})} << 10000 << 0;
        QTest::newRow("body shorter than announced")
            << HttpAnswer{HttpResponse(200, {{"Content-Length", "5000"}}, body)} << 10000 << 60;
        QTest::newRow("server stalls in the middle")
            << HttpAnswer{HttpResponse(200, {{"Content-Length", "5000"}}, body), true} << 200 << 60;
        QTest::newRow("redirect to another host")
            << HttpAnswer{RedirectResponse("http://localhost:1/files/LiskoSetup.exe")} << 10000
            << 0;
    }

    void incompleteDownloadLeavesNothing() {
        QFETCH(HttpAnswer, setup);
        QFETCH(int, stallLimitMs);
        QFETCH(int, progressLimit);
        ServeUpdate(setup);
        system_.stallLimit = std::chrono::milliseconds(stallLimitMs);
        Check();
        QCOMPARE(server_->RequestedPaths(), (QList<QByteArray>{kVersionPath, kSetupPath}));
        // The fetch's 100 comes first; the download's own values follow the last 0.
        const QList<int> download = progress_.mid(progress_.lastIndexOf(0));
        QVERIFY(*std::max_element(download.begin(), download.end()) <= progressLimit);
        VerifyNothingChanged();
    }

    void moreBytesThanAnnounced() {
        // HTTP ends the body where the length says; what follows is not part of it.
        const QByteArray setup = SetupBytes(3000);
        ServeUpdate({HttpResponse(200, {{"Content-Length", "2500"}}, setup)});
        Check();
        QCOMPARE(form_->sProgressBar1->value(), 100);
        VerifyReplaced(setup.left(2500));
    }

    void completeDownloadHandsOverToTheScript() {
        const QByteArray setup = SetupBytes(5000);
        ServeUpdate({OkResponse(setup, "application/octet-stream")});
        Check();
        VerifyReplaced(setup);
        QCOMPARE(form_->sLabel1->text(),
                 QStringLiteral("Доступна новая версия 2.7.0.2. Установка обновления..."));
        QCOMPARE(progress_.last(), 100);
        // The program ended with its window up; nothing after the end ran.
        QVERIFY(form_->isVisible());
        const test::HttpRequest& request = server_->Requests().last();
        QCOMPARE(request.path, QByteArray(kSetupPath));
        QCOMPARE(request.headers.value("user-agent"), Cp1251(QString::fromUtf8(ApplicationTitle)));
        QCOMPARE(request.headers.value("cache-control"), QByteArray("no-cache"));
    }

    void downloadReplacesAnEarlierSetupFile() {
        QFile stale(ProgramDir() + "LiskoSetup.exe");
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("a much longer setup program left over from an earlier run");
        stale.close();
        const QByteArray setup = SetupBytes(100);
        ServeUpdate({OkResponse(setup)});
        Check();
        VerifyReplaced(setup);
    }

    void progressMovesOneBlockAtATime() {
        // A hundred blocks of 1024 bytes: each block is one percent, so no value is skipped.
        ServeUpdate({OkResponse(SetupBytes(102400))});
        Check();
        const QList<int> download = progress_.mid(progress_.lastIndexOf(0));
        QList<int> every;
        for (int p = 0; p <= 100; ++p)
            every << p;
        QCOMPARE(download, every);
    }

    void cancelInTheMiddle() {
        ServeUpdate({HttpResponse(200, {{"Content-Length", "10240"}}, SetupBytes(5000)), true});
        bool clicked = false;
        connect(form_->sProgressBar1, &QProgressBar::valueChanged, this, [&](int value) {
            // Past 20 percent of the download; the fetch's 100 comes before it.
            if (value < 20 || value == 100 || clicked) return;
            clicked = true;
            QTimer::singleShot(0, this,
                               [this] { QTest::mouseClick(form_->sButton1, Qt::LeftButton); });
        });
        Check();
        QVERIFY(clicked);
        QCOMPARE(form_->Tag, 0);
        QVERIFY(form_->sProgressBar1->value() >= 20);
        QVERIFY(form_->sProgressBar1->value() < 100);
        VerifyNothingChanged();
    }

    void unwritableSetupFileIsReported() {
        system_.programFile = ProgramDir() + "missing/" + kProgramName;
        ServeUpdate({OkResponse(SetupBytes(100))});
        Check();
        QCOMPARE(dialogs_.messages.size(), 1);
        QVERIFY2(dialogs_.messages.front().startsWith("DownloadFile: cannot write " + ProgramDir() +
                                                      "missing/LiskoSetup.exe: "),
                 qPrintable(dialogs_.messages.front()));
        dialogs_.messages.clear();
        VerifyNothingChanged();
    }

    void unwritableScriptIsReportedAndTheSetupGoes() {
        QVERIFY(QDir(ProgramDir()).mkdir("LiskoSetup.sh"));
        ServeUpdate({OkResponse(SetupBytes(100))});
        Check();
        QCOMPARE(dialogs_.messages.size(), 1);
        QVERIFY2(dialogs_.messages.front().startsWith("CheckForUpdate: cannot write " +
                                                      ProgramDir() + "LiskoSetup.sh: "),
                 qPrintable(dialogs_.messages.front()));
        QCOMPARE(ProgramDirEntries(), (QStringList{"LiskoSetup.sh", kProgramName}));
        QVERIFY(QFileInfo(ProgramDir() + "LiskoSetup.sh").isDir());
        QCOMPARE(system_.events, QStringList());
        QVERIFY(!form_->isVisible());
    }

    // The program's directory on a small tmpfs that runs out of room for real: in the middle of
    // the download, or after it, with no room left for the script.
    void fullProgramDirectoryLeavesNothing_data() {
        QTest::addColumn<int>("setupBytes");
        QTest::addColumn<QString>("error");  // then the system's reason, in the user's language
        QTest::newRow("setup") << 100000 << "DownloadFile: cannot write %1LiskoSetup.exe: ";
        QTest::newRow("script") << 8192 << "CheckForUpdate: cannot write %1LiskoSetup.sh: ";
    }

    void fullProgramDirectoryLeavesNothing() {
        QFETCH(int, setupBytes);
        QFETCH(QString, error);
        const QByteArray dir = QFile::encodeName(programDir_->path());
        const test::Tmpfs tmpfs(dir.toStdString());
        if (!tmpfs.Mounted())
            QSKIP(qPrintable(QStringLiteral("cannot mount a tmpfs here (%1); the full program "
                                            "directory needs one")
                                 .arg(QString::fromStdString(tmpfs.Error()))));
        QFile program(ProgramFile());
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write("old program");
        program.close();
        // Two pages stay free: room for the 8192-byte setup, none for the script after it.
        struct statvfs room {};
        QCOMPARE(::statvfs(dir.constData(), &room), 0);
        QFile filler(ProgramDir() + "filler");
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray fill(static_cast<qsizetype>(room.f_bavail * room.f_frsize) - 8192, 'f');
        QCOMPARE(filler.write(fill), fill.size());
        filler.close();

        ServeUpdate({OkResponse(SetupBytes(setupBytes))});
        Check();
        QCOMPARE(dialogs_.messages.size(), 1);
        QVERIFY2(dialogs_.messages.front().startsWith(error.arg(ProgramDir())) &&
                     dialogs_.messages.front().size() > error.arg(ProgramDir()).size(),
                 qPrintable(dialogs_.messages.front()));
        QCOMPARE(ProgramDirEntries(), (QStringList{"filler", kProgramName}));
        QCOMPARE(ReadFile(ProgramFile()), QByteArray("old program"));
        QCOMPARE(system_.events, QStringList());
        QVERIFY(!form_->isVisible());
    }

    void showingTheMainWindowRunsTheCheck_data() {
        QTest::addColumn<QByteArray>("serverVersion");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("same version") << QByteArray(LISKO_VERSION) << QStringList();
        QTest::newRow("new version") << QByteArray("9.9.9.9") << QStringList{"start", "end"};
    }

    void showingTheMainWindowRunsTheCheck() {
        QFETCH(QByteArray, serverVersion);
        QFETCH(QStringList, events);
        ServeUpdate({OkResponse(SetupBytes(100))});
        server_->Answer(kVersionPath, {OkResponse(serverVersion)});
        Forms forms;
        ShowMainWindow(forms.form1);
        QCOMPARE(server_->RequestedPaths().value(0), QByteArray(kVersionPath));
        QStringList kinds;
        for (const QString& event : system_.events)
            kinds << event.section(QLatin1Char(' '), 0, 0);
        QCOMPARE(kinds, events);
        QCOMPARE(forms.form4.isVisible(), !events.isEmpty());
    }

    void realProgramReplacesItself() {
        // The program itself, copied into a directory of its own, updating from the loopback
        // server: it must end with exit code 0 and its script must put the setup in its place.
        if (LISKO_PACKAGED) QSKIP("a program built for a package never replaces itself");
        QTemporaryDir dir;
        QTemporaryDir config;
        const QString program = dir.filePath(QStringLiteral("liskoprinter"));
        QVERIFY(QFile::copy(QStringLiteral(LISKO_PROGRAM), program));
        const QByteArray setup = "#!/bin/sh\necho started > started.txt\n";
        ServeUpdate({OkResponse(setup)});
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(dir.path());
        process.start(program, {});
        QVERIFY(process.waitForStarted());
        // The server answers while the test waits here.
        QTRY_COMPARE_WITH_TIMEOUT(process.state(), QProcess::NotRunning, 20000);
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(server_->RequestedPaths(), (QList<QByteArray>{kVersionPath, kSetupPath}));
        QTRY_COMPARE_WITH_TIMEOUT(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
                                  (QStringList{"liskoprinter", "started.txt"}), 10000);
        QCOMPARE(ReadFile(program), setup);
    }

    void handlersInsideTheDownloadCannotBreakIt() {
        Forms forms;
        forms.form1.show();  // its own check finds no version and leaves the window be
        const qsizetype earlier = server_->Requests().size();
        server_->Answer(kVersionPath, {OkResponse("9.9.9.9")});
        const QByteArray setup = SetupBytes(20480);
        server_->Answer(kSetupPath, {OkResponse(setup)});
        bool meddled = false;
        connect(forms.form4.sProgressBar1, &QProgressBar::valueChanged, this, [&](int value) {
            if (value < 30 || value == 100 || meddled) return;
            meddled = true;
            QTimer::singleShot(0, this, [&] {
                // A second check, a toolbar button and closing the main window, all while the
                // download runs.
                CheckForUpdate(forms.form4, QStringLiteral("0.0.0.0"));
                QTest::mouseClick(forms.form1.sSpeedButton2, Qt::LeftButton);
                forms.form1.close();
            });
        });
        CheckForUpdate(forms.form4, QString::fromLatin1(kVersion));
        QVERIFY(meddled);
        QVERIFY(!forms.form1.isVisible());
        QCOMPARE(server_->RequestedPaths().mid(earlier),
                 (QList<QByteArray>{kVersionPath, kSetupPath}));
        QCOMPARE(ReadFile(ProgramDir() + "LiskoSetup.exe"), setup);
        QCOMPARE(system_.events.size(), 2);
        QCOMPARE(system_.events.last(), QStringLiteral("end"));
    }
};

}  // namespace lisko

int main(int argc, char* argv[]) {
    return lisko::test::RunWindowTest(argc, argv,
                                      [] { return std::make_unique<lisko::UpdateWindowTest>(); });
}

#include "UpdateWindowTest.moc"
