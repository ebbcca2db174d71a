#include "editor/Unit2.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>
#include <QToolButton>

#include "ui/Dialogs.h"

namespace lisko {

namespace {

QFrame* Panel(QWidget* parent, const char* name, const QRect& place, const QString& heading,
              const char* headingName) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setGeometry(place);
    auto* label = new QLabel(heading, panel);
    label->setObjectName(QString::fromLatin1(headingName));
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(0, 4, place.width(), 18);
    return panel;
}

template <typename Button>
Button* Choice(QWidget* panel, const char* name, const QString& caption, int left, int top) {
    auto* button = new Button(caption, panel);
    button->setObjectName(QString::fromLatin1(name));
    button->move(left, top);
    button->adjustSize();
    return button;
}

QToolButton* Button(QWidget* parent, const char* name, const QString& caption, const QRect& place) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setGeometry(place);
    return button;
}

}  // namespace

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Применить ко многим..."));
    // The sheet-straightening choice adds a row below the four original ones.
    constexpr int kAdded = 24;
    setFixedSize(245, 309 + kAdded);

    QFrame* properties = Panel(this, "sPanel1", {8, 8, 225, 137 + kAdded},
                               QStringLiteral("Какие свойства изменить?"), "sLabelFX1");
    sCheckBox2 =
        Choice<QCheckBox>(properties, "sCheckBox2", QStringLiteral("Яркость и контраст"), 16, 32);
    sCheckBox3 =
        Choice<QCheckBox>(properties, "sCheckBox3", QStringLiteral("Настройки подрезки"), 16, 56);
    sCheckBox4 = Choice<QCheckBox>(properties, "sCheckBox4", QStringLiteral("Поворот"), 16, 80);
    sCheckBox1 = Choice<QCheckBox>(properties, "sCheckBox1",
                                   QStringLiteral("Тип изображения (цвет или ч/б)"), 16, 104);
    sCheckBox5 =
        Choice<QCheckBox>(properties, "sCheckBox5", QStringLiteral("Выравнивание листа"), 16, 128);

    QFrame* photos = Panel(this, "sPanel2", {8, 152 + kAdded, 225, 97},
                           QStringLiteral("Для каких фотографий?"), "sLabelFX2");
    sRadioButton1 =
        Choice<QRadioButton>(photos, "sRadioButton1", QStringLiteral("Для всех"), 16, 24);
    sRadioButton2 =
        Choice<QRadioButton>(photos, "sRadioButton2", QStringLiteral("Для нечетных"), 16, 48);
    sRadioButton3 =
        Choice<QRadioButton>(photos, "sRadioButton3", QStringLiteral("Для четных"), 16, 72);

    sSpeedButton1 =
        Button(this, "sSpeedButton1", QStringLiteral("Применить"), {8, 264 + kAdded, 105, 33});
    sSpeedButton2 =
        Button(this, "sSpeedButton2", QStringLiteral("Отмена"), {128, 264 + kAdded, 105, 33});
    connect(sSpeedButton1, &QToolButton::clicked, this, [this] { sSpeedButton1Click(); });
    connect(sSpeedButton2, &QToolButton::clicked, this, [this] { sSpeedButton2Click(); });
}

ApplyRequest TForm2::AskApplyToMany() {
    // The dialog starts from the same choice every time: brightness and contrast, for all.
    sCheckBox1->setChecked(false);
    sCheckBox2->setChecked(true);
    sCheckBox3->setChecked(false);
    sCheckBox4->setChecked(false);
    sCheckBox5->setChecked(false);
    sRadioButton1->setChecked(true);

    ApplyRequest request;
    request.modalResult = CurrentDialogs().RunModal(*this);
    if (sCheckBox1->isChecked()) request.flags |= ApplyFlag::ApplyType;
    if (sCheckBox2->isChecked()) request.flags |= ApplyFlag::ApplyTone;
    if (sCheckBox3->isChecked()) request.flags |= ApplyFlag::ApplyCrop;
    if (sCheckBox4->isChecked()) request.flags |= ApplyFlag::ApplyRotation;
    if (sCheckBox5->isChecked()) request.flags |= ApplyFlag::ApplyStraighten;
    request.scope = sRadioButton2->isChecked()   ? ApplyScope::ScopeOdd
                    : sRadioButton3->isChecked() ? ApplyScope::ScopeEven
                                                 : ApplyScope::ScopeAll;
    return request;
}

}  // namespace lisko
