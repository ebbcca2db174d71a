#pragma once

#include <QDialog>
#include <QFlags>

class QCheckBox;
class QRadioButton;
class QToolButton;

namespace lisko {

// Which parameters apply-to-many copies from the current photo.
enum class ApplyFlag : unsigned {
    ApplyType = 1,         // ImageType
    ApplyTone = 2,         // Brightness and Contrast
    ApplyCrop = 4,         // the four crops
    ApplyRotation = 8,     // Rotation
    ApplyStraighten = 16,  // Straighten, each photo with its own sheet's corners
};
Q_DECLARE_FLAGS(ApplyFlags, ApplyFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(ApplyFlags)

// Which photos it copies them to, by position in the list counted from 1.
enum class ApplyScope { ScopeAll = 1, ScopeOdd = 2, ScopeEven = 3 };

struct ApplyRequest {
    int modalResult = 0;  // 1 applied, 2 cancelled
    ApplyFlags flags;
    ApplyScope scope = ApplyScope::ScopeAll;
};

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
