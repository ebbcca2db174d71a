#include "identity/SettingsStore.h"

#include <QFileInfo>
#include <QSettings>
#include <QVariant>
#include <stdexcept>

#ifndef Q_OS_WIN
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#endif

namespace lisko {

namespace {

std::runtime_error CreateKeyFailed(const QString& key) {
    return std::runtime_error("Failed to create key " + key.toStdString());
}

#ifdef Q_OS_WIN

constexpr QSettings::Format kFormat = QSettings::NativeFormat;

QString KeyLocation() {
    return QStringLiteral("HKEY_LOCAL_MACHINE\\") + QString::fromUtf8(SettingsStore::KeyPath);
}

bool KeyOpensForWriting() {
    // Opening a registry key through QSettings creates it; look for it first.
    const QSettings parent(QStringLiteral("HKEY_LOCAL_MACHINE\\Software"), kFormat);
    return parent.childGroups().contains(QStringLiteral("Лиско")) &&
           QSettings(KeyLocation(), kFormat).isWritable();
}

bool MakeKey() {
    return QSettings(KeyLocation(), kFormat).isWritable();
}

bool SubkeyExists() {
    const QSettings key(KeyLocation(), kFormat);
    return key.childGroups().contains(QString::fromUtf8(SettingsStore::SubkeyName));
}

void ClearUnreadableSubkey() {}

#else

constexpr QSettings::Format kFormat = QSettings::IniFormat;

QString KeyLocation() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Лиско");
}

bool KeyOpensForWriting() {
    const QFileInfo key(KeyLocation());
    return key.isDir() && key.isReadable() && key.isWritable() && key.isExecutable();
}

bool MakeKey() {
    return QDir().mkpath(KeyLocation());
}

bool SubkeyExists() {
    return QFileInfo::exists(SettingsStore::SubkeyLocation());
}

// A store file this user may not read reads as one without values, like a file of garbage, and
// is written afresh like one; QSettings would refuse to write it and fail every later start too.
void ClearUnreadableSubkey() {
    const QFileInfo file(SettingsStore::SubkeyLocation());
    if (file.isFile() && !file.isReadable()) QFile::remove(file.filePath());
}

#endif

}  // namespace

QString SettingsStore::SubkeyLocation() {
#ifdef Q_OS_WIN
    return KeyLocation() + QLatin1Char('\\') + QString::fromUtf8(SubkeyName);
#else
    return KeyLocation() + QLatin1Char('/') + QString::fromUtf8(SubkeyName) +
           QStringLiteral(".ini");
#endif
}

bool SettingsStore::OpenKey() {
    open_ = KeyOpensForWriting();
    return open_;
}

void SettingsStore::CreateKey() const {
    if (!MakeKey()) throw CreateKeyFailed(QString::fromUtf8(KeyPath));
}

std::int32_t SettingsStore::ReadDay(const QString& name) const {
    if (!open_) return 0;
    const QSettings subkey(SubkeyLocation(), kFormat);
    const QVariant value = subkey.value(name);
    if (!value.isValid()) return 0;
    if (value.typeId() != QMetaType::QString)
        throw std::runtime_error("Invalid data type for '" + name.toStdString() + "'");
    bool ok = false;
    const std::int32_t day = value.toString().toInt(&ok, 10);
    return ok ? day : 0;
}

void SettingsStore::WriteDay(const QString& name, std::int32_t day) const {
    if (!open_) throw CreateKeyFailed(QString::fromUtf8(SubkeyName));
    ClearUnreadableSubkey();
    const bool existed = SubkeyExists();
    QSettings subkey(SubkeyLocation(), kFormat);
    subkey.setValue(name, QString::number(day));
    subkey.sync();
    if (subkey.status() != QSettings::AccessError) return;
    if (!existed) throw CreateKeyFailed(QString::fromUtf8(SubkeyName));
    throw std::runtime_error("Failed to set data for '" + name.toStdString() + "'");
}

QString SettingsStore::ReadText(const QString& name) const {
    if (!open_) return {};
    const QVariant value = QSettings(SubkeyLocation(), kFormat).value(name);
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

bool SettingsStore::WriteText(const QString& name, const QString& text) const {
    if (!open_) return false;
    ClearUnreadableSubkey();
    QSettings subkey(SubkeyLocation(), kFormat);
    subkey.setValue(name, text);
    subkey.sync();
    return subkey.status() == QSettings::NoError;
}

}  // namespace lisko
