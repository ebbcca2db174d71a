#pragma once

#include <QDate>
#include <cstdint>
#include <functional>

namespace lisko {

// The settings-store values holding the days after which each prompt is due.
inline constexpr char InvitationValue[] = "Приглашения";
inline constexpr char FeedbackValue[] = "Отзыв";

// Days since 30 December 1899 (day 0), the way the stored dates count.
std::int32_t DayNumber(QDate date);

// What a due reminder opens.
struct ReminderPrompts {
    std::function<void()> recommend;
    std::function<void()> feedback;
};

// Opens the prompts that are due today and moves their dates on: a recommendation every ten days
// with the feedback date five days after it, feedback again every thirty days. A store that
// cannot be reached is reported and the run goes on; a value that cannot be read or written ends
// the run with an error.
void RunReminders(const ReminderPrompts& prompts);

}  // namespace lisko
