#pragma once

#include <QDialog>

namespace lisko {

// The "Применить ко многим..." dialog: created at start-up, shown by the editor.
class TForm2 : public QDialog {
public:
    explicit TForm2(QWidget* parent = nullptr);
};

}  // namespace lisko
