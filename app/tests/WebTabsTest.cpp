#include <QAbstractEventDispatcher>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPrinter>
#include <QSettings>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "app/Links.h"
#include "app/Program.h"
#include "app/WebBrowser.h"
#include "app/tests/WindowFixture.h"
#include "app/tests/WindowTestMain.h"
#include "identity/Identity.h"
#include "pages/Clock.h"
#include "testsupport/FakeDialogs.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

namespace lisko {

using test::FakeDialogs;

// Takes the addresses that the program hands to the desktop.
class DesktopCatcher : public QObject {
    Q_OBJECT

public:
    QStringList urls;

public slots:
    void open(const QUrl& url) { urls << url.toString(); }
};

// A web server on the loopback address: every request is kept and answered with a small page,
// except a request for "/hold", which gets no answer until ReleaseHeld, so that the browser
// asking for it stays busy.
class PageServer : public QObject {
public:
    struct Request {
        QByteArray target;                     // path and query
        QMap<QByteArray, QByteArray> headers;  // names in lower case
    };

    bool Listen() {
        connect(&server_, &QTcpServer::newConnection, this, [this] { Accept(); });
        return server_.listen(QHostAddress::LocalHost);
    }
    quint16 Port() const { return server_.serverPort(); }

    // The requests for a path, in arrival order.
    std::vector<Request> RequestsFor(const QByteArray& path) const {
        std::vector<Request> found;
        for (const Request& r : requests_) {
            if (r.target == path || r.target.startsWith(path + '?')) found.push_back(r);
        }
        return found;
    }

    void ReleaseHeld() {
        for (QTcpSocket* socket : held_)
            Answer(socket);
        held_.clear();
    }

private:
    void Accept() {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                buffer->append(socket->readAll());
                const qsizetype end = buffer->indexOf("\r\n\r\n");
                if (end < 0) return;
                Keep(buffer->left(end));
                buffer->clear();
                if (requests_.back().target == "/hold") {
                    held_.push_back(socket);
                } else {
                    Answer(socket);
                }
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    void Keep(const QByteArray& head) {
        const QList<QByteArray> lines = head.split('\n');
        Request request;
        request.target = lines.value(0).split(' ').value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0) {
                request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                       lines[i].mid(colon + 1).trimmed());
            }
        }
        requests_.push_back(request);
    }

    static void Answer(QTcpSocket* socket) {
        socket->write(
            "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 4\r\n"
            "Connection: close\r\n\r\npage");
        socket->disconnectFromHost();
    }

    QTcpServer server_;
    std::vector<Request> requests_;
    std::vector<QTcpSocket*> held_;
};

namespace {

// The start-up day of every test; the reminders count from it.
const QDate kDayD(2010, 5, 10);

QString Identity(const char* value) {
    return QString::fromUtf8(value);
}

QString RecommendAddress() {
    return QStringLiteral(
               "mailto:адрес друга?subject=Рекомедную программу для печати шпаргалок"
               "&body=Привет!%0D%0A%0D%0AЗайди на ") +
           Identity(identity::ProjectSite) +
           QStringLiteral(
               " - это сайт%0D%0Aотличной программы для печати шпаргалок!%0D%0A%0D%0A-----"
               "%0D%0A%0D%0A");
}

QString FeedbackAddress() {
    return QStringLiteral("mailto:") + Identity(identity::FeedbackEmail) +
           QStringLiteral(
               "?subject=Отзыв о программе LiskoPrinter2"
               "&body=Здравствуйте!%0D%0A%0D%0A%0D%0A-----%0D%0A%0D%0A");
}

QString StoreFile() {
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Лиско/version.dll.ini");
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class WebTabsTest : public QObject {
    Q_OBJECT

public:
    // Every host name leads to the test's own server, and the addresses handed to the desktop
    // are kept for the checks.
    WebTabsTest() {
        listening_ = server_.Listen();
        test::SendWebHostsTo(server_.Port());
        for (const char* scheme : {"mailto", "http"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &desktop_, "open");
    }

private:
    PageServer server_;
    DesktopCatcher desktop_;
    bool listening_ = false;
    FakeDialogs dialogs_;
    std::optional<test::WindowFixture> fixture_;

    TForm1& Form() { return fixture_->Windows().form1; }

    // The program starts on day D on a machine where it never ran.
    void StartOnDayD() {
        const ScopedToday today(kDayD);
        fixture_.emplace(dialogs_);
    }

private slots:
    void initTestCase() { QVERIFY(listening_); }

    void init() {
        QDir(QFileInfo(StoreFile()).path()).removeRecursively();
        dialogs_ = FakeDialogs();
        desktop_.urls.clear();
        StartOnDayD();
    }

    void cleanup() { fixture_.reset(); }

    void firstStartOpensTheRecommendation() {
        QCOMPARE(desktop_.urls, QStringList{RecommendAddress()});
        const QSettings store(StoreFile(), QSettings::IniFormat);
        QCOMPARE(store.value(QStringLiteral("Приглашения")).toString(), QStringLiteral("40318"));
        QCOMPARE(store.value(QStringLiteral("Отзыв")).toString(), QStringLiteral("40313"));
        QVERIFY(dialogs_.messages.empty());
    }

    void feedbackDueAtStartOpensTheFeedbackMessage() {
        fixture_->CloseWindows();
        desktop_.urls.clear();
        const ScopedToday today(kDayD.addDays(6));
        fixture_->OpenWindows();
        QCOMPARE(desktop_.urls, QStringList{FeedbackAddress()});
    }

    void toolbarButtonOpensItsMessageWithoutTouchingTheDates_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("address");
        QTest::newRow("recommend") << "sSpeedButton8" << RecommendAddress();
        QTest::newRow("feedback") << "sSpeedButton6" << FeedbackAddress();
    }

    void toolbarButtonOpensItsMessageWithoutTouchingTheDates() {
        QFETCH(QString, button);
        QFETCH(QString, address);
        // Both prompts would be due today if the button looked at the dates.
        const ScopedToday today(kDayD.addDays(100));
        const QByteArray dates = FileBytes(StoreFile());
        QVERIFY(!dates.isEmpty());
        desktop_.urls.clear();
        QTest::mouseClick(Form().findChild<QToolButton*>(button), Qt::LeftButton);
        QCOMPARE(desktop_.urls, QStringList{address});
        QCOMPARE(FileBytes(StoreFile()), dates);
        QVERIFY(dialogs_.messages.empty());
    }

    void aboutButtonShowsTheAboutText() {
        QTest::mouseClick(Form().sSpeedButton5, Qt::LeftButton);
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        const FakeDialogs::Message& m = dialogs_.messages.front();
        QCOMPARE(m.parent, &Form());
        QCOMPARE(m.caption, QStringLiteral("О программе"));
        QCOMPARE(m.icon, QMessageBox::NoIcon);
        const QString expected =
            QStringLiteral(
                "Первая версия программы для печати шпор появилась в июне 2000 года. За это "
                "время пришло множество отзывов, как положительных (от умных студентов), так и "
                "отрицательных (от тупых студентов) :). Обобщив полученные сведения, было "
                "принято решение переписать программу, чтобы добавить новые воможности и убрать "
                "зависимость от Microsoft Word. \r\r"
                "Пользуйтесь программой и сдавайте эказамены только на отлично!!!\r\r"
                "Автор программы,\r    ") +
            Identity(identity::AuthorName) + QStringLiteral(",\r    ") +
            Identity(identity::ProjectSite) + QStringLiteral(",\r    ") +
            Identity(identity::FeedbackEmail) + QLatin1Char('.');
        QCOMPARE(m.text, expected);
    }

    void desktopMessageBoxShowsEachCrAsALineBreak() {
        QString shown;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&shown] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->accept();
            }
        });
        closer.start(10);
        SystemDialogs().ShowMessage(nullptr, QStringLiteral("О программе"),
                                    QStringLiteral("one \r\rtwo\r    three\r\nfour"),
                                    QMessageBox::NoIcon);
        QCOMPARE(shown, QStringLiteral("one \n\ntwo\n    three\nfour"));
    }

    void siteLinkOpensTheProjectSiteOnALeftPress_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QStringList>("opened");
        QTest::newRow("left") << Qt::LeftButton
                              << QStringList{QStringLiteral("http://") +
                                             Identity(identity::ProjectSite)};
        QTest::newRow("right") << Qt::RightButton << QStringList{};
    }

    void siteLinkOpensTheProjectSiteOnALeftPress() {
        QFETCH(Qt::MouseButton, button);
        QFETCH(QStringList, opened);
        QCOMPARE(Form().sWebLabel1->text(), Identity(identity::ProjectSite));
        desktop_.urls.clear();
        QTest::mousePress(Form().sWebLabel1, button);
        QCOMPARE(desktop_.urls, opened);
    }

    void storeThatCannotBeWrittenIsReportedAndTheWindowStillComes() {
        fixture_.reset();
        desktop_.urls.clear();
        // A directory where the store's file belongs: it reads as empty and cannot be written.
        QVERIFY(QFile::remove(StoreFile()));
        QVERIFY(QDir().mkpath(StoreFile()));
        StartOnDayD();
        QCOMPARE(desktop_.urls, QStringList{RecommendAddress()});
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        // The quote sorts below ".", so the standard error box adds no full stop.
        QCOMPARE(dialogs_.messages.front().text,
                 QStringLiteral("Failed to set data for 'Приглашения'"));
        QCOMPARE(dialogs_.messages.front().caption, QString::fromUtf8(ApplicationTitle));
        QCOMPARE(dialogs_.messages.front().icon, QMessageBox::Critical);
        QCOMPARE(Form().windowTitle(),
                 QStringLiteral("LiskoPrinter " LISKO_VERSION " от 10.05.2010"));
        QTest::mouseClick(Form().sSpeedButton5, Qt::LeftButton);
        QCOMPARE(dialogs_.messages.size(), std::size_t{2});
    }

    void webTabsHaveTheirHeaderStripAndPanel_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("headerText");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("browser");
        QTest::newRow("partner") << 1 << Identity(identity::PartnerSite) << "sLabelFX2"
                                 << QStringLiteral("100% сдача любого экзамена на 5! ") +
                                        Identity(identity::PartnerName)
                                 << "sPanel3"
                                 << "WebBrowser1";
        QTest::newRow("project") << 2 << Identity(identity::ProjectSite) << "sLabelFX1"
                                 << "Скачай новую версию! Поддержи проект!"
                                 << "sPanel1"
                                 << "WebBrowser";
    }

    void webTabsHaveTheirHeaderStripAndPanel() {
        QFETCH(int, index);
        QFETCH(QString, caption);
        QFETCH(QString, header);
        QFETCH(QString, headerText);
        QFETCH(QString, panel);
        QFETCH(QString, browser);
        QTabWidget* pages = Form().sPageControl1;
        QCOMPARE(pages->tabText(index), caption);
        QWidget* tab = pages->widget(index);
        Form().resize(1183, 861);
        // Showing the window opens the preview, which brings the partner page forward.
        Form().show();
        pages->setCurrentIndex(index);
        QCoreApplication::sendPostedEvents();
        const auto* strip = tab->findChild<QLabel*>(header);
        QVERIFY(strip);
        QCOMPARE(strip->text(), headerText);
        QCOMPARE(strip->alignment(), Qt::AlignCenter);
        QCOMPARE(strip->geometry(), QRect(0, 0, tab->width(), 25));
        QCOMPARE(strip->palette().color(QPalette::WindowText), QColor(0x28, 0x2C, 0x31));
        const auto* frame = tab->findChild<QWidget*>(panel);
        QVERIFY(frame);
        // At (8, 32), keeping the design's distances to the right and bottom edges of the page.
        QCOMPARE(frame->geometry(), QRect(8, 32, tab->width() - 17, tab->height() - 36));
        const auto* view = frame->findChild<TWebBrowser*>(browser);
        QVERIFY(view);
        QCOMPARE(view->geometry(), frame->rect().adjusted(5, 5, -5, -5));
    }

    void navigationsThatAreRefused_data() {
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<QString>("headers");
        QTest::newRow("relative") << QUrl(QStringLiteral("liskoprinter2.html")) << QString();
        QTest::newRow("invalid") << QUrl(QStringLiteral("http://exa mple.example/")) << QString();
        QTest::newRow("header without colon")
            << QUrl(QStringLiteral("http://partner.example/")) << QStringLiteral("Lisko");
        QTest::newRow("header without name")
            << QUrl(QStringLiteral("http://partner.example/")) << QStringLiteral(":Lisko");
    }

    void navigationsThatAreRefused() {
        QFETCH(QUrl, url);
        QFETCH(QString, headers);
        TWebBrowser& browser = *Form().WebBrowser1;
        try {
            browser.Navigate(url, headers);
            QFAIL("the navigation was accepted");
        } catch (const std::runtime_error& error) {
            QVERIFY2(QString::fromUtf8(error.what()).startsWith(QStringLiteral("Navigate: ")),
                     error.what());
        }
        QCOMPARE(browser.State(), TWebBrowser::ReadyState::Complete);
    }

#if LISKO_WITH_WEBENGINE
    // Showing the window requests both pages from the test's server, which every host name leads
    // to: the project site with the version in the query, the partner page with it in a header.
    void showingTheWindowRequestsBothPages() {
        Form().show();
        QTRY_VERIFY_WITH_TIMEOUT(!server_.RequestsFor("/").empty() &&
                                     !server_.RequestsFor("/liskoprinter2.html").empty(),
                                 30000);
        const PageServer::Request project = server_.RequestsFor("/").back();
        QCOMPARE(project.target, QByteArray("/?version=" LISKO_VERSION));
        QCOMPARE(project.headers.value("host"), QByteArray(identity::ProjectSite));
        QVERIFY(!project.headers.contains("http_user_agent"));
        const PageServer::Request partner = server_.RequestsFor("/liskoprinter2.html").back();
        QCOMPARE(partner.target, QByteArray("/liskoprinter2.html"));
        QCOMPARE(partner.headers.value("host"), QByteArray(identity::PartnerSite));
        QCOMPARE(partner.headers.value("http_user_agent"), QByteArray("Lisko " LISKO_VERSION));
    }

    // A browser that never gets ready does not keep the program alive: closing the window ends
    // the wait, and nothing more is requested.
    void closingTheWindowEndsTheWaitForTheBrowser() {
        Form().show();
        QTRY_VERIFY_WITH_TIMEOUT(
            Form().WebBrowser->State() == TWebBrowser::ReadyState::Complete &&
                Form().WebBrowser1->State() == TWebBrowser::ReadyState::Complete,
            30000);
        Form().WebBrowser->Navigate(QUrl(QStringLiteral("http://held.example/hold")));
        QTRY_VERIFY_WITH_TIMEOUT(!server_.RequestsFor("/hold").empty(), 30000);
        QTimer::singleShot(100, &Form(), [this] { Form().close(); });
        // Should the wait not end, the held page is answered at last and the checks below fail.
        QTimer::singleShot(30000, &server_, [this] { server_.ReleaseHeld(); });
        Form().LoadWebPages();
        QVERIFY(!Form().isVisible());
        QCOMPARE(Form().WebBrowser->State(), TWebBrowser::ReadyState::Loading);
        QCOMPARE(Form().WebBrowser1->State(), TWebBrowser::ReadyState::Complete);
        server_.ReleaseHeld();
    }

    // While the browser is busy, the wait sleeps until the next event instead of spinning: the
    // event loop blocks at least once before the held page comes in.
    void waitForTheBrowserSleepsUntilSomethingHappens() {
        Form().show();
        QTRY_VERIFY_WITH_TIMEOUT(
            Form().WebBrowser->State() == TWebBrowser::ReadyState::Complete &&
                Form().WebBrowser1->State() == TWebBrowser::ReadyState::Complete,
            30000);
        Form().WebBrowser->Navigate(QUrl(QStringLiteral("http://held.example/hold")));
        QTRY_VERIFY_WITH_TIMEOUT(!server_.RequestsFor("/hold").empty(), 30000);
        const std::size_t requested = server_.RequestsFor("/").size();
        int blocked = 0;
        const QMetaObject::Connection counting =
            connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                    this, [&blocked] { ++blocked; });
        QTimer::singleShot(300, &server_, [this] { server_.ReleaseHeld(); });
        Form().LoadWebPages();
        disconnect(counting);
        QVERIFY(blocked > 0);
        // The wait ended because the browser got ready, and the pages were asked for.
        QTRY_VERIFY_WITH_TIMEOUT(server_.RequestsFor("/").size() > requested, 30000);
    }
#else
    void pagesAppearAsLinksToTheirAddresses() {
        Form().LoadWebPages();
        const auto* project = Form().WebBrowser->findChild<QLabel*>();
        QVERIFY(project);
        QVERIFY2(
            project->text().contains(QStringLiteral("http://") + Identity(identity::ProjectSite) +
                                     QStringLiteral("?version=" LISKO_VERSION)),
            qPrintable(project->text()));
        const auto* partner = Form().WebBrowser1->findChild<QLabel*>();
        QVERIFY(partner);
        QVERIFY2(
            partner->text().contains(QStringLiteral("http://") + Identity(identity::PartnerSite) +
                                     QStringLiteral("/liskoprinter2.html")),
            qPrintable(partner->text()));
    }
#endif
};

}  // namespace lisko

int main(int argc, char* argv[]) {
    return lisko::test::RunWindowTest(argc, argv,
                                      [] { return std::make_unique<lisko::WebTabsTest>(); });
}

#include "WebTabsTest.moc"
