// The settings file as the real main window applies it: started with a settings file,
// every page shows what the file says.
#include "Editor.h"
#include "Fonts.h"
#include "Profile.h"
#include "ProgramFolder.h"
#include "ScriptedServices.h"
#include "Settings.h"
#include "SettingsApply.h"
#include "TestFiles.h"
#include "Unit1.h"
#include "WidgetGrab.h"

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

using namespace quire;

namespace {

void setting(const char* section, const char* key, const QString& value) {
    profile::WriteString(SettingsFileName(), QString::fromLatin1(section), QString::fromLatin1(key), value);
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    return test::WriteTestFile(dir.path(), name, bytes);
}

QPoint cell(TEditor& e, int row, int col) {
    return QPoint(e.TextLeft() + (col - e.TopCol()) * e.CharWidth() + 1,
                  e.TextTop() + (row - e.TopRow()) * e.RowHeight() + e.CharHeight() / 2);
}

// Pixels of the colour among the rows of text (the ruler above them marks the pointer's column
// in a colour of its own, wherever the pointer happens to be).
int pixelsOf(TEditor& e, const QColor& colour) {
    const QImage img = e.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int n = 0;
    for (int y = e.TextTop(); y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (QColor(img.pixel(x, y)) == colour) ++n;
    return n;
}

TSettings settingsOfFile() {
    TSettings s;
    s.Load(SettingsFileName());
    return s;
}

} // namespace

TEST(SettingsWindow, WithoutASettingsFileTheDefaults) {
    InstallFontSubstitutions();
    TMainForm form;
    TEditor& e = *form.Editor();
    EXPECT_FALSE(form.findChild<QToolBar*>()->isHidden());
    EXPECT_FALSE(form.statusBar()->isHidden());
    EXPECT_EQ(QFontInfo(e.font()).family(), JapaneseMonospaceFamily()) << "FixedSys is the grid font";
    EXPECT_FALSE(e.WordWrap());
    EXPECT_EQ(e.WrapOption().WrapByte(), 80);
    EXPECT_EQ(e.Caret().TabSpaceCount(), 8);
    EXPECT_EQ(e.UndoListMax(), 64);
    EXPECT_TRUE(e.View().Url());
    EXPECT_FALSE(e.Caret().FreeCaret);
    EXPECT_FALSE(e.Caret().AutoIndent);
    EXPECT_EQ(e.View().Commenter(), ">");
    EXPECT_EQ(e.View().Colors().Comment().Color(), 0xFF0000u);
    EXPECT_FALSE(form.MyProp().BackUp);
    EXPECT_FALSE(form.MyProp().AutoSave);
    EXPECT_FALSE(form.SaveTimer().isActive());
    EXPECT_EQ(form.MyProp().AutoSaveMinutes, 5);
    EXPECT_EQ(form.PageControl()->tabPosition(), QTabWidget::North);
    EXPECT_EQ(form.CurrentSettings(), TSettings());
}

TEST(SettingsWindow, TabPositions) {
    const std::pair<const char*, QTabWidget::TabPosition> cases[] = {
        {"1", QTabWidget::South}, {"2", QTabWidget::East}, {"3", QTabWidget::West}, {"7", QTabWidget::West}};
    for (const auto& [value, position] : cases) {
        setting("Stand", "TabPosi", QString::fromLatin1(value));
        TMainForm form;
        EXPECT_EQ(form.PageControl()->tabPosition(), position) << value;
    }
}

TEST(SettingsWindow, ATabWidthThatIsNoNumberStartsWithEightWithoutComplaint) {
    test::ScriptedMessages messages;
    setting("Stand", "TabCount", "eight");
    TMainForm form;
    EXPECT_EQ(form.Editor()->Caret().TabSpaceCount(), 8);
    EXPECT_TRUE(messages.Shown.isEmpty()) << messages.Shown.join(QLatin1Char('\n')).toStdString();
}

TEST(SettingsWindow, EverySettingReachesTheEditorAndReadsBack) {
    TSettings s;
    s.Editor.UndoListMax = 256;
    s.Editor.TabSpaceCount = 4;
    s.Editor.FreeCaret = s.Editor.AutoIndent = s.Editor.UnderlineMark = true;
    s.Editor.WordWrap = true;
    s.Editor.WrapByte = 60;
    s.Editor.EofMark = s.Editor.RetMark = s.Editor.Mail = s.Editor.Leftbar = s.Editor.Ruler = true;
    s.Editor.Url = false;
    s.Editor.MarginLeft = 20;
    s.Editor.MarginTop = 6;
    s.Editor.MarginLine = 2;
    s.Editor.MarginCharacter = 1;
    s.Editor.WordBreak = s.Editor.FollowRetMark = s.Editor.Leading = s.Editor.FollowPunctuation = true;
    s.Editor.FollowStr = QStringLiteral("」）");
    s.MyProp.QuoteMark = QStringLiteral("|");
    s.MyProp.BackUp = s.MyProp.AutoSave = s.MyProp.VerticalBar = true;
    s.MyProp.AutoSaveMinutes = 30;
    s.MyProp.TabPosition = TTabPosition::Bottom;
    s.ToolBar = false;
    s.Save(SettingsFileName());
    TMainForm form;
    EXPECT_EQ(form.CurrentSettings(), s);
    EXPECT_EQ(form.Editor()->View().Commenter(), "|");
    EXPECT_EQ(form.Editor()->ScrollBars(), TScrollStyle::ssVertical);
    EXPECT_EQ(form.PanelText(spWrap), QStringLiteral("60↓"));
    EXPECT_TRUE(form.SaveTimer().isActive());
    EXPECT_EQ(form.SaveTimer().interval(), 30 * 60000);
    // A page added later gets the same through the bundle, the undo limit included.
    form.Editor()->Lines().SetText("x");
    form.Mm_NewClick();
    ASSERT_EQ(form.PageCount(), 2);
    EXPECT_EQ(form.CurrentSettings(), s);
    EXPECT_EQ(form.Page(1).Editor->UndoListMax(), 256);
    EXPECT_EQ(form.Page(1).Editor->ScrollBars(), TScrollStyle::ssVertical);
}

TEST(SettingsWindow, FreeCursorOffByDefaultAClickPastTheEndOfALineDoesNotPadIt) {
    for (const bool free : {false, true}) {
        setting("Stand", "FreeCursor", free ? "1" : "0");
        TMainForm form;
        form.resize(640, 400);
        test::ShowAndGrab(form);
        TEditor& e = *form.Editor();
        e.Lines().SetText("ab\r\ncd");
        e.setFocus();
        QTest::mouseClick(e.viewport(), Qt::LeftButton, Qt::NoModifier, cell(e, 0, 10));
        QTest::keyClicks(&e, QStringLiteral("x"));
        EXPECT_EQ(e.Lines().Text(), free ? "ab        x\r\ncd" : "abx\r\ncd") << "free cursor " << free;
    }
}

TEST(SettingsWindow, ACppFileIsColouredFromTheColourTable) {
    QTemporaryDir dir;
    setting("Color", "C_KeyWord", "clRed");
    setting("Color", "C_Str", "$00FF0000"); // blue
    setting("Color", "C_Comment", "65280"); // lime
    setting("Bold", "C_KeyWord", "0");
    TMainForm form;
    form.resize(640, 400);
    test::ShowAndGrab(form);
    ASSERT_TRUE(form.OpenFileIntoPage(writeFile(dir, "a.cpp", "int main() {\r\n  return \"s\"; // c\r\n}\r\n")));
    TEditor& e = *form.CurrentEditor();
    ASSERT_EQ(form.Page(form.ActivePage()).Mode, QStringLiteral("C++"));
    EXPECT_GT(pixelsOf(e, QColor(255, 0, 0)), 0) << "keywords";
    EXPECT_GT(pixelsOf(e, QColor(0, 0, 255)), 0) << "strings";
    EXPECT_GT(pixelsOf(e, QColor(0, 255, 0)), 0) << "comments";
    // The same text as a plain page has none of them.
    ASSERT_TRUE(form.OpenFileIntoPage(writeFile(dir, "a.txt", "int main() {\r\n  return \"s\"; // c\r\n}\r\n")));
    TEditor& plain = *form.CurrentEditor();
    EXPECT_EQ(pixelsOf(plain, QColor(255, 0, 0)) + pixelsOf(plain, QColor(0, 0, 255)) +
                  pixelsOf(plain, QColor(0, 255, 0)),
              0);
}

TEST(SettingsWindow, ColoursAndStylesReachEveryPageAndSubEditor) {
    TMainForm form;
    form.Editor()->Lines().SetText("x");
    form.Mm_NewClick();
    form.Mm_DivisionClick();
    TPageRecord& second = form.Page(1);
    ASSERT_NE(second.SubEditor, nullptr);
    form.ColorTable().SetColor(TColorIndex::Bk, 0x123456);
    form.ColorTable().SetColor(TColorIndex::URL, 0x0000FF);
    form.StyleTable().Flags(TStyleSlot::URL) = {true, false, false};
    form.ApplyColorsToAll();
    form.ApplyStylesToAll();
    for (TEditor* e : {form.Page(0).Editor, second.Editor, second.SubEditor}) {
        EXPECT_EQ(e->Color(), 0x123456u);
        EXPECT_EQ(e->View().Colors().Url().Color(), 0x0000FFu);
        EXPECT_EQ(e->View().Colors().Url().Style(), fsBold);
    }
    second.Editor->Lines().SetText("y");
    form.Mm_NewClick();
    ASSERT_EQ(form.PageCount(), 3);
    EXPECT_EQ(form.Page(2).Editor->Color(), 0x123456u) << "a new page takes the colours";
}

TEST(SettingsWindow, SettingsAppliedToTheWholeWindowReadBackFromEveryPage) {
    TMainForm form;
    form.Editor()->Lines().SetText("abc\r\nd");
    form.Mm_NewClick();
    form.Page(1).Editor->Lines().SetText("x");
    form.Mm_DivisionClick();
    form.Page(0).Editor->Caret().FreeCaret = true;
    form.Page(0).Editor->SetRowCol(0, 9); // past the end of the row
    TSettings s = form.CurrentSettings();
    s.Editor.FreeCaret = false;
    s.Editor.WrapByte = 30;
    s.Editor.Leftbar = true;
    s.MyProp.QuoteMark = QStringLiteral("#");
    s.MyProp.QuoteColoring = false;
    s.MyProp.HorizontalBar = true;
    s.MyProp.AutoSave = true;
    s.MyProp.TabPosition = TTabPosition::Right;
    s.StatusBar = false;
    form.ApplySettings(s);
    EXPECT_EQ(form.CurrentSettings(), s);
    TEditorSettings shown = s.Editor;
    shown.Url = shown.Mail = true; // the pages' mode, 標準, recognises both
    for (TEditor* e : {form.Page(0).Editor, form.Page(1).Editor, form.Page(1).SubEditor}) {
        EXPECT_EQ(ReadEditorSettings(*e), shown);
        EXPECT_EQ(e->ScrollBars(), TScrollStyle::ssHorizontal);
        EXPECT_EQ(e->View().Commenter(), "#");
        EXPECT_EQ(e->View().Colors().Comment().Color(), 0x000000u) << "quoted lines are plain text";
    }
    EXPECT_EQ(form.Page(0).Editor->Col(), 3) << "the caret came back to the end of its row";
    EXPECT_EQ(form.PageControl()->tabPosition(), QTabWidget::East);
    EXPECT_TRUE(form.SaveTimer().isActive());
    EXPECT_EQ(settingsOfFile(), TSettings()) << "applying writes nothing";
}

TEST(SettingsWindow, AnEditorSettingPassesToEveryPageThroughTheBundle) {
    TMainForm form;
    form.Editor()->Lines().SetText("x");
    form.Mm_NewClick();
    form.Mm_DivisionClick();
    TEditor& first = *form.Editor();
    first.Caret().FreeCaret = true;
    first.Caret().AutoIndent = true;
    first.WrapOption().SetWrapByte(40);
    first.SetWordWrap(true);
    form.PassEditorSettings(first);
    for (TEditor* e : {form.Page(1).Editor, form.Page(1).SubEditor}) {
        EXPECT_TRUE(e->Caret().FreeCaret);
        EXPECT_TRUE(e->Caret().AutoIndent);
        EXPECT_TRUE(e->WordWrap());
        EXPECT_EQ(e->WrapOption().WrapByte(), 40);
    }
}

TEST(SettingsWindow, TheWindowsPlaceIsWrittenAtCloseAndAMaximisedWindowWritesOnlyThat) {
    {
        TMainForm form;
        form.move(30, 40);
        form.resize(500, 300);
        form.SaveWindowPlacement();
    }
    EXPECT_EQ(profile::ReadString(SettingsFileName(), "Window", "Width"), QStringLiteral("500"));
    EXPECT_EQ(profile::ReadString(SettingsFileName(), "Window", "Maximize"), QStringLiteral("0"));
    {
        TMainForm form;
        EXPECT_EQ(form.size(), QSize(500, 300));
        form.resize(700, 500);
        form.setWindowState(Qt::WindowMaximized);
        form.SaveWindowPlacement();
    }
    EXPECT_EQ(profile::ReadString(SettingsFileName(), "Window", "Width"), QStringLiteral("500"));
    EXPECT_EQ(profile::ReadString(SettingsFileName(), "Window", "Maximize"), QStringLiteral("1"));
    TMainForm maximised;
    EXPECT_TRUE(maximised.windowState() & Qt::WindowMaximized);
}

TEST(SettingsWindow, TheFontNamesTheFontAndItsSizeInPoints) {
    InstallFontSubstitutions();
    setting("Font", "Name", JapaneseProportionalFamily());
    setting("Font", "Size", "20");
    TMainForm form;
    const QFontInfo info(form.Editor()->font());
    EXPECT_EQ(info.family(), JapaneseProportionalFamily());
    setting("Font", "Size", "10");
    TMainForm smaller;
    EXPECT_LT(QFontInfo(smaller.Editor()->font()).pixelSize(), info.pixelSize());
}
