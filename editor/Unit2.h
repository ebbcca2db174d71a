#pragma once

#include <QDialog>

#include "editor/ApplyToMany.h"

class QCheckBox;
class QRadioButton;
class QToolButton;

namespace lisko {

// The "Применить ко многим..." dialog: created at start-up, reset and shown by AskApplyToMany.
class TForm2 : public QDialog {
public:
    static constexpr int Applied = 1;
    static constexpr int Cancelled = 2;

    explicit TForm2(QWidget* parent = nullptr);

    ApplyRequest AskApplyToMany();
    void sSpeedButton1Click() { done(Applied); }
    void sSpeedButton2Click() { done(Cancelled); }
    // Closing by the window frame or Escape is a cancel.
    void reject() override { done(Cancelled); }

    QCheckBox* sCheckBox1;  // type
    QCheckBox* sCheckBox2;  // brightness and contrast
    QCheckBox* sCheckBox3;  // crop
    QCheckBox* sCheckBox4;  // rotation
    QCheckBox* sCheckBox5;  // sheet straightening
    QRadioButton* sRadioButton1;
    QRadioButton* sRadioButton2;
    QRadioButton* sRadioButton3;
    QToolButton* sSpeedButton1;
    QToolButton* sSpeedButton2;
};

}  // namespace lisko
