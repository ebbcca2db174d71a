#pragma once

#include <QDialog>
#include <QPrinter>
#include <deque>
#include <functional>
#include <vector>

#include "ui/Dialogs.h"

namespace lisko::test {

// Answers the program's dialogs the way a test says, and records every message box.
class FakeDialogs : public Dialogs {
public:
    struct Message {
        QWidget* parent;
        QString caption;
        QString text;
        QMessageBox::Icon icon;
    };

    QStringList OpenFiles(QWidget*, const OpenFilesRequest& request) override {
        lastRequest = request;
        ++openCount;
        if (whileOpen) whileOpen();
        if (answers.empty()) return {};
        QStringList answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowMessage(QWidget* parent, const QString& caption, const QString& text,
                     QMessageBox::Icon icon) override {
        messages.push_back({parent, caption, text, icon});
    }
    // Without an answer a dialog is cancelled, as by closing its window.
    int RunModal(QDialog& dialog) override {
        ++modalCount;
        return modal ? modal(dialog) : 2;
    }
    bool SetUpPrinter(QWidget*, QPrinter& printer, int pageCount) override {
        ++printDialogCount;
        return setUpPrinter ? setUpPrinter(printer, pageCount) : false;
    }

    QString OpenFileName(QWidget*, const FileNameRequest& request) override {
        return AnswerFileName(request);
    }
    QString SaveFileName(QWidget*, const FileNameRequest& request) override {
        return AnswerFileName(request);
    }
    bool Ask(QWidget* parent, const QString& caption, const QString& question) override {
        questions.push_back({parent, caption, question, QMessageBox::Question});
        if (yesNo.empty()) return false;
        const bool yes = yesNo.front();
        yesNo.pop_front();
        return yes;
    }

    std::deque<QStringList> answers;                   // file dialog answers, one per call
    std::function<void()> whileOpen;                   // runs while the file dialog is open
    std::function<int(QDialog&)> modal;                // fills in a dialog and returns its result
    std::function<bool(QPrinter&, int)> setUpPrinter;  // the print dialog's choices
    OpenFilesRequest lastRequest;
    int openCount = 0;
    int modalCount = 0;
    int printDialogCount = 0;
    std::vector<Message> messages;

    // The one-file dialogs (open and save) answer in turn; without an answer they are cancelled.
    std::deque<QString> fileNames;
    FileNameRequest lastFileNameRequest;
    int fileNameCount = 0;
    // The questions asked, and their answers in turn; without one the answer is No.
    std::deque<bool> yesNo;
    std::vector<Message> questions;

private:
    QString AnswerFileName(const FileNameRequest& request) {
        lastFileNameRequest = request;
        ++fileNameCount;
        if (fileNames.empty()) return {};
        QString answer = fileNames.front();
        fileNames.pop_front();
        return answer;
    }
};

}  // namespace lisko::test
