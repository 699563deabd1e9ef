// quire-keyword-defaults: writes the built-in reserved words of the colourings that have a
// keyword file ("Delphi.qre", "Perl.qre", "Cpp.qre", "Basic.qre") into a folder, as the files
// a user copies into the settings folder to change them.
//
//   quire-keyword-defaults FOLDER
#include "EditModes.h"
#include "FountainFactory.h"
#include "KeywordFile.h"

#include <QFile>
#include <cstdio>
#include <exception>

using namespace quire;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quire-keyword-defaults FOLDER\n");
        return 2;
    }
    const QString folder = QFile::decodeName(argv[1]);
    try {
        for (int m = 0; m < EditModeCount; ++m) {
            const auto mode = static_cast<TEditMode>(m);
            const QString file = ModeKeywordFileName(mode);
            if (file.isEmpty()) continue;
            const auto fountain = CreateLanguageFountain(ModeColouringName(mode).toStdString());
            WriteKeywordFile(folder + QLatin1Char('/') + file, fountain->ReserveWordList().Strings());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quire-keyword-defaults: %s\n", e.what());
        return 1;
    }
    return 0;
}
