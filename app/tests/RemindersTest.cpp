#include <gtest/gtest.h>

#include <unistd.h>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Reminders.h"
#include "identity/SettingsStore.h"
#include "pages/Clock.h"
#include "testsupport/FakeDialogs.h"
#include "ui/Dialogs.h"

// Failures show texts, not bytes.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << '{' << texts.join(QStringLiteral(", ")).toStdString() << '}';
}

namespace lisko {
namespace {

// Day D of the schedules, 10 May 2010: day number 40308.
const QDate kDayD(2010, 5, 10);
constexpr int kDayNumberD = 40308;

const QString kInvitation = QString::fromUtf8(InvitationValue);
const QString kFeedback = QString::fromUtf8(FeedbackValue);

using test::FakeDialogs;

QString ConfigHome() {
    return qEnvironmentVariable("XDG_CONFIG_HOME");
}

QString KeyDirectory() {
    return ConfigHome() + QStringLiteral("/Лиско");
}

QString StoreFile() {
    return KeyDirectory() + QStringLiteral("/version.dll.ini");
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Each test starts from a machine on which the program never ran.
class Reminders : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(KeyDirectory()).removeRecursively();
        QFile::remove(KeyDirectory());
    }

    void TearDown() override {
        QFile::setPermissions(KeyDirectory(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Runs the reminders on the day `offset` days after D; the prompts that opened, in order.
    QStringList RunOn(int offset) {
        opened_.clear();
        const ScopedToday today(kDayD.addDays(offset));
        RunReminders({[this] { opened_ << QStringLiteral("recommend"); },
                      [this] { opened_ << QStringLiteral("feedback"); }});
        return opened_;
    }

    // The error a run ends with, or an empty text when it ends normally; the prompts it opened
    // before are in opened_.
    std::string ErrorOfRunOn(int offset) {
        try {
            RunOn(offset);
        } catch (const std::runtime_error& error) {
            return error.what();
        }
        return {};
    }

    static QString Stored(const QString& name) {
        return QSettings(StoreFile(), QSettings::IniFormat).value(name).toString();
    }

    static void Store(const QString& name, const QVariant& value) {
        QDir().mkpath(KeyDirectory());
        QSettings store(StoreFile(), QSettings::IniFormat);
        store.setValue(name, value);
    }

    FakeDialogs dialogs_;
    ScopedDialogs scopedDialogs_{dialogs_};
    QStringList opened_;
};

// Test names from the cases' own names.
template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& test) {
    return test.param.name;
}

struct DayCase {
    const char* name;
    QDate date;
    std::int32_t day;
};

class DayNumbers : public ::testing::TestWithParam<DayCase> {};

TEST_P(DayNumbers, CountFromTheLastDaysOf1899) {
    EXPECT_EQ(DayNumber(GetParam().date), GetParam().day);
}

INSTANTIATE_TEST_SUITE_P(Dates, DayNumbers,
                         ::testing::Values(DayCase{"Epoch", QDate(1899, 12, 30), 0},
                                           DayCase{"DayBefore", QDate(1899, 12, 29), -1},
                                           DayCase{"NewYear1900", QDate(1900, 1, 1), 2},
                                           DayCase{"After1900WasNoLeapYear", QDate(1900, 3, 1), 61},
                                           DayCase{"DayD", kDayD, kDayNumberD}),
                         CaseName<DayCase>);

TEST_F(Reminders, StoreIsTheUsersIniFileForLiskoAndVersionDll) {
    EXPECT_EQ(SettingsStore::SubkeyLocation(), StoreFile());
    EXPECT_EQ(SettingsStore::SubkeyLocation(),
              QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Лиско"),
                        QStringLiteral("version.dll"))
                  .fileName());
}

// The schedule over the days after a first start on day D: each step runs on its day, opens its
// prompts and leaves the stored dates as given (as offsets from D).
TEST_F(Reminders, ScheduleOverTheFirstWeeks) {
    struct Step {
        int day;
        QStringList opened;
        int invitation;
        int feedback;
    };
    const QStringList none;
    const QStringList recommend{QStringLiteral("recommend")};
    const QStringList feedback{QStringLiteral("feedback")};
    const std::vector<Step> steps{
        {0, recommend, 10, 5}, {1, none, 10, 5},        {2, none, 10, 5},
        {3, none, 10, 5},      {4, none, 10, 5},        {5, none, 10, 5},
        {6, feedback, 10, 36}, {11, recommend, 21, 16}, {17, feedback, 21, 47},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE("day D + " + std::to_string(step.day));
        EXPECT_EQ(RunOn(step.day), step.opened);
        EXPECT_EQ(Stored(kInvitation), QString::number(kDayNumberD + step.invitation));
        EXPECT_EQ(Stored(kFeedback), QString::number(kDayNumberD + step.feedback));
    }
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(Reminders, RecommendationPutsOffAFeedbackThatWasDue) {
    Store(kInvitation, QString::number(kDayNumberD - 1));
    Store(kFeedback, QString::number(kDayNumberD - 1));
    EXPECT_EQ(RunOn(0), QStringList{QStringLiteral("recommend")});
    EXPECT_EQ(Stored(kFeedback), QString::number(kDayNumberD + 5));
}

struct StoredTextCase {
    const char* name;
    const char* text;
    bool recommendOpens;
};

class StoredInvitationText : public Reminders,
                             public ::testing::WithParamInterface<StoredTextCase> {};

// A stored text that is not an integer counts as day 0: the prompt is due and the value is
// overwritten with a proper date.
TEST_P(StoredInvitationText, CountsAsDayZeroUnlessItIsANumber) {
    const StoredTextCase c = GetParam();
    Store(kInvitation, QString::fromUtf8(c.text));
    Store(kFeedback, QString::number(kDayNumberD + 100));
    const QStringList opened = RunOn(0);
    EXPECT_EQ(opened.contains(QStringLiteral("recommend")), c.recommendOpens);
    EXPECT_EQ(Stored(kInvitation),
              c.recommendOpens ? QString::number(kDayNumberD + 10) : QString::fromUtf8(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StoredInvitationText,
    ::testing::Values(StoredTextCase{"Letters", "завтра", true}, StoredTextCase{"Empty", "", true},
                      StoredTextCase{"TrailingLetters", "40400days", true},
                      StoredTextCase{"Fraction", "40400.5", true},
                      StoredTextCase{"BeyondThirtyTwoBits", "99999999999", true},
                      StoredTextCase{"Yesterday", "40307", true},
                      StoredTextCase{"Today", "40308", false},
                      StoredTextCase{"Later", "40318", false}),
    CaseName<StoredTextCase>);

class ValueNotText : public Reminders, public ::testing::WithParamInterface<const char*> {};

TEST_P(ValueNotText, EndsTheRunUnchanged) {
    const QString name = QString::fromUtf8(GetParam());
    // The recommendation is not due, so the feedback value is read too.
    Store(kInvitation, QString::number(kDayNumberD + 1));
    Store(kFeedback, QString::number(kDayNumberD + 1));
    Store(name, QByteArray("\x01\x02", 2));
    const QByteArray before = FileBytes(StoreFile());
    EXPECT_EQ(ErrorOfRunOn(0), "Invalid data type for '" + name.toStdString() + "'");
    EXPECT_TRUE(opened_.isEmpty());
    EXPECT_EQ(FileBytes(StoreFile()), before);
}

INSTANTIATE_TEST_SUITE_P(Values, ValueNotText, ::testing::Values(InvitationValue, FeedbackValue),
                         [](const ::testing::TestParamInfo<const char*>& test) {
                             return std::string(test.index == 0 ? "Invitation" : "Feedback");
                         });

struct CorruptStoreCase {
    const char* name;
    QByteArray bytes;
};

class CorruptStore : public Reminders, public ::testing::WithParamInterface<CorruptStoreCase> {};

// A store file that holds no readable values is a store without values: the recommendation opens
// and both dates are written afresh.
TEST_P(CorruptStore, ReadsAsMissingValues) {
    ASSERT_TRUE(QDir().mkpath(KeyDirectory()));
    QFile file(StoreFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(GetParam().bytes), GetParam().bytes.size());
    file.close();

    EXPECT_EQ(ErrorOfRunOn(0), "");
    EXPECT_EQ(opened_, QStringList{QStringLiteral("recommend")});
    EXPECT_EQ(Stored(kInvitation), QString::number(kDayNumberD + 10));
    EXPECT_EQ(Stored(kFeedback), QString::number(kDayNumberD + 5));
    EXPECT_TRUE(dialogs_.messages.empty());
}

QByteArray Garbage(int size, std::uint32_t seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& b : bytes) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<char>(seed >> 24);
    }
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, CorruptStore,
    ::testing::Values(CorruptStoreCase{"BinaryGarbage", Garbage(4096, 1)},
                      CorruptStoreCase{"NulBytes", QByteArray(512, '\0')},
                      CorruptStoreCase{"GarbageAfterAHeader", "[General]\n" + Garbage(300, 2)},
                      CorruptStoreCase{"BrokenUtf8Value",
                                       QByteArray("[General]\n\xd0\x9f\xd1=\xff\xfe"
                                                  "40400\n\x01=\n")},
                      CorruptStoreCase{"OneLongLine", QByteArray(1 << 20, 'x')}),
    CaseName<CorruptStoreCase>);

// The reminders on day D as a start of the program runs them, with the outcome as lines: each
// prompt opened, then each message shown, then the error the run ended with.
QStringList StartUpLinesOnDayD() {
    QStringList lines;
    FakeDialogs dialogs;
    const ScopedDialogs scoped(dialogs);
    const ScopedToday today(kDayD);
    try {
        RunReminders({[&lines] { lines << QStringLiteral("recommend"); },
                      [&lines] { lines << QStringLiteral("feedback"); }});
    } catch (const std::runtime_error& error) {
        lines << QStringLiteral("error: ") + QString::fromUtf8(error.what());
    }
    for (const auto& message : dialogs.messages)
        lines << QStringLiteral("message: ") + message.text;
    return lines;
}

constexpr const char* kStartUpChild = "--start-up-on-day-d";

// Runs StartUpLinesOnDayD in a child process of this program behind `wrapper`; its lines, or
// nothing when it could not run.
std::optional<QStringList> StartUpLinesInAChild(const QStringList& wrapper) {
    QProcess child;
    const QString self = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    QStringList arguments = wrapper.mid(1);
    arguments << self << QString::fromLatin1(kStartUpChild);
    child.start(wrapper.isEmpty() ? self : wrapper.front(),
                wrapper.isEmpty() ? QStringList{QString::fromLatin1(kStartUpChild)} : arguments);
    if (!child.waitForFinished(60000) || child.exitStatus() != QProcess::NormalExit ||
        child.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(child.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

// Unreadable for its user, the store reads as one without values and is written afresh, as a
// file of garbage is. The superuser reads every file whatever its mode, so then the start runs in
// a child without the capabilities that let it (setpriv, from util-linux).
TEST_F(Reminders, UnreadableStoreReadsAsMissingValues) {
    // Read, these would hold both prompts off.
    Store(kInvitation, QString::number(kDayNumberD + 100));
    Store(kFeedback, QString::number(kDayNumberD + 100));
    ASSERT_TRUE(QFile::setPermissions(StoreFile(), {}));

    QStringList wrapper;
    if (geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty()) GTEST_SKIP() << "the superuser needs setpriv to read as others do";
        wrapper = QStringList{setpriv, QStringLiteral("--inh-caps=-all"),
                              QStringLiteral("--bounding-set=-dac_override,-dac_read_search"),
                              QStringLiteral("--")};
        QProcess probe;
        probe.start(setpriv, wrapper.mid(1) + QStringList{QStringLiteral("cat"), StoreFile()});
        if (!probe.waitForFinished(60000) || probe.exitCode() == 0)
            GTEST_SKIP() << "setpriv cannot keep the superuser from reading the store here";
    }

    const std::optional<QStringList> lines = StartUpLinesInAChild(wrapper);
    ASSERT_TRUE(lines) << "the start in a child process did not run";
    EXPECT_EQ(*lines, QStringList{QStringLiteral("recommend")});
    EXPECT_EQ(Stored(kInvitation), QString::number(kDayNumberD + 10));
    EXPECT_EQ(Stored(kFeedback), QString::number(kDayNumberD + 5));
}

TEST_F(Reminders, KeyThatCannotBeCreatedEndsTheRunBeforeAnyPrompt) {
    // A plain file where the key's directory belongs.
    QFile blocker(KeyDirectory());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(ErrorOfRunOn(0), "Failed to create key Software\\Лиско");
    EXPECT_TRUE(opened_.isEmpty());
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(Reminders, ValueThatCannotBeWrittenEndsTheRunAfterItsPrompt) {
    // A directory where the store's file belongs: it reads as empty and cannot be written.
    ASSERT_TRUE(QDir().mkpath(StoreFile()));
    EXPECT_EQ(ErrorOfRunOn(0), "Failed to set data for 'Приглашения'");
    EXPECT_EQ(opened_, QStringList{QStringLiteral("recommend")});
    EXPECT_TRUE(QFileInfo(StoreFile()).isDir());
}

TEST_F(Reminders, KeyThatCannotBeOpenedIsReportedAndTheRunGoesOn) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not hold back the superuser";
    ASSERT_TRUE(QDir().mkpath(KeyDirectory()));
    ASSERT_TRUE(QFile::setPermissions(KeyDirectory(), QFile::ReadOwner | QFile::ExeOwner));
    // Without the key nothing is stored, so the recommendation is due; its date cannot be kept.
    EXPECT_EQ(ErrorOfRunOn(0), "Failed to create key version.dll");
    EXPECT_EQ(opened_, QStringList{QStringLiteral("recommend")});
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].parent, nullptr);
    EXPECT_EQ(dialogs_.messages[0].caption, QStringLiteral("Ошибка"));
    EXPECT_EQ(dialogs_.messages[0].text, QStringLiteral("Ошибка при обращении к реестру."));
    EXPECT_EQ(dialogs_.messages[0].icon, QMessageBox::Critical);
}

}  // namespace
}  // namespace lisko

int main(int argc, char** argv) {
    // A child started by a test: the configuration directory is its parent's.
    if (argc == 2 && std::string(argv[1]) == lisko::kStartUpChild) {
        std::fputs(lisko::StartUpLinesOnDayD().join(u'\n').toUtf8().append('\n').constData(),
                   stdout);
        return 0;
    }
    // The store lives below the user's configuration directory; tests keep theirs apart from the
    // real one, set before anything reads settings.
    const QTemporaryDir config;
    if (!config.isValid()) return 1;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
