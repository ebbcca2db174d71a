#pragma once

#include <QEvent>
#include <functional>
#include <initializer_list>

#include "pages/PageLayout.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QObject;
class QSpinBox;
class QWidget;

namespace lisko {

// The controls of the preview tab, named as in the window design.
struct PreviewControls {
    QLabel* Image2;         // the preview page, sized to its picture
    QLabel* sLabel14;       // "Страница:" ... "из:", with room for the selector between
    QSpinBox* sSpinEdit13;  // the page selector, 1-based
    QLabel* sLabel16;       // the page count after "из:"
    QGroupBox* sGroupBox3;  // "Расположение:"
    QSpinBox* sSpinEdit7;   // rows, "Строки"
    QSpinBox* sSpinEdit8;   // columns, "Столбцы"
    QComboBox* sComboBox3;  // order: "В строку", "В столбик"
};

// Builds the preview tab's controls into `tab`: the selector line at the top left, the layout
// panel at the top right and the preview picture below, in a scroll area for small windows.
PreviewControls BuildPreviewTab(QWidget* tab);

// The layout the controls show.
PageLayout LayoutOf(const QSpinBox& rows, const QSpinBox& columns, const QComboBox& order);

// Calls handler for every event of the given types that reaches watched, before watched sees it.
// The hook lives as long as watched.
void OnEvents(QObject* watched, std::initializer_list<QEvent::Type> types,
              std::function<void(QEvent&)> handler);

}  // namespace lisko
