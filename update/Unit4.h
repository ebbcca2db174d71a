#pragma once

#include <QWidget>

namespace lisko {

// The update progress window: created at start-up with the main window's caption, shown only
// while the update check runs.
class TForm4 : public QWidget {
public:
    explicit TForm4(const QWidget& mainWindow);
};

}  // namespace lisko
