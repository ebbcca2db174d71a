#include "list/Unit2.h"

namespace lisko {

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Применить ко многим..."));
}

}  // namespace lisko
