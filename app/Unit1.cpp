// TMainForm: the main window, its pages and commands, saving, closing, backups and auto-save.
#include "Unit1.h"

#include "Cp932Codec.h"
#include "Dialogs.h"
#include "Editor.h"
#include "FountainFactory.h"
#include "KanjiFile.h"
#include "Messages.h"
#include "PlatformError.h"
#include "ProgramFolder.h"
#include "ShellLink.h"
#include "ShiftJis.h"
#include "TokenKinds.h"
#include "Profile.h"
#include "Unit3.h"
#include "jconvert.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QRegularExpression>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace quire {

const QString TMainForm::NewDocumentName = QStringLiteral("新規作成");
const QString TMainForm::OpenFilter = QStringLiteral(
    "すべてのファイル(*.*)|*.*|テキストファイル(*.txt)|*.txt|htmlファイル(*.htm,*.html)|*.htm;*.html|"
    "iniファイル(*.ini,*.inf)|*.ini;*.inf|Delphiファイル(*.pas)|*.pas");

namespace {

const QString kSaveQuestion = QStringLiteral("内容は変更されています。保存しますか？\r\r");
const QString kSuffix = QStringLiteral(" - Quire");

struct PanelSpec {
    int Width;
    Qt::Alignment Align;
    const char* Initial;
};
constexpr PanelSpec kPanels[TMainForm::PanelCount] = {
    {0, Qt::AlignLeft | Qt::AlignVCenter, ""},   {80, Qt::AlignRight | Qt::AlignVCenter, ""},
    {80, Qt::AlignRight | Qt::AlignVCenter, ""}, {110, Qt::AlignRight | Qt::AlignVCenter, ""},
    {46, Qt::AlignCenter, "標準"},               {38, Qt::AlignCenter, ""},
    {35, Qt::AlignCenter, ""},                   {40, Qt::AlignCenter, "S-JIS"},
    {39, Qt::AlignCenter, "CRLF"},               {42, Qt::AlignLeft | Qt::AlignVCenter, "挿入"},
};

int ask(const QString& text, int buttons, int def, TMessageIcon icon = TMessageIcon::Warning) {
    return Messages().Ask(QStringLiteral("Quire"), text, buttons, def, icon);
}

void tell(const QString& text, TMessageIcon icon = TMessageIcon::Error) {
    Messages().Show(QStringLiteral("Quire"), text, icon);
}

} // namespace

// --- construction --------------------------------------------------------------------

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MainForm"));
    setAcceptDrops(true);
    // A settings file that cannot be written is reported once, and the program goes on with
    // the settings in memory.
    profile::KeepInMemoryWhenUnwritable(SettingsFile(), [](const QString& Why) { tell(Why, TMessageIcon::Warning); });
    profile::WriteString(SettingsFile(), "App", "Handle", QString::number(static_cast<qulonglong>(winId())));
    for (const std::string& name : LanguageFountainNames())
        FFountains[QString::fromStdString(name)] = CreateLanguageFountain(name);
    FPageControl = new QTabWidget(this);
    FPageControl->setObjectName(QStringLiteral("PageControl"));
    FPageControl->setMovable(true);
    setCentralWidget(FPageControl);
    CreateMenus();
    CreateStatusBar();
    switch (SettingInt("Stand", "TabPosi", 0)) {
    case 1: FPageControl->setTabPosition(QTabWidget::South); break;
    case 2: FPageControl->setTabPosition(QTabWidget::East); break;
    case 0: FPageControl->setTabPosition(QTabWidget::North); break;
    default: FPageControl->setTabPosition(QTabWidget::West); break;
    }
    connect(FPageControl, &QTabWidget::currentChanged, this, [this](int i) {
        if (i >= 0 && i < PageCount()) EnterPage(i);
    });
    connect(FPageControl->tabBar(), &QTabBar::tabMoved, this, [this](int from, int to) {
        // A tab dragged to another place: the page records follow the tabs.
        TPageRecord moved = FPages[static_cast<size_t>(from)];
        FPages.erase(FPages.begin() + from);
        FPages.insert(FPages.begin() + to, moved);
    });
    // Read once here: rows are drawn far too often to read the settings file each time.
    LoadMarkSettings();
    NewTab();
    ResetPage(0);
    FToolBar->setVisible(Setting("Bar", "Tool", true));
    Action("Mm_ToolBar")->setChecked(FToolBar->isVisible());
    statusBar()->setVisible(Setting("Bar", "Status", true));
    Action("Mm_StatusBar")->setChecked(statusBar()->isVisible());
    connect(&FSaveTimer, &QTimer::timeout, this, &TMainForm::SaveTimerTimer);
    RestartSaveTimer();
    // The window's place and the editors' font as they were left.
    // A place stored on a screen that is no longer there is replaced, so that the window is
    // never opened out of sight; a size larger than the screen is cut down to it.
    // Stored numbers are limited first: a QRect at the ends of int overflows and looks visible.
    static constexpr int far = 1 << 20;
    auto stored = [this](const char* Key, int Default, int Min) {
        return std::clamp(SettingInt("Window", Key, Default), Min, far);
    };
    QRect place(stored("Left", 0, -far), stored("Top", 0, -far), stored("Width", 800, 320), stored("Height", 560, 200));
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        const QRect avail = primary->availableGeometry();
        place.setSize(place.size().boundedTo(avail.size()).expandedTo(QSize(320, 200)));
        bool visible = false;
        for (const QScreen* screen : QGuiApplication::screens())
            if (screen->availableGeometry().intersected(place).width() >= 100 &&
                screen->availableGeometry().intersected(place).height() >= 50)
                visible = true;
        if (!visible) place.moveCenter(avail.center());
    }
    resize(place.size());
    if (profile::SectionExists(SettingsFile(), "Window")) move(place.topLeft());
    const QString fontName = profile::ReadString(SettingsFile(), "Font", "Name");
    if (!fontName.isEmpty()) {
        QFont f(fontName);
        f.setPixelSize(std::clamp(SettingInt("Font", "Size", 16), 6, 72));
        FPages.front().Editor->SetEditorFont(f);
        FEditorProp.Assign(*FPages.front().Editor);
    }
}

TMainForm::~TMainForm() {
    FSaveTimer.stop();
    for (int i = PageCount() - 1; i >= 0; --i) Unsplit(i);
}

QString TMainForm::SettingsFile() const { return SettingsFileName(); }

void TMainForm::LoadMarkSettings() {
    FMarkSettings.Space = Setting("Marks", "Space", false);
    FMarkSettings.HSpace = Setting("Marks", "HSpace", false);
    FMarkSettings.Tab = Setting("Marks", "Tab", false);
    FMarkSettings.SpaceColor = static_cast<TColor>(SettingInt("Color", "Space", 0xC0C0C0));
    FMarkSettings.HSpaceColor = static_cast<TColor>(SettingInt("Color", "HSpace", 0xC0C0C0));
    FMarkSettings.TabColor = static_cast<TColor>(SettingInt("Color", "TAB", 0xC0C0C0));
}

bool TMainForm::Setting(const char* Section, const char* Key, bool Default) const {
    return profile::ReadBool(SettingsFile(), QString::fromLatin1(Section), QString::fromLatin1(Key), Default);
}

int TMainForm::SettingInt(const char* Section, const char* Key, int Default) const {
    return profile::ReadInteger(SettingsFile(), QString::fromLatin1(Section), QString::fromLatin1(Key), Default);
}

void TMainForm::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    for (int i = 0; i < PanelCount; ++i) {
        auto* label = new QLabel(QString::fromUtf8(kPanels[i].Initial), bar);
        label->setObjectName(QStringLiteral("Panel%1").arg(i));
        label->setAlignment(kPanels[i].Align);
        if (i == 0) {
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

QAction* TMainForm::Action(const QString& Name) const {
    auto it = FActions.find(Name);
    return it == FActions.end() ? nullptr : it->second;
}

void TMainForm::CreateMenus() {
    auto add = [this](QMenu* menu, const QString& name, const char* caption, const char* shortcut, auto slot) {
        QAction* a = menu->addAction(QString::fromUtf8(caption));
        a->setObjectName(name);
        // The long hint shown in the status bar while the item is under the mouse: the
        // caption without its access key and dots.
        a->setStatusTip(a->text().remove(QRegularExpression(QStringLiteral("\\(&.\\)|&|\\.\\.\\.$"))));
        if (shortcut) a->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
        connect(a, &QAction::triggered, this, slot);
        FActions[name] = a;
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    add(file, "Mm_New", "新規作成(&N)", "Ctrl+N", [this] { Mm_NewClick(); });
    add(file, "Mm_Open", "開く(&O)...", "Ctrl+O", [this] { Mm_OpenClick(); });
    add(file, "N21", "読み直し(&R)", nullptr, [this] { N21Click(); });
    file->addSeparator();
    add(file, "Mm_Save", "上書き保存(&S)", "Ctrl+S", [this] { Mm_SaveClick(); });
    add(file, "Mm_SaveAs", "名前をつけて保存(&A)...", nullptr, [this] { Mm_SaveAsClick(); });
    add(file, "Mm_SaveAll", "すべて保存(&L)", nullptr, [this] { Mm_SaveAllClick(); });
    QMenu* code = file->addMenu(QStringLiteral("保存時の漢字コード(&K)"));
    for (const auto& [name, caption, value] : {std::tuple{"Mm_ShiftJIS", "Shift-JIS", "S-JIS"}, std::tuple{"Mm_JIS", "JIS", "JIS"},
                                               std::tuple{"Mm_EUC", "EUC", "EUC"}}) {
        QAction* a = add(code, name, caption, nullptr, [this, v = QString::fromLatin1(value)] { Mm_ShiftJISClick(v); });
        a->setCheckable(true);
    }
    QMenu* eol = file->addMenu(QStringLiteral("保存時の改行コード(&E)"));
    for (const char* v : {"CRLF", "CR", "LF"}) {
        QAction* a = add(eol, QStringLiteral("Mm_") + QString::fromLatin1(v), v, nullptr,
                         [this, v = QString::fromLatin1(v)] { Mm_CRLFClick(v); });
        a->setCheckable(true);
    }
    file->addSeparator();
    add(file, "C1", "閉じる(&C)", "Ctrl+F4", [this] { C1Click(); });
    add(file, "N17", "すべて閉じる", nullptr, [this] { N17Click(); });
    add(file, "Mm_SaveClose", "保存して終了(&X)", "Ctrl+E", [this] { Mm_SaveCloseClick(); });
    add(file, "Mm_Close", "終了(&Q)", "Alt+F4", [this] { Mm_CloseClick(); });
    connect(file, &QMenu::aboutToShow, this, [this] {
        const TPageRecord& p = FPages[static_cast<size_t>(ActivePage())];
        Action("N21")->setEnabled(p.FileName != NewDocumentName && p.Editor->Modified());
        Action("Mm_SaveAll")->setEnabled(PageCount() > 1);
        Action("N17")->setEnabled(PageCount() > 1);
    });

    QMenu* edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    add(edit, "Mm_Undo", "元に戻す(&U)", "Ctrl+Z", [this] { CurrentEditor()->Undo(); });
    add(edit, "Mm_Redo", "やり直し(&R)", "Ctrl+Y", [this] { CurrentEditor()->Redo(); });
    edit->addSeparator();
    add(edit, "Mm_Cut", "切り取り(&T)", "Ctrl+X", [this] { CurrentEditor()->CutMsg(); });
    add(edit, "Mm_Copy", "コピー(&C)", "Ctrl+C", [this] { CurrentEditor()->CopyMsg(); });
    add(edit, "Mm_Paste", "貼り付け(&P)", "Ctrl+V", [this] { CurrentEditor()->PasteMsg(); });
    add(edit, "Mm_SelectAll", "すべて選択(&A)", "Ctrl+A", [this] { CurrentEditor()->SelectAll(); });

    QMenu* view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    add(view, "Mm_ToolBar", "ツールバー(&T)", nullptr, [this] { Mm_ToolBarClick(); })->setCheckable(true);
    add(view, "Mm_StatusBar", "ステータスバー(&S)", nullptr, [this] { Mm_StatusBarClick(); })->setCheckable(true);
    add(view, "Mm_Font", "フォント(&F)...", nullptr, [this] { Mm_FontClick(); });

    QMenu* window = menuBar()->addMenu(QStringLiteral("ウィンドウ(&W)"));
    add(window, "Mm_NextTab", "次のページ(&N)", "Alt+Right", [this] { Mm_NextTabClick(); });
    add(window, "Mm_BeforeTab", "前のページ(&B)", "Alt+Left", [this] { Mm_BeforeTabClick(); });
    QMenu* move = window->addMenu(QStringLiteral("ページの移動(&M)"));
    FActions["Mm_MoveTab"] = move->menuAction();
    add(move, "R1", "右に移動(&R)", nullptr, [this] { R1Click(); });
    add(move, "L1", "左に移動(&L)", nullptr, [this] { L1Click(); });
    window->addSeparator();
    add(window, "Mm_Top", "常に最前面表示(&T)", nullptr, [this] { Mm_TopClick(); })->setCheckable(true);
    add(window, "Mm_Division", "画面分割(&D)", "F9", [this] { Mm_DivisionClick(); })->setCheckable(true);
    connect(window, &QMenu::aboutToShow, this, [this] {
        for (const char* n : {"Mm_NextTab", "Mm_BeforeTab", "Mm_MoveTab"}) Action(n)->setEnabled(PageCount() > 1);
    });

    QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    add(help, "ff1", "トピックの検索(&H)", "F1", [this] { ff1Click(); });
    add(help, "Mm_Readme", "readme.txt(&R)", nullptr, [this] { Mm_ReadmeClick(); });
    add(help, "Mm_Version", "バージョン情報(&A)...", nullptr, [this] { Mm_VersionClick(); });

    FToolBar = addToolBar(QStringLiteral("ToolBar"));
    for (const char* n : {"Mm_New", "Mm_Open", "Mm_Save", "Mm_SaveAll"}) FToolBar->addAction(Action(n));
    FToolBar->addSeparator();
    for (const char* n : {"Mm_Cut", "Mm_Copy", "Mm_Paste", "Mm_Undo", "Mm_Redo"}) FToolBar->addAction(Action(n));
}

// --- pages ---------------------------------------------------------------------------

int TMainForm::NewTab() {
    if (PageCount() >= MaxPages) {
        tell(QStringLiteral("これ以上ページを開けません（%1ページまで）。").arg(MaxPages), TMessageIcon::Warning);
        return -1;
    }
    TPageRecord p;
    p.Sheet = new QWidget(FPageControl);
    auto* layout = new QVBoxLayout(p.Sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    p.Editor = new TEditor(p.Sheet);
    layout->addWidget(p.Editor);
    SetUpEditor(*p.Editor);
    if (PageCount() > 0) FEditorProp.AssignTo(*p.Editor);
    if (PanelText(6) == QStringLiteral("矩形")) p.Editor->SetSelectionMode(TSelectionMode::Box);
    if (PanelText(9) == QStringLiteral("上書")) p.Editor->SetOverWrite(true);
    p.Mode = QStringLiteral("標準");
    FPages.push_back(p);
    const int index = PageCount() - 1;
    const QSignalBlocker block(FPageControl);
    FPageControl->addTab(p.Sheet, NewDocumentName);
    FPageControl->setCurrentIndex(index);
    EnterPage(index);
    return index;
}

void TMainForm::SetUpEditor(TEditor& e) {
    e.SetScrollBars(TScrollStyle::ssBoth);
    e.Leftbar().SetVisible(true);
    e.Leftbar().SetBkColor(0xFFFFFF);
    e.Ruler().SetVisible(true);
    e.Marks().EofMark().SetVisible(true);
    e.Marks().EofMark().SetColor(0x808000);
    e.Marks().RetMark().SetVisible(true);
    e.Marks().RetMark().SetColor(0x808000);
    e.Marks().WrapMark().SetVisible(true);
    e.View().SetUrl(true);
    e.View().SetMail(true);
    e.View().SetCommenter(">");
    TEditorColors& c = e.View().Colors();
    c.Url().SetColor(0xFF0000);
    c.Url().SetStyle(fsUnderline);
    c.Mail().SetColor(0xFF0000);
    c.Mail().SetStyle(fsUnderline);
    c.Comment().SetColor(0xFF0000);
    // The popup's shortcuts that the window's own menus use go to the window.
    QList<QKeySequence> reserved;
    for (const auto& [name, action] : FActions)
        if (!action->shortcut().isEmpty()) reserved << action->shortcut();
    e.SetReservedShortcuts(reserved);
    e.OnCaretMoved = [this](TEditor* ed) { ShowCaretPosition(ed); };
    e.OnSelectionModeChange = [this](TEditor* ed) {
        SetPanelText(6, ed->SelectionMode() == TSelectionMode::Box ? QStringLiteral("矩形") : QString());
    };
    e.OnChange = [this](TEditor* ed) { EditorChanged(ed); };
    e.OnDrawLine = [this](TEditor* ed, QPainter& p, const std::string&, int x, int y, int index, const QRect& rect,
                          bool selected) {
        // Marks for full-width spaces, half-width spaces and tabs, when they are switched on.
        const TMarkSettings& m = FMarkSettings;
        if (!m.Space && !m.HSpace && !m.Tab) return;
        const std::string_view row = ed->ScreenStrings().Get(index);
        const TColumnContext ctx = ed->ColumnContext();
        const int cw = ed->CharWidth(), ch = ed->CharHeight(), mid = y + ch / 2;
        auto color = [&](TColor c) {
            return ed->ToQColor(selected ? ed->View().Colors().Select().Color() : c, false);
        };
        int col = 0;
        for (std::size_t i = 0; i < row.size(); ++i) {
            const auto c = static_cast<unsigned char>(row[i]);
            const int cx = x + col * cw;
            if (c == '\t') {
                const int w = ctx.TabWidthAt(col);
                if (m.Tab && cx + cw >= rect.left() && cx <= rect.right()) {
                    p.setPen(color(m.TabColor));
                    p.drawLine(cx, mid, cx + cw, mid);
                    p.drawLine(cx + cw, mid, cx + cw - 2, mid - 2);
                    p.drawLine(cx + cw, mid, cx + cw - 3, mid + 3);
                }
                col += w;
            } else if (sjis::IsLeadByte(c) && i + 1 < row.size()) {
                if (m.Space && c == 0x81 && static_cast<unsigned char>(row[i + 1]) == 0x40 && cx + 2 * cw >= rect.left()) {
                    p.setPen(color(m.SpaceColor));
                    p.drawRect(cx + 1, y + 2, 2 * cw - 3, ch - 5);
                }
                col += 2;
                ++i;
            } else {
                if (m.HSpace && c == ' ' && cx >= rect.left()) {
                    p.setPen(color(m.HSpaceColor));
                    p.drawLine(cx, mid, cx + 2, mid);
                }
                col += 1;
            }
            if (cx > rect.right()) break;
        }
    };
    e.installEventFilter(this);
    e.viewport()->installEventFilter(this);
}

int TMainForm::IndexOfEditor(const TEditor* E) const {
    for (int i = 0; i < PageCount(); ++i)
        if (FPages[static_cast<size_t>(i)].Editor == E || FPages[static_cast<size_t>(i)].SubEditor == E) return i;
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
    TPageRecord& p = FPages[static_cast<size_t>(ActivePage())];
    return (p.MainFocused || !p.SubEditor) ? p.Editor : p.SubEditor;
}

void TMainForm::ResetPage(int Index) {
    TPageRecord& p = FPages[static_cast<size_t>(Index)];
    p.Editor->Lines().Clear();
    p.Editor->SetModified(false);
    p.FileName = NewDocumentName;
    p.KanjiCode = QStringLiteral("S-JIS");
    p.Mode = QStringLiteral("標準");
    p.StarPending = true;
    p.MainFocused = true;
    p.CutAtNul = false;
    FPageControl->setTabText(Index, NewDocumentName);
    ApplyMode(Index);
    if (Index == ActivePage()) EnterPage(Index);
}

void TMainForm::EnterPage(int Index) {
    TPageRecord& p = FPages[static_cast<size_t>(Index)];
    FSaveName = p.FileName == NewDocumentName ? QString() : p.FileName;
    UpdateTitles();
    SetPanelText(4, p.Mode);
    SetPanelText(7, p.KanjiCode);
    SetPanelText(8, p.LineEndCode);
    Action("Mm_ShiftJIS")->setChecked(p.KanjiCode == QStringLiteral("S-JIS"));
    Action("Mm_JIS")->setChecked(p.KanjiCode == QStringLiteral("JIS"));
    Action("Mm_EUC")->setChecked(p.KanjiCode == QStringLiteral("EUC"));
    for (const char* v : {"CRLF", "CR", "LF"})
        Action(QStringLiteral("Mm_") + QString::fromLatin1(v))->setChecked(p.LineEndCode == QString::fromLatin1(v));
    Action("Mm_Division")->setChecked(p.Divided);
    SetPanelText(5, p.Editor->WordWrap() ? QString::number(p.Editor->WrapOption().WrapByte()) + QStringLiteral("↓") : QString());
    SetPanelText(6, CurrentEditor()->SelectionMode() == TSelectionMode::Box ? QStringLiteral("矩形") : QString());
    FEditorProp.Assign(*p.Editor);
    ShowCaretPosition(CurrentEditor());
    Action("Mm_Undo")->setEnabled(CurrentEditor()->CanUndo());
    Action("Mm_Redo")->setEnabled(CurrentEditor()->CanRedo());
}

void TMainForm::UpdateTitles() {
    const int i = ActivePage();
    if (i >= PageCount()) return;
    TPageRecord& p = FPages[static_cast<size_t>(i)];
    const bool star = p.Editor->Modified() && !p.StarPending;
    setWindowTitle(p.FileName + (star ? QStringLiteral(" *") : QString()) + kSuffix);
    QApplication::setApplicationDisplayName(QString());
}

void TMainForm::EditorChanged(TEditor* E) {
    const int i = IndexOfEditor(E);
    if (i < 0) return;
    TPageRecord& p = FPages[static_cast<size_t>(i)];
    if (E->Modified() && p.StarPending) {
        FPageControl->setTabText(i, FPageControl->tabText(i) + QStringLiteral(" *"));
        p.StarPending = false;
        if (i == ActivePage()) UpdateTitles();
    }
    Action("Mm_Undo")->setEnabled(CurrentEditor()->CanUndo());
    Action("Mm_Redo")->setEnabled(CurrentEditor()->CanRedo());
}

void TMainForm::ShowCaretPosition(TEditor* E) {
    if (!E) return;
    SetPanelText(3, QString::asprintf("%6d", E->Row() + 1) + QStringLiteral("行：") +
                        QString::asprintf("%4d", E->Col() + 1) + QStringLiteral("桁"));
}

QString TMainForm::ModeForExtension(const QString& Ext) {
    const QString e = Ext.toLower();
    if (e == ".pas" || e == ".dpr" || e == ".inc") return QStringLiteral("Delphi");
    if (e == ".ini" || e == ".inf") return QStringLiteral("ini");
    if (e == ".htm" || e == ".html") return QStringLiteral("HTML");
    if (e == ".cgi" || e == ".pl") return QStringLiteral("Perl");
    if (e == ".c" || e == ".cpp" || e == ".h") return QStringLiteral("C++");
    if (e == ".bas") return QStringLiteral("Basic");
    return QStringLiteral("標準");
}

void TMainForm::ApplyMode(int Index) {
    TPageRecord& p = FPages[static_cast<size_t>(Index)];
    auto it = FFountains.find(p.Mode);
    TFountain* f = it == FFountains.end() ? nullptr : it->second.get();
    p.Editor->SetFountain(f);
    if (p.SubEditor) p.SubEditor->SetFountain(f);
    if (Index == ActivePage()) SetPanelText(4, p.Mode);
}

QString TMainForm::NormalizedPath(const QString& Path) {
    const QFileInfo info(Path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

// --- opening -------------------------------------------------------------------------

bool TMainForm::LoadIntoPage(int Index, const QString& Path) {
    TPageRecord& p = FPages[static_cast<size_t>(Index)];
    // Offsets into the text are 32-bit, and reading a file holds it twice for a moment: larger
    // files are refused with a message rather than loaded wrongly.
    if (QFileInfo(Path).size() > MaxFileSize) {
        tell(QStringLiteral("ファイルが大きすぎるため開けません（%1 MB まで）。\r\r").arg(MaxFileSize >> 20) + Path,
             TMessageIcon::Warning);
        return false;
    }
    try {
        const TKanjiText t = ReadKanjiFile(Path);
        p.KanjiCode = QString::fromStdString(t.KanjiCode);
        if (t.LineEndCode) p.LineEndCode = QString::fromStdString(*t.LineEndCode);
        p.CutAtNul = t.Text.find('\0') != std::string::npos;
        p.Editor->Lines().SetText(t.Text);
        p.Editor->SetModified(false);
        p.StarPending = true;
        if (p.CutAtNul) {
            tell(QStringLiteral("このファイルには NUL 文字が含まれています。NUL 文字から後ろは読み込まれていません。"
                                "このまま上書き保存すると、その部分は失われます。\r\r") + Path,
                 TMessageIcon::Warning);
        }
        return true;
    } catch (const EPlatformError& e) {
        tell(QString::fromStdString(e.what()));
        return false;
    }
}

bool TMainForm::OpenFileIntoPage(const QString& Path, bool ChooseMode) {
    // A file that cannot be read is reported before any page is added for it.
    const QString path = NormalizedPath(Path);
    if (!QFileInfo(path).isFile() || !QFileInfo(path).isReadable()) {
        tell(QStringLiteral("ファイルを開けません: ") + path);
        return false;
    }
    int index = PageCount() - 1;
    const bool added = !FPages.back().Editor->Lines().Text().empty() || FPages.back().FileName != NewDocumentName;
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
            return ask(QStringLiteral("同じファイルが開かれています。開きますか？\r\r") + Normalized, mbYes | mbNo, mbNo) == mbYes;
    return true;
}

QString TMainForm::ShortcutTarget(const QString& Path) {
    const ShellLinkTarget target = ResolveShellLink(Path);
    if (target.Path.isEmpty()) tell(target.Error);
    return target.Path;
}

QString TMainForm::ModeOfSwitch(const QString& Param) {
    static const std::map<QString, QString> switches = {{"/html", "HTML"}, {"/ini", "ini"},     {"/del", "Delphi"},
                                                        {"/perl", "Perl"}, {"/cpp", "C++"},     {"/basic", "Basic"},
                                                        {"/user", QStringLiteral("ユーザ")}};
    const auto s = switches.find(Param);
    return s == switches.end() ? QString() : s->second;
}

void TMainForm::HandleCommandLine(const QStringList& Params) {
    QString forced;
    for (const QString& param : Params) {
        if (const QString mode = ModeOfSwitch(param); !mode.isEmpty()) {
            forced = mode;
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
    if (!FPages.back().Editor->Lines().Text().empty()) {
        index = NewTab();
        if (index < 0) return;
    }
    TPageRecord& p = FPages[static_cast<size_t>(index)];
    p.FileName = NewDocumentName;
    p.LineEndCode = QStringLiteral("CRLF");
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
    QStringList files;
    for (const QUrl& url : Event->mimeData()->urls())
        if (url.isLocalFile()) files << url.toLocalFile();
    OpenNamedFiles(files);
    Event->acceptProposedAction();
}

void TMainForm::OpenNamedFiles(const QStringList& Files) {
    for (QString path : Files) {
        if (path.endsWith(QStringLiteral(".lnk"))) {
            path = ShortcutTarget(path);
            if (path.isEmpty()) continue;
        }
        path = NormalizedPath(path);
        if (ConfirmOpenAgain(path)) OpenFileIntoPage(path);
    }
    EditorChanged(CurrentEditor());
}

// --- saving --------------------------------------------------------------------------

void TMainForm::RestartSaveTimer() {
    FSaveTimer.stop();
    if (Setting("File", "AutoSave", false)) {
        const int minutes = std::clamp(SettingInt("File", "Time", 5), 5, 120);
        FSaveTimer.start(minutes * 60000);
    }
}

void TMainForm::FileBackUp(const QString& F) {
    if (!Setting("File", "BackUp", false)) return;
    const QFileInfo info(F);
    QString stem;
    if (Setting("File", "BackUpDir", false)) {
        QString folder = profile::ReadString(SettingsFile(), "File", "BackUpDirPath");
        if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QLatin1Char('\\')))
            folder += QLatin1Char('/');
        QDir().mkpath(folder);
        stem = folder + info.completeBaseName() + QStringLiteral(".bak");
    } else {
        stem = info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".bak");
    }
    auto name = [&stem](int k) { return stem + (k < 10 ? QStringLiteral("0%1").arg(k) : QString::number(k)); };
    const int generations = std::clamp(SettingInt("File", "BackUp_Sedai", 3), 1, 99);
    for (int k = generations; k >= 2; --k) {
        if (!QFile::exists(name(k - 1))) continue;
        QFile::remove(name(k));
        QFile::copy(name(k - 1), name(k));
    }
    if (QFile::exists(F)) {
        QFile::remove(name(1));
        // The save goes on without the backup, but the user must not believe there is one.
        if (!QFile::copy(F, name(1)))
            tell(QStringLiteral("バックアップファイルを作成できませんでした。\r\r") + name(1), TMessageIcon::Warning);
    }
}

bool TMainForm::ConfirmSaveCode(int Index) {
    TPageRecord& p = FPages[static_cast<size_t>(Index)];
    if (p.KanjiCode != QStringLiteral("JIS") && p.KanjiCode != QStringLiteral("EUC")) return true;
    const std::string text = p.Editor->Lines().Text();
    const auto unsafe = jconvert::FindJisUnsafeChars(text, 1);
    if (unsafe.empty()) return true;
    const int line = static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(unsafe[0].Offset), '\n')) + 1;
    const QString ch = cp932::ToDisplay(unsafe[0].Bytes);
    return ask(QStringLiteral("%1 の %2 行目の文字「%3」は %4 で保存できません。このまま保存しますか？")
                   .arg(p.FileName)
                   .arg(line)
                   .arg(ch, p.KanjiCode),
               mbYes | mbNo, mbNo) == mbYes;
}

bool TMainForm::WritePage(int Index) {
    TPageRecord& p = FPages[static_cast<size_t>(Index)];
    if (!ConfirmSaveCode(Index)) return false;
    if (p.CutAtNul &&
        ask(QStringLiteral("このファイルは NUL 文字から後ろが読み込まれていません。上書き保存すると、その部分は失われます。保存しますか？\r\r") +
                p.FileName,
            mbYes | mbNo, mbNo) != mbYes)
        return false;
    try {
        quire::WritePage(p.Editor->Lines().Text(), p.KanjiCode.toStdString(), p.LineEndCode.toStdString(), p.FileName);
    } catch (const EPlatformError& e) {
        tell(QString::fromStdString(e.what()));
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

// Saves one page; Ask asks before overwriting a named file when the setting says so.
bool TMainForm::SavePage(int Index, bool Ask) {
    TPageRecord& p = FPages[static_cast<size_t>(Index)];
    if (p.FileName == NewDocumentName) {
        SetActivePage(Index);
        return SaveAsPage(Index);
    }
    if (Ask && Setting("File", "SaveDlg", false)) {
        QApplication::beep();
        if (ask(QStringLiteral("上書き保存してよろしいですか？"), mbYes | mbNo, mbNo, TMessageIcon::Question) != mbYes) {
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
    if (ask(QStringLiteral("現在の変更を破棄します。よろしいですか？"), mbYes | mbNo, mbNo) != mbYes) return;
    if (LoadIntoPage(ActivePage(), p.FileName)) {
        FPageControl->setTabText(ActivePage(), QFileInfo(p.FileName).fileName());
        EnterPage(ActivePage());
    }
}

// --- closing -------------------------------------------------------------------------

QString TMainForm::Ask3(int Index, bool WithCancel) {
    QApplication::beep();
    const int r = ask(kSaveQuestion + FPages[static_cast<size_t>(Index)].FileName,
                      mbYes | mbNo | (WithCancel ? mbCancel : 0), WithCancel ? mbCancel : mbNo);
    return r == mbYes ? QStringLiteral("yes") : r == mbNo ? QStringLiteral("no") : QStringLiteral("cancel");
}

void TMainForm::Unsplit(int Index) {
    TPageRecord& p = FPages[static_cast<size_t>(Index)];
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
        const QString a = Ask3(i, true);
        if (a == QStringLiteral("cancel")) return;
        // Text the user asked to keep is never thrown away: a cancelled or failed save
        // keeps the page open.
        if (a == QStringLiteral("yes") && !SavePage(i, false)) return;
    }
    ClosePage(i);
}

void TMainForm::N17Click() {
    for (int i = PageCount() - 1; i >= 0; --i) {
        SetActivePage(i);
        if (FPages[static_cast<size_t>(i)].Editor->Modified()) {
            if (Ask3(i, false) == QStringLiteral("yes") && !SavePage(i, false)) return;
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
        const QString a = Ask3(i, true);
        if (a == QStringLiteral("cancel")) return false;
        if (a == QStringLiteral("yes") && !SavePage(i, false)) return false;
    }
    profile::WriteInteger(SettingsFile(), "Window", "Left", x());
    profile::WriteInteger(SettingsFile(), "Window", "Top", y());
    profile::WriteInteger(SettingsFile(), "Window", "Width", width());
    profile::WriteInteger(SettingsFile(), "Window", "Height", height());
    return true;
}

void TMainForm::closeEvent(QCloseEvent* Event) {
    if (FClosingForced || CanClose()) {
        Event->accept();
    } else {
        Event->ignore();
    }
}

// --- save code, pages, window --------------------------------------------------------

void TMainForm::Mm_ShiftJISClick(const QString& Code) {
    TPageRecord& p = FPages[static_cast<size_t>(ActivePage())];
    p.KanjiCode = Code;
    SetPanelText(7, Code);
    Action("Mm_ShiftJIS")->setChecked(Code == QStringLiteral("S-JIS"));
    Action("Mm_JIS")->setChecked(Code == QStringLiteral("JIS"));
    Action("Mm_EUC")->setChecked(Code == QStringLiteral("EUC"));
}

void TMainForm::Mm_CRLFClick(const QString& LineEnd) {
    TPageRecord& p = FPages[static_cast<size_t>(ActivePage())];
    p.LineEndCode = LineEnd;
    SetPanelText(8, LineEnd);
    for (const char* v : {"CRLF", "CR", "LF"})
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

void TMainForm::Mm_TopClick() {
    const bool on = Action("Mm_Top")->isChecked();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    show();
}

void TMainForm::Mm_DivisionClick() {
    const int i = ActivePage();
    TPageRecord& p = FPages[static_cast<size_t>(i)];
    if (p.Divided) {
        Unsplit(i);
        Action("Mm_Division")->setChecked(false);
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
    p.SubEditor->SetFountain(p.Editor->Fountain());
    p.Splitter->addWidget(p.SubEditor);
    Action("Mm_Division")->setChecked(true);
}

void TMainForm::Mm_ToolBarClick() {
    FToolBar->setVisible(!FToolBar->isVisible());
    Action("Mm_ToolBar")->setChecked(FToolBar->isVisible());
    profile::WriteBool(SettingsFile(), "Bar", "Tool", FToolBar->isVisible());
}

void TMainForm::Mm_StatusBarClick() {
    statusBar()->setVisible(!statusBar()->isVisible());
    Action("Mm_StatusBar")->setChecked(statusBar()->isVisible());
    profile::WriteBool(SettingsFile(), "Bar", "Status", statusBar()->isVisible());
}

void TMainForm::Mm_FontClick() {
    QFont f = CurrentEditor()->font();
    if (!Dialogs().ChooseFont(this, f)) return;
    for (TPageRecord& p : FPages) {
        p.Editor->SetEditorFont(f);
        if (p.SubEditor) p.SubEditor->SetEditorFont(f);
    }
    profile::WriteString(SettingsFile(), "Font", "Name", f.family());
    profile::WriteInteger(SettingsFile(), "Font", "Size", QFontInfo(f).pixelSize());
}

void TMainForm::Mm_ReadmeClick() { QDesktopServices::openUrl(QUrl::fromLocalFile(ProgramFile(QStringLiteral("readme.txt")))); }

void TMainForm::ff1Click() {
    QDesktopServices::openUrl(QUrl::fromLocalFile(ProgramFile(ProgramName() + QStringLiteral(".hlp"))));
}

void TMainForm::Mm_VersionClick() {
    TVersionBox box(this);
    box.move(x() + 70, y() + 110);
    box.exec();
}

void TMainForm::changeEvent(QEvent* Event) { QMainWindow::changeEvent(Event); }

bool TMainForm::event(QEvent* Event) {
    // Hints of menu items and tool buttons go to the first panel of the status bar.
    if (Event->type() == QEvent::StatusTip) {
        SetPanelText(0, static_cast<QStatusTipEvent*>(Event)->tip());
        return true;
    }
    return QMainWindow::event(Event);
}

bool TMainForm::eventFilter(QObject* Watched, QEvent* Event) {
    auto* e = qobject_cast<TEditor*>(Watched);
    if (!e && Watched->parent()) e = qobject_cast<TEditor*>(Watched->parent());
    if (!e) return QMainWindow::eventFilter(Watched, Event);
    const int i = IndexOfEditor(e);
    if (i < 0) return QMainWindow::eventFilter(Watched, Event);
    TPageRecord& p = FPages[static_cast<size_t>(i)];
    switch (Event->type()) {
    case QEvent::FocusIn:
        p.MainFocused = e == p.Editor;
        break;
    case QEvent::KeyPress: {
        auto* k = static_cast<QKeyEvent*>(Event);
        if (k->key() == Qt::Key_Insert) {
            // Insert toggles overwrite: in every main editor, or in a sub editor alone.
            const bool over = PanelText(9) != QStringLiteral("上書");
            SetPanelText(9, over ? QStringLiteral("上書") : QStringLiteral("挿入"));
            if (e == p.SubEditor) {
                e->SetOverWrite(over);
            } else {
                for (TPageRecord& q : FPages) q.Editor->SetOverWrite(over);
            }
            return true;
        }
        break;
    }
    case QEvent::MouseMove: {
        auto* m = static_cast<QMouseEvent*>(Event);
        if (Watched == e->viewport() && !(m->buttons() & Qt::LeftButton)) {
            const int kind = e->TokenAt(m->position().toPoint()).second;
            if (kind == kindUrl || kind == kindMail) e->viewport()->setCursor(Qt::PointingHandCursor);
        }
        break;
    }
    case QEvent::MouseButtonDblClick: {
        auto* m = static_cast<QMouseEvent*>(Event);
        if (Watched != e->viewport()) break;
        const auto [text, kind] = e->TokenAt(m->position().toPoint());
        if (kind == kindUrl) {
            QDesktopServices::openUrl(QUrl(cp932::ToDisplay(text)));
            return true;
        }
        if (kind == kindMail) {
            QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + cp932::ToDisplay(text)));
            return true;
        }
        e->SelectTokenAt(m->position().toPoint());
        return true;
    }
    case QEvent::Wheel: {
        if (Watched != e->viewport()) break;
        auto* w = static_cast<QWheelEvent*>(Event);
        const int rows = std::max(1, SettingInt("Stand", "Wheel", 3));
        const int delta = w->angleDelta().y();
        if (delta == 0) break;
        e->SetTopRow(e->TopRow() + (delta > 0 ? -rows : rows));
        return true;
    }
    default: break;
    }
    return QMainWindow::eventFilter(Watched, Event);
}

} // namespace quire
