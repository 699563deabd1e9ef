// The child of the save soak test: saves one file over and over, with numbered backups, the
// way the editor saves a page, until it is killed. Round I writes SoakContent(I).
#include "Backup.h"
#include "KanjiFile.h"
#include "SoakContent.h"

#include <QFile>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: save-soak-child FILE FIRST-ROUND\n");
        return 2;
    }
    const QString path = QFile::decodeName(argv[1]);
    quire::TBackupSettings backups;
    backups.On = true;
    backups.Generations = 3;
    for (int round = std::atoi(argv[2]);; ++round) {
        quire::TPendingBackup pending = quire::TPendingBackup::Prepare(path, backups);
        quire::WritePage(quire::test::SoakContent(round), "S-JIS", "CRLF", path);
        pending.Commit();
        std::printf("%d\n", round);
        std::fflush(stdout);
    }
}
