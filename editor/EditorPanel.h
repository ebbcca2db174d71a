#pragma once

#include <array>

#include "editor/EditorModel.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QToolButton;
class QWidget;

namespace lisko {

// The editor tab's widgets: the "Изображение" and "Подрезка" groups, the apply-to-many button, the
// zoom row below the crop group and the scroll box with the picture, built into the tab. The
// controls' ranges come from the settings description; the window wires them to its handlers.
class EditorPanel {
public:
    explicit EditorPanel(QWidget* tab);

    // Fits the scroll box to the tab's size.
    void LayOut();

    // The values of the controls, and loading them with a photo's.
    ControlValues Values() const;
    void Show(const ControlValues& values);

    QGroupBox* sGroupBox1;             // "Изображение"
    QComboBox* sComboBox2;             // type
    QComboBox* sComboBox1;             // rotation
    QSpinBox* sSpinEdit1;              // brightness
    QSpinBox* sSpinEdit2;              // contrast
    QCheckBox* sCheckBoxStraighten;    // "Выровнять лист"
    QCheckBox* sCheckBoxStraightView;  // "Результат"
    QGroupBox* sGroupBox2;             // "Подрезка"
    QSpinBox* sSpinEdit3;              // crop left
    QSpinBox* sSpinEdit4;              // crop right
    QSpinBox* sSpinEdit5;              // crop top
    QSpinBox* sSpinEdit6;              // crop bottom
    QPushButton* sButton1;             // "Применить ко многим..."
    // The zoom row, in the free room below "Подрезка", above the scroll box.
    QToolButton* sButtonZoomFit;  // "По размеру"
    QToolButton* sButtonZoom100;  // "1:1"
    QToolButton* sButtonZoomOut;
    QToolButton* sButtonZoomIn;
    QLabel* sLabelZoom;             // the zoom shown, "100 %"
    QToolButton* sButtonPrevPhoto;  // the previous photo of the list
    QToolButton* sButtonNextPhoto;  // the next one
    QScrollArea* sScrollBox1;
    QLabel* Image1;

private:
    QWidget* tab_;
    // The control of each setting, by its row in kPhotoSettings: a spin box or a combo box.
    std::array<QSpinBox*, kPhotoSettings.size()> spins_{};
    std::array<QComboBox*, kPhotoSettings.size()> combos_{};
};

}  // namespace lisko
