// The program entry of quire: one running instance; a later start hands its files over.
#include "Application.h"
#include "CommandLine.h"
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
#include <cstring>
#include <memory>

namespace {

// The parameters as bytes: a file name that is not UTF-8 keeps them (Qt's own list would turn
// them into U+FFFD). The first "--", after which everything is a file, is not one.
QByteArrayList parameters(int argc, char* argv[]) {
    QByteArrayList params;
    bool files = false;
    for (int i = 1; i < argc; ++i) {
        if (!files && std::strcmp(argv[i], "--") == 0) {
            files = true;
            continue;
        }
        params << QByteArray(argv[i]);
    }
    return params;
}

// The files this start names, made absolute here because the running instance has another
// working folder. Mode switches are not files.
QByteArrayList handOffNames(const QByteArrayList& Params) {
    QByteArrayList names;
    for (const QByteArray& param : Params) {
        if (param.isEmpty() || !quire::TMainForm::ModeOfSwitch(QString::fromLocal8Bit(param)).isEmpty()) continue;
        names << quire::TSingleInstance::AbsoluteName(param);
    }
    return names;
}

} // namespace

int main(int argc, char* argv[]) {
    // Usage, the version and a bad switch are answered before anything needs a display.
    const quire::TCommandLine line = quire::TCommandLine::Parse(argc, argv);
    if (const int status = quire::AnswerCommandLine(line); status >= 0) return status;
    if (line.Action == quire::TCommandLine::TAction::PrintPdf) return quire::PrintPdfCommand(argc, argv);
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
    // The application object has taken Qt's options out of argv.
    const QByteArrayList params = parameters(argc, argv);
    QStringList args;
    for (const QByteArray& param : params) args << quire::DecodePath(param);
    quire::TSingleInstance instance;
    switch (instance.AcquireOrHandOver(handOffNames(params))) {
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
