// TMainForm: the settings read at start, the colour and style tables applied to every editor
// and colouring, the property bundle passed between pages, and the window's place.
#include "Unit1.h"

#include "Editor.h"
#include "OwnColouring.h"
#include "Settings.h"
#include "SettingsApply.h"
#include "WindowSettings.h"

#include <QAction>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>

namespace quire {

namespace {
bool isUserMode(const TPageRecord& Page) { return ModeOfPage(Page.Mode) == TEditMode::Yuza; }
} // namespace

void TMainForm::LoadEditorSettings() {
    TSettings s;
    s.Load(SettingsFile());
    FMyProp = s.MyProp;
    TEditor& e = *FPages.front().Editor;
    ApplyEditorSettings(e, s.Editor);
    FUrl = s.Editor.Url;
    FMail = s.Editor.Mail;
    ShowToolBar(s.ToolBar);
    statusBar()->setVisible(s.StatusBar);
    Action("Mm_StatusBar")->setChecked(s.StatusBar);
    RestartSaveTimer();
    FEditorProp.Assign(e);
    ShowToggles();
}

void TMainForm::LoadColorsAndStyles() {
    FColorTable.Load(SettingsFile());
    ApplyColorsToAll();
    FStyleTable.Load(SettingsFile());
    ApplyStylesToAll();
    FPages.front().Editor->SetScrollBars(ScrollBarsOf(FMyProp.VerticalBar, FMyProp.HorizontalBar));
    FEditorProp.Assign(*FPages.front().Editor);
    ApplyBundleToPages();
    ShowCounts();
}

TSettings TMainForm::CurrentSettings() {
    TSettings s;
    s.Editor = ReadEditorSettings(*CurrentEditor());
    // The modes set the editors' URL and mail recognition: the settings are kept apart.
    s.Editor.Url = FUrl;
    s.Editor.Mail = FMail;
    s.MyProp = FMyProp;
    s.ToolBar = !FToolBar->isHidden();
    s.StatusBar = !statusBar()->isHidden();
    return s;
}

void TMainForm::ApplySettings(const TSettings& S) {
    FMyProp = S.MyProp;
    FUrl = S.Editor.Url;
    FMail = S.Editor.Mail;
    const TScrollStyle bars = ScrollBarsOf(FMyProp.VerticalBar, FMyProp.HorizontalBar);
    for (TPageRecord& p : FPages)
        for (TEditor* e : {p.Editor, p.SubEditor}) {
            if (!e) continue;
            ApplyEditorSettings(*e, S.Editor);
            e->SetScrollBars(bars);
            // Without free caret a caret past the end of its row comes back to the end.
            if (!S.Editor.FreeCaret) e->SetCol(e->Col());
        }
    ShowToolBar(S.ToolBar);
    statusBar()->setVisible(S.StatusBar);
    Action("Mm_StatusBar")->setChecked(S.StatusBar);
    // The menu items of the text commands, where the window has them: the checks of free
    // cursor and auto indent, and the size and count commands, idle while always shown.
    const std::pair<const char*, bool> checks[] = {{"Mm_FreeCursol", S.Editor.FreeCaret},
                                                   {"Mm_AutoIndent", S.Editor.AutoIndent}};
    for (const auto& [name, on] : checks)
        if (QAction* a = Action(name)) a->setChecked(on);
    const std::pair<const char*, bool> idle[] = {{"Mm_GetSize", FMyProp.SizeDisplay},
                                                 {"Mm_GetCount", FMyProp.CountDisplay}};
    for (const auto& [name, shown] : idle)
        if (QAction* a = Action(name)) a->setEnabled(!shown);
    SetTabPosition(FMyProp.TabPosition);
    RestartSaveTimer();
    // Rectangular selection keeps the free caret on while it lasts.
    if (FBoxMode) SetCaretOption(&TEditorCaret::FreeCaret, true);
    // Every page's mode takes the new quote mark, definitions of mode ユーザ and recognition
    // of URLs and mail addresses.
    for (int i = 0; i < PageCount(); ++i) ApplyMode(i);
    ApplyColorsToAll();      // the quoted-line colour follows quote colouring; the bundle is taken
    EnterPage(ActivePage()); // the check marks, the counts and the enabled states too
}

void TMainForm::ApplyColorsToAll() {
    for (TPageRecord& p : FPages)
        for (TEditor* e : {p.Editor, p.SubEditor}) {
            if (!e) continue;
            ApplyColors(*e, FColorTable, FMyProp.QuoteColoring);
            if (isUserMode(p))
                ApplyUserModeColors(*e, FColorTable);
            else
                ApplyNormalModeColors(*e, FColorTable, FMyProp.QuoteColoring);
            e->viewport()->update(); // the blank marks are drawn in their new colours
        }
    for (const auto& [name, fountain] : FFountains) ApplyColors(*fountain, FColorTable);
    FEditorProp.Assign(*CurrentEditor());
    LoadMarkSettings();
}

void TMainForm::ApplyStylesToAll() {
    for (TPageRecord& p : FPages)
        for (TEditor* e : {p.Editor, p.SubEditor})
            if (e) ApplyStyles(*e, FStyleTable, isUserMode(p));
    for (const auto& [name, fountain] : FFountains) ApplyStyles(*fountain, FStyleTable);
    FEditorProp.Assign(*CurrentEditor());
}

// The bundle carries the colouring set-up of the page it was taken from: each editor that
// receives it gets its own page's mode back.
void TMainForm::ApplyBundleToPages() {
    for (size_t i = 0; i < FPages.size(); ++i) {
        TPageRecord& p = FPages[i];
        if (i > 0) FEditorProp.AssignTo(*p.Editor);
        if (p.SubEditor) FEditorProp.AssignTo(*p.SubEditor);
        ApplyMode(static_cast<int>(i));
    }
}

void TMainForm::PassEditorSettings(TEditor& Source) {
    FEditorProp.Assign(Source);
    for (int i = 0; i < PageCount(); ++i) {
        TPageRecord& p = Page(i);
        for (TEditor* e : {p.Editor, p.SubEditor})
            if (e && e != &Source) FEditorProp.AssignTo(*e);
        ApplyMode(i);
    }
}

void TMainForm::SetTabPosition(TTabPosition Position) {
    switch (Position) {
    case TTabPosition::Top: FPageControl->setTabPosition(QTabWidget::North); break;
    case TTabPosition::Bottom: FPageControl->setTabPosition(QTabWidget::South); break;
    case TTabPosition::Right: FPageControl->setTabPosition(QTabWidget::East); break;
    case TTabPosition::Left: FPageControl->setTabPosition(QTabWidget::West); break;
    }
}

void TMainForm::SaveWindowPlacement() {
    TWindowSettings w;
    w.Maximized = (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) != 0;
    // The client area's place, restored the same way: storing the frame's corner and
    // restoring it as the client's made the window creep by the frame on every start.
    const QRect client = geometry();
    w.Left = client.x();
    w.Top = client.y();
    w.Width = client.width();
    w.Height = client.height();
    w.SavePlacement(SettingsFile());
}

} // namespace quire
