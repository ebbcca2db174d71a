#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdlib>

#include "identity/Identity.h"
#include "update/ReplacementScript.h"
#include "update/Update.h"
#include "update/UpdateSystem.h"
#include "update/VersionText.h"

namespace lisko {

void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

QByteArray Bytes(std::initializer_list<unsigned char> values) {
    QByteArray bytes;
    for (unsigned char v : values)
        bytes.append(static_cast<char>(v));
    return bytes;
}

// Names a table row after its name field.
template <typename Case>
std::string RowName(const ::testing::TestParamInfo<Case>& row) {
    return row.param.name;
}

struct WidenCase {
    const char* name;
    char16_t in;
    char16_t out;
};

class Widen : public ::testing::TestWithParam<WidenCase> {};

TEST_P(Widen, MovesOnlyTheCp1251Letters) {
    const QString text = QStringLiteral("v") + QChar(GetParam().in) + QStringLiteral("1");
    const QString expected = QStringLiteral("v") + QChar(GetParam().out) + QStringLiteral("1");
    EXPECT_EQ(WidenCp1251Letters(text), expected);
}

INSTANTIATE_TEST_SUITE_P(
    CodeUnits, Widen,
    ::testing::Values(WidenCase{"CapitalA", 192, 0x0410}, WidenCase{"CapitalYa", 223, 0x042F},
                      WidenCase{"SmallA", 224, 0x0430}, WidenCase{"SmallYa", 255, 0x044F},
                      WidenCase{"SmallYiStays", 191, 191}, WidenCase{"CapitalYoStays", 168, 168},
                      WidenCase{"SmallYoStays", 184, 184}, WidenCase{"Digit", '7', '7'},
                      WidenCase{"AboveOneByte", 256, 256},
                      WidenCase{"AlreadyALetter", 0x0410, 0x0410}, WidenCase{"Zero", 0, 0}),
    RowName<WidenCase>);

TEST(Widen, KeepsTheLengthAndEveryOtherUnit) {
    EXPECT_EQ(WidenCp1251Letters(QString()), QString());
    EXPECT_EQ(WidenCp1251Letters(QStringLiteral("2.7.0.1\r\n")), QStringLiteral("2.7.0.1\r\n"));
}

struct CharsetCase {
    const char* name;
    const char* contentType;
    bool utf8;
};

class Charset : public ::testing::TestWithParam<CharsetCase> {};

TEST_P(Charset, IsUtf8OnlyWhenTheCharsetParameterSaysSo) {
    EXPECT_EQ(DeclaresUtf8(GetParam().contentType), GetParam().utf8) << GetParam().contentType;
}

INSTANTIATE_TEST_SUITE_P(
    ContentTypes, Charset,
    ::testing::Values(CharsetCase{"Utf8", "text/plain; charset=UTF-8", true},
                      CharsetCase{"Utf8WithoutDash", "text/plain;charset=utf8", true},
                      CharsetCase{"QuotedMixedCase", "text/plain; CharSet=\"Utf-8\"", true},
                      CharsetCase{"AfterAnotherParameter",
                                  "text/plain; format=flowed; charset=uTf-8 ", true},
                      CharsetCase{"NoCharset", "text/plain", false},
                      CharsetCase{"NoContentType", "", false},
                      CharsetCase{"Windows1251", "text/plain; charset=windows-1251", false},
                      CharsetCase{"Utf16", "text/plain; charset=utf-16", false},
                      CharsetCase{"MediaTypeIsNoCharset", "text/utf-8", false},
                      CharsetCase{"OtherParameter", "text/plain; xcharset=utf-8", false}),
    RowName<CharsetCase>);

struct DecodeCase {
    const char* name;
    QByteArray body;
    const char* contentType;
    QString text;
};

class Decode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Decode, GivesTheComparedText) {
    EXPECT_EQ(DecodeVersionText(GetParam().body, GetParam().contentType), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, Decode,
    ::testing::Values(DecodeCase{"Plain", "2.7.0.1", "text/plain", QStringLiteral("2.7.0.1")},
                      DecodeCase{"LineEndKept", "2.7.0.1\r\n", "", QStringLiteral("2.7.0.1\r\n")},
                      DecodeCase{"Cp1251WithoutCharset", "3.0-" + Bytes({0xE1, 0xE5, 0xF2, 0xE0}),
                                 "text/plain", QStringLiteral("3.0-бета")},
                      DecodeCase{"Utf8WithCharset", QByteArray("3.0-бета"),
                                 "text/plain; charset=utf-8", QStringLiteral("3.0-бета")},
                      // Without the charset every UTF-8 byte is a code unit of its own.
                      DecodeCase{"Utf8WithoutCharset", Bytes({0xD0, 0xB1}), "text/plain",
                                 QString(QChar(0x0420)) + QChar(0xB1)},
                      // The widening applies after UTF-8 decoding too.
                      DecodeCase{"Utf8LatinLetterWidened", Bytes({0xC3, 0x80}),
                                 "text/plain; charset=utf-8", QStringLiteral("А")},
                      DecodeCase{"Empty", QByteArray(), "text/plain; charset=utf-8", QString()}),
    RowName<DecodeCase>);

TEST(Cp1251, EncodesEveryLetterWhereWideningFindsItAgain) {
    QString letters;
    for (char16_t c = 0x0410; c <= 0x044F; ++c)
        letters += QChar(c);
    const std::optional<QByteArray> bytes = ToCp1251(letters);
    ASSERT_TRUE(bytes);
    ASSERT_EQ(bytes->size(), 64);
    EXPECT_EQ(static_cast<unsigned char>(bytes->front()), 0xC0);
    EXPECT_EQ(WidenCp1251Letters(QString::fromLatin1(*bytes)), letters);
}

TEST(Cp1251, EncodesTheOtherHighCharacters) {
    EXPECT_EQ(ToCp1251(QStringLiteral("Ёё№€—«»")),
              Bytes({0xA8, 0xB8, 0xB9, 0x88, 0x97, 0xAB, 0xBB}));
    EXPECT_EQ(ToCp1251(QStringLiteral("prog 1.exe")), QByteArray("prog 1.exe"));
}

TEST(Cp1251, RefusesCharactersOutsideTheCodePage) {
    EXPECT_FALSE(ToCp1251(QStringLiteral("程序.exe")));
    EXPECT_FALSE(ToCp1251(QStringLiteral("é")));
    // 0x98 is the code page's one hole; U+0098 has no place either.
    EXPECT_FALSE(ToCp1251(QString(QChar(0x0098))));
}

TEST(CmdScript, IsTheSevenLinesInCrLf) {
    const std::optional<QByteArray> script = CmdReplacementScript(QStringLiteral("prog.exe"));
    ASSERT_TRUE(script);
    EXPECT_EQ(*script,
              QByteArray("@echo off\r\n"
                         "set TRIES=0\r\n"
                         ":LOOP\r\n"
                         "erase \"prog.exe\"\r\n"
                         "IF EXIST \"prog.exe\" IF %TRIES% LSS 60 (set /a TRIES+=1 > NUL & "
                         "ping -n 2 127.0.0.1 > NUL & goto LOOP)\r\n"
                         "IF EXIST \"prog.exe\" (erase \"LiskoSetup.exe\") ELSE "
                         "(ren \"LiskoSetup.exe\" \"prog.exe\" & IF EXIST \"prog.exe\" "
                         "start \"qqq\" \"prog.exe\")\r\n"
                         "erase %0 > NUL\r\n"));
}

TEST(CmdScript, WritesACyrillicNameInCodePage1251) {
    const std::optional<QByteArray> script = CmdReplacementScript(QStringLiteral("Лиско.exe"), 3);
    ASSERT_TRUE(script);
    const QByteArray name = "\"" + Bytes({0xCB, 0xE8, 0xF1, 0xEA, 0xEE}) + ".exe\"";
    EXPECT_EQ(script->split('\n').value(3), "erase " + name + "\r");
    EXPECT_TRUE(script->split('\n').value(4).startsWith("IF EXIST " + name + " IF %TRIES% LSS 3 "));
}

TEST(CmdScript, DoublesPercentSignsSoNoVariableIsExpanded) {
    const std::optional<QByteArray> script = CmdReplacementScript(QStringLiteral("a%PATH%.exe"));
    ASSERT_TRUE(script);
    EXPECT_EQ(script->split('\n').value(3), "erase \"a%%PATH%%.exe\"\r");
}

TEST(CmdScript, RefusesANameOutsideCodePage1251) {
    EXPECT_FALSE(CmdReplacementScript(QStringLiteral("程序.exe")));
}

TEST(ShScript, IsTheSameStepsForTheShell) {
    EXPECT_EQ(ShReplacementScript(QStringLiteral("liskoprinter"), 4242),
              QByteArray("#!/bin/sh\n"
                         "tries=0 renamed=\n"
                         "while kill -0 4242 2>/dev/null && [ \"$tries\" -lt 60 ]; do "
                         "tries=$((tries + 1)); sleep 1; done\n"
                         "kill -0 4242 2>/dev/null || rm -f -- 'liskoprinter'\n"
                         "if [ -e 'liskoprinter' ]; then rm -f -- 'LiskoSetup.exe'; "
                         "elif mv -f -- 'LiskoSetup.exe' 'liskoprinter'; then renamed=1; fi\n"
                         "[ -n \"$renamed\" ] && chmod +x -- 'liskoprinter' && './liskoprinter' "
                         "</dev/null >/dev/null 2>&1 &\n"
                         "rm -f -- \"$0\"\n"));
}

// Runs the replacement script the way the program starts it, in a directory with a program file
// and a setup program that leaves a mark when it runs.
class ShScriptRun : public ::testing::Test {
protected:
    static constexpr char kSetup[] = "#!/bin/sh\necho started > started.txt\n";

    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        Write(QString::fromUtf8(kProgram), "old program");
        Write(QStringLiteral("LiskoSetup.exe"), kSetup);
    }

    void Write(const QString& name, const QByteArray& bytes) {
        QFile file(dir_.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray Read(const QString& name) const {
        QFile file(dir_.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QStringList Files() const {
        return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    void RunScript(qint64 programPid, int tries) {
        Write(QStringLiteral("LiskoSetup.sh"),
              ShReplacementScript(QString::fromUtf8(kProgram), programPid, tries));
        QProcess sh;
        sh.setWorkingDirectory(dir_.path());
        sh.start(QStringLiteral("/bin/sh"), {dir_.filePath(QStringLiteral("LiskoSetup.sh"))});
        ASSERT_TRUE(sh.waitForFinished(10000));
        EXPECT_EQ(sh.exitCode(), 0) << sh.readAllStandardError().toStdString();
    }

    // The setup program starts in the background; wait for its mark.
    bool SetupStarted() const {
        for (int i = 0; i < 250 && !QFile::exists(dir_.filePath(QStringLiteral("started.txt")));
             ++i) {
            QThread::msleep(20);
        }
        return QFile::exists(dir_.filePath(QStringLiteral("started.txt")));
    }

    // Quotes, blanks and dollars must reach the file system unchanged.
    static constexpr char kProgram[] = "it's my $HOME `prog`.bin";
    QTemporaryDir dir_;
};

TEST_F(ShScriptRun, ReplacesTheEndedProgramAndStartsTheSetup) {
    QProcess ended;
    ended.start(QStringLiteral("/bin/true"), {});
    ASSERT_TRUE(ended.waitForStarted());
    const qint64 pid = ended.processId();
    ASSERT_TRUE(ended.waitForFinished());

    RunScript(pid, kEraseTries);
    ASSERT_TRUE(SetupStarted());
    EXPECT_EQ(Read(QString::fromUtf8(kProgram)), kSetup);
    EXPECT_EQ(Files(), (QStringList{QString::fromUtf8(kProgram), "started.txt"}));
}

TEST_F(ShScriptRun, GivesUpWhileTheProgramStillRuns) {
    // With no tries left the running test program is still there: it stays, the setup goes.
    RunScript(QCoreApplication::applicationPid(), 0);
    EXPECT_EQ(Read(QString::fromUtf8(kProgram)), "old program");
    EXPECT_EQ(Files(), QStringList{QString::fromUtf8(kProgram)});
}

struct PathCase {
    const char* name;
    const char* programFile;
    const char* directory;
    const char* fileName;
};

class ProgramPath : public ::testing::TestWithParam<PathCase> {};

TEST_P(ProgramPath, SplitsIntoDirectoryWithOneSeparatorAndName) {
    EXPECT_EQ(ProgramDirectory(QString::fromUtf8(GetParam().programFile)), GetParam().directory);
    EXPECT_EQ(ProgramFileName(QString::fromUtf8(GetParam().programFile)), GetParam().fileName);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ProgramPath,
    ::testing::Values(PathCase{"Installed", "/opt/lisko/liskoprinter", "/opt/lisko/",
                               "liskoprinter"},
                      PathCase{"FileSystemRoot", "/liskoprinter", "/", "liskoprinter"},
                      PathCase{"DriveRoot", "C:/LiskoPrinter.exe", "C:/", "LiskoPrinter.exe"},
                      PathCase{"CyrillicDirectories", "C:/Программы/Лиско/LiskoPrinter.exe",
                               "C:/Программы/Лиско/", "LiskoPrinter.exe"}),
    RowName<PathCase>);

struct ProgressCase {
    const char* name;
    qint64 received;
    qint64 announced;
    int percent;
};

class Progress : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(Progress, IsTruncatedAndCappedAt100) {
    EXPECT_EQ(ProgressPercent(GetParam().received, GetParam().announced), GetParam().percent);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, Progress,
    ::testing::Values(ProgressCase{"Nothing", 0, 100, 0}, ProgressCase{"AlmostAll", 99, 100, 99},
                      ProgressCase{"All", 100, 100, 100},
                      ProgressCase{"MoreThanAnnounced", 150, 100, 100},
                      ProgressCase{"BelowOnePercent", 1023, 102400, 0},
                      ProgressCase{"OneBlockOfAHundred", 1024, 102400, 1},
                      ProgressCase{"Truncated", 2, 3, 66},
                      ProgressCase{"LongestAnnounced", 999999999999999, 999999999999999, 100}),
    RowName<ProgressCase>);

struct RedirectCase {
    const char* name;
    const char* from;
    const char* to;
    bool follow;
};

class Redirect : public ::testing::TestWithParam<RedirectCase> {};

TEST_P(Redirect, StaysOnTheHostAndNeverLosesTls) {
    EXPECT_EQ(MayFollowRedirect(QUrl(QString::fromUtf8(GetParam().from)),
                                QUrl(QString::fromUtf8(GetParam().to))),
              GetParam().follow)
        << GetParam().from << " -> " << GetParam().to;
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, Redirect,
    ::testing::Values(
        RedirectCase{"SamePlace", "http://a.example/v", "http://a.example/w", true},
        RedirectCase{"ToTls", "http://a.example/v", "https://a.example/v", true},
        RedirectCase{"HostInCapitals", "https://a.example/v", "https://A.EXAMPLE/w", true},
        RedirectCase{"FromTls", "https://a.example/v", "http://a.example/v", false},
        RedirectCase{"OtherHost", "http://a.example/v", "http://b.example/v", false},
        RedirectCase{"HostAsPrefix", "http://a.example/v", "http://a.example.b.example/v", false},
        RedirectCase{"Ftp", "http://a.example/v", "ftp://a.example/v", false},
        RedirectCase{"LocalFile", "http://a.example/v", "file:///etc/passwd", false}),
    RowName<RedirectCase>);

class Server : public ::testing::Test {
protected:
    void TearDown() override { qunsetenv("LISKO_UPDATE_URL"); }
};

TEST_F(Server, IsTheProjectSiteByDefault) {
    qunsetenv("LISKO_UPDATE_URL");
    EXPECT_EQ(UpdateServer(),
              QStringLiteral("https://") + QString::fromUtf8(identity::ProjectSite));
}

TEST_F(Server, ComesFromTheEnvironmentWithoutTrailingSlashes) {
    qputenv("LISKO_UPDATE_URL", "http://127.0.0.1:8080/mirror//");
    EXPECT_EQ(UpdateServer(), QStringLiteral("http://127.0.0.1:8080/mirror"));
}

// The update runs what it downloads: plain http only from this machine.
struct ServerCase {
    const char* name;
    const char* url;
    bool accepted;
};

class EnvironmentServer : public Server, public ::testing::WithParamInterface<ServerCase> {};

TEST_P(EnvironmentServer, IsHttpsOrLoopback) {
    const ServerCase& c = GetParam();
    qputenv("LISKO_UPDATE_URL", c.url);
    const std::optional<QString> server = UpdateServer();
    EXPECT_EQ(server.has_value(), c.accepted) << c.url;
    if (server) {
        EXPECT_EQ(*server, QString::fromUtf8(c.url));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, EnvironmentServer,
    ::testing::Values(ServerCase{"HttpsMirror", "https://mirror.example/lisko", true},
                      ServerCase{"LoopbackV4", "http://127.0.0.1:8080", true},
                      ServerCase{"LoopbackV4Range", "http://127.45.6.7", true},
                      ServerCase{"LoopbackV6", "http://[::1]:8080", true},
                      ServerCase{"Localhost", "http://LocalHost:81/m", true},
                      ServerCase{"HttpMirror", "http://mirror.example", false},
                      ServerCase{"HttpPrivateAddress", "http://10.0.0.1", false},
                      ServerCase{"HttpAnyAddress", "http://0.0.0.0:8080", false},
                      ServerCase{"LoopbackLookalike", "http://127.0.0.1.example", false},
                      ServerCase{"LocalhostLookalike", "http://localhost.example", false},
                      ServerCase{"UserInfoTrick", "http://127.0.0.1@mirror.example", false},
                      ServerCase{"Ftp", "ftp://127.0.0.1", false},
                      ServerCase{"LocalFile", "file:///tmp/update", false},
                      ServerCase{"NoHost", "https://", false},
                      ServerCase{"NotAnAddress", "mirror.example", false}),
    RowName<ServerCase>);

}  // namespace
}  // namespace lisko
