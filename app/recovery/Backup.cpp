// Numbered backups.
#include "Backup.h"

#include "PathCodec.h"
#include "PlatformError.h"
#include "SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace quire {

QString BackupStem(const QString& F, const TBackupSettings& Settings) {
    const QFileInfo info(F);
    QString base = info.completeBaseName();
    if (base.isEmpty()) base = info.fileName(); // ".profile" and ".profileB" must not share ".bak"
    QDir folder = info.absoluteDir();
    if (Settings.InFolder && !Settings.Folder.isEmpty()) {
        QString path = Settings.Folder;
        path.replace(QLatin1Char('\\'), QLatin1Char('/'));
        folder = QDir(QDir::isAbsolutePath(path) ? path : info.absoluteDir().filePath(path));
    }
    return folder.filePath(base + QStringLiteral(".bak"));
}

QString BackupName(const QString& Stem, int K) {
    return Stem + (K < 10 ? QStringLiteral("0%1").arg(K) : QString::number(K));
}

TPendingBackup::~TPendingBackup() { Discard(); }

TPendingBackup::TPendingBackup(TPendingBackup&& Other) noexcept
    : FCopy(std::exchange(Other.FCopy, QString())), FStem(Other.FStem), FGenerations(Other.FGenerations) {}

TPendingBackup& TPendingBackup::operator=(TPendingBackup&& Other) noexcept {
    if (this != &Other) {
        Discard();
        FCopy = std::exchange(Other.FCopy, QString());
        FStem = Other.FStem;
        FGenerations = Other.FGenerations;
    }
    return *this;
}

TPendingBackup TPendingBackup::Prepare(const QString& F, const TBackupSettings& Settings) {
    TPendingBackup b;
    if (!Settings.On || !IsRegularFile(F)) return b;
    b.FStem = BackupStem(F, Settings);
    b.FGenerations = std::clamp(Settings.Generations, 1, 99);
    MakeFolders(QFileInfo(b.FStem).absolutePath());
    b.FCopy = CopyBeside(F, BackupName(b.FStem, 1));
    return b;
}

QStringList TPendingBackup::Commit() {
    QStringList problems;
    if (FCopy.isEmpty()) return problems;
    const auto generation = [this](int k) { return QFileInfo(BackupName(FStem, k)).fileName(); };
    // Oldest first, each generation copied over the next: at every moment every generation
    // is whole (the one being replaced is its old content until the copy is renamed in).
    for (int k = FGenerations; k >= 2; --k) {
        const QString from = BackupName(FStem, k - 1);
        if (!PathExists(from)) continue;
        try {
            CopyFileOver(from, BackupName(FStem, k));
        } catch (const EUnconfirmedWrite& e) {
            problems << QString::fromStdString(e.what());
        } catch (const EPlatformError& e) {
            problems << QStringLiteral("%1 を %2 に進められませんでした（%2 は元のままです）。\r%3")
                            .arg(generation(k - 1), generation(k), QString::fromStdString(e.what()));
        }
    }
    try {
        RenameOver(FCopy, BackupName(FStem, 1));
    } catch (const EUnconfirmedWrite& e) {
        problems << QString::fromStdString(e.what());
    } catch (const EPlatformError& e) {
        problems << QStringLiteral("保存する前の内容を %1 にできませんでした。その内容は %2 に残してあります。\r%3")
                        .arg(generation(1), DisplayPath(FCopy), QString::fromStdString(e.what()));
    }
    FCopy.clear(); // kept, whatever became of it: it is generation 01 or named above
    return problems;
}

void TPendingBackup::Discard() noexcept {
    if (FCopy.isEmpty()) return;
    RemoveFile(FCopy);
    FCopy.clear();
}

} // namespace quire
