// TMainForm: opening files: the command line, the open dialog, drops, the hand-off from a
// later start, and reading a file into a page.
#include "Unit1.h"

#include "Editor.h"
#include "KanjiFile.h"
#include "Messages.h"
#include "PlatformError.h"
#include "ProgramFolder.h"
#include "Profile.h"
#include "ShellLink.h"
#include "Dialogs.h"
#include "jconvert.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTabWidget>
#include <QUrl>

namespace quire {

QString TMainForm::NormalizedPath(const QString& Path) {
    const QFileInfo info(Path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

bool TMainForm::LoadIntoPage(int Index, const QString& Path) {
    TPageRecord& p = FPages[static_cast<size_t>(Index)];
    // Offsets into the text are 32-bit, and reading a file holds it twice for a moment: larger
    // files are refused with a message rather than loaded wrongly.
    if (QFileInfo(Path).size() > MaxFileSize) {
        Tell(QStringLiteral("ファイルが大きすぎるため開けません（%1 MB まで）。\r\r").arg(MaxFileSize >> 20) + Path,
             TMessageIcon::Warning);
        return false;
    }
    try {
        // The file goes into the rows as it is read; the page takes its code before the
        // editor hears of the new text. The NUL warning comes from the file's own bytes.
        p.Editor->Lines().LoadText([&](TTextLoader& Loader) {
            const TKanjiText t = ReadKanjiFile(Path, Loader);
            p.KanjiCode = QString::fromStdString(t.KanjiCode);
            if (t.LineEndCode) p.LineEndCode = QString::fromStdString(*t.LineEndCode);
            p.CutAtNul = t.HasNul;
        });
        p.Editor->SetModified(false);
        p.StarPending = true;
        if (p.CutAtNul) {
            Tell(QStringLiteral("このファイルには NUL 文字が含まれています。NUL 文字から後ろは読み込まれていません。"
                                "このまま上書き保存すると、その部分は失われます。\r\r") + Path,
                 TMessageIcon::Warning);
        }
        return true;
    } catch (const EPlatformError& e) {
        Tell(QString::fromStdString(e.what()));
        return false;
    }
}

bool TMainForm::OpenFileIntoPage(const QString& Path, bool ChooseMode) {
    // A file that cannot be read is reported before any page is added for it.
    const QString path = NormalizedPath(Path);
    if (!QFileInfo(path).isFile() || !QFileInfo(path).isReadable()) {
        Tell(QStringLiteral("ファイルを開けません: ") + path);
        return false;
    }
    int index = PageCount() - 1;
    const bool added = !FPages.back().Editor->Lines().TextEmpty() || FPages.back().FileName != NewDocumentName;
    if (added) {
        index = NewTab();
        if (index < 0) return false;
    }
    TPageRecord& p = FPages[static_cast<size_t>(index)];
    p.FileName = path;
    FPageControl->setTabText(index, QFileInfo(path).fileName());
    if (ChooseMode) p.Mode = ModeForExtension(QLatin1Char('.') + QFileInfo(path).suffix());
    if (!LoadIntoPage(index, path)) {
        // The page must not keep the file's name without its text: saving it would empty the file.
        if (added) ClosePage(index);
        else ResetPage(index);
        return false;
    }
    ApplyMode(index);
    SetActivePage(index);
    return true;
}

bool TMainForm::ConfirmOpenAgain(const QString& Normalized) {
    for (const TPageRecord& p : FPages)
        if (p.FileName == Normalized)
            return Ask(QStringLiteral("同じファイルが開かれています。開きますか？\r\r") + Normalized, mbYes | mbNo, mbNo) == mbYes;
    return true;
}

QString TMainForm::ShortcutTarget(const QString& Path) {
    const ShellLinkTarget target = ResolveShellLink(Path);
    if (target.Path.isEmpty()) Tell(target.Error);
    return target.Path;
}

void TMainForm::HandleCommandLine(const QStringList& Params) {
    QString forced;
    const std::map<QString, QString> switches = {{"/html", "HTML"}, {"/ini", "ini"}, {"/del", "Delphi"}, {"/perl", "Perl"},
                                                 {"/cpp", "C++"},   {"/basic", "Basic"}, {"/user", QStringLiteral("ユーザ")}};
    for (const QString& param : Params) {
        auto s = switches.find(param);
        if (s != switches.end()) {
            forced = s->second;
            FPages.front().Mode = forced;
            ApplyMode(0);
            continue;
        }
        QString path = param;
        const bool shortcut = path.endsWith(QStringLiteral(".lnk"));
        if (shortcut) {
            path = ShortcutTarget(path);
            if (path.isEmpty()) continue;
        }
        // A file that cannot be read is skipped; the user is told which one.
        OpenFileIntoPage(path, forced.isEmpty() && !shortcut);
        if (!forced.isEmpty() && PageCount() == 1) ApplyMode(0);
    }
}

void TMainForm::Mm_NewClick() {
    int index = PageCount() - 1;
    if (!FPages.back().Editor->Lines().TextEmpty()) {
        index = NewTab();
        if (index < 0) return;
    }
    TPageRecord& p = FPages[static_cast<size_t>(index)];
    p.FileName = NewDocumentName;
    p.LineEndCode = QLatin1String(jconvert::kCrLfName);
    ResetPage(index);
    SetActivePage(index);
}

void TMainForm::Mm_OpenClick() {
    const QString path = Dialogs().OpenFileName(this, OpenFilter);
    if (path.isEmpty()) return;
    const QString normalized = NormalizedPath(path);
    if (ConfirmOpenAgain(normalized)) OpenFileIntoPage(normalized);
    EditorChanged(CurrentEditor());
}

void TMainForm::MyMsgOnHello() {
    const QString file = profile::ReadString(SettingsFile(), "App", "FileName");
    profile::WriteString(SettingsFile(), "App", "FileName", QString());
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    if (file.isEmpty()) return;
    const QString normalized = NormalizedPath(file);
    if (ConfirmOpenAgain(normalized)) OpenFileIntoPage(normalized);
}

void TMainForm::dragEnterEvent(QDragEnterEvent* Event) {
    if (Event->mimeData()->hasUrls()) Event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* Event) {
    for (const QUrl& url : Event->mimeData()->urls()) {
        if (!url.isLocalFile()) continue;
        QString path = url.toLocalFile();
        if (path.endsWith(QStringLiteral(".lnk"))) {
            path = ShortcutTarget(path);
            if (path.isEmpty()) continue;
        }
        path = NormalizedPath(path);
        if (ConfirmOpenAgain(path)) OpenFileIntoPage(path);
    }
    Event->acceptProposedAction();
    EditorChanged(CurrentEditor());
}

} // namespace quire
