// TMainForm: the main window. Construction, settings read at start, window commands and the
// events of the window and its editors. Pages, opening, saving and the menus have files of
// their own (MainFormPages, MainFormOpen, MainFormSave, MainFormMenus).
#include "Unit1.h"

#include "Cp932Codec.h"
#include "Dialogs.h"
#include "Editor.h"
#include "FountainFactory.h"
#include "Messages.h"
#include "ProgramFolder.h"
#include "Profile.h"
#include "TokenKinds.h"
#include "Unit3.h"

#include <QAction>
#include <QDesktopServices>
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
const QString TMainForm::OpenFilter = QStringLiteral(
    "すべてのファイル(*.*)|*.*|テキストファイル(*.txt)|*.txt|htmlファイル(*.htm,*.html)|*.htm;*.html|"
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
    ApplyKeyCustomisation();
    FToolBar->setVisible(Setting("Bar", "Tool", true));
    Action("Mm_ToolBar")->setChecked(FToolBar->isVisible());
    statusBar()->setVisible(Setting("Bar", "Status", true));
    Action("Mm_StatusBar")->setChecked(statusBar()->isVisible());
    connect(&FSaveTimer, &QTimer::timeout, this, &TMainForm::SaveTimerTimer);
    RestartSaveTimer();
    PlaceWindow();
}

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

QString TMainForm::SettingsFile() const { return SettingsFileName(); }

void TMainForm::LoadMarkSettings() {
    FBlankMarks.Space = Setting("Marks", "Space", false);
    FBlankMarks.HSpace = Setting("Marks", "HSpace", false);
    FBlankMarks.Tab = Setting("Marks", "Tab", false);
    FBlankMarks.SpaceColor = static_cast<TColor>(SettingInt("Color", "Space", 0xC0C0C0));
    FBlankMarks.HSpaceColor = static_cast<TColor>(SettingInt("Color", "HSpace", 0xC0C0C0));
    FBlankMarks.TabColor = static_cast<TColor>(SettingInt("Color", "TAB", 0xC0C0C0));
    FWheelRows = std::max(1, SettingInt("Stand", "Wheel", 3));
}

bool TMainForm::Setting(const char* Section, const char* Key, bool Default) const {
    return profile::ReadBool(SettingsFile(), QString::fromLatin1(Section), QString::fromLatin1(Key), Default);
}

int TMainForm::SettingInt(const char* Section, const char* Key, int Default) const {
    return profile::ReadInteger(SettingsFile(), QString::fromLatin1(Section), QString::fromLatin1(Key), Default);
}

void TMainForm::Mm_TopClick() {
    const bool on = Action("Mm_Top")->isChecked();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    show();
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

bool TMainForm::event(QEvent* Event) {
    // Hints of menu items and tool buttons go to the first panel of the status bar.
    if (Event->type() == QEvent::StatusTip) {
        SetPanelText(spHint, static_cast<QStatusTipEvent*>(Event)->tip());
        return true;
    }
    // Coming back to the window: files may have been changed meanwhile. The questions wait
    // until the activation is over.
    if (Event->type() == QEvent::WindowActivate) QTimer::singleShot(0, this, [this] { CheckFilesOnDisk(); });
    return QMainWindow::event(Event);
}

bool TMainForm::eventFilter(QObject* Watched, QEvent* Event) {
    auto* e = qobject_cast<TEditor*>(Watched);
    if (!e && Watched->parent()) e = qobject_cast<TEditor*>(Watched->parent());
    const int i = e ? IndexOfEditor(e) : -1;
    if (i < 0) return QMainWindow::eventFilter(Watched, Event);
    TPageRecord& p = FPages[static_cast<size_t>(i)];
    const bool onText = Watched == e->viewport();
    switch (Event->type()) {
    case QEvent::FocusIn: p.MainFocused = e == p.Editor; break;
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
        e->SetTopRow(e->TopRow() + (delta > 0 ? -FWheelRows : FWheelRows));
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
    if (kind == kindUrl) QDesktopServices::openUrl(QUrl(cp932::ToDisplay(text)));
    else if (kind == kindMail) QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + cp932::ToDisplay(text)));
    else Editor.SelectTokenAt(Pos);
}

} // namespace quire
