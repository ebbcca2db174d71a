#include "app/Program.h"
#include "ui/Application.h"
#include "ui/Skin.h"

int main(int argc, char* argv[]) {
    lisko::LiskoApplication app(argc, argv);
    lisko::ApplySkin(app);
    QGuiApplication::setApplicationDisplayName(QString::fromUtf8(lisko::ApplicationTitle));
    lisko::Forms forms;
    lisko::ShowMainWindow(forms.form1);
    return QApplication::exec();
}
