#include "app/tests/WindowTestMain.h"

#include <QDesktopServices>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "app/Program.h"
#include "ui/Application.h"

namespace lisko::test {

namespace {

// Takes the addresses the program hands to the desktop, and does nothing with them.
class DesktopSink : public QObject {
    Q_OBJECT

public slots:
    void open(const QUrl&) {}
};

}  // namespace

int RunWindowTest(int argc, char* argv[],
                  const std::function<std::unique_ptr<QObject>()>& makeTest) {
    const QTemporaryDir config;
    if (!config.isValid()) return 1;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    LiskoApplication app(argc, argv);
    QGuiApplication::setApplicationDisplayName(QString::fromUtf8(ApplicationTitle));
    DesktopSink sink;
    for (const char* scheme : {"mailto", "http", "https"}) {
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &sink, "open");
    }
    const std::unique_ptr<QObject> test = makeTest();
    const int failed = QTest::qExec(test.get(), argc, argv);
    for (const char* scheme : {"mailto", "http", "https"}) {
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    return failed;
}

}  // namespace lisko::test

#include "WindowTestMain.moc"
