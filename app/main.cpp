// The program entry of quire.
#include "Unit1.h"

#include "Fonts.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quire"));
    quire::InstallFontSubstitutions();
    quire::TMainForm form;
    form.show();
    return app.exec();
}
