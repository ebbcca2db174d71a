#pragma once

#include <QWidget>

class QCloseEvent;
class QLabel;
class QProgressBar;
class QPushButton;
class QShowEvent;

namespace lisko {

// The update progress window: created at start-up with the main window's caption, shown only
// while the update check runs. It stays on top and has no border icons, so the one way out of a
// running download is the cancel button.
class TForm4 : public QWidget {
public:
    explicit TForm4(const QWidget& mainWindow);

    void FormCreate(const QWidget& mainWindow);
    // "Отменить обновление": asks a running download to stop.
    void sButton1Click() { Tag = 0; }

    QLabel* sLabel1;
    QProgressBar* sProgressBar1;
    QPushButton* sButton1;

    // The cancel flag of a running download: set to 1 when it starts, 0 when the user cancels.
    int Tag = 0;

protected:
    void showEvent(QShowEvent* event) override;
    // A close request from the desktop (the frame offers none) counts as pressing cancel; the
    // update check hides the window itself.
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace lisko
