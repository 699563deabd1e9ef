// The program entry of quire.
#include "Unit1.h"

#include "Fonts.h"
#include "Messages.h"
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
        const QStringList args = QApplication::arguments();
        if (args.size() > 1) {
            QString error;
            if (!form.OpenFile(args[1], &error)) quire::Messages().Show(QStringLiteral("Quire"), error, quire::TMessageIcon::Error);
        }
        form.show();
        result = app.exec();
    }
    quire::nkf::Release();
    return result;
}
