#pragma once

#include "app/Unit1.h"
#include "list/Unit2.h"
#include "app/Unit3.h"
#include "update/Unit4.h"

namespace lisko {

// The application title, shown by the desktop for the program (with "Priner", as it always was).
inline constexpr char ApplicationTitle[] = "LiskoPriner2 - Программа для печати шпаргалок";

// The program's four windows, created in this order at start-up and living until it ends. The
// main window's creation runs FormCreate; the update window copies its caption.
struct Forms {
    TForm1 form1;
    TForm2 form2;
    TForm3 form3;
    TForm4 form4{form1};

    Forms() { form1.AttachForms(form2, form3, form4); }
};

// Shows the main window centred on the screen; its first showing runs FormShow.
void ShowMainWindow(TForm1& form1);

}  // namespace lisko
