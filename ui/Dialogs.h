#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <exception>

class QDialog;
class QPrinter;
class QWidget;

namespace lisko {

// What the program asks of a file dialog.
struct OpenFilesRequest {
    QString title;
    QStringList nameFilters;  // the first is preselected
    QString directory;        // where the dialog opens; empty for the desktop's choice
};

// What the program asks of a dialog for one file to open or to save.
struct FileNameRequest {
    QString title;
    QStringList nameFilters;  // the first is preselected
    QString defaultSuffix;    // added to a typed name without one
    QString selected;         // the file the dialog starts on, if any
};

// The program's modal dialogs, behind one seam so that tests can answer them.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The chosen existing files, or none when the user cancels.
    virtual QStringList OpenFiles(QWidget* parent, const OpenFilesRequest& request) = 0;
    // A message box with one OK button.
    virtual void ShowMessage(QWidget* parent, const QString& caption, const QString& text,
                             QMessageBox::Icon icon) = 0;
    // Shows one of the program's own dialogs modally; returns its result code.
    virtual int RunModal(QDialog& dialog) = 0;
    // The print dialog for pages 1..pageCount, opening on one copy of all pages; it offers all
    // pages or a range, and the printers or a PDF file, but no selection. The user's choices of
    // printer or file, copies and range land in printer. False when the user cancels.
    virtual bool SetUpPrinter(QWidget* parent, QPrinter& printer, int pageCount) = 0;
    // The dialogs below are cancelled (answered No) where a seam does not answer them.
    // One existing file to open, or an empty text when the user cancels.
    virtual QString OpenFileName(QWidget*, const FileNameRequest&) { return {}; }
    // The file to save to (the dialog has asked before replacing one), or an empty text.
    virtual QString SaveFileName(QWidget*, const FileNameRequest&) { return {}; }
    // A question with the buttons Yes and No; true for Yes.
    virtual bool Ask(QWidget*, const QString& /*caption*/, const QString& /*question*/) {
        return false;
    }
};

// The desktop's own dialogs.
class SystemDialogs : public Dialogs {
public:
    QStringList OpenFiles(QWidget* parent, const OpenFilesRequest& request) override;
    void ShowMessage(QWidget* parent, const QString& caption, const QString& text,
                     QMessageBox::Icon icon) override;
    int RunModal(QDialog& dialog) override;
    bool SetUpPrinter(QWidget* parent, QPrinter& printer, int pageCount) override;
    QString OpenFileName(QWidget* parent, const FileNameRequest& request) override;
    QString SaveFileName(QWidget* parent, const FileNameRequest& request) override;
    bool Ask(QWidget* parent, const QString& caption, const QString& question) override;
};

// The dialogs in use: the desktop's, unless a ScopedDialogs replaced them.
Dialogs& CurrentDialogs();

// Puts other dialogs in place for its lifetime.
class ScopedDialogs {
public:
    explicit ScopedDialogs(Dialogs& dialogs);
    ~ScopedDialogs();
    ScopedDialogs(const ScopedDialogs&) = delete;
    ScopedDialogs& operator=(const ScopedDialogs&) = delete;

private:
    Dialogs* previous_;
};

// The text of the standard error box: the error's text with a full stop added when its last
// character sorts above ".".
QString ErrorBoxText(const QString& message);

// The application's standard error box: the error's text, the application title as caption,
// an error icon and OK. Every error that leaves an event handler ends here. A decoder error adds
// a second line naming the file and the decoder's own words.
void ShowStandardError(QWidget* parent, const std::exception& error);
void ShowStandardError(QWidget* parent, const QString& message);

}  // namespace lisko
