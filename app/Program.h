#pragma once

#include "app/Unit1.h"
#include "app/Unit3.h"
#include "editor/Unit2.h"
#include "update/Unit4.h"

namespace lisko {

// The program's four windows, created in this order at start-up and living until it ends. The
// main window's creation runs FormCreate; the update window copies its caption.
struct Forms {
    TForm1 form1;
    TForm2 form2{&form1};
    TForm3 form3;
    TForm4 form4{form1};

    Forms() { form1.AttachForms(form2, form3, form4); }
};

// Shows the main window centred on the screen; its first showing runs FormShow.
void ShowMainWindow(TForm1& form1);

// Adds the photos named on the command line to the shown window, the way "Добавить файлы" adds
// the dialog's choice, after opening a job file named among them; an error is shown in the
// standard error box.
void OpenPhotosFromArguments(TForm1& form1, const QStringList& arguments);

}  // namespace lisko
