// TMainForm: saving, backups, auto-save, reloading and closing, with the questions that
// protect modified text.
#include "Unit1.h"

#include "Backup.h"
#include "Cp932Codec.h"
#include "Dialogs.h"
#include "Editor.h"
#include "KanjiFile.h"
#include "Messages.h"
#include "PathCodec.h"
#include "PlatformError.h"
#include "RecoveryKeeper.h"
#include "SafeFile.h"
#include "jconvert.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopedValueRollback>
#include <QTabWidget>

namespace quire {

namespace {
const QString kSaveQuestion = QStringLiteral("内容は変更されています。保存しますか？\r\r");
} // namespace

void TMainForm::RestartSaveTimer() {
    FSaveTimer.stop();
    if (FMyProp.AutoSave) {
        const int minutes = std::clamp(FMyProp.AutoSaveMinutes, 5, 120);
        FSaveTimer.start(minutes * 60000);
    }
}

TBackupSettings TMainForm::BackupSettings() const {
    TBackupSettings b;
    b.On = FMyProp.BackUp;
    b.InFolder = FMyProp.BackUpDirOn;
    b.Folder = FMyProp.BackUpDir;
    b.Generations = FMyProp.BackUpGenerations;
    return b;
}

bool TMainForm::ConfirmSaveCode(int Index) {
    TPageRecord& p = Page(Index);
    const TOutsideCharTable* table = p.Editor->ScreenStrings().CharTable();
    const std::string code = p.KanjiCode.toStdString();
    // A Shift_JIS page loses only characters of its table.
    if (code == jconvert::kShiftJisName && (!table || table->Empty())) return true;
    const std::string text = p.Editor->Lines().Text();
    const TLostChar lost = FirstLostChar(text, code, table);
    if (lost.Bytes.empty()) return true;
    const int line =
        static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(lost.Offset), '\n')) + 1;
    const QString ch = cp932::ToDisplay(lost.Bytes, table);
    const QString where = QStringLiteral("%1 の %2 行目の文字「%3」は %4 で保存できません。")
                              .arg(DisplayPath(p.FileName))
                              .arg(line)
                              .arg(ch, QString::fromLatin1(jconvert::ShownCodeName(code)));
    // UTF-8 keeps every character; only bytes that are no character are lost there.
    if (jconvert::IsUtf8Name(code) || !FirstLostChar(text, jconvert::kUtf8Name, table).Bytes.empty())
        return Ask(where + QStringLiteral("このまま保存しますか？"), mbYes | mbNo, mbNo) == mbYes;
    const int answer =
        Ask(where + QStringLiteral("\r\rはい: UTF-8 で保存します。\r"
                                   "いいえ: %1 で保存します（保存できない文字は「?」などに変わります）。\r"
                                   "キャンセル: 保存しません。")
                        .arg(QString::fromLatin1(jconvert::ShownCodeName(code))),
            mbYes | mbNo | mbCancel, mbYes);
    if (answer == mbYes) SetPageCode(Index, QLatin1String(jconvert::kUtf8Name));
    return answer != mbCancel;
}

// The questions asked before a page is written over its file: each says what would be lost.
bool TMainForm::ConfirmWrite(int Index) {
    TPageRecord& p = Page(Index);
    if (!ConfirmSaveCode(Index)) return false;
    if (p.CutAtNul &&
        Ask(QStringLiteral(
                "このファイルは NUL "
                "文字から後ろが読み込まれていません。上書き保存すると、その部分は失われます。保存しますか？\r\r") +
                DisplayPath(p.FileName),
            mbYes | mbNo, mbNo) != mbYes)
        return false;
    if (!p.KeepsBytes &&
        Ask(QStringLiteral(
                "このファイルは %1 として読み込みましたが、%1 では元のとおりに保存できない文字が含まれています。"
                "保存するとファイルの内容が変わります。保存しますか？\r\r")
                    .arg(p.KanjiCode) +
                DisplayPath(p.FileName),
            mbYes | mbNo, mbNo) != mbYes)
        return false;
    if (p.Stamp.Exists && StampOf(p.FileName) != p.Stamp &&
        Ask(QStringLiteral("このファイルは、読み込んだ後でほかのプログラムによって変更（または削除）されています。"
                           "上書き保存しますか？\r\r") +
                DisplayPath(p.FileName),
            mbYes | mbNo, mbNo) != mbYes)
        return false;
    return true;
}

bool TMainForm::WritePage(int Index, bool Backup) {
    TPageRecord& p = Page(Index);
    if (!ConfirmWrite(Index)) return false;
    // The backup (FileBackUp): the old content is copied aside first; the generations move on
    // only once the new text is written, so a failed or refused save leaves every backup as
    // it was.
    TPendingBackup backup;
    if (Backup) {
        try {
            backup = TPendingBackup::Prepare(p.FileName, BackupSettings());
        } catch (const EPlatformError& e) {
            Tell(QStringLiteral("バックアップファイルを作成できませんでした。保存は続けます。\r\r") +
                     QString::fromStdString(e.what()),
                 TMessageIcon::Warning);
        }
    }
    // A write the system could not confirm did take place: the file holds the text, but the
    // page stays modified (and keeps its journal) until a save is confirmed.
    QString unconfirmed;
    try {
        quire::WritePage(p.Editor->Lines().Text(), p.KanjiCode.toStdString(), p.LineEndCode.toStdString(), p.FileName,
                         TConverter::Auto, p.Editor->ScreenStrings().CharTable());
    } catch (const EUnconfirmedWrite& e) {
        unconfirmed = QString::fromStdString(e.what());
    } catch (const EPlatformError& e) {
        Tell(QString::fromStdString(e.what()));
        return false; // the page stays modified and keeps its name; the backups stay as they were
    }
    if (const QStringList problems = backup.Commit(); !problems.isEmpty())
        Tell(QStringLiteral("保存しましたが、バックアップの一部を作れませんでした。\r\r") +
                 problems.join(QStringLiteral("\r\r")),
             TMessageIcon::Warning);
    if (!unconfirmed.isEmpty())
        Tell(unconfirmed + QStringLiteral("\r\r念のため、このページは変更ありのままにします。"), TMessageIcon::Warning);
    p.CutAtNul = false;
    p.KeepsBytes = true;
    p.Stamp = p.SeenStamp = StampOf(p.FileName);
    if (unconfirmed.isEmpty()) {
        p.Editor->SetModified(false);
        FRecovery->Forget(p.Editor); // the file holds the text now
    }
    ShowPageName(Index);
    if (Index == ActivePage()) FSaveName = p.FileName;
    return true;
}

bool TMainForm::SaveAsPage(int Index) {
    FSaveTimer.stop();
    TPageRecord& p = Page(Index);
    const QString path = ResolveLossyPath(
        Dialogs().SaveFileName(this, OpenFilter, p.FileName == NewDocumentName ? QString() : DisplayPath(p.FileName)));
    bool ok = false;
    if (!path.isEmpty()) {
        // The dialog asked before replacing another file: that file is now the page's.
        const TPageRecord old = p;
        p.FileName = NormalizedPath(path);
        p.Stamp = p.SeenStamp = StampOf(p.FileName);
        p.KeepsBytes = true;
        ok = WritePage(Index, false);
        if (ok) RegistFileNameToHistory(p.FileName);
        if (!ok) { // a failed write keeps the page as it was
            p.FileName = old.FileName;
            p.Stamp = old.Stamp;
            p.SeenStamp = old.SeenStamp;
            p.KeepsBytes = old.KeepsBytes;
        }
    }
    RestartSaveTimer();
    return ok;
}

// Saves one page; Confirm asks before overwriting a named file when the setting says so.
bool TMainForm::SavePage(int Index, bool Confirm) {
    TPageRecord& p = Page(Index);
    if (p.FileName == NewDocumentName) {
        SetActivePage(Index);
        return SaveAsPage(Index);
    }
    if (Confirm && FMyProp.ConfirmOverwrite) {
        QApplication::beep();
        if (Ask(QStringLiteral("上書き保存してよろしいですか？"), mbYes | mbNo, mbNo, TMessageIcon::Question) != mbYes)
            return false;
    }
    if (!WritePage(Index, true)) return false;
    RegistFileNameToHistory(p.FileName);
    return true;
}

bool TMainForm::Mm_SaveClick() {
    const bool ok = SavePage(ActivePage(), true);
    RestartSaveTimer();
    return ok;
}

bool TMainForm::Mm_SaveAsClick() { return SaveAsPage(ActivePage()); }

bool TMainForm::Mm_SaveAllClick() {
    // Only what changed: an unchanged page would be rewritten for nothing, perhaps over what
    // another program wrote, and in a line end or code it was not read in.
    bool all = true;
    for (int i = 0; i < PageCount(); ++i)
        if (Page(i).Editor->Modified()) all = SavePage(i, true) && all;
    RestartSaveTimer();
    return all;
}

void TMainForm::SaveTimerTimer() {
    if (FSaveName.isEmpty()) return;
    // Only pages that changed: the backup generations keep older versions, not copies.
    for (int i = 0; i < PageCount(); ++i) {
        TPageRecord& p = Page(i);
        if (p.FileName == NewDocumentName || !p.Editor->Modified()) continue;
        WritePage(i, true);
    }
}

void TMainForm::CheckFilesOnDisk() {
    if (FCheckingFiles) return; // the questions themselves activate the window again
    const QScopedValueRollback<bool> checking(FCheckingFiles, true);
    for (int i = 0; i < PageCount(); ++i) {
        TPageRecord& p = Page(i);
        if (p.FileName == NewDocumentName || !p.Stamp.Exists) continue;
        const TFileStamp now = StampOf(p.FileName);
        if (now == p.SeenStamp) continue;
        p.SeenStamp = now; // told once per change
        if (!now.Exists) {
            Tell(QStringLiteral("ファイルが見つかりません。ほかのプログラムによって削除されたか、名前が変えられました。"
                                "このページを保存すると作り直されます。\r\r") +
                     DisplayPath(p.FileName),
                 TMessageIcon::Warning);
            continue;
        }
        SetActivePage(i);
        const bool modified = p.Editor->Modified();
        const QString question =
            modified ? QStringLiteral("このファイルはほかのプログラムによって変更されました。読み直すと、このページでの"
                                      "変更は失われます。"
                                      "読み直しますか？\r\r")
                     : QStringLiteral("このファイルはほかのプログラムによって変更されました。読み直しますか？\r\r");
        if (Ask(question + DisplayPath(p.FileName), mbYes | mbNo, modified ? mbNo : mbYes) == mbYes &&
            LoadIntoPage(i, p.FileName))
            EnterPage(i);
    }
}

void TMainForm::Mm_ReopenClick(const QString& Code) {
    const int index = ActivePage();
    TPageRecord& p = Page(index);
    if (p.FileName == NewDocumentName) return;
    if (p.Editor->Modified() &&
        Ask(QStringLiteral("現在の変更を破棄して、%1 として開き直します。よろしいですか？").arg(Code), mbYes | mbNo,
            mbNo) != mbYes)
        return;
    if (LoadIntoPage(index, p.FileName, Code)) EnterPage(index);
}

void TMainForm::N21Click() {
    TPageRecord& p = Page(ActivePage());
    if (p.FileName == NewDocumentName) return;
    if (Ask(QStringLiteral("現在の変更を破棄します。よろしいですか？"), mbYes | mbNo, mbNo) != mbYes) return;
    if (LoadIntoPage(ActivePage(), p.FileName)) EnterPage(ActivePage());
}

TMessageButton TMainForm::Ask3(int Index) {
    // Cancel is offered everywhere, so that Escape and the close box never discard the text.
    QApplication::beep();
    const int r = Ask(kSaveQuestion + DisplayPath(Page(Index).FileName), mbYes | mbNo | mbCancel, mbYes);
    return r == mbYes ? mbYes : r == mbNo ? mbNo : mbCancel;
}

bool TMainForm::ReleasePage(int Index) {
    if (!Page(Index).Editor->Modified()) return true;
    switch (Ask3(Index)) {
    case mbYes: return SavePage(Index, false); // a cancelled or failed save keeps the page
    case mbNo: return true;                    // the changes are given up: the caller forgets the page's journal
    default: return false;
    }
}

void TMainForm::ClosePage(int Index) {
    Unsplit(Index);
    if (PageCount() == 1) {
        ResetPage(0);
        FPages.front().Editor->setFocus();
        return;
    }
    TPageRecord p = Page(Index);
    FRecovery->Detach(p.Editor);
    FPages.erase(FPages.begin() + Index);
    {
        const QSignalBlocker block(FPageControl);
        FPageControl->removeTab(Index);
    }
    delete p.Sheet;
    EnterPage(ActivePage());
    CurrentEditor()->setFocus();
}

void TMainForm::C1Click() {
    const int i = ActivePage();
    if (ReleasePage(i)) ClosePage(i);
}

void TMainForm::N17Click() {
    for (int i = PageCount() - 1; i >= 0; --i) {
        SetActivePage(i);
        if (!ReleasePage(i)) return; // Cancel keeps this page and those before it
        ClosePage(i);
    }
}

void TMainForm::Mm_SaveCloseClick() {
    // Pages whose save was refused or failed are still modified: the close query asks about
    // each of them, so that nothing is lost and nothing keeps the window open unasked.
    Mm_SaveAllClick();
    close();
}

void TMainForm::Mm_CloseClick() { close(); }

bool TMainForm::CanClose() {
    for (int i = 0; i < PageCount(); ++i) {
        if (!Page(i).Editor->Modified()) continue;
        SetActivePage(i);
        if (!ReleasePage(i)) return false;
    }
    // Every page still modified was given up: its journal goes with it.
    for (const TPageRecord& p : FPages)
        if (p.Editor->Modified()) FRecovery->Forget(p.Editor);
    SaveWindowPlacement();
    StoreRecentFiles();
    return true;
}

void TMainForm::closeEvent(QCloseEvent* Event) {
    if (FClosingForced || CanClose()) {
        Event->accept();
    } else {
        Event->ignore();
    }
}

} // namespace quire
