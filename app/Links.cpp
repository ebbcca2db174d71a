#include "app/Links.h"

#include <QDesktopServices>
#include <QUrl>

#include "identity/Identity.h"

namespace lisko {

namespace {

// The addresses are handed to the desktop as they stand: "%0D%0A" is a line break of the body,
// every other character (Cyrillic included) is left to the URL's own encoding. Whether the mail
// program or the browser opens is the desktop's matter and is not reported.
void Open(const QString& address) {
    QDesktopServices::openUrl(QUrl(address));
}

QString RecommendAddress() {
    return QStringLiteral("mailto:адрес друга?subject=Рекомедную программу для печати шпаргалок") +
           QStringLiteral("&body=Привет!%0D%0A%0D%0AЗайди на ") +
           QString::fromUtf8(identity::ProjectSite) +
           QStringLiteral(
               " - это сайт%0D%0Aотличной программы для печати шпаргалок!"
               "%0D%0A%0D%0A-----%0D%0A%0D%0A");
}

QString FeedbackAddress() {
    return QStringLiteral("mailto:") + QString::fromUtf8(identity::FeedbackEmail) +
           QStringLiteral("?subject=Отзыв о программе LiskoPrinter2") +
           QStringLiteral("&body=Здравствуйте!%0D%0A%0D%0A%0D%0A-----%0D%0A%0D%0A");
}

}  // namespace

void OpenRecommendMessage() {
    Open(RecommendAddress());
}

void OpenFeedbackMessage() {
    Open(FeedbackAddress());
}

void OpenProjectSite() {
    // The shell took the bare host name for a web address; a URL needs its scheme spelled out.
    Open(QStringLiteral("http://") + QString::fromUtf8(identity::ProjectSite));
}

QString AboutText() {
    const QString indent = QStringLiteral("\r    ");
    return QStringLiteral(
               "Первая версия программы для печати шпор появилась в июне 2000 года. За это время "
               "пришло множество отзывов, как положительных (от умных студентов), так и "
               "отрицательных (от тупых студентов) :). Обобщив полученные сведения, было принято "
               "решение переписать программу, чтобы добавить новые воможности и убрать "
               "зависимость от Microsoft Word. ") +
           QStringLiteral("\r\rПользуйтесь программой и сдавайте эказамены только на отлично!!!") +
           QStringLiteral("\r\rАвтор программы,") + indent +
           QString::fromUtf8(identity::AuthorName) + QLatin1Char(',') + indent +
           QString::fromUtf8(identity::ProjectSite) + QLatin1Char(',') + indent +
           QString::fromUtf8(identity::FeedbackEmail) + QLatin1Char('.');
}

}  // namespace lisko
