#pragma once

#include <QImage>
#include <QPageLayout>
#include <functional>
#include <vector>

class QPrinter;

namespace lisko {

// Gives page `index` (0-based) composed at print scale.
using PageComposer = std::function<QImage(int index)>;

// 1-based, inclusive; a range whose first page lies after its last holds no page.
struct PageRange {
    int first = 1;
    int last = 0;

    std::vector<int> Indices() const;  // 0-based, in print order
};

// The job title every print carries.
QString PrintJobTitle();

// One print job: begin, then each page composed, stretched over the printable area and followed
// by a new page unless it is the last, then end. A job without pages still opens and closes, which
// gives one blank page. When composing or printing fails, the job is aborted and closed before the
// error goes on: no job is left open. `compose` runs on another thread, for one page at a time
// and in order, while the caller's thread waits inside PrintJob; it must not touch widgets.
void PrintJob(QPrinter& printer, const std::vector<int>& indices, const PageComposer& compose);

// One job per copy, each with the pages of the range in order. beforeJob, when given, runs before
// each job opens with the copy's number from 1 (to report progress or to send each job elsewhere).
void PrintCopies(QPrinter& printer, const PageRange& range, int copies, const PageComposer& compose,
                 const std::function<void(int copy)>& beforeJob = nullptr);

// An A4 portrait sheet without margins: the composed page carries its own, and a PDF page is the
// whole sheet.
QPageLayout SheetLayout();

// Printing to a file (PDF), for the window and the command-line tool alike: one document holding
// the copies of the range one after another on sheets of SheetLayout; a job per copy would leave
// only the last copy in the file. The document is written beside the chosen name and takes that
// name only when complete, so an error leaves any earlier file of that name as it was. A document
// that cannot be written whole throws WriteError naming the file and the reason.
void PrintCopiesToFile(QPrinter& printer, const PageRange& range, int copies,
                       const PageComposer& compose);

// What the user chose in the print dialog: all pages (also a selection, were one reported) or the
// range typed in.
PageRange ChosenRange(const QPrinter& printer, int pageCount);

}  // namespace lisko
