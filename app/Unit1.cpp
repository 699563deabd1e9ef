// TMainForm: the main window. Construction, settings read at start, window commands and the
// events of the window and its editors. Pages, opening, saving and the menus have files of
// their own (MainFormPages, MainFormOpen, MainFormSave, MainFormMenus).
#include "Unit1.h"

#include "Cp932Codec.h"
#include "Dialogs.h"
#include "Editor.h"
#include "Fonts.h"
#include "FountainFactory.h"
#include "Messages.h"
#include "PathCodec.h"
#include "Profile.h"
#include "ProgramFolder.h"
#include "RecoveryKeeper.h"
#include "SettingsApply.h"
#include "TokenKinds.h"
#include "Unit3.h"
#include "WindowSettings.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QUrl>
#include <QWheelEvent>

namespace quire {

const QString TMainForm::NewDocumentName = QStringLiteral("新規作成");
const QString TMainForm::OpenFilter =
    QStringLiteral("すべてのファイル(*.*)|*.*|テキストファイル(*.txt)|*.txt|htmlファイル(*.htm,*.html)|*.htm;*.html|"
                   "iniファイル(*.ini,*.inf)|*.ini;*.inf|Delphiファイル(*.pas)|*.pas");

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MainForm"));
    setAcceptDrops(true);
    // A settings file that cannot be written is reported once, and the program goes on with
    // the settings in memory.
    profile::KeepInMemoryWhenUnwritable(SettingsFile(), [](const QString& Why) { Tell(Why, TMessageIcon::Warning); });
    profile::WriteString(SettingsFile(), "App", "Handle", QString::number(static_cast<qulonglong>(winId())));
    for (const std::string& name : LanguageFountainNames())
        FFountains[QString::fromStdString(name)] = CreateLanguageFountain(name);
    FPageControl = new QTabWidget(this);
    FPageControl->setObjectName(QStringLiteral("PageControl"));
    FPageControl->setMovable(true);
    setCentralWidget(FPageControl);
    CreateMenus();
    CreateStatusBar();
    connect(FPageControl, &QTabWidget::currentChanged, this, [this](int i) {
        if (i >= 0 && i < PageCount()) EnterPage(i);
    });
    connect(FPageControl->tabBar(), &QTabBar::tabMoved, this, [this](int from, int to) {
        // A tab dragged to another place: the page records follow the tabs.
        TPageRecord moved = Page(from);
        FPages.erase(FPages.begin() + from);
        FPages.insert(FPages.begin() + to, moved);
    });
    connect(&FSaveTimer, &QTimer::timeout, this, &TMainForm::SaveTimerTimer);
    FRecovery = std::make_unique<TRecoveryKeeper>([this](TEditor* e) { return JournalPage(e); });
    FRecovery->OnProblem = [](const QString& message) { Tell(message, TMessageIcon::Warning); };
    NewTab();
    LoadEditorSettings();
    ApplyKeyCustomisation();
    SetTabPosition(FMyProp.TabPosition);
    FStyleTable.Load(SettingsFile());
    FPages.front().LineEndCode = FMyProp.NewLineEnd;
    ResetPage(0);
    PlaceWindow();
    LoadRecentFiles();
    LoadColorsAndStyles();
    LoadKeywordFiles();
}

void TMainForm::PlaceDialog(QWidget& Dialog) const { Dialog.move(x() + 70, y() + 110); }

TMainForm::~TMainForm() {
    FSaveTimer.stop();
    for (int i = PageCount() - 1; i >= 0; --i) Unsplit(i);
}

// The window's place and the editors' font as they were left.
void TMainForm::PlaceWindow() {
    // A place stored on a screen that is no longer there is replaced, so that the window is
    // never opened out of sight; a size larger than the screen is cut down to it.
    // Stored numbers are limited first: a QRect at the ends of int overflows and looks visible.
    static constexpr int far = 1 << 20;
    TWindowSettings w;
    w.Load(SettingsFile());
    QRect place(std::clamp(w.Left, -far, far), std::clamp(w.Top, -far, far), std::clamp(w.Width, 320, far),
                std::clamp(w.Height, 200, far));
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        const QRect avail = primary->availableGeometry();
        place.setSize(place.size().boundedTo(avail.size()).expandedTo(QSize(320, 200)));
        bool visible = false;
        for (const QScreen* screen : QGuiApplication::screens())
            if (screen->availableGeometry().intersected(place).width() >= 100 &&
                screen->availableGeometry().intersected(place).height() >= 50)
                visible = true;
        if (!visible) place.moveCenter(avail.center());
        // A window reaching past the right or bottom of the screen its corner is on moves
        // back onto it.
        if (const QScreen* screen = QGuiApplication::screenAt(place.topLeft())) {
            const QRect a = screen->availableGeometry();
            place.moveTo(std::min(place.left(), std::max(a.left(), a.right() + 1 - place.width())),
                         std::min(place.top(), std::max(a.top(), a.bottom() + 1 - place.height())));
        }
    }
    if (profile::SectionExists(SettingsFile(), "Window"))
        setGeometry(place);
    else
        resize(place.size());
    if (w.Maximized) setWindowState(windowState() | Qt::WindowMaximized);
    const QFont font = EditorFont(w.FontName, w.FontSize);
    FFontPoints = font.pointSize();
    FPages.front().Editor->SetEditorFont(font);
    FEditorProp.Assign(*FPages.front().Editor);
}

QString TMainForm::SettingsFile() const { return SettingsFileName(); }

void TMainForm::LoadMarkSettings() {
    FBlankMarks.Space = FMyProp.SpaceMark;
    FBlankMarks.HSpace = FMyProp.HSpaceMark;
    FBlankMarks.Tab = FMyProp.TabMark;
    FBlankMarks.SpaceColor = FColorTable[TColorIndex::Space];
    FBlankMarks.HSpaceColor = FColorTable[TColorIndex::HSpace];
    FBlankMarks.TabColor = FColorTable[TColorIndex::TAB];
}

void TMainForm::Mm_TopClick() {
    const bool on = Action("Mm_Top")->isChecked();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    show();
}

void TMainForm::Mm_ToolBarClick() {
    const bool on = FToolBar->isHidden();
    ShowToolBar(on);
    profile::WriteBool(SettingsFile(), "Bar", "Tool", on);
}

void TMainForm::Mm_StatusBarClick() {
    statusBar()->setVisible(!statusBar()->isVisible());
    Action("Mm_StatusBar")->setChecked(statusBar()->isVisible());
    profile::WriteBool(SettingsFile(), "Bar", "Status", statusBar()->isVisible());
}

void TMainForm::Mm_FontClick() {
    // The editors draw the font at an even pixel size; the dialog offers and the settings keep
    // the size in points that the user chose.
    QFont f(QFontInfo(CurrentEditor()->font()).family());
    f.setPointSize(FFontPoints);
    if (!Dialogs().ChooseFont(this, f)) return;
    // A font without Japanese glyphs would turn the text into boxes, and stay so after a
    // restart: it is refused with a word, and the font in use stays.
    if (!DrawsJapanese(f)) {
        Tell(QStringLiteral("フォント「%1」では日本語を表示できないため、変更しませんでした。").arg(f.family()),
             TMessageIcon::Warning);
        return;
    }
    for (TPageRecord& p : FPages) {
        p.Editor->SetEditorFont(f);
        if (p.SubEditor) p.SubEditor->SetEditorFont(f);
    }
    FEditorProp.Font = CurrentEditor()->font(); // pages added later take it too
    TWindowSettings w;
    w.FontName = f.family();
    FFontPoints = f.pointSize() > 0 ? f.pointSize() : QFontInfo(f).pointSize();
    w.FontSize = FFontPoints;
    w.SaveFont(SettingsFile());
}

void TMainForm::Mm_ReadmeClick() { ShowGuide(); }

void TMainForm::ff1Click() { ShowGuide(); }

void TMainForm::ShowGuide() {
    const QString guide = ReadmeFile();
    if (guide.isEmpty()) {
        QStringList folders;
        for (const QString& folder : ReadmeFolders()) folders << DisplayPath(folder);
        Tell(QStringLiteral("ガイド「readme.txt」が見つかりません。\r\r探したフォルダー:\r") +
                 folders.join(QStringLiteral("\r")),
             TMessageIcon::Warning);
        return;
    }
    if (Dialogs().OpenUrl(QUrl::fromLocalFile(guide))) return;
    // No program of the desktop takes it: it is shown here, once, in a page that takes no
    // changes, and it does not join the recent files.
    const QString path = NormalizedPath(guide);
    for (int i = 0; i < PageCount(); ++i)
        if (Page(i).ShownOnly && Page(i).FileName == path) {
            SetActivePage(i);
            return;
        }
    const int index = OpenIntoPage(path, true);
    if (index < 0) return;
    TPageRecord& p = Page(index);
    p.ShownOnly = true;
    for (TEditor* e : {p.Editor, p.SubEditor})
        if (e) e->SetReadOnly(true);
}

// Hands a URL or a file to the desktop's program for it; says so when there is none.
void TMainForm::OpenExternally(const QUrl& Target) {
    if (Dialogs().OpenUrl(Target)) return;
    const QString shown = Target.isLocalFile() ? DisplayPath(Target.toLocalFile()) : Target.toString();
    Tell(QStringLiteral("「%1」を開くプログラムが見つかりませんでした。").arg(shown), TMessageIcon::Warning);
}

void TMainForm::Mm_VersionClick() {
    TVersionBox box(this);
    PlaceDialog(box);
    box.exec();
}

bool TMainForm::event(QEvent* Event) {
    // Hints of menu items and tool buttons go to the first panel of the status bar.
    if (Event->type() == QEvent::StatusTip) {
        SetPanelText(spHint, static_cast<QStatusTipEvent*>(Event)->tip());
        return true;
    }
    // Coming back to the window: files may have been changed meanwhile. The questions wait
    // until the activation is over.
    if (Event->type() == QEvent::WindowActivate) {
        FormActivate();
        // Keys go to the current editor when nothing in the window has the focus (the first
        // activation after start, for one).
        QWidget* focus = QApplication::focusWidget();
        if (!focus || !isAncestorOf(focus)) CurrentEditor()->setFocus(Qt::ActiveWindowFocusReason);
        QTimer::singleShot(0, this, [this] { CheckFilesOnDisk(); });
    }
    return QMainWindow::event(Event);
}

bool TMainForm::eventFilter(QObject* Watched, QEvent* Event) {
    auto* e = qobject_cast<TEditor*>(Watched);
    if (!e && Watched->parent()) e = qobject_cast<TEditor*>(Watched->parent());
    const int i = e ? IndexOfEditor(e) : -1;
    if (i < 0) return QMainWindow::eventFilter(Watched, Event);
    TPageRecord& p = Page(i);
    const bool onText = Watched == e->viewport();
    switch (Event->type()) {
    case QEvent::FocusIn:
        p.MainFocused = e == p.Editor;
        RefreshCommandStates();
        break;
    case QEvent::ShortcutOverride:
        // Before the window's shortcuts see a key, their enabled states are those of now.
        RefreshCommandStates();
        break;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(Event)->key() == Qt::Key_Insert) {
            ToggleOverWrite(p, e);
            return true;
        }
        break;
    case QEvent::MouseMove:
        if (onText) ShowPointerOverToken(*e, *static_cast<QMouseEvent*>(Event));
        break;
    case QEvent::MouseButtonDblClick:
        if (!onText) break;
        DoubleClickToken(*e, static_cast<QMouseEvent*>(Event)->position().toPoint());
        return true;
    case QEvent::Wheel: {
        const int delta = static_cast<QWheelEvent*>(Event)->angleDelta().y();
        if (!onText || delta == 0) break;
        const int rows = std::max(1, FMyProp.WheelRows);
        e->SetTopRow(e->TopRow() + (delta > 0 ? -rows : rows));
        return true;
    }
    default: break;
    }
    return QMainWindow::eventFilter(Watched, Event);
}

// Insert toggles overwrite: in every main editor, or in a sub editor alone.
void TMainForm::ToggleOverWrite(TPageRecord& Page, TEditor* Editor) {
    FOverWriteMode = !FOverWriteMode;
    SetPanelText(spInsert, FOverWriteMode ? QStringLiteral("上書") : QStringLiteral("挿入"));
    if (Editor == Page.SubEditor) {
        Editor->SetOverWrite(FOverWriteMode);
    } else {
        for (TPageRecord& q : FPages) q.Editor->SetOverWrite(FOverWriteMode);
    }
}

// Over a URL or a mail address the pointer becomes a hand.
void TMainForm::ShowPointerOverToken(TEditor& Editor, const QMouseEvent& Event) {
    if (Event.buttons() & Qt::LeftButton) return;
    const int kind = Editor.TokenAt(Event.position().toPoint()).second;
    if (kind == kindUrl || kind == kindMail) Editor.viewport()->setCursor(Qt::PointingHandCursor);
}

// A double click opens a URL or a mail address; elsewhere it selects the token under it.
void TMainForm::DoubleClickToken(TEditor& Editor, const QPoint& Pos) {
    const auto [text, kind] = Editor.TokenAt(Pos);
    if (kind != kindUrl && kind != kindMail) {
        Editor.SelectTokenAt(Pos);
        return;
    }
    OpenExternally(QUrl((kind == kindMail ? QStringLiteral("mailto:") : QString()) + cp932::ToDisplay(text)));
}

} // namespace quire
