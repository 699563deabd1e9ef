// TMainForm: the pages and their editors, titles, the status bar, page moves and split view.
#include "Unit1.h"

#include "BlankMarks.h"
#include "DocumentMode.h"
#include "Editor.h"
#include "GrepResults.h"
#include "Messages.h"
#include "PathCodec.h"
#include "RecoveryKeeper.h"
#include "jconvert.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace quire {

namespace {

struct PanelSpec {
    int Width;
    Qt::Alignment Align;
    const char* Initial;
};
constexpr PanelSpec kPanels[TMainForm::PanelCount] = {
    {0, Qt::AlignLeft | Qt::AlignVCenter, ""},
    {80, Qt::AlignRight | Qt::AlignVCenter, ""},
    {80, Qt::AlignRight | Qt::AlignVCenter, ""},
    {110, Qt::AlignRight | Qt::AlignVCenter, ""},
    {46, Qt::AlignCenter, "標準"},
    {38, Qt::AlignCenter, ""},
    {35, Qt::AlignCenter, ""},
    {40, Qt::AlignCenter, "S-JIS"},
    {39, Qt::AlignCenter, "CRLF"},
    {42, Qt::AlignLeft | Qt::AlignVCenter, "挿入"},
};

const QString kSuffix = QStringLiteral(" - Quire");

} // namespace

void TMainForm::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    for (int i = 0; i < PanelCount; ++i) {
        auto* label = new QLabel(QString::fromUtf8(kPanels[i].Initial), bar);
        label->setObjectName(QStringLiteral("Panel%1").arg(i));
        label->setAlignment(kPanels[i].Align);
        if (i == spHint) {
            label->setFrameStyle(QFrame::NoFrame);
            bar->addWidget(label, 1);
        } else {
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            label->setFixedWidth(kPanels[i].Width);
            bar->addPermanentWidget(label);
        }
        FPanels[static_cast<size_t>(i)] = label;
    }
}

QString TMainForm::PanelText(int Index) const { return Panel(Index)->text(); }

void TMainForm::SetPanelText(int Index, const QString& Text) { Panel(Index)->setText(Text); }

int TMainForm::NewTab() {
    if (PageCount() >= MaxPages) {
        Tell(QStringLiteral("これ以上ページを開けません（%1ページまで）。").arg(MaxPages), TMessageIcon::Warning);
        return -1;
    }
    TPageRecord p;
    p.Sheet = new QWidget(FPageControl);
    auto* layout = new QVBoxLayout(p.Sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    p.Editor = new TEditor(p.Sheet);
    layout->addWidget(p.Editor);
    SetUpEditor(*p.Editor);
    FRecovery->Attach(p.Editor);
    if (PageCount() > 0) FEditorProp.AssignTo(*p.Editor);
    if (FBoxMode) p.Editor->SetSelectionMode(TSelectionMode::Box);
    if (FOverWriteMode) p.Editor->SetOverWrite(true);
    p.Mode = ModeName(TEditMode::Normal);
    SetUpModeColouring(*p.Editor, TEditMode::Normal); // not the bundle's page's mode
    FPages.push_back(p);
    const int index = PageCount() - 1;
    const QSignalBlocker block(FPageControl);
    FPageControl->addTab(p.Sheet, NewDocumentName);
    FPageControl->setCurrentIndex(index);
    EnterPage(index);
    return index;
}

// The settings, colours and styles come from the settings file (page 1) or the bundle.
void TMainForm::SetUpEditor(TEditor& e) {
    e.Leftbar().SetEdge(false);
    e.Marks().WrapMark().SetVisible(true);
    // The window's popup menu replaces the editor's own; its keys are the window's items'.
    e.SetPopupMenu(FPopupMenu);
    e.OnCaretMoved = [this](TEditor* ed) { ShowCaretPosition(ed); };
    // The commands that need a selection follow it at once, so that their keys (Tab among
    // them) act only while there is one.
    e.OnSelectionChange = [this](TEditor* ed, bool Selected) {
        if (!Selected) KeepBoxMode(ed);
        M_EditClick();
    };
    e.OnSelectionModeChange = [this](TEditor* ed) { KeepBoxMode(ed); };
    e.OnChange = [this](TEditor* ed) { EditorChanged(ed); };
    e.OnUnconvertible = [this](TEditor*, const QString& chars) {
        SetPanelText(spHint, QStringLiteral("Shift_JIS にない文字は「?」になりました: ") + chars);
    };
    e.OnDrawLine = [this](TEditor* ed, QPainter& p, const std::string&, int x, int y, int index, const QRect& rect,
                          bool selected) { DrawBlankMarks(*ed, p, FBlankMarks, index, x, y, rect, selected); };
    e.installEventFilter(this);
    e.viewport()->installEventFilter(this);
}

int TMainForm::IndexOfEditor(const TEditor* E) const {
    for (int i = 0; i < PageCount(); ++i)
        if (Page(i).Editor == E || Page(i).SubEditor == E) return i;
    return -1;
}

int TMainForm::ActivePage() const { return std::max(0, FPageControl->currentIndex()); }

void TMainForm::SetActivePage(int Index) {
    if (Index < 0 || Index >= PageCount()) return;
    FPageControl->setCurrentIndex(Index);
    EnterPage(Index);
    CurrentEditor()->setFocus(); // the page's editor receives the focus
}

TEditor* TMainForm::CurrentEditor() {
    TPageRecord& p = Page(ActivePage());
    return (p.MainFocused || !p.SubEditor) ? p.Editor : p.SubEditor;
}

void TMainForm::ResetPage(int Index) {
    TPageRecord& p = Page(Index);
    if (p.Grep) {
        // A page of results becomes an ordinary page again: its search stops, its text is kept
        // for recovery from now on.
        p.Grep.reset();
        FRecovery->Attach(p.Editor);
    }
    p.Editor->Lines().Clear();
    p.Editor->SetModified(false);
    FRecovery->Forget(p.Editor);
    p.FileName = NewDocumentName;
    p.KanjiCode = FMyProp.NewKanjiCode;
    p.Mode = ModeName(TEditMode::Normal);
    p.MainFocused = true;
    p.CutAtNul = false;
    p.KeepsBytes = true;
    p.Stamp = p.SeenStamp = TFileStamp{};
    p.Editor->ScreenStrings().SetCharTable(nullptr);
    p.ShownOnly = false;
    p.Editor->SetReadOnly(false);
    FPageControl->setTabText(Index, NewDocumentName);
    ApplyMode(Index);
    if (Index == ActivePage()) EnterPage(Index);
}

void TMainForm::EnterPage(int Index) {
    TPageRecord& p = Page(Index);
    FSaveName = p.FileName == NewDocumentName ? QString() : p.FileName;
    UpdateTitles();
    ShowMode(p);
    ShowKanjiCode(p.KanjiCode);
    SetPanelText(spLineEnd, p.LineEndCode);
    for (const char* v : {jconvert::kCrLfName, jconvert::kCrName, jconvert::kLfName})
        Action(QStringLiteral("Mm_") + QString::fromLatin1(v))->setChecked(p.LineEndCode == QString::fromLatin1(v));
    Action("Mm_Division")->setChecked(p.Divided);
    SetPanelText(spWrap, p.Editor->WordWrap() ? QString::number(p.Editor->WrapOption().WrapByte()) + QStringLiteral("↓")
                                              : QString());
    ShowToggles();
    FEditorProp.Assign(*p.Editor);
    ShowCaretPosition(CurrentEditor());
    ShowCounts();
    RefreshCommandStates();
}

void TMainForm::UpdateTitles() {
    const int i = ActivePage();
    if (i >= PageCount()) return;
    TPageRecord& p = Page(i);
    if (p.Grep) {
        // A page of results has no file: the title names it and what it searched for.
        setWindowTitle(GrepPageName + u'「' + p.Grep->Options().Pattern + u'」' + kSuffix);
    } else {
        const QString star = p.Editor->Modified() ? QStringLiteral(" *") : QString();
        setWindowTitle(DisplayPath(p.FileName) + star + kSuffix);
    }
    QApplication::setApplicationDisplayName(QString());
}

void TMainForm::ShowPageName(int Index) {
    const TPageRecord& p = Page(Index);
    const QString name = p.Grep                          ? GrepPageName
                         : p.FileName == NewDocumentName ? NewDocumentName
                                                         : DisplayPath(QFileInfo(p.FileName).fileName());
    const QString caption = name + (p.Editor->Modified() ? QStringLiteral(" *") : QString());
    // A caption that grows (the star) widens the bar first: laid out in the old width, the longer
    // caption would not fit, and the bar would show its scroll buttons for a moment and hide
    // them again once the page control has given it its new width.
    QTabBar* bar = FPageControl->tabBar();
    const int grow =
        bar->fontMetrics().horizontalAdvance(caption) - bar->fontMetrics().horizontalAdvance(bar->tabText(Index));
    if (grow > 0 && bar->width() < FPageControl->width())
        bar->resize(std::min(bar->width() + grow, FPageControl->width()), bar->height());
    FPageControl->setTabText(Index, caption);
    if (Index == ActivePage()) UpdateTitles();
    M_FileClick(); // 読み直し follows the modified state
}

void TMainForm::EditorChanged(TEditor* E) {
    const int i = IndexOfEditor(E);
    if (i < 0) return;
    // The star follows the page's modified state, whatever was answered before.
    if (FPageControl->tabText(i).endsWith(QStringLiteral(" *")) != E->Modified()) ShowPageName(i);
    if (i == ActivePage()) ShowCounts();
    RefreshCommandStates();
}

void TMainForm::ShowCaretPosition(TEditor* E) {
    if (!E) return;
    SetPanelText(spCaret, QString::asprintf("%6d", E->Row() + 1) + QStringLiteral("行：") +
                              QString::asprintf("%4d", E->Col() + 1) + QStringLiteral("桁"));
}

// The active page's mode is the one the status bar shows; the colouring parsers read it (in
// 標準 a comment marker counts only at the start of a row).
void TMainForm::ShowMode(TPageRecord& Page) {
    SetPanelText(spMode, Page.Mode);
    if (QAction* item = Action(ModeItemName(ModeOfPage(Page.Mode)))) item->setChecked(true);
    const std::string mode = Page.Mode.toStdString();
    if (mode == CurrentDocumentMode()) return;
    SetCurrentDocumentMode(mode);
    Page.Editor->ScreenStrings().ReparseAll();
    Page.Editor->viewport()->update();
    if (Page.SubEditor) Page.SubEditor->viewport()->update();
}

namespace {
// The items of the save-code menu and the codes they choose.
constexpr std::pair<const char*, std::string_view> kSaveCodeItems[] = {
    {"Mm_ShiftJIS", jconvert::kShiftJisName}, {"Mm_JIS", jconvert::kJisName},
    {"Mm_EUC", jconvert::kEucName},           {"Mm_UTF8", jconvert::kUtf8Name},
    {"Mm_UTF8BOM", jconvert::kUtf8BomName},   {"Mm_UTF16LE", jconvert::kUtf16LeName},
    {"Mm_UTF16BE", jconvert::kUtf16BeName},
};
} // namespace

void TMainForm::ShowKanjiCode(const QString& Code) {
    // Both UTF-8 codes show as "UTF-8": the menu tells whether the byte order mark is written.
    // A variant that keeps what the file had (JIS's ESC ( B, UTF-16 without the mark) checks
    // its code's item.
    const std::string code = Code.toStdString();
    SetPanelText(spKanjiCode, QString::fromLatin1(jconvert::ShownCodeName(code)));
    const bool utf8 = jconvert::IsUtf8Name(code);
    for (const auto& [item, name] : kSaveCodeItems)
        Action(QLatin1String(item))->setChecked(utf8 ? code == name : jconvert::ShownCodeName(code) == name);
}

void TMainForm::Mm_ShiftJISClick(const QString& Code) {
    TPageRecord& p = Page(ActivePage());
    // Choosing the code the page has keeps its variant.
    if (jconvert::ShownCodeName(p.KanjiCode.toStdString()) == jconvert::ShownCodeName(Code.toStdString()) &&
        !jconvert::IsUtf8Name(Code.toStdString()))
        return ShowKanjiCode(p.KanjiCode);
    SetPageCode(ActivePage(), Code);
}

void TMainForm::SetPageCode(int Index, const QString& Code) {
    TPageRecord& p = Page(Index);
    p.KanjiCode = Code;
    FRecovery->Touch(p.Editor);
    if (Index == ActivePage()) ShowKanjiCode(Code);
    // A page to be saved as Unicode keeps from now on whatever is typed into it exactly.
    if (jconvert::IsUnicodeName(Code.toStdString())) p.Editor->ScreenStrings().OwnCharTable().SetExactUnicode(true);
}

void TMainForm::Mm_CRLFClick(const QString& LineEnd) {
    TPageRecord& p = Page(ActivePage());
    p.LineEndCode = LineEnd;
    FRecovery->Touch(p.Editor);
    SetPanelText(spLineEnd, LineEnd);
    for (const char* v : {jconvert::kCrLfName, jconvert::kCrName, jconvert::kLfName})
        Action(QStringLiteral("Mm_") + QString::fromLatin1(v))->setChecked(LineEnd == QString::fromLatin1(v));
}

void TMainForm::Mm_NextTabClick() { SetActivePage((ActivePage() + 1) % PageCount()); }

void TMainForm::Mm_BeforeTabClick() { SetActivePage((ActivePage() + PageCount() - 1) % PageCount()); }

void TMainForm::MovePage(int From, int To) {
    FPageControl->tabBar()->moveTab(From, To); // tabMoved moves the record along
    SetActivePage(To);
}

void TMainForm::R1Click() {
    const int i = ActivePage();
    MovePage(i, i == PageCount() - 1 ? 0 : i + 1);
}

void TMainForm::L1Click() {
    const int i = ActivePage();
    MovePage(i, i == 0 ? PageCount() - 1 : i - 1);
}

void TMainForm::Mm_DivisionClick() {
    const int i = ActivePage();
    TPageRecord& p = Page(i);
    if (p.Divided) {
        Unsplit(i);
        Action("Mm_Division")->setChecked(false);
        p.Editor->setFocus(); // keys went to the sub editor, which is gone
        return;
    }
    p.Divided = true;
    p.Splitter = new QSplitter(Qt::Vertical, p.Sheet);
    p.Sheet->layout()->addWidget(p.Splitter);
    p.Splitter->addWidget(p.Editor);
    p.SubEditor = new TEditor(p.Splitter);
    SetUpEditor(*p.SubEditor);
    FEditorProp.AssignTo(*p.SubEditor);
    p.SubEditor->SetSelectionMode(p.Editor->SelectionMode());
    p.SubEditor->AttachDocument(p.Editor);
    p.SubEditor->SetReadOnly(p.Editor->ReadOnly()); // a page that takes no changes takes none in either view
    SetUpModeColouring(*p.SubEditor, ModeOfPage(p.Mode));
    p.Splitter->addWidget(p.SubEditor);
    Action("Mm_Division")->setChecked(true);
    p.Editor->setFocus(); // moved into the splitter, it lost the focus: keys went nowhere
}

void TMainForm::Unsplit(int Index) {
    TPageRecord& p = Page(Index);
    if (!p.Divided) return;
    p.Divided = false;
    delete p.SubEditor;
    p.SubEditor = nullptr;
    p.MainFocused = true;
    if (p.Splitter) {
        p.Editor->setParent(p.Sheet);
        p.Sheet->layout()->addWidget(p.Editor);
        delete p.Splitter;
        p.Splitter = nullptr;
    }
}

} // namespace quire
