#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <optional>

#include "app/Program.h"
#include "ui/Dialogs.h"

class QTreeWidget;

namespace lisko::test {

// A scratch directory of the test's own for the photos' working copies: LISKO_SCRATCH_DIR names
// it while it lives, so no test writes into the user's cache.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    QString Path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

// What each window test function starts from: a scratch directory of its own, the test's dialogs
// in place of the desktop's, and the program's four windows, created and attached as at start-up.
// They go in the opposite order, the windows first while their scratch directory is still named.
class WindowFixture {
public:
    // With the desktop's own dialogs.
    WindowFixture() { OpenWindows(); }
    explicit WindowFixture(Dialogs& dialogs) : dialogs_(std::in_place, dialogs) { OpenWindows(); }

    Forms& Windows() { return *forms_; }
    const Forms& Windows() const { return *forms_; }
    QString ScratchPath() const { return scratch_.Path(); }

    // The program's end, and its next start: open windows are replaced by new ones.
    void CloseWindows() { forms_.reset(); }
    void OpenWindows() { forms_ = std::make_unique<Forms>(); }

private:
    ScratchDir scratch_;
    std::optional<ScopedDialogs> dialogs_;
    std::unique_ptr<Forms> forms_;
};

// The texts of one column of a list view, top to bottom.
QStringList Column(const QTreeWidget* view, int column);

}  // namespace lisko::test
