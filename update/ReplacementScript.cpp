#include "update/ReplacementScript.h"

#include <QFile>
#include <QFileInfo>
#include <array>

namespace lisko {

namespace {

// Code page 1251 from 0x80 on; 0x98 has no character.
constexpr std::array<char16_t, 64> kCp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // 0xB8
};
constexpr unsigned kFirstHighByte = 0x80;
constexpr unsigned kFirstLetterByte = 0xC0;  // А; the 64 letters А to я follow in order
constexpr char16_t kFirstLetter = 0x0410;
constexpr char16_t kLastLetter = 0x044F;

std::optional<char> Cp1251Byte(char16_t unit) {
    if (unit < kFirstHighByte) return static_cast<char>(unit);
    if (unit >= kFirstLetter && unit <= kLastLetter)
        return static_cast<char>(kFirstLetterByte + (unit - kFirstLetter));
    for (std::size_t i = 0; i < kCp1251High.size(); ++i) {
        if (kCp1251High[i] == unit) return static_cast<char>(kFirstHighByte + i);
    }
    return std::nullopt;
}

// In a command script "%" starts a variable; "%%" is the character itself.
QString CmdQuoted(const QString& name) {
    QString escaped = name;
    escaped.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

// Between single quotes the shell takes every character as it is, except the quote itself.
QByteArray ShQuoted(const QByteArray& name) {
    QByteArray escaped = name;
    escaped.replace('\'', "'\\''");
    return '\'' + escaped + '\'';
}

}  // namespace

QString ProgramDirectory(const QString& programFile) {
    QString directory = QFileInfo(programFile).path();
    if (!directory.endsWith(QLatin1Char('/'))) directory += QLatin1Char('/');
    return directory;
}

QString ProgramFileName(const QString& programFile) {
    return QFileInfo(programFile).fileName();
}

std::optional<QByteArray> ToCp1251(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const std::optional<char> byte = Cp1251Byte(c.unicode());
        if (!byte) return std::nullopt;
        bytes.append(*byte);
    }
    return bytes;
}

std::optional<QByteArray> CmdReplacementScript(const QString& programName, int tries) {
    const QString e = CmdQuoted(programName);
    const QString s = CmdQuoted(QString::fromLatin1(SetupFileName));
    const QString lines[] = {
        QStringLiteral("@echo off"),
        QStringLiteral("set TRIES=0"),
        QStringLiteral(":LOOP"),
        QStringLiteral("erase ") + e,
        // ping pauses for about a second on every version of the command interpreter.
        QStringLiteral("IF EXIST %1 IF %TRIES% LSS %2 "
                       "(set /a TRIES+=1 > NUL & ping -n 2 127.0.0.1 > NUL & goto LOOP)")
            .arg(e, QString::number(tries)),
        QStringLiteral("IF EXIST %1 (erase %2) ELSE (ren %2 %1 & IF EXIST %1 start \"qqq\" %1)")
            .arg(e, s),
        QStringLiteral("erase %0 > NUL"),
    };
    QByteArray script;
    for (const QString& line : lines) {
        const std::optional<QByteArray> bytes = ToCp1251(line);
        if (!bytes) return std::nullopt;
        script += *bytes + "\r\n";
    }
    return script;
}

QByteArray ShReplacementScript(const QString& programName, qint64 programPid, int tries) {
    const QByteArray e = ShQuoted(QFile::encodeName(programName));
    const QByteArray s = ShQuoted(SetupFileName);
    const QByteArray run = ShQuoted("./" + QFile::encodeName(programName));
    const QByteArray alive = "kill -0 " + QByteArray::number(programPid) + " 2>/dev/null";
    const QByteArray lines[] = {
        "#!/bin/sh",
        "tries=0 renamed=",
        "while " + alive + " && [ \"$tries\" -lt " + QByteArray::number(tries) +
            " ]; do tries=$((tries + 1)); sleep 1; done",
        alive + " || rm -f -- " + e,
        "if [ -e " + e + " ]; then rm -f -- " + s + "; elif mv -f -- " + s + " " + e +
            "; then renamed=1; fi",
        "[ -n \"$renamed\" ] && chmod +x -- " + e + " && " + run + " </dev/null >/dev/null 2>&1 &",
        "rm -f -- \"$0\"",
    };
    QByteArray script;
    for (const QByteArray& line : lines)
        script += line + '\n';
    return script;
}

std::optional<QByteArray> ReplacementScript(const QString& programName, qint64 programPid) {
#ifdef Q_OS_WIN
    Q_UNUSED(programPid);
    return CmdReplacementScript(programName);
#else
    return ShReplacementScript(programName, programPid);
#endif
}

}  // namespace lisko
