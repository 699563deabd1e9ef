// The program entry of quire: one running instance; a later start hands its files over.
#include "Application.h"
#include "Dialogs.h"
#include "Fonts.h"
#include "KeyScript.h"
#include "Messages.h"
#include "PathCodec.h"
#include "PrintPdfCommand.h"
#include "SingleInstance.h"
#include "TimingProbe.h"
#include "Unit1.h"
#include "nkf.h"

#include <QIcon>
#include <csignal>
#include <cstdio>
#include <memory>

namespace {

// The files this start names, as the bytes it was given (any file name passes), made
// absolute here because the running instance has another working folder. Mode switches
// are not files.
QByteArrayList handOffNames(int argc, char* argv[]) {
    QByteArrayList names;
    for (int i = 1; i < argc; ++i) {
        const QByteArray param(argv[i]);
        if (param.isEmpty() || !quire::TMainForm::ModeOfSwitch(QString::fromLocal8Bit(param)).isEmpty()) continue;
        names << quire::TSingleInstance::AbsoluteName(param);
    }
    return names;
}

} // namespace

int main(int argc, char* argv[]) {
    if (quire::IsPrintPdfCommand(argc, argv)) return quire::PrintPdfCommand(argc, argv);
    // A write past a file-size limit then fails with an error the program reports, instead
    // of ending it.
    std::signal(SIGXFSZ, SIG_IGN);
    quire::TApplication app(argc, argv); // takes Qt's own options out of argv
    QApplication::setApplicationName(QStringLiteral("Quire"));
    // The installed desktop entry and icon go with the window (run from a build folder, the
    // icon is not found and the window has none, as before).
    QGuiApplication::setDesktopFileName(QStringLiteral(QUIRE_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(QUIRE_APP_ID)));
    quire::InstallFontSubstitutions();
    quire::InstallJapaneseTranslation();
    quire::InstallMessageBoxes();
    // The parameters as bytes: a file name that is not UTF-8 keeps them (Qt's own list would
    // turn them into U+FFFD). The application object has taken Qt's options out of argv.
    QStringList args;
    for (int i = 1; i < argc; ++i) args << quire::DecodePath(QByteArray(argv[i]));
    quire::TSingleInstance instance;
    switch (instance.AcquireOrHandOver(handOffNames(argc, argv))) {
    case quire::TSingleInstance::TRole::HandedOver: return 0;
    case quire::TSingleInstance::TRole::NoAnswer: {
        const QString text = QStringLiteral("起動中の Quire が応答しないため、ファイルを渡せませんでした。");
        std::fprintf(stderr, "quire: %s\n", text.toLocal8Bit().constData());
        quire::Messages().Show(QStringLiteral("Quire"), text, quire::TMessageIcon::Error);
        return 1;
    }
    case quire::TSingleInstance::TRole::First: break;
    }
    // Later starts are heard from now on; their files wait until the window is up.
    instance.Listen();
    quire::nkf::Bind();
    quire::TTimingProbe::InstallFromEnvironment(!args.isEmpty());
    int result = 0;
    {
        quire::TMainForm form;
        form.HandleCommandLine(args);
        form.show();
        // Tests that drive the program offscreen type through standard input, the start-up
        // question included.
        std::unique_ptr<quire::TKeyScript> keys;
        if (quire::TKeyScript::Wanted()) keys = std::make_unique<quire::TKeyScript>();
        // Pages an earlier run left unsaved (a crash, a kill, a power cut) are offered back.
        form.OfferRecovery();
        instance.SetOnFiles([&form](const QStringList& files) { form.MyMsgOnHello(files); });
        result = app.exec();
    }
    quire::nkf::Release();
    return result;
}
