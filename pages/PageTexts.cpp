#include "pages/PageTexts.h"

#include "identity/Identity.h"

namespace lisko {

namespace {

QString Site() {
    return QString::fromUtf8(identity::ProjectSite);
}

}  // namespace

QString PrintFontFamily() {
    return QStringLiteral("Calibri");
}

QString CaptionHelped() {
    return QStringLiteral("   Помогла \"Лиско\"?!   ");
}

QString CaptionHelpProject() {
    return QStringLiteral("   Помоги проекту!!!   ");
}

QString SiteText() {
    return Site() + QLatin1Char(' ');
}

std::array<QString, 4> CaptionSlogans() {
    const QString exam = QStringLiteral("100% сдача любого экзамена на 5! ") +
                         QString::fromUtf8(identity::PartnerSite);
    return {
        exam, QStringLiteral("Посоветуй LiskoPrinter другу!"), exam,
        QStringLiteral("Пришли свои пожелания на ") + QString::fromUtf8(identity::FeedbackEmail)};
}

std::vector<FootLine> FootLines(QDate today, int scale) {
    const int band = 3 * scale;
    const int large = band * 3 / 2;
    int y = 297 * scale - 30 * scale;
    std::vector<FootLine> lines;
    if (today <= QDate(2010, 2, 17)) {
        lines.push_back({QStringLiteral("17 января  - день рождения автора LiskoPrinter!!! Сделай "
                                        "ему подарок - ОТПРАВЬ ПОЖЕРТВОВАНИЕ и помоги проекту!!!"),
                         large, y});
        y += 2 * band;
    }
    if (today >= QDate(2010, 6, 1) && today <= QDate(2010, 6, 30)) {
        lines.push_back({QStringLiteral("15 июня программе LiskoPrinter исполняется 10 лет!!! "
                                        "Сделай автору подарок - ОТПРАВЬ ПОЖЕРТВОВАНИЕ и помоги "
                                        "проекту!!!"),
                         large, y});
        y += 2 * band;
    }
    lines.push_back({QStringLiteral("Программа для печати шпор LiskoPrinter2 развивается за счет "
                                    "поддержки пользователей! Отблагодари автора, пожертвуй любую "
                                    "сумму в фонд программы!"),
                     band, y});
    y += band;
    lines.push_back(
        {QStringLiteral("Отправить пожертвование на кошелек Яндекс.Деньги №") +
             QString::fromUtf8(identity::DonationAccount) +
             QStringLiteral(" можно через терминалы приема платежей за мобильную связь."),
         band, y});
    y += band;
    lines.push_back({QStringLiteral("Если тебе лень искать терминал, то зайди на ") + Site() +
                         QStringLiteral(" и отправь смс-записку согласно инструкции. Смс-записка "
                                        "будет видна всем посетителям сайта."),
                     band, y});
    return lines;
}

int NumberOffset(int band, int numberWidth, std::int64_t number) {
    const int offset = (band - numberWidth) / 2;
    if (offset < 5 && number > 99) return 5;
    return offset;
}

int FitSloganHeight(int band, int captionHeight, int room,
                    const std::function<int(int cellHeight)>& widestSlogan) {
    int height = band;
    while (height > captionHeight && widestSlogan(height) >= room)
        --height;
    return height;
}

}  // namespace lisko
