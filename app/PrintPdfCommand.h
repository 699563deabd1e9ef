// "quire --print-pdf OUT.pdf FILE": prints FILE with the stored print options to a PDF file
// without showing a window, for scripts and tests.
#pragma once

namespace quire {

// Runs the command and returns the exit status: 0 printed, 1 failed (the reason on standard
// error), 2 wrong parameters. Creates its own application object; it takes no part in the
// single-instance hand-off.
int PrintPdfCommand(int argc, char* argv[]);

} // namespace quire
