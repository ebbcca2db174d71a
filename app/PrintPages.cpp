#include "app/PrintPages.h"

#include <QPrinter>

#include "ui/Application.h"
#include "ui/Dialogs.h"

namespace lisko {

void PrintPages(QWidget* parent, int pageCount, const PageComposer& compose) {
    if (pageCount < 1) {
        CurrentDialogs().ShowMessage(parent, QString::fromUtf8(ApplicationTitle),
                                     QStringLiteral("Список снимков пуст, печатать нечего. "
                                                    "Сначала добавьте файлы."),
                                     QMessageBox::Information);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!CurrentDialogs().SetUpPrinter(parent, printer, pageCount)) return;
    const PageRange range = ChosenRange(printer, pageCount);
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(PrintJobTitle());
    const int copies = printer.copyCount();
    if (copies < 1) return;
    // Each copy is a job of its own; the printer must not multiply them again.
    printer.setCopyCount(1);
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        PrintCopiesToFile(printer, range, copies, compose);
        return;
    }
    PrintCopies(printer, range, copies, compose);
}

}  // namespace lisko
