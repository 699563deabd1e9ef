// Saves killed at random moments: the file is always exactly one whole version, and every
// backup generation is a whole earlier version, never cut and never missing once made.
// QUIRE_SOAK_RUNS sets how many kills (scripts/soak runs several hundred).
#include "Backup.h"
#include "SoakContent.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <random>

using namespace quire;
using namespace quire::test;

namespace {

std::string readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray b = f.readAll();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

// The round whose whole content Path holds; -1 when it holds anything else.
int wholeRound(const QString& path) {
    const std::string text = readAll(path);
    const int round = SoakRound(text);
    return round >= 0 && text == SoakContent(round) ? round : -1;
}

} // namespace

TEST(SaveSoak, KilledSavesLeaveWholeFilesAndBackups) {
    const int runs = qEnvironmentVariableIsSet("QUIRE_SOAK_RUNS") ? qEnvironmentVariableIntValue("QUIRE_SOAK_RUNS") : 8;
    QTemporaryDir dir;
    const QString path = dir.filePath("doc.txt");
    TBackupSettings backups;
    const QString stem = BackupStem(path, backups);
    std::mt19937 rng(20261207);
    int round = 1;
    bool made[4] = {};
    int killedMidSave = 0;
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        child.start(QStringLiteral(QUIRE_SOAK_CHILD), {path, QString::number(round)});
        ASSERT_TRUE(child.waitForStarted());
        QThread::msleep(20 + rng() % 400);
        child.kill();
        child.waitForFinished();
        // A write or copy cut short leaves its hidden temporary file behind.
        const QStringList temps = QDir(dir.path()).entryList({QStringLiteral(".*quire-*")}, QDir::Files | QDir::Hidden);
        killedMidSave += temps.size();
        for (const QString& t : temps) QFile::remove(dir.filePath(t));
        const int current = wholeRound(path);
        if (QFile::exists(path)) {
            ASSERT_GE(current, 1) << "run " << run << ": the file is not one whole version";
        }
        int newer = current;
        for (int k = 1; k <= 3; ++k) {
            const QString name = BackupName(stem, k);
            if (!QFile::exists(name)) {
                ASSERT_FALSE(made[k]) << "run " << run << ": generation " << k << " vanished";
                continue;
            }
            made[k] = true;
            const int r = wholeRound(name);
            ASSERT_GE(r, 1) << "run " << run << ": generation " << k << " is not one whole version";
            ASSERT_LE(r, newer) << "run " << run << ": generation " << k << " is newer than the one before it";
            newer = r;
        }
        round = std::max(current, 0) + 1;
    }
    // Besides the temporary files of killed saves (removed above) nothing is left.
    for (const QString& f : QDir(dir.path()).entryList(QDir::Files))
        EXPECT_TRUE(f == "doc.txt" || f.startsWith("doc.bak")) << f.toStdString();
    RecordProperty("KilledWhileSaving", killedMidSave);
    std::printf("%d kills, %d temporary files left by writes and copies they cut; last round %d\n", runs, killedMidSave,
                round - 1);
}
