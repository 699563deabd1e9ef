// TCommandLine: what a start of quire is asked to do, decided from its arguments alone, before
// any window or display is needed: edit files, print one to PDF, or print usage or the version.
#pragma once

#include <QString>

namespace quire {

struct TCommandLine {
    enum class TAction {
        Edit,       // the window, with the files and mode switches given
        PrintPdf,   // "--print-pdf OUT.pdf FILE"
        Help,       // "--help" or "-h": usage on standard output, status 0
        Version,    // "--version": the version on standard output, status 0
        UsageError, // an unknown switch: usage on standard error, status 2
    };
    TAction Action = TAction::Edit;
    QString Unknown; // the switch not understood, for UsageError

    // Arguments after "--" are files whatever they look like; Qt's own options (-display,
    // -platform, -style, ... and their values) are left to Qt.
    static TCommandLine Parse(int argc, char* argv[]);
};

// The usage text: the mode switches, the PDF command, --help and --version.
QString QuireUsage();
// "quire " and the version.
QString QuireVersion();

// Prints usage or the version for Help, Version and UsageError and gives the status to end
// with; -1 for Edit and PrintPdf, which go on.
int AnswerCommandLine(const TCommandLine& Line);

} // namespace quire
