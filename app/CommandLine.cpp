// TCommandLine.
#include "CommandLine.h"

#include <cstdio>
#include <cstring>
#include <string_view>

namespace quire {

namespace {

// Qt's own options, which the application object takes out of the arguments: those that take
// a value (as the next argument or after "="), then those that do not.
constexpr std::string_view kQtOptionsWithValue[] = {
    "platform",     "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "qwindowicon",  "qwindowtitle",       "session",       "display", "geometry",
    "style",        "stylesheet",         "name",          "title",   "icon",
    "qmljsdebugger"};
constexpr std::string_view kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"};

template <std::size_t N>
bool among(std::string_view Name, const std::string_view (&Names)[N]) {
    for (std::string_view n : Names)
        if (n == Name) return true;
    return false;
}

void print(std::FILE* To, const QString& Text) { std::fputs(Text.toUtf8().constData(), To); }

} // namespace

TCommandLine TCommandLine::Parse(int argc, char* argv[]) {
    TCommandLine line;
    if (argc >= 2 && std::strcmp(argv[1], "--print-pdf") == 0) {
        line.Action = TAction::PrintPdf;
        return line;
    }
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") break;
        if (arg.size() < 2 || arg[0] != '-') continue; // a file, a mode switch or "-"
        if (arg == "--help" || arg == "-h") return {TAction::Help, {}};
        if (arg == "--version") return {TAction::Version, {}};
        std::string_view name = arg.substr(arg[1] == '-' ? 2 : 1);
        const bool valueInline = name.find('=') != std::string_view::npos;
        name = name.substr(0, name.find('='));
        if (among(name, kQtOptionsWithValue)) {
            if (!valueInline) ++i; // its value
        } else if (!among(name, kQtFlags) && line.Action == TAction::Edit) {
            line = {TAction::UsageError, QString::fromLocal8Bit(argv[i])};
        }
    }
    return line;
}

QString QuireUsage() {
    return QStringLiteral("usage: quire [/html|/ini|/del|/perl|/cpp|/basic|/user] [FILE...]\n"
                          "       quire --print-pdf OUT.pdf FILE\n"
                          "       quire --help | --version\n"
                          "\n"
                          "Opens the files in tabs of the Quire running on this display with these settings,\n"
                          "or in a new window; a switch sets the colouring mode of the first page.\n"
                          "--print-pdf prints FILE with the stored print settings to OUT.pdf, without a window.\n"
                          "Arguments after -- are files. The settings folder is $QUIRE_HOME when it is set.\n");
}

QString QuireVersion() { return QStringLiteral("quire %1\n").arg(QStringLiteral(QUIRE_VERSION)); }

int AnswerCommandLine(const TCommandLine& Line) {
    switch (Line.Action) {
    case TCommandLine::TAction::Help: print(stdout, QuireUsage()); return std::fflush(stdout) == 0 ? 0 : 1;
    case TCommandLine::TAction::Version: print(stdout, QuireVersion()); return std::fflush(stdout) == 0 ? 0 : 1;
    case TCommandLine::TAction::UsageError:
        print(stderr, QStringLiteral("quire: unknown option %1\n").arg(Line.Unknown) + QuireUsage());
        return 2;
    case TCommandLine::TAction::Edit:
    case TCommandLine::TAction::PrintPdf: break;
    }
    return -1;
}

} // namespace quire
