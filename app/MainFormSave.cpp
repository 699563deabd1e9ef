// TMainForm: saving, backups, auto-save, reloading and closing, with the questions that
// protect modified text.
#include "Unit1.h"

#include "Cp932Codec.h"
#include "Dialogs.h"
#include "Editor.h"
#include "KanjiFile.h"
#include "Messages.h"
#include "PlatformError.h"
#include "jconvert.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

void TMainForm::FileBackUp(const QString& F) {
    if (!FMyProp.BackUp) return;
    const QFileInfo info(F);
    QString stem;
    if (FMyProp.BackUpDirOn) {
        QString folder = FMyProp.BackUpDir;
        if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QLatin1Char('\\')))
            folder += QLatin1Char('/');
        QDir().mkpath(folder);
        stem = folder + info.completeBaseName() + QStringLiteral(".bak");
    } else {
        stem = info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".bak");
    }
    auto name = [&stem](int k) { return stem + (k < 10 ? QStringLiteral("0%1").arg(k) : QString::number(k)); };
    const int generations = std::clamp(FMyProp.BackUpGenerations, 1, 99);
    for (int k = generations; k >= 2; --k) {
        if (!QFile::exists(name(k - 1))) continue;
        QFile::remove(name(k));
        QFile::copy(name(k - 1), name(k));
    }
    if (QFile::exists(F)) {
        QFile::remove(name(1));
        // The save goes on without the backup, but the user must not believe there is one.
        if (!QFile::copy(F, name(1)))
            Tell(QStringLiteral("バックアップファイルを作成できませんでした。\r\r") + name(1), TMessageIcon::Warning);
    }
}

bool TMainForm::ConfirmSaveCode(int Index) {
    TPageRecord& p = FPages[static_cast<size_t>(Index)];
    if (p.KanjiCode != QLatin1String(jconvert::kJisName) && p.KanjiCode != QLatin1String(jconvert::kEucName)) return true;
    const std::string text = p.Editor->Lines().Text();
    const auto unsafe = jconvert::FindJisUnsafeChars(text, 1);
    if (unsafe.empty()) return true;
    const int line = static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(unsafe[0].Offset), '\n')) + 1;
    const QString ch = cp932::ToDisplay(unsafe[0].Bytes);
    return Ask(QStringLiteral("%1 の %2 行目の文字「%3」は %4 で保存できません。このまま保存しますか？")
                   .arg(p.FileName)
                   .arg(line)
                   .arg(ch, p.KanjiCode),
               mbYes | mbNo, mbNo) == mbYes;
}

bool TMainForm::WritePage(int Index) {
    TPageRecord& p = FPages[static_cast<size_t>(Index)];
    if (!ConfirmSaveCode(Index)) return false;
    if (p.CutAtNul &&
        Ask(QStringLiteral("このファイルは NUL 文字から後ろが読み込まれていません。上書き保存すると、その部分は失われます。保存しますか？\r\r") +
                p.FileName,
            mbYes | mbNo, mbNo) != mbYes)
        return false;
    try {
        quire::WritePage(p.Editor->Lines().Text(), p.KanjiCode.toStdString(), p.LineEndCode.toStdString(), p.FileName);
    } catch (const EPlatformError& e) {
        Tell(QString::fromStdString(e.what()));
        return false; // the page stays modified and keeps its name
    }
    p.CutAtNul = false;
    p.Editor->SetModified(false);
    p.StarPending = true;
    FPageControl->setTabText(Index, QFileInfo(p.FileName).fileName());
    if (Index == ActivePage()) {
        FSaveName = p.FileName;
        UpdateTitles();
    }
    return true;
}

bool TMainForm::SaveAsPage(int Index) {
    FSaveTimer.stop();
    TPageRecord& p = FPages[static_cast<size_t>(Index)];
    const QString path = Dialogs().SaveFileName(this, OpenFilter, p.FileName == NewDocumentName ? QString() : p.FileName);
    bool ok = false;
    if (!path.isEmpty()) {
        const QString old = p.FileName;
        p.FileName = NormalizedPath(path);
        ok = WritePage(Index);
        if (!ok) p.FileName = old; // a failed write keeps the page's name
    }
    RestartSaveTimer();
    return ok;
}

// Saves one page; Confirm asks before overwriting a named file when the setting says so.
bool TMainForm::SavePage(int Index, bool Confirm) {
    TPageRecord& p = FPages[static_cast<size_t>(Index)];
    if (p.FileName == NewDocumentName) {
        SetActivePage(Index);
        return SaveAsPage(Index);
    }
    if (Confirm && FMyProp.ConfirmOverwrite) {
        QApplication::beep();
        if (Ask(QStringLiteral("上書き保存してよろしいですか？"), mbYes | mbNo, mbNo, TMessageIcon::Question) != mbYes) {
            p.StarPending = false;
            return false;
        }
    }
    FileBackUp(p.FileName);
    return WritePage(Index);
}

bool TMainForm::Mm_SaveClick() {
    const bool ok = SavePage(ActivePage(), true);
    RestartSaveTimer();
    return ok;
}

bool TMainForm::Mm_SaveAsClick() { return SaveAsPage(ActivePage()); }

bool TMainForm::Mm_SaveAllClick() {
    bool all = true;
    for (int i = 0; i < PageCount(); ++i) all = SavePage(i, true) && all;
    RestartSaveTimer();
    return all;
}

void TMainForm::SaveTimerTimer() {
    if (FSaveName.isEmpty()) return;
    // Only pages that changed: the backup generations keep older versions, not copies.
    for (int i = 0; i < PageCount(); ++i) {
        TPageRecord& p = FPages[static_cast<size_t>(i)];
        if (p.FileName == NewDocumentName || !p.Editor->Modified()) continue;
        FileBackUp(p.FileName);
        WritePage(i);
    }
}

void TMainForm::N21Click() {
    TPageRecord& p = FPages[static_cast<size_t>(ActivePage())];
    if (p.FileName == NewDocumentName) return;
    if (Ask(QStringLiteral("現在の変更を破棄します。よろしいですか？"), mbYes | mbNo, mbNo) != mbYes) return;
    if (LoadIntoPage(ActivePage(), p.FileName)) {
        FPageControl->setTabText(ActivePage(), QFileInfo(p.FileName).fileName());
        EnterPage(ActivePage());
    }
}

TMessageButton TMainForm::Ask3(int Index, bool WithCancel) {
    QApplication::beep();
    const int r = Ask(kSaveQuestion + FPages[static_cast<size_t>(Index)].FileName,
                      mbYes | mbNo | (WithCancel ? mbCancel : 0), WithCancel ? mbCancel : mbNo);
    return r == mbYes ? mbYes : r == mbNo ? mbNo : mbCancel;
}

void TMainForm::ClosePage(int Index) {
    Unsplit(Index);
    if (PageCount() == 1) {
        ResetPage(0);
        FPages.front().Editor->setFocus();
        return;
    }
    TPageRecord p = FPages[static_cast<size_t>(Index)];
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
    if (FPages[static_cast<size_t>(i)].Editor->Modified()) {
        const TMessageButton a = Ask3(i, true);
        if (a == mbCancel) return;
        // Text the user asked to keep is never thrown away: a cancelled or failed save
        // keeps the page open.
        if (a == mbYes && !SavePage(i, false)) return;
    }
    ClosePage(i);
}

void TMainForm::N17Click() {
    for (int i = PageCount() - 1; i >= 0; --i) {
        SetActivePage(i);
        if (FPages[static_cast<size_t>(i)].Editor->Modified()) {
            if (Ask3(i, false) == mbYes && !SavePage(i, false)) return;
        }
        ClosePage(i);
    }
}

void TMainForm::Mm_SaveCloseClick() {
    if (!Mm_SaveAllClick()) return;
    close();
}

void TMainForm::Mm_CloseClick() { close(); }

bool TMainForm::CanClose() {
    for (int i = 0; i < PageCount(); ++i) {
        if (!FPages[static_cast<size_t>(i)].Editor->Modified()) continue;
        SetActivePage(i);
        const TMessageButton a = Ask3(i, true);
        if (a == mbCancel) return false;
        if (a == mbYes && !SavePage(i, false)) return false;
    }
    SaveWindowPlacement();
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
