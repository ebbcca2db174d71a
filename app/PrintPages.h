#pragma once

#include "pages/Printing.h"

class QWidget;

namespace lisko {

// "Печать": the print dialog for pages 1..pageCount, then the chosen copies of the chosen pages in
// portrait orientation, one job per copy; printed to a file, one document. An empty list offers no
// dialog but says there is nothing to print.
void PrintPages(QWidget* parent, int pageCount, const PageComposer& compose);

}  // namespace lisko
