// Numbered backups of a file before it is overwritten: NAME.bak01 (the newest), .bak02, ...
// Generations move on only once the new content is safely written, and every move leaves
// each generation whole, so neither a failed save nor a kill loses one.
#pragma once

#include <QString>
#include <QStringList>

namespace quire {

struct TBackupSettings {
    bool On = false;
    bool InFolder = false; // in Folder instead of the file's own folder
    QString Folder;        // relative to the file's folder when not absolute
    int Generations = 3;   // 1 to 99
};

// The stem of F's backups: F's folder (or the backup folder) and F's name with its extension
// changed to ".bak". A name with nothing before its first dot (".profile") keeps all of it.
QString BackupStem(const QString& F, const TBackupSettings& Settings);
// Generation K of Stem: two digits below 10 ("01"), plain decimal from 10 on.
QString BackupName(const QString& Stem, int K);

// A backup being made of F: Prepare copies F's present content aside; after F was written,
// Commit moves the generations on and puts the copy in as generation 01; if the write
// failed, the copy is dropped (also by the destructor) and the generations stay as they were.
// Each move stands on its own: one that fails is skipped and the others go on, so the content
// before the save becomes generation 01 whatever became of the older ones.
class TPendingBackup {
public:
    TPendingBackup() = default;
    ~TPendingBackup();
    TPendingBackup(TPendingBackup&& Other) noexcept;
    TPendingBackup& operator=(TPendingBackup&& Other) noexcept;
    TPendingBackup(const TPendingBackup&) = delete;
    TPendingBackup& operator=(const TPendingBackup&) = delete;

    // Nothing is made when backups are off or F does not exist. Raises EPlatformError when the
    // copy cannot be made (the caller tells the user and may save without it).
    static TPendingBackup Prepare(const QString& F, const TBackupSettings& Settings);
    bool Empty() const noexcept { return FCopy.isEmpty(); }
    // What could not be done, one message per generation for the user (empty when every move
    // was made). Should the copy itself not become generation 01, it is kept where it is and
    // its message names it.
    QStringList Commit();
    void Discard() noexcept;

private:
    QString FCopy; // the copy of the old content, beside the backups
    QString FStem;
    int FGenerations = 0;
};

} // namespace quire
