#include "editor/EditorPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QToolButton>

namespace lisko {

namespace {

// The scroll box starts below the two groups and keeps these distances to the tab's right and
// bottom edges.
constexpr int kScrollTop = 89;
constexpr int kScrollRightMargin = 8;
constexpr int kScrollBottomMargin = 5;

QLabel* Caption(QWidget* parent, const QString& text, int right, int top) {
    auto* label = new QLabel(text, parent);
    label->adjustSize();
    label->move(right - label->width() - 4, top + 2);
    return label;
}

QSpinBox* SpinEdit(QWidget* parent, const char* name, const QString& caption, const QRect& place,
                   Setting setting, int value) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(Describe(setting).minimum, Describe(setting).maximum);
    spin->setValue(value);
    spin->setGeometry(place);
    Caption(parent, caption, place.left(), place.top());
    return spin;
}

QComboBox* ComboBox(QWidget* parent, const char* name, const QString& caption, const QRect& place,
                    const QStringList& items, int index) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->addItems(items);
    combo->setCurrentIndex(index);
    combo->setGeometry(place);
    Caption(parent, caption, place.left(), place.top());
    return combo;
}

QCheckBox* CheckBox(QWidget* parent, const char* name, const QString& caption, QPoint place) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->move(place);
    box->adjustSize();
    return box;
}

QGroupBox* GroupBox(QWidget* parent, const char* name, const QString& title, const QRect& place) {
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(QString::fromLatin1(name));
    group->setGeometry(place);
    return group;
}

QToolButton* RowButton(QWidget* parent, const char* name, const QString& caption,
                       const QRect& place) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setGeometry(place);
    return button;
}

std::size_t Row(Setting setting) {
    return static_cast<std::size_t>(setting);
}

}  // namespace

EditorPanel::EditorPanel(QWidget* tab) : tab_(tab) {
    sGroupBox1 = GroupBox(tab, "sGroupBox1", QStringLiteral("Изображение"), {8, 0, 209, 89});
    sComboBox2 = ComboBox(sGroupBox1, "sComboBox2", QStringLiteral("Тип:"), {32, 16, 73, 21},
                          {QStringLiteral("Цветное"), QStringLiteral("Ч/Б")},
                          Describe(Setting::Type).defaultValue);
    // No rotation is chosen until a photo is.
    sComboBox1 = ComboBox(sGroupBox1, "sComboBox1", QStringLiteral("Поворот:"), {56, 40, 49, 21},
                          {QStringLiteral("Нет"), QStringLiteral("+90"), QStringLiteral("-90 "),
                           QStringLiteral("180")},
                          -1);
    sSpinEdit1 = SpinEdit(sGroupBox1, "sSpinEdit1", QStringLiteral("Яркость"), {160, 16, 41, 21},
                          Setting::Brightness, Describe(Setting::Brightness).defaultValue);
    sSpinEdit2 = SpinEdit(sGroupBox1, "sSpinEdit2", QStringLiteral("Контраст"), {160, 40, 41, 21},
                          Setting::Contrast, Describe(Setting::Contrast).defaultValue);
    sCheckBoxStraighten =
        CheckBox(sGroupBox1, "sCheckBoxStraighten", QStringLiteral("Выровнять лист"), {8, 64});
    sCheckBoxStraighten->setToolTip(QStringLiteral(
        "Найти лист бумаги на снимке и выпрямить его; углы можно передвинуть мышью"));
    sCheckBoxStraightView =
        CheckBox(sGroupBox1, "sCheckBoxStraightView", QStringLiteral("Результат"), {128, 64});
    sCheckBoxStraightView->setToolTip(QStringLiteral("Показать выпрямленный лист"));
    sCheckBoxStraightView->setEnabled(false);

    sGroupBox2 = GroupBox(tab, "sGroupBox2", QStringLiteral("Подрезка"), {224, 0, 185, 65});
    // The crop-left box has always started at 1; a photo's selection loads its own values.
    sSpinEdit3 = SpinEdit(sGroupBox2, "sSpinEdit3", QStringLiteral("Слева"), {48, 16, 41, 21},
                          Setting::CropLeft, 1);
    sSpinEdit4 = SpinEdit(sGroupBox2, "sSpinEdit4", QStringLiteral("Справа"), {48, 40, 41, 21},
                          Setting::CropRight, Describe(Setting::CropRight).defaultValue);
    sSpinEdit5 = SpinEdit(sGroupBox2, "sSpinEdit5", QStringLiteral("Сверху"), {136, 16, 41, 21},
                          Setting::CropTop, Describe(Setting::CropTop).defaultValue);
    sSpinEdit6 = SpinEdit(sGroupBox2, "sSpinEdit6", QStringLiteral("Снизу"), {136, 40, 41, 21},
                          Setting::CropBottom, Describe(Setting::CropBottom).defaultValue);

    sButton1 = new QPushButton(QStringLiteral("Применить\nко многим..."), tab);
    sButton1->setObjectName(QStringLiteral("sButton1"));
    sButton1->setGeometry(416, 8, 73, 49);

    // The row of the view (zoom, and stepping through the list) fits between the crop group's
    // bottom (65) and the scroll box's top (89).
    sButtonZoomFit =
        RowButton(tab, "sButtonZoomFit", QStringLiteral("По размеру"), {224, 66, 81, 21});
    sButtonZoom100 = RowButton(tab, "sButtonZoom100", QStringLiteral("1:1"), {309, 66, 33, 21});
    sButtonZoomOut = RowButton(tab, "sButtonZoomOut", QStringLiteral("−"), {346, 66, 25, 21});
    sButtonZoomIn = RowButton(tab, "sButtonZoomIn", QStringLiteral("+"), {373, 66, 25, 21});
    sLabelZoom = new QLabel(tab);
    sLabelZoom->setObjectName(QStringLiteral("sLabelZoom"));
    sLabelZoom->setGeometry(404, 66, 50, 21);
    sButtonPrevPhoto = RowButton(tab, "sButtonPrevPhoto", QStringLiteral("◀"), {460, 66, 25, 21});
    sButtonNextPhoto = RowButton(tab, "sButtonNextPhoto", QStringLiteral("▶"), {487, 66, 25, 21});

    sScrollBox1 = new QScrollArea(tab);
    sScrollBox1->setObjectName(QStringLiteral("sScrollBox1"));
    sScrollBox1->setGeometry(8, kScrollTop, 514, 649 + 65 - kScrollTop);
    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setToolTip(QStringLiteral("Левая кнопка  - прокрутка, правая - кадрирование"));
    Image1->setCursor(Qt::SizeAllCursor);
    sScrollBox1->setWidget(Image1);

    combos_[Row(Setting::Type)] = sComboBox2;
    combos_[Row(Setting::Rotation)] = sComboBox1;
    spins_[Row(Setting::Brightness)] = sSpinEdit1;
    spins_[Row(Setting::Contrast)] = sSpinEdit2;
    spins_[Row(Setting::CropLeft)] = sSpinEdit3;
    spins_[Row(Setting::CropRight)] = sSpinEdit4;
    spins_[Row(Setting::CropTop)] = sSpinEdit5;
    spins_[Row(Setting::CropBottom)] = sSpinEdit6;
}

void EditorPanel::LayOut() {
    sScrollBox1->setGeometry(8, kScrollTop, tab_->width() - 8 - kScrollRightMargin,
                             tab_->height() - kScrollTop - kScrollBottomMargin);
}

ControlValues EditorPanel::Values() const {
    ControlValues values{};
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = spins_[i] ? spins_[i]->value() : combos_[i]->currentIndex();
    return values;
}

void EditorPanel::Show(const ControlValues& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (spins_[i]) {
            spins_[i]->setValue(values[i]);
        } else {
            combos_[i]->setCurrentIndex(values[i]);
        }
    }
}

}  // namespace lisko
