#include "ui/Application.h"

#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace lisko {

bool InstallQtTranslations(const QString& directory) {
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_ru"), directory)) return false;
    QCoreApplication::installTranslator(translator.release());
    return true;
}

LiskoApplication::LiskoApplication(int& argc, char** argv) : QApplication(argc, argv) {
    InstallQtTranslations(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

bool LiskoApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowStandardError(activeWindow(), error);
    } catch (...) {
        ShowStandardError(activeWindow(), QStringLiteral("Unknown error"));
    }
    return false;
}

}  // namespace lisko
