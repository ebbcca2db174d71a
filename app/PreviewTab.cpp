#include "app/PreviewTab.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>
#include <vector>

namespace lisko {

namespace {

constexpr int kSelectorLineHeight = 40;
constexpr int kDefaultGrid = 3;

QSpinBox* GridSpin(const char* name) {
    auto* spin = new QSpinBox;
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(1, kLargestGrid);
    spin->setValue(kDefaultGrid);
    return spin;
}

class EventHook : public QObject {
public:
    EventHook(QObject* watched, std::initializer_list<QEvent::Type> types,
              std::function<void(QEvent&)> handler)
        : QObject(watched), types_(types), handler_(std::move(handler)) {
        watched->installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override {
        for (const QEvent::Type type : types_) {
            if (event->type() == type) handler_(*event);
        }
        return false;
    }

private:
    std::vector<QEvent::Type> types_;
    std::function<void(QEvent&)> handler_;
};

}  // namespace

PreviewControls BuildPreviewTab(QWidget* tab) {
    PreviewControls c;
    auto* selectorLine = new QWidget;
    selectorLine->setFixedHeight(kSelectorLineHeight);

    c.sLabel14 = new QLabel(QStringLiteral("Страница:               из:"), selectorLine);
    c.sLabel14->setObjectName(QStringLiteral("sLabel14"));
    c.sLabel14->adjustSize();
    c.sLabel14->move(8, 14);
    // The selector stands over the blanks between the two words.
    const QFontMetrics metrics(c.sLabel14->font());
    const int blanksLeft = 8 + metrics.horizontalAdvance(QStringLiteral("Страница: "));
    const int blanksWidth = metrics.horizontalAdvance(QStringLiteral("              "));
    c.sSpinEdit13 = new QSpinBox(selectorLine);
    c.sSpinEdit13->setObjectName(QStringLiteral("sSpinEdit13"));
    c.sSpinEdit13->setRange(1, 1);
    c.sSpinEdit13->setValue(1);
    c.sSpinEdit13->setGeometry(blanksLeft, 10, blanksWidth, c.sSpinEdit13->sizeHint().height());
    c.sLabel16 = new QLabel(QStringLiteral("0"), selectorLine);
    c.sLabel16->setObjectName(QStringLiteral("sLabel16"));
    c.sLabel16->setMinimumWidth(40);
    c.sLabel16->move(8 + c.sLabel14->width() + 4, 14);

    c.sGroupBox3 = new QGroupBox(QStringLiteral("Расположение:"));
    c.sGroupBox3->setObjectName(QStringLiteral("sGroupBox3"));
    c.sSpinEdit7 = GridSpin("sSpinEdit7");
    c.sSpinEdit8 = GridSpin("sSpinEdit8");
    c.sComboBox3 = new QComboBox;
    c.sComboBox3->setObjectName(QStringLiteral("sComboBox3"));
    c.sComboBox3->addItems({QStringLiteral("В строку"), QStringLiteral("В столбик")});
    c.sComboBox3->setCurrentIndex(static_cast<int>(SlotOrder::RowWise));
    auto* panel = new QGridLayout(c.sGroupBox3);
    panel->setContentsMargins(4, 0, 4, 2);
    panel->setVerticalSpacing(2);
    panel->addWidget(new QLabel(QStringLiteral("Строки")), 0, 0);
    panel->addWidget(c.sSpinEdit7, 0, 1);
    panel->addWidget(new QLabel(QStringLiteral("Столбцы")), 0, 2);
    panel->addWidget(c.sSpinEdit8, 0, 3);
    panel->addWidget(c.sComboBox3, 1, 0, 1, 4);

    c.Image2 = new QLabel;
    c.Image2->setObjectName(QStringLiteral("Image2"));
    c.Image2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* scroll = new QScrollArea;
    scroll->setWidget(c.Image2);
    scroll->setFrameShape(QFrame::NoFrame);
    // Beside the vertical bar a few columns of the page's white right margin are cut off;
    // a horizontal bar for those would only cost height.
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* top = new QHBoxLayout;
    top->addWidget(selectorLine, 1);
    top->addWidget(c.sGroupBox3, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addWidget(scroll, 1);
    return c;
}

PageLayout LayoutOf(const QSpinBox& rows, const QSpinBox& columns, const QComboBox& order) {
    return {rows.value(), columns.value(),
            order.currentIndex() == static_cast<int>(SlotOrder::ColumnWise) ? SlotOrder::ColumnWise
                                                                            : SlotOrder::RowWise};
}

void OnEvents(QObject* watched, std::initializer_list<QEvent::Type> types,
              std::function<void(QEvent&)> handler) {
    new EventHook(watched, types, std::move(handler));
}

}  // namespace lisko
