// TMainForm: the pages' facts for their recovery journals, and the journals an earlier run
// left behind offered back at start.
#include "Unit1.h"

#include "EditModes.h"
#include "Editor.h"
#include "Messages.h"
#include "PathCodec.h"
#include "RecoveryKeeper.h"

#include <QFileInfo>
#include <QTabWidget>

namespace quire {

namespace {

journal::TJournalStamp journalStamp(const TFileStamp& s) {
    return journal::TJournalStamp{s.Exists, s.Size, s.ModifiedNs, s.Inode, s.Device};
}

TFileStamp fileStamp(const journal::TJournalStamp& s) {
    return TFileStamp{s.Exists, s.Size, s.ModifiedNs, s.Inode, s.Device};
}

// The page's name: its file (the name's bytes as the system has them), or "新規作成".
QString pageName(const journal::TJournalPage& Page) {
    return Page.FileName.empty() ? TMainForm::NewDocumentName : DecodePath(QByteArray::fromStdString(Page.FileName));
}

// The name as the user reads it in a message.
QString shownName(const journal::TJournalPage& Page) { return DisplayPath(pageName(Page)); }

} // namespace

journal::TJournalPage TMainForm::JournalPage(TEditor* E) const {
    journal::TJournalPage page;
    for (const TPageRecord& p : FPages) {
        if (p.Editor != E) continue;
        if (p.FileName != NewDocumentName) page.FileName = EncodePath(p.FileName).toStdString();
        page.KanjiCode = p.KanjiCode.toStdString();
        page.LineEndCode = p.LineEndCode.toStdString();
        page.Mode = p.Mode.toStdString();
        page.CutAtNul = p.CutAtNul;
        page.KeepsBytes = p.KeepsBytes;
        page.Stamp = journalStamp(p.Stamp);
    }
    return page;
}

void TMainForm::OfferRecovery() {
    FRecovery->TellFolderProblem();
    std::vector<TFoundJournal> found = FRecovery->FindOrphans();
    if (found.empty()) return;
    QString list;
    for (const TFoundJournal& f : found)
        list += QStringLiteral("・%1（最終変更 %2）\r")
                    .arg(shownName(f.Summary.Page), f.LastChange.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
    const int answer =
        Ask(QStringLiteral("前回 Quire が終了したとき、保存されていない変更が残っていました。\r\r") + list +
                QStringLiteral("\r復元しますか？\r\r"
                               "「はい」: 復元します（ファイルは保存するまで変わりません）\r"
                               "「いいえ」: 変更の記録を破棄します\r"
                               "「キャンセル」: 記録を次の起動まで残します"),
            mbYes | mbNo | mbCancel, mbYes, TMessageIcon::Question);
    if (answer == mbNo) {
        for (TFoundJournal& f : found) TRecoveryKeeper::Discard(f);
        return;
    }
    if (answer != mbYes) return; // later: the journals stay, unlocked again
    QStringList notes;
    int kept = 0;
    for (TFoundJournal& f : found) {
        TJournalContent content = TRecoveryKeeper::Replay(f);
        const QString name = shownName(content.Usable ? content.Page : f.Summary.Page);
        if (!content.Usable) {
            notes << QStringLiteral("%1: 記録を読み取れないため、復元できませんでした。").arg(name);
            continue; // kept for a later try
        }
        const bool complete = content.Complete;
        const uint64_t lost = content.LostBytes;
        if (!OpenRecoveredPage(content, std::move(f))) {
            ++kept;
            continue;
        }
        if (!complete)
            notes << QStringLiteral("%1: 記録の終わりが壊れていたため、最後の変更の一部を復元できませんでした"
                                    "（使えなかった記録 %2 バイト）。")
                         .arg(name)
                         .arg(lost);
    }
    if (kept > 0) notes << QStringLiteral("ページがいっぱいのため、%1 件の記録は次の起動まで残します。").arg(kept);
    if (!notes.isEmpty()) Tell(notes.join(QStringLiteral("\r")), TMessageIcon::Warning);
    EditorChanged(CurrentEditor());
}

bool TMainForm::OpenRecoveredPage(TJournalContent& Content, TFoundJournal&& Found) {
    int index = PageCount() - 1;
    if (!PageIsBlank(index)) {
        if (PageCount() >= MaxPages) return false;
        index = NewTab();
        if (index < 0) return false;
    }
    TPageRecord& p = FPages[static_cast<size_t>(index)];
    const journal::TJournalPage& page = Content.Page;
    p.FileName = pageName(page);
    p.KanjiCode = QString::fromStdString(page.KanjiCode);
    p.LineEndCode = QString::fromStdString(page.LineEndCode);
    p.Mode = page.Mode.empty() ? ModeName(ModeForPath(p.FileName)) : QString::fromStdString(page.Mode);
    p.CutAtNul = page.CutAtNul;
    p.KeepsBytes = page.KeepsBytes;
    // The file as it was when the page was read: a save asks first if it has changed since.
    p.Stamp = p.SeenStamp = fileStamp(page.Stamp);
    p.Editor->Lines().SetText(Content.Text);
    p.Editor->SetModified(true); // the text is the file's only once the user saves it
    FRecovery->Supersede(p.Editor, std::move(Found));
    ApplyMode(index);
    SetActivePage(index);
    ShowPageName(index);
    return true;
}

} // namespace quire
