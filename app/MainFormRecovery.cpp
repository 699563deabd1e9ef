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

// The page a found journal was made for: its name when the journal says, else the journal
// file's own name.
QString foundName(const TFoundJournal& Found) {
    const journal::TJournalPage& page = Found.Summary.Page;
    return page == journal::TJournalPage{} ? QFileInfo(Found.Path).fileName() : shownName(page);
}

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
    QStringList lines;
    bool unreadable = false;
    for (const TFoundJournal& f : found) {
        QString line = QStringLiteral("・%1（最終変更 %2）")
                           .arg(foundName(f), f.LastChange.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
        if (!f.Problem.isEmpty()) line += QStringLiteral(": 復元できません（%1）").arg(f.Problem);
        unreadable = unreadable || !f.Problem.isEmpty();
        lines << line;
    }
    const int answer = Ask(
        QStringLiteral("前回 Quire が終了したとき、保存されていない変更が残っていました。\r\r") + ListedLines(lines) +
            QStringLiteral("\r\r復元しますか？\r\r"
                           "「はい」: 復元します（ファイルは保存するまで変わりません）\r"
                           "「いいえ」: 変更の記録を破棄します\r"
                           "「キャンセル」: 記録を次の起動まで残します") +
            (unreadable ? QStringLiteral("\r\r復元できない記録は、「はい」で別のフォルダーに移します。") : QString()),
        mbYes | mbNo | mbCancel, mbYes, TMessageIcon::Question);
    if (answer == mbNo) {
        for (TFoundJournal& f : found) TRecoveryKeeper::Discard(f);
        return;
    }
    if (answer != mbYes) return; // later: the journals stay, unlocked again
    QStringList notes;
    int kept = 0;
    for (TFoundJournal& f : found) RecoverPage(f, notes, kept);
    if (kept > 0) notes << QStringLiteral("ページがいっぱいのため、%1 件の記録は次の起動まで残します。").arg(kept);
    if (!notes.isEmpty()) Tell(ListedLines(notes), TMessageIcon::Warning);
    EditorChanged(CurrentEditor());
}

void TMainForm::RecoverPage(TFoundJournal& Found, QStringList& Notes, int& Kept) {
    TJournalContent content;
    QString problem = Found.Problem;
    if (problem.isEmpty()) {
        content = TRecoveryKeeper::Replay(Found);
        problem = TRecoveryKeeper::Unreadable(content);
    }
    const QString name = content.Usable ? shownName(content.Page) : foundName(Found);
    if (!problem.isEmpty()) {
        // The user has seen it once: it is not offered again, and nothing of it is removed.
        const QString where = TRecoveryKeeper::KeepAside(Found);
        Notes << QStringLiteral("%1: 復元できませんでした（%2）。記録は %3 に残してあります。")
                     .arg(name, problem, DisplayPath(where));
        return;
    }
    const bool complete = content.Complete;
    const uint64_t lost = content.LostBytes;
    if (!OpenRecoveredPage(content, std::move(Found))) {
        ++Kept;
        return;
    }
    if (!complete)
        Notes << QStringLiteral("%1: 記録の終わりが壊れていたため、最後の変更の一部を復元できませんでした"
                                "（使えなかった記録 %2 バイト）。")
                     .arg(name)
                     .arg(lost);
}

bool TMainForm::OpenRecoveredPage(TJournalContent& Content, TFoundJournal&& Found) {
    int index = PageCount() - 1;
    if (!PageIsBlank(index)) {
        if (PageCount() >= MaxPages) return false;
        index = NewTab();
        if (index < 0) return false;
    }
    TPageRecord& p = Page(index);
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
