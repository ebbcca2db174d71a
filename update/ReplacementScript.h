#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace lisko {

// The update's files in the program's directory.
inline constexpr char SetupFileName[] = "LiskoSetup.exe";
#ifdef Q_OS_WIN
inline constexpr char ScriptFileName[] = "LiskoSetup.cmd";
#else
inline constexpr char ScriptFileName[] = "LiskoSetup.sh";
#endif

// How many times, a second apart, the script tries to erase the program file before it gives up
// and leaves the program as it is.
inline constexpr int kEraseTries = 60;

// The directory of the program file, ending in exactly one "/" (so a program at the root of a
// file system gets the root itself).
QString ProgramDirectory(const QString& programFile);
// The program file's name without its directory.
QString ProgramFileName(const QString& programFile);

// The text in code page 1251, or nothing when one of its characters has no place there.
std::optional<QByteArray> ToCp1251(const QString& text);

// The command script that replaces the program file by the setup program: seven lines ended by
// CR LF in code page 1251. It erases the program file until that succeeds (once the program has
// ended) or the tries run out, then renames the setup program to the program's name and starts
// it; when the program file stays, the setup program is erased instead. Last, the script erases
// itself. Nothing when the program's name cannot be written in code page 1251.
std::optional<QByteArray> CmdReplacementScript(const QString& programName, int tries = kEraseTries);

// The same steps for /bin/sh. A running program file can be erased here, so the script first
// waits, a second at a time, for the process programPid to end.
QByteArray ShReplacementScript(const QString& programName, qint64 programPid,
                               int tries = kEraseTries);

// The replacement script of this platform.
std::optional<QByteArray> ReplacementScript(const QString& programName, qint64 programPid);

}  // namespace lisko
