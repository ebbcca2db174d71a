#include "app/Reminders.h"

#include <QMessageBox>

#include "identity/SettingsStore.h"
#include "pages/Clock.h"
#include "ui/Dialogs.h"

namespace lisko {

std::int32_t DayNumber(QDate date) {
    return static_cast<std::int32_t>(QDate(1899, 12, 30).daysTo(date));
}

void RunReminders(const ReminderPrompts& prompts) {
    const QString invitation = QString::fromUtf8(InvitationValue);
    const QString feedback = QString::fromUtf8(FeedbackValue);
    SettingsStore store;
    if (!store.OpenKey()) {
        store.CreateKey();
        if (!store.OpenKey()) {
            CurrentDialogs().ShowMessage(nullptr, QStringLiteral("Ошибка"),
                                         QStringLiteral("Ошибка при обращении к реестру."),
                                         QMessageBox::Critical);
        }
    }

    const std::int32_t today = DayNumber(Today());
    if (today > store.ReadDay(invitation)) {
        prompts.recommend();
        store.WriteDay(invitation, today + 10);
        store.WriteDay(feedback, today + 5);
    }
    if (today > store.ReadDay(feedback)) {
        prompts.feedback();
        store.WriteDay(feedback, today + 30);
    }
}

}  // namespace lisko
