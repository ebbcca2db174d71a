#pragma once

#include <QString>

namespace lisko {

// The mail program opens with a prepared message recommending the program; the recipient is left
// for the user to fill in.
void OpenRecommendMessage();
// The mail program opens with a prepared feedback message to the project's address.
void OpenFeedbackMessage();
// The user's web browser opens the project site.
void OpenProjectSite();

// The About box's text; its lines end with a single CR.
QString AboutText();

}  // namespace lisko
