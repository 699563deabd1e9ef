// TMainForm: ファイルから検索: the dialog, the page of results filled as the search runs,
// and opening the place of a result line (Enter, double click).
#include "Unit1.h"

#include "Cp932Codec.h"
#include "Dialogs.h"
#include "Editor.h"
#include "GrepForm.h"
#include "GrepResults.h"
#include "RecoveryKeeper.h"
#include "ShiftJis.h"
#include "jconvert.h"

#include <QDir>
#include <QFileInfo>
#include <QTabWidget>
#include <QVBoxLayout>

namespace quire {

const QString TMainForm::GrepPageName = QStringLiteral("検索結果");

void TMainForm::Mm_GrepClick() {
    const TPageRecord& current = Page(ActivePage());
    const QString start =
        current.FileName == NewDocumentName ? QDir::homePath() : QFileInfo(current.FileName).absolutePath();
    TGrepForm form(this, start);
    form.move(x() + 70, y() + 110);
    if (Dialogs().Exec(form) != QDialog::Accepted) return;
    StartGrep(form.Options(), {form.Folder()});
}

// The results go to a page of their own (the last page when it is blank): a Unicode page, so
// that every path and line shows as it is, which takes no changes and is never modified.
int TMainForm::StartGrep(const TGrepOptions& Options, const QStringList& Paths) {
    int index = PageCount() - 1;
    if (!PageIsBlank(index)) {
        index = NewTab();
        if (index < 0) return -1;
    }
    TPageRecord& p = Page(index);
    SetPageCode(index, QLatin1String(jconvert::kUtf8Name));
    p.ShownOnly = true;
    p.Editor->SetReadOnly(true);
    FRecovery->Detach(p.Editor); // nothing of it needs recovering
    auto* bar = new QWidget(p.Sheet);
    bar->setObjectName(QStringLiteral("GrepBar"));
    static_cast<QVBoxLayout*>(p.Sheet->layout())->insertWidget(0, bar);
    p.Grep = std::make_shared<TGrepResults>(Options, bar);
    TEditor* editor = p.Editor;
    p.Grep->OnAppend = [this, editor](const QString& Lines) { AppendResults(*editor, Lines); };
    ShowPageName(index);
    SetActivePage(index);
    p.Grep->Start(Paths);
    return index;
}

// Lines go after the last row without moving the caret or the view, as no edit: nothing to
// undo, and the page stays unmodified.
void TMainForm::AppendResults(TEditor& Editor, const QString& Lines) {
    const int index = IndexOfEditor(&Editor);
    if (index < 0) return;
    TEditorScreenStrings& rows = Editor.ScreenStrings();
    QString lost;
    const std::string bytes = cp932::FromUnicode(Lines, &rows.OwnCharTable(), &lost);
    const int row = Editor.Row(), col = Editor.Col(), top = Editor.TopRow();
    const int n = rows.Count();
    if (n > 0 && rows.RowAttribute(n - 1) != TRowAttribute::LineEnd)
        rows.ReplaceRows(n - 1, 1, std::string(rows.Get(n - 1)) + bytes);
    else
        rows.ReplaceRows(n, 0, bytes);
    rows.UndoObj().Clear();
    if (Editor.Row() != row || Editor.Col() != col) Editor.SetRowCol(row, col);
    if (Editor.TopRow() != top) Editor.SetTopRow(top);
    Editor.SetModified(false);
    ShowPageName(index);
    if (index == ActivePage()) {
        ShowCounts();
        UpdateTitles();
        M_EditClick(); // 元に戻す was enabled by the change before its record was dropped
    }
}

namespace {

// The logical line of row Row.
int lineOfRow(const TEditorScreenStrings& Rows, int Row) {
    int line = 0;
    for (int r = 0; r < Row && r < Rows.Count(); ++r)
        if (Rows.RowAttribute(r) != TRowAttribute::Wrapped) ++line;
    return line;
}

// Selects Length characters from Column of Line (both from 1) as well as the text holds them.
void selectPlace(TEditor& E, const TGrepLink& Place) {
    const int lines = E.Lines().Count();
    if (lines == 0) return;
    const int line = std::clamp(Place.Line - 1, 0, lines - 1);
    const std::string text = E.Lines().Get(line);
    const std::size_t start = sjis::CharsToBytes(text, static_cast<std::size_t>(std::max(Place.Column - 1, 0)));
    const std::size_t length =
        sjis::CharsToBytes(std::string_view(text).substr(start), static_cast<std::size_t>(std::max(Place.Length, 0)));
    const int offset = E.ScreenStrings().RowOffset(E.Lines().LineToRow(line));
    E.SetSelStart(offset + static_cast<int>(start));
    E.SetSelLength(static_cast<int>(length));
    E.ScrollCaret();
}

} // namespace

bool TMainForm::OpenGrepHitAt(TEditor& Editor, int Row) {
    const int index = IndexOfEditor(&Editor);
    if (index < 0 || !Page(index).Grep) return false;
    const TGrepLink* link = Page(index).Grep->LinkAt(lineOfRow(Editor.ScreenStrings(), Row));
    if (!link) return true;
    const TGrepLink place = *link; // the pages may change below
    const QString path = NormalizedPath(place.Path);
    int page = -1;
    for (int i = 0; i < PageCount() && page < 0; ++i)
        if (Page(i).FileName == path && !Page(i).Grep) page = i;
    if (page < 0) {
        page = OpenIntoPage(path, true);
        if (page < 0) return true;
        RegistFileNameToHistory(Page(page).FileName);
    }
    SetActivePage(page);
    selectPlace(*CurrentEditor(), place);
    return true;
}

TGrepResults* TMainForm::GrepResults(int Index) const { return Page(Index).Grep.get(); }

} // namespace quire
