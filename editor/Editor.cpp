// TEditor: construction, properties, the document's view of the editor, and metrics.
#include "Editor.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QPalette>
#include <QScrollBar>

namespace quire {

TEditor::TEditor(QWidget* Parent) : QAbstractScrollArea(Parent), FList(new TEditorScreenStrings), FLines(*this) {
    FList->AddEditor(this);
    const TNotifyEvent changed = [this](TObject* Sender) { ViewChanged(Sender); };
    for (TNotifyPersistent* o :
         std::initializer_list<TNotifyPersistent*>{&FView, &FCaret, &FMarks, &FMargin, &FLeftbar, &FRuler})
        o->OnChange = changed;
    hookFountain(&FView.Fountain());
    resize(185, 89);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken); // TBorderStyle bsSingle: a sunken edge
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(false);
    // Every paint covers its whole area, so scrolling moves pixels instead of repainting.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_InputMethodEnabled, true);
    QFont f(QStringLiteral("FixedSys"));
    f.setPixelSize(16);
    f.setStyleHint(QFont::TypeWriter);
    SetEditorFont(f);
    SetScrollBars(TScrollStyle::ssNone);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    viewport()->setMouseTracking(true);
}

TEditor::~TEditor() {
    FDestroying = true;
    withdrawPrimarySelection();
    FBlink.stop();
    FParseTimer.stop();
    if (FFountain) unhookFountain(FFountain);
    unhookFountain(&FView.Fountain());
    TEditorScreenStrings* list = FList;
    FList = nullptr;
    list->RemoveEditor(this); // the document dies with its last editor
}

// --- fountains -----------------------------------------------------------------------

void TEditor::hookFountain(TFountain* F) {
    F->AddChangeHandler(this, [this](TObject* Sender) { ViewChanged(Sender); });
    if (F != &FView.Fountain()) F->AddFreeNotification(this, [this] { FFountain = nullptr; });
}

void TEditor::unhookFountain(TFountain* F) {
    F->RemoveChangeHandler(this);
    F->RemoveFreeNotification(this);
}

void TEditor::SetFountain(TFountain* Value) {
    if (FFountain == Value) return;
    if (FFountain) unhookFountain(FFountain);
    FFountain = Value;
    if (FFountain) hookFountain(FFountain);
    FList->ReparseAll();
    UpdateMetrics();
    viewport()->update();
}

std::unique_ptr<TRowStateParser> TEditor::CreateRowStateParser() { return ActiveFountain().CreateParser(); }

bool TEditor::ScheduleBackgroundParse() {
    if (FDestroying) return false;
    if (FParseTimer.isActive()) return true;
    // A shown editor paints the change first: the parse starts after that paint, so that it
    // never delays the screen (or after a moment, should no paint come).
    if (isVisible()) {
        FParseAfterPaint = true;
        startParseSlices(50);
    } else {
        startParseSlices(0);
    }
    return true;
}

void TEditor::startParseSlices(int Interval) {
    if (Interval == 0) FParseAfterPaint = false;
    if (FParseTimer.isActive() && FParseInterval == Interval) return;
    FParseInterval = Interval;
    FParseTimer.start(Interval, this);
}

void TEditor::parseInBackground() {
    // A slice short enough that a key pressed meanwhile is handled without a noticeable wait.
    constexpr std::chrono::milliseconds kSlice(4);
    if (FDestroying || !FList || FList->FirstEditor() != this || !FList->ParseAhead(kSlice)) {
        FParseTimer.stop();
        FParseAfterPaint = false;
        return;
    }
    startParseSlices(0);
}

// --- properties ----------------------------------------------------------------------

void TEditor::SetView(TEditorViewInfo& Value) {
    FView.Assign(Value);
    ScrollCaretIntoView();
    UpdateCaret();
}

void TEditor::SetColor(TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    viewport()->update();
}

void TEditor::SetFontColor(TColor Value) {
    if (FFontColor == Value) return;
    FFontColor = Value;
    viewport()->update();
}

void TEditor::SetEditorFont(const QFont& Value) {
    QFont f = Value;
    // Full-width glyphs fill exactly two cells only at even pixel sizes.
    int px = f.pixelSize() > 0 ? f.pixelSize() : QFontInfo(f).pixelSize();
    if (px % 2) ++px;
    f.setPixelSize(std::max(px, 2));
    setFont(f);
    if (FTopCol != 0) SetTopCol(0);
    UpdateMetrics();
    updateScrollBars();
    viewport()->update();
    UpdateCaret();
}

void TEditor::SetReadOnly(bool Value) { FReadOnly = Value; }

void TEditor::SetReserveWordList(const std::vector<std::string>& Words) {
    TSortedStringList copy;
    copy.Assign(Words);
    if (copy.Strings() == ReserveWordList().Strings()) return;
    FView.Fountain().SetReserveWordList(Words);
}

void TEditor::SetScrollBars(TScrollStyle Value) {
    FScrollBars = Value;
    const bool h = Value == TScrollStyle::ssHorizontal || Value == TScrollStyle::ssBoth;
    const bool v = Value == TScrollStyle::ssVertical || Value == TScrollStyle::ssBoth;
    setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    UpdateMetrics();
    updateScrollBars();
}

void TEditor::SetOverWrite(bool Value) {
    if (FOverWrite == Value) return;
    FOverWrite = Value;
    UpdateCaret();
}

void TEditor::Undo() {
    if (Selected()) ClearSelection();
    FList->Undo();
}

void TEditor::Redo() {
    if (Selected()) ClearSelection();
    FList->Redo();
}

void TEditor::AttachDocument(TEditor* Other) {
    if (!Other || Other->FList == FList) return;
    ClearSelection();
    TEditorScreenStrings* old = FList;
    FList = Other->FList;
    FList->AddEditor(this);
    old->RemoveEditor(this); // frees the old document when this was its last editor
    FRow = FCol = FTopRow = FTopCol = 0;
    UpdateMetrics();
    updateScrollBars();
    viewport()->update();
}

// --- option changes ------------------------------------------------------------------

void TEditor::ViewChanged(TObject* Sender) {
    if (FDestroying || !FList) return;
    if (Sender == &FMarks) FMargin.SetUnderline(FMarks.Underline().Visible() ? 1 : 0);
    if (Sender == &FView || dynamic_cast<TFountain*>(Sender)) FList->ReparseAll();
    UpdateMetrics();
    updateScrollBars();
    viewport()->update();
    if (Sender == &FCaret) {
        UpdateCaret();
        return;
    }
    ScrollCaretIntoView();
    UpdateCaret();
}

void TEditor::changeEvent(QEvent* Event) {
    QAbstractScrollArea::changeEvent(Event);
    if (Event->type() == QEvent::FontChange) {
        UpdateMetrics();
        updateScrollBars();
    }
}

// --- the document's view of the editor -----------------------------------------------

int TEditor::ScreenRows() const {
    // The display height over the row height: rows that fit on the screen.
    const QScreen* s = screen();
    const int height = s ? s->geometry().height() : 1080;
    return height / std::max(FMetrics.RowHeight, 1);
}

void TEditor::LinesUpdateBegin() {
    CaretBeginUpdate();
    UnderlineBeginUpdate();
    viewport()->setUpdatesEnabled(false);
}

void TEditor::LinesUpdateEnd() {
    viewport()->setUpdatesEnabled(true);
    UnderlineEndUpdate();
    CaretEndUpdate();
    UpdateCaret();
}

void TEditor::InvalidateRow(int ARow) { FScreen.InvalidateRow(ARow); }

void TEditor::UpdateView() {
    UpdateMetrics();
    updateScrollBars();
    UpdateCaret();
    viewport()->update();
}

void TEditor::StoreChanged() { DoChange(); }

// The change handler: the screen repaints the rows that changed and scrolls those below them,
// then the left bar, the scroll bars and the modified flag follow.
void TEditor::DoChange() {
    const TChangeRecord r = FList->ChangeRecord;
    if (r.Changed) FScreen.RepaintChange(r);
    const int oldDigits = FMetrics.LeftbarDigits;
    updateLeftbarDigits();
    if (oldDigits != FMetrics.LeftbarDigits) {
        UpdateMetrics();
        viewport()->update();
    }
    updateScrollBars();
    if (r.Changed) {
        FModified = true;
        if (OnChange) OnChange(this);
    }
}

// --- metrics -------------------------------------------------------------------------

QColor TEditor::ToQColor(TColor Value, bool Background) const {
    if (Value == clNone) return ToQColor(Background ? FColor : FFontColor, Background);
    if (Value & 0x80000000u) {
        // A system colour by index: the platform's scheme.
        const QPalette& p = palette();
        switch (Value & 0xFF) {
        case 1: return QColor(0, 128, 128);     // desktop: no palette role, the classic teal
        case 5: return p.color(QPalette::Base); // window
        case 8: return p.color(QPalette::Text); // window text
        case 13: return p.color(QPalette::Highlight);
        case 14: return p.color(QPalette::HighlightedText);
        case 15: return p.color(QPalette::Button); // button face
        case 16: return p.color(QPalette::Dark);   // button shadow
        case 18: return p.color(QPalette::ButtonText);
        case 20: return p.color(QPalette::Light); // button highlight
        default: return p.color(Background ? QPalette::Base : QPalette::Text);
        }
    }
    return QColor(Value & 0xFF, (Value >> 8) & 0xFF, (Value >> 16) & 0xFF);
}

void TEditor::updateLeftbarDigits() {
    if (!(FLeftbar.Visible() && FLeftbar.ShowNumber())) {
        FMetrics.LeftbarDigits = FLeftbar.Column();
        return;
    }
    const int count = FList->Count();
    long long n = 0;
    if (FLeftbar.ShowNumberMode() == TEditorShowNumberMode::nmLine) {
        for (int r = 0; r < count - 1; ++r)
            if (FList->RowAttribute(r) == TRowAttribute::LineEnd) ++n;
    } else {
        n = count - 1;
    }
    if (count == 0 || FList->RowAttribute(count - 1) != TRowAttribute::EndOfFile) ++n;
    if (!FLeftbar.ZeroBase()) ++n;
    int digits = 1;
    for (long long v = n; v >= 10; v /= 10) ++digits;
    FMetrics.LeftbarDigits = std::min(8, std::max(FLeftbar.Column(), digits));
}

void TEditor::UpdateMetrics() {
    const QFontMetrics fm(font());
    FMetrics.Ascent = fm.ascent();
    FMetrics.CharHeight = fm.height() + fm.leading();
    FMetrics.CharWidth = std::max(1, fm.horizontalAdvance(QLatin1Char('0')) + FMargin.Character());
    FMetrics.RowHeight = FMetrics.CharHeight + FMargin.Line() + FMargin.Underline();
    FMetrics.RulerHeight = FRuler.Visible() ? (FRuler.Edge() ? 11 : 10) : 0;
    updateLeftbarDigits();
    FMetrics.LeftbarWidth =
        FLeftbar.LeftMargin() + FMetrics.LeftbarDigits * FMetrics.CharWidth + FLeftbar.RightMargin() + 2;
    FMetrics.TextTop = FMargin.Top() + FMetrics.RulerHeight;
    FMetrics.TextLeft = FMargin.Left() + (FLeftbar.Visible() ? FMetrics.LeftbarWidth : 0);
    const QSize size = viewport()->size();
    FMetrics.VisibleRows = std::max(1, (size.height() - FMetrics.TextTop - 5) / FMetrics.RowHeight);
    FMetrics.VisibleCols =
        std::max(0, (size.width() - FMetrics.TextLeft - FMetrics.CharWidth / 2) / FMetrics.CharWidth);
    FMetrics.Transparent = font().italic() || ActiveFountain().HasItalicStyle();
}

void TEditor::resizeEvent(QResizeEvent* Event) {
    QAbstractScrollArea::resizeEvent(Event);
    UpdateMetrics();
    updateScrollBars();
    viewport()->update();
}

void TEditor::updateScrollBars() {
    QScrollBar* v = verticalScrollBar();
    const QSignalBlocker bv(v);
    v->setRange(0, FList->Count());
    v->setPageStep(FMetrics.VisibleRows);
    v->setValue(FTopRow);
    QScrollBar* h = horizontalScrollBar();
    const QSignalBlocker bh(h);
    h->setRange(0, std::max(0, ColumnLimit - FMetrics.VisibleCols / 2));
    h->setPageStep(std::max(1, FMetrics.VisibleCols));
    h->setValue(FTopCol);
}

void TEditor::scrollContentsBy(int, int) {
    const int delta = verticalScrollBar()->value() - FTopRow;
    SetTopRow(verticalScrollBar()->value());
    // With LockScroll the caret row moves along with the view.
    if (delta != 0 && FCaret.LockScroll) SetRow(FRow + delta);
    SetTopCol(horizontalScrollBar()->value());
}

int TEditor::UnderlineY(int ARow) const {
    const int y = FMetrics.TextTop + (ARow - FTopRow) * FMetrics.RowHeight + FMetrics.CharHeight;
    if (y <= FMetrics.TextTop || y >= viewport()->height()) return -1;
    return y;
}

// --- the column model ----------------------------------------------------------------

TColumnMap TEditor::ColumnMap(int ARow) const { return FEditing.ColumnMap(ARow); }

int TEditor::RowWidth(int ARow) const { return FEditing.RowWidth(ARow); }

int TEditor::ColToIndex(int ARow, int ACol) const { return FEditing.ColToIndex(ARow, ACol); }

int TEditor::IndexToCol(int ARow, int AIndex) const {
    if (ARow < 0 || ARow >= FList->Count()) return 0;
    const std::string_view text = FList->Get(ARow);
    const TColumnContext c = ColumnContext();
    return std::min(TextWidthOfBytes(text, static_cast<std::size_t>(std::max(AIndex, 0)), c), RowWidth(ARow));
}

} // namespace quire
