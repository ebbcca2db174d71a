#include "ui/Dialogs.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

#include "raster/Jpeg.h"
#include "ui/Application.h"

namespace lisko {

namespace {

SystemDialogs& System() {
    static SystemDialogs dialogs;
    return dialogs;
}

Dialogs* current = nullptr;

}  // namespace

QStringList SystemDialogs::OpenFiles(QWidget* parent, const OpenFilesRequest& request) {
    QFileDialog dialog(parent, request.title);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(request.nameFilters);
    if (!request.directory.isEmpty()) dialog.setDirectory(request.directory);
    dialog.setOption(QFileDialog::ReadOnly);
    // The choices read as their names ("*.jpg, *.jpeg", "*.*"), not as their patterns.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

void SystemDialogs::ShowMessage(QWidget* parent, const QString& caption, const QString& text,
                                QMessageBox::Icon icon) {
    // The program's texts break lines with a lone CR, as the desktop's message boxes always
    // understood; a Qt label breaks lines at LF only.
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(icon, caption, lines, QMessageBox::Ok, parent);
    box.exec();
}

int SystemDialogs::RunModal(QDialog& dialog) {
    return dialog.exec();
}

bool SystemDialogs::SetUpPrinter(QWidget* parent, QPrinter& printer, int pageCount) {
    printer.setCopyCount(1);
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(1, pageCount);
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, pageCount);
    // Printing to a file (PDF) is offered beside the printers: without printers it is the one way
    // to print at all.
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintToFile);
    return dialog.exec() == QDialog::Accepted;
}

namespace {

QString ChooseFileName(QWidget* parent, const FileNameRequest& request,
                       QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setNameFilters(request.nameFilters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.selected.isEmpty()) dialog.selectFile(request.selected);
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

}  // namespace

QString SystemDialogs::OpenFileName(QWidget* parent, const FileNameRequest& request) {
    return ChooseFileName(parent, request, QFileDialog::AcceptOpen);
}

QString SystemDialogs::SaveFileName(QWidget* parent, const FileNameRequest& request) {
    return ChooseFileName(parent, request, QFileDialog::AcceptSave);
}

bool SystemDialogs::Ask(QWidget* parent, const QString& caption, const QString& question) {
    QMessageBox box(QMessageBox::Question, caption, question, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

Dialogs& CurrentDialogs() {
    return current ? *current : System();
}

ScopedDialogs::ScopedDialogs(Dialogs& dialogs) : previous_(current) {
    current = &dialogs;
}

ScopedDialogs::~ScopedDialogs() {
    current = previous_;
}

QString ErrorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.')) return message + QLatin1Char('.');
    return message;
}

void ShowStandardError(QWidget* parent, const QString& message) {
    CurrentDialogs().ShowMessage(parent, QString::fromUtf8(ApplicationTitle), ErrorBoxText(message),
                                 QMessageBox::Critical);
}

void ShowStandardError(QWidget* parent, const std::exception& error) {
    QString text = ErrorBoxText(QString::fromUtf8(error.what()));
    // The decoder's message number alone does not say which file it could not read, nor why.
    if (const std::string where = JpegFileAndWords(error); !where.empty())
        text += QLatin1Char('\n') + ErrorBoxText(QString::fromStdString(where));
    CurrentDialogs().ShowMessage(parent, QString::fromUtf8(ApplicationTitle), text,
                                 QMessageBox::Critical);
}

}  // namespace lisko
