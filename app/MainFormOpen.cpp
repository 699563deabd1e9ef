// TMainForm: opening files: the command line, the open dialog, drops, the hand-off from a
// later start, and reading a file into a page.
#include "Unit1.h"

#include "Dialogs.h"
#include "Editor.h"
#include "KanjiFile.h"
#include "Messages.h"
#include "PathCodec.h"
#include "PlatformError.h"
#include "Profile.h"
#include "ProgramFolder.h"
#include "RecoveryKeeper.h"
#include "RegularFileReader.h"
#include "ShellLink.h"
#include "jconvert.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QTabWidget>
#include <QUrl>

namespace quire {

QString TMainForm::NormalizedPath(const QString& Path) {
    const QString canonical = CanonicalPath(Path);
    return canonical.isEmpty() ? QDir::cleanPath(QFileInfo(Path).absoluteFilePath()) : canonical;
}

namespace {

// What a read could not give as it was: characters beyond the table (the page is read-only),
// a code the user chose that does not keep the bytes, and a cut at a NUL.
void tellWhatTheReadLeft(const QString& Path, const TKanjiText& t, const QString& AsCode, bool CutAtNul) {
    if (t.Unkept > 0) {
        Tell(QStringLiteral("このファイルには、Shift_JIS にない文字が多すぎるため（%1 種類まで）表示できない文字が "
                            "%2 個あります。"
                            "「〓」で表示し、内容が失われないよう読み取り専用で開きます。\r\r")
                     .arg(TOutsideCharTable::Capacity)
                     .arg(t.Unkept) +
                 DisplayPath(Path),
             TMessageIcon::Warning);
    } else if (!t.KeepsBytes && !AsCode.isEmpty()) {
        Tell(QStringLiteral("このファイルには、%1 のままでは元のとおりに保存できない文字が含まれています。"
                            "保存する前に確認します。\r\r")
                     .arg(AsCode) +
                 DisplayPath(Path),
             TMessageIcon::Warning);
    }
    if (CutAtNul) {
        Tell(QStringLiteral("このファイルには NUL 文字が含まれています。NUL 文字から後ろは読み込まれていません。"
                            "このまま上書き保存すると、その部分は失われます。\r\r") +
                 DisplayPath(Path),
             TMessageIcon::Warning);
    }
}

} // namespace

bool TMainForm::LoadIntoPage(int Index, const QString& Path, const QString& AsCode) {
    TPageRecord& p = Page(Index);
    // Offsets into the text are 32-bit: larger files are refused with a message rather than
    // loaded wrongly.
    if (FileSize(Path) > FOpenLimit) {
        TellOpenFailure(QStringLiteral("ファイルが大きすぎるため開けません（%1 MB まで）。\r\r").arg(FOpenLimit >> 20) +
                        DisplayPath(Path));
        return false;
    }
    try {
        // The file goes into the rows as it is read; the page takes its code before the
        // editor hears of the new text. The NUL warning comes from the file's own bytes.
        const TFileStamp stamp = StampOf(Path);
        TKanjiText t;
        auto load = [&](std::string_view Code) {
            p.Editor->Lines().LoadText([&](TTextLoader& Loader) {
                t = ReadKanjiFile(Path, Loader, TConverter::Auto, Code);
                p.KanjiCode = QString::fromStdString(t.KanjiCode);
                if (t.LineEndCode) p.LineEndCode = QString::fromStdString(*t.LineEndCode);
                p.CutAtNul = t.HasNul;
                p.KeepsBytes = t.KeepsBytes;
                // The table goes with the text: drawing needs it before the first paint.
                p.Editor->ScreenStrings().SetCharTable(t.CharTable);
            });
        };
        const std::string asCode = AsCode.toStdString();
        load(asCode);
        // The user who chose the code is not asked again; one who did not may read the file
        // as Shift_JIS, byte for byte. A UTF-8 text whose characters ran out of codes has its
        // own message below.
        if ((!t.KeepsBytes || t.StrayBytes > 0) && asCode.empty() && t.Unkept == 0 && AskReadAsShiftJis(Path, t))
            load(jconvert::kShiftJisName);
        p.Stamp = p.SeenStamp = stamp;
        p.Editor->SetModified(false);
        p.Editor->SetReadOnly(t.Unkept > 0 || p.ShownOnly);
        FRecovery->Forget(p.Editor); // what the page held before is given up
        ShowPageName(Index);
        tellWhatTheReadLeft(Path, t, AsCode, p.CutAtNul);
        return true;
    } catch (const EPlatformError& e) {
        TellOpenFailure(QString::fromStdString(e.what()));
        return false;
    }
}

// A file whose detected code does not give its bytes back: the user hears which code was
// assumed and may read it as Shift_JIS, byte for byte, instead.
bool TMainForm::AskReadAsShiftJis(const QString& Path, const TKanjiText& Text) {
    const QString code = QString::fromLatin1(jconvert::ShownCodeName(Text.KanjiCode));
    // Bytes of no character are kept as they are; other losses are asked about on saving.
    const QString doubt =
        Text.KeepsBytes
            ? QStringLiteral("%1 の文字ではないバイトが %2 個含まれています。").arg(code).arg(Text.StrayBytes)
            : QStringLiteral("%1 のままでは元のとおりに保存できない文字が含まれています"
                             "（%1 で保存すると内容が変わります）。")
                  .arg(code);
    const QString no =
        Text.KeepsBytes
            ? QStringLiteral("「いいえ」を選ぶと %1 として開きます（それらのバイトはそのまま保存されます）。")
            : QStringLiteral("「いいえ」を選ぶと %1 として開き、保存する前に確認します。");
    return Ask(QStringLiteral("このファイルは %1 と判定しましたが、").arg(code) + doubt +
                   QStringLiteral("\r\rShift_JIS として読み直しますか？") + no.arg(code) +
                   QStringLiteral("ほかの文字コードでは「ファイル」メニューの「文字コードを指定して開き直す」で読み直せ"
                                  "ます。\r\r") +
                   DisplayPath(Path),
               mbYes | mbNo, mbYes) == mbYes;
}

bool TMainForm::PageIsBlank(int Index) const {
    // An unnamed, unmodified page without text takes the next file instead of a new page;
    // anything else could hold work.
    const TPageRecord& p = Page(Index);
    const TEditorScreenStrings& rows = p.Editor->ScreenStrings();
    const bool empty = rows.Count() == 0 || (rows.Count() == 1 && rows.Get(0).empty());
    return empty && !p.Editor->Modified() && p.FileName == NewDocumentName;
}

bool TMainForm::OpenFileIntoPage(const QString& Path, bool ChooseMode) {
    const int index = OpenIntoPage(Path, ChooseMode);
    if (index < 0) return false;
    RegistFileNameToHistory(Page(index).FileName);
    return true;
}

int TMainForm::OpenIntoPage(const QString& Path, bool ChooseMode) {
    // A file that cannot be read is reported, with the reason, before any page is added for
    // it. It is opened without blocking, so a FIFO or a device is refused, not waited for.
    const QString path = NormalizedPath(Path);
    if (const TRegularFileReader probe(path, MaxTextFileSize); !probe.Ok()) {
        TellOpenFailure(ReadFailureMessage(path, probe.Status()));
        return -1;
    }
    int index = PageCount() - 1;
    const bool added = !PageIsBlank(index);
    if (added) {
        index = NewTab();
        if (index < 0) return -1;
    }
    Page(index).FileName = path;
    if (!LoadIntoPage(index, path)) {
        // The page must not keep the file's name without its text: saving it would empty the file.
        if (added)
            ClosePage(index);
        else
            ResetPage(index);
        return -1;
    }
    if (ChooseMode)
        SetPageMode(index, ModeName(ModeForPath(path)));
    else
        ApplyMode(index);
    SetActivePage(index);
    return index;
}

bool TMainForm::ConfirmOpenAgain(const QString& Normalized) {
    for (const TPageRecord& p : FPages)
        if (p.FileName == Normalized)
            return Ask(QStringLiteral("同じファイルが開かれています。開きますか？\r\r") + DisplayPath(Normalized),
                       mbYes | mbNo, mbNo) == mbYes;
    return true;
}

QString TMainForm::ShortcutTarget(const QString& Path) {
    const ShellLinkTarget target = ResolveShellLink(Path);
    if (target.Path.isEmpty()) TellOpenFailure(target.Error);
    return target.Path;
}

QString TMainForm::ModeOfSwitch(const QString& Param) {
    const std::optional<TEditMode> mode = quire::ModeOfSwitch(Param);
    return mode ? ModeName(*mode) : QString();
}

// A switch gives page 1 its mode wherever it stands, and files named after it keep the mode
// of their page instead of choosing one by extension.
void TMainForm::HandleCommandLine(const QStringList& Params) {
    QString forced;
    for (const QString& param : Params) {
        if (const QString mode = ModeOfSwitch(param); !mode.isEmpty()) {
            forced = mode;
            SetPageMode(0, forced);
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
    }
    // A file that could not be read into page 1 left it a new page in mode 標準: the switch
    // still holds for it.
    if (!forced.isEmpty() && FPages.front().Mode != forced) SetPageMode(0, forced);
}

void TMainForm::Mm_NewClick() {
    int index = PageCount() - 1;
    if (!PageIsBlank(index)) {
        index = NewTab();
        if (index < 0) return;
    }
    TPageRecord& p = Page(index);
    p.FileName = NewDocumentName;
    p.LineEndCode = FMyProp.NewLineEnd;
    ResetPage(index);
    SetActivePage(index);
}

void TMainForm::Mm_OpenClick() {
    // The dialog shows a name that is not UTF-8 with U+FFFD: the file is found again by it.
    const QString path = ResolveLossyPath(Dialogs().OpenFileName(this, OpenFilter));
    if (path.isEmpty()) return;
    const QString normalized = NormalizedPath(path);
    if (ConfirmOpenAgain(normalized)) OpenFileIntoPage(normalized);
    EditorChanged(CurrentEditor());
}

void TMainForm::MyMsgOnHello(const QStringList& Files) {
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    if (!Files.isEmpty()) OpenNamedFiles(Files);
}

void TMainForm::dragEnterEvent(QDragEnterEvent* Event) {
    if (Event->mimeData()->hasUrls()) Event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* Event) {
    OpenNamedFiles(DroppedFiles(*Event->mimeData()));
    Event->acceptProposedAction();
}

QStringList TMainForm::DroppedFiles(const QMimeData& Data) {
    // The URI list carries a name's bytes percent-encoded: decoded here as bytes, so that a
    // name that is not UTF-8 arrives as it is on the disk (QUrl would make it U+FFFD).
    QStringList files;
    const QByteArray list = Data.data(QStringLiteral("text/uri-list"));
    for (QByteArray line : list.split('\n')) {
        line = line.trimmed();
        if (!line.startsWith("file://")) continue;
        QByteArray path = line.mid(7);
        if (!path.startsWith('/')) path = path.mid(path.indexOf('/')); // file://host/path
        files << DecodePath(QByteArray::fromPercentEncoding(path));
    }
    if (files.isEmpty())
        for (const QUrl& url : Data.urls())
            if (url.isLocalFile()) files << url.toLocalFile();
    return files;
}

void TMainForm::TellOpenFailure(const QString& Text) {
    if (FOpenFailures)
        *FOpenFailures << Text;
    else
        Tell(Text);
}

void TMainForm::OpenNamedFiles(const QStringList& Files) {
    // One message for the whole hand-off (or drop), naming every file that could not be
    // opened, instead of a box for each.
    QStringList failures, unopened;
    {
        const QScopedValueRollback<QStringList*> gather(FOpenFailures, &failures);
        for (QString path : Files) {
            if (path.endsWith(QStringLiteral(".lnk"))) {
                path = ShortcutTarget(path);
                if (path.isEmpty()) continue;
            }
            path = NormalizedPath(path);
            if (PageCount() >= MaxPages && !PageIsBlank(PageCount() - 1)) {
                unopened << DisplayPath(path);
                continue;
            }
            if (ConfirmOpenAgain(path)) OpenFileIntoPage(path);
        }
    }
    if (!unopened.isEmpty())
        failures << QStringLiteral("これ以上ページを開けないため（%1 ページまで）、次のファイルは開きませんでした。\r")
                            .arg(MaxPages) +
                        ListedLines(unopened);
    if (!failures.isEmpty()) Tell(ListedLines(failures, 10, QStringLiteral("\r\r")));
    EditorChanged(CurrentEditor());
}

} // namespace quire
