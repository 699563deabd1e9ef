// The program entry of quire: one running instance; a later start hands its file over.
#include "Application.h"
#include "Dialogs.h"
#include "Fonts.h"
#include "Messages.h"
#include "PrintPdfCommand.h"
#include "ProgramFolder.h"
#include "Profile.h"
#include "SingleInstance.h"
#include "Unit1.h"
#include "nkf.h"

int main(int argc, char* argv[]) {
    if (quire::IsPrintPdfCommand(argc, argv)) return quire::PrintPdfCommand(argc, argv);
    quire::TApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quire"));
    const QStringList args = QApplication::arguments().mid(1);
    const QString settings = quire::SettingsFileName();
    try {
        // The file of this start goes to whichever instance will open it.
        quire::profile::WriteString(settings, QStringLiteral("App"), QStringLiteral("FileName"),
                                    args.isEmpty() ? QString() : quire::TMainForm::NormalizedPath(args.first()));
    } catch (const std::exception& e) {
        quire::Messages().Show(QStringLiteral("Quire"), QString::fromUtf8(e.what()), quire::TMessageIcon::Error);
    }
    quire::TSingleInstance instance;
    if (!instance.Acquire()) {
        // Another instance runs: it opens the file and comes forward; this one ends.
        if (quire::TSingleInstance::SendHello()) return 0;
    }
    quire::InstallFontSubstitutions();
    quire::InstallMessageBoxes();
    quire::nkf::Bind();
    int result = 0;
    {
        quire::TMainForm form;
        instance.Listen([&form] { form.MyMsgOnHello(); });
        // The file taken by the hello of this very start is not opened twice.
        quire::profile::WriteString(settings, QStringLiteral("App"), QStringLiteral("FileName"), QString());
        form.HandleCommandLine(args);
        form.show();
        result = app.exec();
    }
    quire::nkf::Release();
    return result;
}
