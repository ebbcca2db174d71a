#include "app/tests/WindowFixture.h"

#include <QTreeWidget>

namespace lisko::test {

ScratchDir::ScratchDir() {
    qputenv("LISKO_SCRATCH_DIR", dir_.path().toUtf8());
}

ScratchDir::~ScratchDir() {
    qunsetenv("LISKO_SCRATCH_DIR");
}

QStringList Column(const QTreeWidget* view, int column) {
    QStringList texts;
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        texts << view->topLevelItem(i)->text(column);
    return texts;
}

}  // namespace lisko::test
