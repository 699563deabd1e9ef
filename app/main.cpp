// The program entry of quire.
#include "Unit1.h"

#include "Fonts.h"
#include "nkf.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quire"));
    quire::InstallFontSubstitutions();
    quire::nkf::Bind();
    int result = 0;
    {
        quire::TMainForm form;
        form.show();
        result = app.exec();
    }
    quire::nkf::Release();
    return result;
}
