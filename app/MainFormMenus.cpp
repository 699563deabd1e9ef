// TMainForm: the main menu and the tool bar, built from one table of items.
#include "Unit1.h"

#include "EditModes.h"
#include "Editor.h"
#include "jconvert.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <cstring>

namespace quire {

enum class TEntryKind { Menu, Popup, Item, Check, Radio, Mirror, Separator, Sub, EndSub };

// One line of the menu table: a top-level menu of the menu bar, the editors' popup menu, an
// item (checkable or not), a mirror of an item above (named Name, with the caption, shortcut
// and command of the item its Caption names), a separator, or the start and end of a submenu.
// Items and submenus belong to the nearest menu above them. Radio items that follow one
// another in one menu form a group of which one is checked.
struct TMenuEntry {
    TEntryKind Kind;
    const char* Name;
    const char* Caption;
    const char* Shortcut;
    void (*Handler)(TMainForm&);
};

namespace {

// A handler that opens recent file Number.
template <int Number>
void openRecent(TMainForm& F) {
    F.RecentFileMenuClick(Number);
}

// A handler that gives the active page a mode.
template <TEditMode Mode>
void chooseMode(TMainForm& F) {
    F.ModeMenuClick(Mode);
}

constexpr TEntryKind M = TEntryKind::Menu, P = TEntryKind::Popup, I = TEntryKind::Item, C = TEntryKind::Check,
                     R = TEntryKind::Radio, D = TEntryKind::Mirror, S = TEntryKind::Separator, B = TEntryKind::Sub,
                     E = TEntryKind::EndSub;
constexpr TClipboardTake kCut = TClipboardTake::Cut, kCopy = TClipboardTake::Copy;

// clang-format off
const TMenuEntry kMenuTable[] = {
    {M, "M_File", "ファイル(&F)", nullptr, nullptr},
    {I, "Mm_New", "新規作成(&N)", "Ctrl+N", [](TMainForm& f) { f.Mm_NewClick(); }},
    {I, "Mm_Open", "開く(&O)...", "Ctrl+O", [](TMainForm& f) { f.Mm_OpenClick(); }},
    {I, "N21", "読み直し(&R)", nullptr, [](TMainForm& f) { f.N21Click(); }},
    {B, "Mm_Recent", "開き直す(&H)", nullptr, nullptr},
    {I, "RecentFile1", "", nullptr, openRecent<1>},
    {I, "RecentFile2", "", nullptr, openRecent<2>},
    {I, "RecentFile3", "", nullptr, openRecent<3>},
    {I, "RecentFile4", "", nullptr, openRecent<4>},
    {I, "RecentFile5", "", nullptr, openRecent<5>},
    {I, "RecentFile6", "", nullptr, openRecent<6>},
    {I, "RecentFile7", "", nullptr, openRecent<7>},
    {I, "RecentFile8", "", nullptr, openRecent<8>},
    {I, "RecentFile9", "", nullptr, openRecent<9>},
    {S, nullptr, nullptr, nullptr, nullptr},
    {I, "MmRecentClear", "履歴のクリア(&C)", nullptr, [](TMainForm& f) { f.MmRecentClearClick(); }},
    {E, nullptr, nullptr, nullptr, nullptr},
    {B, "Mm_Reopen", "文字コードを指定して開き直す(&D)", nullptr, nullptr},
    {I, "Mm_ReopenShiftJIS", "S-JIS", nullptr, [](TMainForm& f) { f.Mm_ReopenClick(QLatin1String(jconvert::kShiftJisName)); }},
    {I, "Mm_ReopenEUC", "EUC", nullptr, [](TMainForm& f) { f.Mm_ReopenClick(QLatin1String(jconvert::kEucName)); }},
    {I, "Mm_ReopenJIS", "JIS", nullptr, [](TMainForm& f) { f.Mm_ReopenClick(QLatin1String(jconvert::kJisName)); }},
    {I, "Mm_ReopenUTF8", "UTF-8", nullptr, [](TMainForm& f) { f.Mm_ReopenClick(QLatin1String(jconvert::kUtf8Name)); }},
    {I, "Mm_ReopenUTF16LE", "UTF-16LE", nullptr, [](TMainForm& f) { f.Mm_ReopenClick(QLatin1String(jconvert::kUtf16LeName)); }},
    {I, "Mm_ReopenUTF16BE", "UTF-16BE", nullptr, [](TMainForm& f) { f.Mm_ReopenClick(QLatin1String(jconvert::kUtf16BeName)); }},
    {E, nullptr, nullptr, nullptr, nullptr},
    {S, nullptr, nullptr, nullptr, nullptr},
    {I, "Mm_Save", "上書き保存(&S)", "Ctrl+S", [](TMainForm& f) { f.Mm_SaveClick(); }},
    {I, "Mm_SaveAs", "名前をつけて保存(&A)...", nullptr, [](TMainForm& f) { f.Mm_SaveAsClick(); }},
    {I, "Mm_SaveAll", "すべて保存(&L)", nullptr, [](TMainForm& f) { f.Mm_SaveAllClick(); }},
    {B, "Mm_KanjiCode", "保存時の漢字コード(&K)", nullptr, nullptr},
    {C, "Mm_ShiftJIS", "Shift-JIS", nullptr, [](TMainForm& f) { f.Mm_ShiftJISClick(QLatin1String(jconvert::kShiftJisName)); }},
    {C, "Mm_JIS", "JIS", nullptr, [](TMainForm& f) { f.Mm_ShiftJISClick(QLatin1String(jconvert::kJisName)); }},
    {C, "Mm_EUC", "EUC", nullptr, [](TMainForm& f) { f.Mm_ShiftJISClick(QLatin1String(jconvert::kEucName)); }},
    {C, "Mm_UTF8", "UTF-8", nullptr, [](TMainForm& f) { f.Mm_ShiftJISClick(QLatin1String(jconvert::kUtf8Name)); }},
    {C, "Mm_UTF8BOM", "UTF-8 (BOM)", nullptr, [](TMainForm& f) { f.Mm_ShiftJISClick(QLatin1String(jconvert::kUtf8BomName)); }},
    {C, "Mm_UTF16LE", "UTF-16LE", nullptr, [](TMainForm& f) { f.Mm_ShiftJISClick(QLatin1String(jconvert::kUtf16LeName)); }},
    {C, "Mm_UTF16BE", "UTF-16BE", nullptr, [](TMainForm& f) { f.Mm_ShiftJISClick(QLatin1String(jconvert::kUtf16BeName)); }},
    {E, nullptr, nullptr, nullptr, nullptr},
    {B, "Mm_LineEnd", "保存時の改行コード(&E)", nullptr, nullptr},
    {C, "Mm_CRLF", "CRLF", nullptr, [](TMainForm& f) { f.Mm_CRLFClick(QLatin1String(jconvert::kCrLfName)); }},
    {C, "Mm_CR", "CR", nullptr, [](TMainForm& f) { f.Mm_CRLFClick(QLatin1String(jconvert::kCrName)); }},
    {C, "Mm_LF", "LF", nullptr, [](TMainForm& f) { f.Mm_CRLFClick(QLatin1String(jconvert::kLfName)); }},
    {E, nullptr, nullptr, nullptr, nullptr},
    {S, nullptr, nullptr, nullptr, nullptr},
    {I, "Mm_FileClose", "閉じる(&C)", "Ctrl+F4", [](TMainForm& f) { f.C1Click(); }},
    {I, "N17", "すべて閉じる", nullptr, [](TMainForm& f) { f.N17Click(); }},
    {I, "Mm_Print", "印刷(&P)...", "Ctrl+P", [](TMainForm& f) { f.Mm_PrintClick(); }},
    {I, "Mm_SaveClose", "保存して終了(&X)", "Ctrl+E", [](TMainForm& f) { f.Mm_SaveCloseClick(); }},
    {I, "Mm_Close", "終了(&Q)", "Alt+F4", [](TMainForm& f) { f.Mm_CloseClick(); }},

    {M, "M_Edit", "編集(&E)", nullptr, nullptr},
    {I, "Mm_Undo", "元に戻す(&U)", "Ctrl+Z", [](TMainForm& f) { f.Mm_UndoClick(); }},
    {I, "Mm_Redo", "やり直し(&R)", "Ctrl+Alt+Z", [](TMainForm& f) { f.Mm_RedoClick(); }},
    {S, nullptr, nullptr, nullptr, nullptr},
    {I, "mm_Cut", "切り取り(&T)", "Ctrl+X", [](TMainForm& f) { f.mm_CutClick(); }},
    {I, "Mm_Copy", "コピー(&C)", "Ctrl+C", [](TMainForm& f) { f.Mm_CopyClick(); }},
    {I, "Mm_Paste", "貼り付け(&P)", "Ctrl+V", [](TMainForm& f) { f.Mm_PasteClick(); }},
    {B, "Mm_Other", "その他(&O)", nullptr, nullptr},
    {I, "MmPlusCut", "追加切り取り(&X)", nullptr, [](TMainForm& f) { f.MmPlusCutClick(kCut); }},
    {I, "MmPlusCopy", "追加コピー(&C)", nullptr, [](TMainForm& f) { f.MmPlusCutClick(kCopy); }},
    {S, nullptr, nullptr, nullptr, nullptr},
    {I, "MmInyoCut", "引用付き切り取り(&T)", nullptr, [](TMainForm& f) { f.MmInyoCutClick(kCut); }},
    {I, "MmInyoCopy", "引用付きコピー(&Y)", nullptr, [](TMainForm& f) { f.MmInyoCutClick(kCopy); }},
    {I, "Mm_Inyo_Paste", "引用付き貼り付け(&P)", "Ctrl+Q", [](TMainForm& f) { f.Mm_Inyo_PasteClick(); }},
    {S, nullptr, nullptr, nullptr, nullptr},
    {I, "Mm_PasteBox", "矩形貼り付け(&B)", "Ctrl+K", [](TMainForm& f) { f.Mm_PasteBoxClick(); }},
    {E, nullptr, nullptr, nullptr, nullptr},
    {B, "Mm_Convert", "変換(&V)", nullptr, nullptr},
    {I, "Mm_LowerCase", "小文字に変換(&L)", "Ctrl+L", [](TMainForm& f) { f.Mm_LowerCaseClick(); }},
    {I, "Mm_UpperCase", "大文字に変換(&U)", "Ctrl+Alt+L", [](TMainForm& f) { f.Mm_UpperCaseClick(); }},
    {S, nullptr, nullptr, nullptr, nullptr},
    {I, "Mm_ZenToHan", "半角に変換(&H)", "Ctrl+H", [](TMainForm& f) { f.Mm_ZenToHanClick(); }},
    {I, "Mm_HanToZen", "全角に変換(&Z)", "Ctrl+Alt+H", [](TMainForm& f) { f.Mm_HanToZenClick(); }},
    {I, "Mm_int_ZenToHan", "全角数字→半角数字(&N)", nullptr, [](TMainForm& f) { f.Mm_int_ZenToHanClick(); }},
    {S, nullptr, nullptr, nullptr, nullptr},
    {I, "Mm_TabInd", "インデント(&I)", "Tab", [](TMainForm& f) { f.Mm_TabIndClick(); }},
    {I, "Mm_TabUnInd", "逆インデント(&D)", "Shift+Tab", [](TMainForm& f) { f.Mm_TabUnIndClick(); }},
    {E, nullptr, nullptr, nullptr, nullptr},
    {S, nullptr, nullptr, nullptr, nullptr},
    {I, "Mm_SelectAll", "すべて選択(&A)", "Ctrl+A", [](TMainForm& f) { f.Mm_SelectAllClick(); }},
    {S, nullptr, nullptr, nullptr, nullptr},
    {C, "Mm_FreeCursol", "フリーカーソル(&F)", "Ctrl+Alt+F", [](TMainForm& f) { f.Mm_FreeCursolClick(); }},
    {C, "Mm_Box", "矩形選択(&B)", "Ctrl+B", [](TMainForm& f) { f.Mm_BoxClick(); }},
    {C, "Mm_AutoIndent", "オートインデント(&I)", nullptr, [](TMainForm& f) { f.Mm_AutoIndentClick(); }},

    {M, "M_Find", "検索(&S)", nullptr, nullptr},
    {I, "Mm_Find", "検索(&F)...", "Ctrl+F", [](TMainForm& f) { f.Mm_FindClick(); }},
    {I, "Mm_Replace", "置換(&R)...", "Ctrl+R", [](TMainForm& f) { f.Mm_ReplaceClick(); }},
    {S, nullptr, nullptr, nullptr, nullptr},
    {I, "Mm_NextFind", "前を検索(&P)", "Shift+F3", [](TMainForm& f) { f.Mm_NextFindClick(); }},
    {I, "Mm_NextBefore", "次を検索(&N)", "F3", [](TMainForm& f) { f.Mm_NextBeforeClick(); }},
    {S, nullptr, nullptr, nullptr, nullptr},
    {I, "Mm_JumpRow", "指定行に移動(&J)...", "Ctrl+J", [](TMainForm& f) { f.Mm_JumpRowClick(); }},

    {M, "M_View", "表示(&V)", nullptr, nullptr},
    {C, "Mm_ToolBar", "ツールバー(&T)", nullptr, [](TMainForm& f) { f.Mm_ToolBarClick(); }},
    {C, "Mm_StatusBar", "ステータスバー(&S)", nullptr, [](TMainForm& f) { f.Mm_StatusBarClick(); }},
    {I, "Mm_Font", "フォント(&F)...", nullptr, [](TMainForm& f) { f.Mm_FontClick(); }},
    {S, nullptr, nullptr, nullptr, nullptr},
    {I, "Mm_GetCount", "文字数の表示(&C)", "F5", [](TMainForm& f) { f.Mm_GetCountClick(); }},
    {I, "Mm_GetSize", "ファイルサイズの表示(&Z)", "F6", [](TMainForm& f) { f.Mm_GetSizeClick(); }},
    {S, nullptr, nullptr, nullptr, nullptr},
    {B, "Mm_Mode", "編集モード(&M)", nullptr, nullptr},
    {R, "Mm_mode_Normal", "標準(&N)", nullptr, chooseMode<TEditMode::Normal>},
    {R, "Mm_mode_Delphi", "Delphi(&D)", nullptr, chooseMode<TEditMode::Delphi>},
    {R, "Mm_mode_Ini", "ini(&I)", nullptr, chooseMode<TEditMode::Ini>},
    {R, "Mm_mode_HTML", "HTML(&H)", nullptr, chooseMode<TEditMode::HTML>},
    {R, "Mm_mode_Perl", "Perl(&P)", nullptr, chooseMode<TEditMode::Perl>},
    {R, "Mm_mode_C", "C++(&C)", nullptr, chooseMode<TEditMode::Cpp>},
    {R, "Mm_mode_Basic", "Basic(&B)", nullptr, chooseMode<TEditMode::Basic>},
    {R, "Mm_mode_yuza", "ユーザ(&Y)", nullptr, chooseMode<TEditMode::Yuza>},
    {E, nullptr, nullptr, nullptr, nullptr},

    {M, "Window1", "ウィンドウ(&W)", nullptr, nullptr},
    {I, "Mm_NextTab", "次のページ(&N)", "Alt+Right", [](TMainForm& f) { f.Mm_NextTabClick(); }},
    {I, "Mm_BeforeTab", "前のページ(&B)", "Alt+Left", [](TMainForm& f) { f.Mm_BeforeTabClick(); }},
    {B, "Mm_MoveTab", "ページの移動(&M)", nullptr, nullptr},
    {I, "R1", "右に移動(&R)", nullptr, [](TMainForm& f) { f.R1Click(); }},
    {I, "L1", "左に移動(&L)", nullptr, [](TMainForm& f) { f.L1Click(); }},
    {E, nullptr, nullptr, nullptr, nullptr},
    {S, nullptr, nullptr, nullptr, nullptr},
    {C, "Mm_Top", "常に最前面表示(&T)", nullptr, [](TMainForm& f) { f.Mm_TopClick(); }},
    {C, "Mm_Division", "画面分割(&D)", "F9", [](TMainForm& f) { f.Mm_DivisionClick(); }},

    {M, "M_Tool", "設定(&O)", nullptr, nullptr},
    {I, "Mm_Property", "各種設定(&C)...", "Alt+Return", [](TMainForm& f) { f.Mm_PropertyClick(); }},
    {I, "MmKey", "キーカスタマイズ(&K)...", nullptr, [](TMainForm& f) { f.MmKeyClick(); }},

    {M, "M_Help", "ヘルプ(&H)", nullptr, nullptr},
    {I, "ff1", "トピックの検索(&H)", "F1", [](TMainForm& f) { f.ff1Click(); }},
    {I, "Mm_Readme", "readme.txt(&R)", nullptr, [](TMainForm& f) { f.Mm_ReadmeClick(); }},
    {I, "Mm_Version", "バージョン情報(&A)...", nullptr, [](TMainForm& f) { f.Mm_VersionClick(); }},

    // The editors' popup menu, of mirrors of the Edit menu's items. Its shortcuts are shown
    // only: the main menu's items act on the keys.
    {P, "PopupMenu", "", nullptr, nullptr},
    {D, "Pm_Undo", "Mm_Undo", nullptr, nullptr},
    {D, "Pm_Redo", "Mm_Redo", nullptr, nullptr},
    {S, nullptr, nullptr, nullptr, nullptr},
    {D, "Pm_Cut", "mm_Cut", nullptr, nullptr},
    {D, "Pm_Copy", "Mm_Copy", nullptr, nullptr},
    {D, "Pm_Paste", "Mm_Paste", nullptr, nullptr},
    {B, "Pm_Other", "その他(&O)", nullptr, nullptr},
    {D, "PmPlusCut", "MmPlusCut", nullptr, nullptr},
    {D, "PmPlusCopy", "MmPlusCopy", nullptr, nullptr},
    {S, nullptr, nullptr, nullptr, nullptr},
    {D, "PmInyoCut", "MmInyoCut", nullptr, nullptr},
    {D, "PmInyoCopy", "MmInyoCopy", nullptr, nullptr},
    {D, "Q1", "Mm_Inyo_Paste", nullptr, nullptr},
    {S, nullptr, nullptr, nullptr, nullptr},
    {D, "Pm_PasteBox", "Mm_PasteBox", nullptr, nullptr},
    {E, nullptr, nullptr, nullptr, nullptr},
    {B, "Pm_Convert", "変換(&V)", nullptr, nullptr},
    {D, "Pm_LowerCase", "Mm_LowerCase", nullptr, nullptr},
    {D, "Pm_UpperCase", "Mm_UpperCase", nullptr, nullptr},
    {S, nullptr, nullptr, nullptr, nullptr},
    {D, "Pm_ZenToHan", "Mm_ZenToHan", nullptr, nullptr},
    {D, "Pm_HanToZen", "Mm_HanToZen", nullptr, nullptr},
    {D, "Pm_int_ZenToHan", "Mm_int_ZenToHan", nullptr, nullptr},
    {S, nullptr, nullptr, nullptr, nullptr},
    {D, "Pm_TabInd", "Mm_TabInd", nullptr, nullptr},
    {D, "Pm_TabUnInd", "Mm_TabUnInd", nullptr, nullptr},
    {E, nullptr, nullptr, nullptr, nullptr},
    {S, nullptr, nullptr, nullptr, nullptr},
    {D, "Pm_SelectAll", "Mm_SelectAll", nullptr, nullptr},
};

// The tool buttons, in order, by the menu item whose command each gives; null stands for a
// separator. A button shares its item's enabled state, except the buttons named in
// kOwnToolButtons: すべて保存 stays enabled with one page, where its menu item is not.
const char* const kToolButtons[] = {"Mm_New", "Mm_Open", "Mm_Save", "Mm_SaveAll", "Mm_Print", nullptr,
                                    "mm_Cut", "Mm_Copy", "Mm_Paste", "Mm_Undo", "Mm_Redo"};
const char* const kOwnToolButtons[] = {"Mm_SaveAll"};

const TMenuEntry* entryNamed(const char* Name) {
    for (const TMenuEntry& e : kMenuTable)
        if (e.Name && std::strcmp(e.Name, Name) == 0) return &e;
    return nullptr;
}
// clang-format on

} // namespace

QAction* TMainForm::Action(const QString& Name) const {
    auto it = FActions.find(Name);
    return it == FActions.end() ? nullptr : it->second;
}

QAction* TMainForm::AddMenuItem(QMenu* Menu, const TMenuEntry& Entry) {
    QAction* a = Menu->addAction(QString::fromUtf8(Entry.Caption));
    a->setObjectName(QString::fromLatin1(Entry.Name));
    // The long hint shown in the status bar while the item is under the mouse: the caption
    // without its access key and dots.
    a->setStatusTip(a->text().remove(QRegularExpression(QStringLiteral("\\(&.\\)|&|\\.\\.\\.$"))));
    if (Entry.Shortcut) a->setShortcut(QKeySequence(QString::fromLatin1(Entry.Shortcut)));
    a->setCheckable(Entry.Kind == TEntryKind::Check || Entry.Kind == TEntryKind::Radio);
    connect(a, &QAction::triggered, this, [this, handler = Entry.Handler] { handler(*this); });
    FActions[a->objectName()] = a;
    return a;
}

void TMainForm::CreateMenus() {
    QMenu* menu = nullptr;
    QMenu* parent = nullptr;
    QActionGroup* radios = nullptr; // the group of the radio items just above, if any
    for (const TMenuEntry& e : kMenuTable) {
        if (e.Kind != TEntryKind::Radio) radios = nullptr;
        switch (e.Kind) {
        case TEntryKind::Menu:
            menu = parent = menuBar()->addMenu(QString::fromUtf8(e.Caption));
            menu->setObjectName(QString::fromLatin1(e.Name));
            break;
        case TEntryKind::Popup:
            // A child of the window (the key table finds its items there), shown by the
            // editors; standing in no menu bar, its items' shortcuts never act.
            menu = parent = FPopupMenu = new QMenu(this);
            menu->setObjectName(QString::fromLatin1(e.Name));
            break;
        case TEntryKind::Sub:
            menu = parent->addMenu(QString::fromUtf8(e.Caption));
            menu->setObjectName(QString::fromLatin1(e.Name));
            FActions[menu->objectName()] = menu->menuAction();
            break;
        case TEntryKind::EndSub: menu = parent; break;
        case TEntryKind::Separator: menu->addSeparator(); break;
        case TEntryKind::Item:
        case TEntryKind::Check: AddMenuItem(menu, e); break;
        case TEntryKind::Mirror: {
            // The key table gives the mirrored items their shortcuts (the same as their
            // main items'); the others show none.
            TMenuEntry mirror = *entryNamed(e.Caption);
            mirror.Name = e.Name;
            mirror.Shortcut = nullptr;
            AddMenuItem(menu, mirror);
            break;
        }
        case TEntryKind::Radio:
            if (!radios) radios = new QActionGroup(menu);
            radios->addAction(AddMenuItem(menu, e));
            break;
        }
    }
    connect(menuBar()->findChild<QMenu*>(QStringLiteral("M_File")), &QMenu::aboutToShow, this,
            [this] { M_FileClick(); });
    connect(menuBar()->findChild<QMenu*>(QStringLiteral("Window1")), &QMenu::aboutToShow, this,
            [this] { Window1Click(); });
    for (QMenu* m : {menuBar()->findChild<QMenu*>(QStringLiteral("M_Edit")), FPopupMenu})
        connect(m, &QMenu::aboutToShow, this, [this] { M_EditClick(); });
    CreateTabPopup();
    CreateToolBar();
}

// The tab pop-up: a right click on a page's tab makes that page the active one and offers to
// close it. Its item mirrors 閉じる: the key table gives it the same shortcut, which acts
// through the File menu's item.
void TMainForm::CreateTabPopup() {
    FTabPopup = new QMenu(this);
    FTabPopup->setObjectName(QStringLiteral("TabPopup"));
    TMenuEntry close = *entryNamed("Mm_FileClose");
    close.Name = "N18";
    close.Caption = "このページを閉じる(&C)";
    close.Shortcut = nullptr;
    AddMenuItem(FTabPopup, close);
    QTabBar* tabs = FPageControl->tabBar();
    tabs->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tabs, &QWidget::customContextMenuRequested, this, [this, tabs](const QPoint& At) {
        const int index = tabs->tabAt(At);
        if (index < 0) return;
        SetActivePage(index);
        FTabPopup->popup(tabs->mapToGlobal(At));
    });
}

void TMainForm::CreateToolBar() {
    FToolBar = addToolBar(QStringLiteral("ToolBar"));
    for (const char* name : kToolButtons) {
        if (!name) {
            FToolBar->addSeparator();
            continue;
        }
        QAction* item = Action(QString::fromLatin1(name));
        const bool own = std::any_of(std::begin(kOwnToolButtons), std::end(kOwnToolButtons),
                                     [name](const char* n) { return std::strcmp(n, name) == 0; });
        if (!own) {
            FToolBar->addAction(item);
            continue;
        }
        // A button of its own: the item's caption and hint, its command, no shortcut.
        auto* button = new QAction(item->text(), FToolBar);
        button->setObjectName(QStringLiteral("ToolBtn_") + QString::fromLatin1(name).mid(3));
        button->setStatusTip(item->statusTip());
        connect(button, &QAction::triggered, this, [this, handler = entryNamed(name)->Handler] { handler(*this); });
        FToolBar->addAction(button);
    }
    // The page control's "×" button closes the active page as 閉じる does; it shows and hides
    // with the tool bar.
    FCloseButton = new QToolButton(FPageControl);
    FCloseButton->setObjectName(QStringLiteral("CloseButton"));
    FCloseButton->setText(QStringLiteral("×"));
    FCloseButton->setAutoRaise(true);
    FCloseButton->setFocusPolicy(Qt::NoFocus); // the keys stay in the editor
    const QAction* close = Action("Mm_FileClose");
    FCloseButton->setToolTip(close->statusTip());
    FCloseButton->setStatusTip(close->statusTip());
    connect(FCloseButton, &QToolButton::clicked, this, [this] { C1Click(); });
    FPageControl->setCornerWidget(FCloseButton, Qt::TopRightCorner);
}

void TMainForm::ShowToolBar(bool On) {
    FToolBar->setVisible(On);
    FCloseButton->setVisible(On);
    Action("Mm_ToolBar")->setChecked(On);
}

void TMainForm::M_FileClick() {
    const TPageRecord& p = Page(ActivePage());
    Action("N21")->setEnabled(p.FileName != NewDocumentName && p.Editor->Modified());
    Action("Mm_Reopen")->setEnabled(p.FileName != NewDocumentName);
    Action("Mm_SaveAll")->setEnabled(PageCount() > 1);
    Action("N17")->setEnabled(PageCount() > 1);
}

void TMainForm::Window1Click() {
    for (const char* n : {"Mm_NextTab", "Mm_BeforeTab", "Mm_MoveTab"}) Action(n)->setEnabled(PageCount() > 1);
}

} // namespace quire
