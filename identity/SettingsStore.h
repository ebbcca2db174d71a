#pragma once

#include <QString>
#include <cstdint>

namespace lisko {

// The per-machine store of the reminder dates. On Windows it is the registry key
// HKEY_LOCAL_MACHINE\Software\Лиско with its subkey version.dll; elsewhere the key is the
// directory "Лиско" in the user's configuration directory (XDG_CONFIG_HOME) and the subkey is the
// INI file "version.dll.ini" in it, the file QSettings uses for organisation "Лиско" and
// application "version.dll". Failures are worded as the registry reports them.
class SettingsStore {
public:
    static constexpr char KeyPath[] = "Software\\Лиско";
    static constexpr char SubkeyName[] = "version.dll";

    // Opens the key for reading and writing without creating it; false when it is missing or
    // cannot be opened that way. Reads and writes go through the open key; while it is not open
    // they address a subkey directly below the root, which does not exist and cannot be created.
    bool OpenKey();
    // Creates the key; throws "Failed to create key Software\Лиско".
    void CreateKey() const;
    // The day number stored as the string value `name` of the subkey: 0 when the subkey or the
    // value is missing or its text is not an integer. Throws "Invalid data type for '<name>'" when
    // the value is not a string.
    std::int32_t ReadDay(const QString& name) const;
    // Stores the day number as the string value `name`, creating the subkey when it is missing.
    // Throws "Failed to create key version.dll" or "Failed to set data for '<name>'".
    void WriteDay(const QString& name, std::int32_t day) const;

    // The text value `name` of the subkey; empty when the key, the subkey or the value is
    // missing or the value is not a text.
    QString ReadText(const QString& name) const;
    // Stores a text value, creating the subkey when it is missing; false when the store does not
    // take it.
    bool WriteText(const QString& name, const QString& text) const;

    // Where the subkey lives: the INI file's path, or the registry path on Windows.
    static QString SubkeyLocation();

private:
    bool open_ = false;
};

}  // namespace lisko
