// The text commands: what they compute, and the main window's commands on real editors with
// the clipboard, the questions, the menus' enabled states and the keys.
#include "TextCommands.h"
#include "CostumKey.h"
#include "Cp932Codec.h"
#include "Editor.h"
#include "Profile.h"
#include "ProgramFolder.h"
#include "Settings.h"
#include "TextCommandsFixture.h"
#include "Unit1.h"
#include "Unit6.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace quire;
using quire::test::kEnter;
using quire::test::kEscape;

// --- what the commands compute ------------------------------------------------------------

TEST(TextCommands, PasteMarkIsTheTextBetweenTheDollarQuotes) {
    EXPECT_EQ(QStringLiteral("> "), PasteMark(QStringLiteral("$> $")));
    EXPECT_EQ(QStringLiteral("a$b"), PasteMark(QStringLiteral("$a$$b$")));
    EXPECT_EQ(QStringLiteral("$>"), PasteMark(QStringLiteral("$$$>$ and the rest")));
    EXPECT_EQ(QStringLiteral("｜ "), PasteMark(QStringLiteral("$｜ $")));
    // Without the opening quote there is no mark; without the closing one it runs to the end.
    EXPECT_EQ(QString(), PasteMark(QStringLiteral("> ")));
    EXPECT_EQ(QString(), PasteMark(QStringLiteral(" $>$")));
    EXPECT_EQ(QString(), PasteMark(QString()));
    EXPECT_EQ(QString(), PasteMark(QStringLiteral("$")));
    EXPECT_EQ(QStringLiteral(">"), PasteMark(QStringLiteral("$>")));
}

TEST(TextCommands, QuotedLinesEndWithCrLfWhateverTheirLineEnds) {
    const QString mark = QStringLiteral("> ");
    EXPECT_EQ(QStringLiteral("> abc\r\n"), QuoteLines(QStringLiteral("abc"), mark));
    EXPECT_EQ(QStringLiteral("> a\r\n> b\r\n"), QuoteLines(QStringLiteral("a\nb"), mark));
    EXPECT_EQ(QStringLiteral("> a\r\n> b\r\n"), QuoteLines(QStringLiteral("a\r\nb\r\n"), mark));
    // A lone CR is a line end; CR CR is two, with an empty line between.
    EXPECT_EQ(QStringLiteral("> a\r\n> \r\n> b\r\n"), QuoteLines(QStringLiteral("a\r\rb"), mark));
    EXPECT_EQ(QStringLiteral("> \r\n"), QuoteLines(QStringLiteral("\n"), mark));
    EXPECT_EQ(QString(), QuoteLines(QString(), mark));
    EXPECT_EQ(QStringLiteral("a\r\nb\r\n"), QuoteLines(QStringLiteral("a\rb"), QString()));
    // The bytes: a double-byte character stays whole.
    EXPECT_EQ(std::string("> \x82\xA0\r\n> x\r\n"),
              QuoteLines(std::string_view("\x82\xA0\nx"), std::string_view("> ")));
}

TEST(TextCommands, FullWidthDigitsBecomeAsciiOnlyWhereTheyAreCharacters) {
    EXPECT_EQ("0123456789", ZenDigitsToAscii(cp932::FromUnicode(QStringLiteral("０１２３４５６７８９"))));
    EXPECT_EQ(cp932::FromUnicode(QStringLiteral("a1あ9\r\n")),
              ZenDigitsToAscii(cp932::FromUnicode(QStringLiteral("a１あ９\r\n"))));
    // 0x82 0x4F inside other characters: the trail byte of one and the lead of the next.
    EXPECT_EQ("\x81\x82\x4F", ZenDigitsToAscii("\x81\x82\x4F"));
    EXPECT_EQ("\x81\x82"
              "0",
              ZenDigitsToAscii("\x81\x82\x82\x4F"));
    // A lone lead byte at the end stays.
    EXPECT_EQ("1\x82", ZenDigitsToAscii("\x82\x50\x82"));
}

// --- the commands in the main window ------------------------------------------------------

using TextCommandsTest = quire::test::TextCommandsFixture;
using quire::test::sj;

TEST_F(TextCommandsTest, QuotedCopyAndCutPutTheMarkBeforeEveryLine) {
    text("abc\r\nxy\r\nz");
    select(0, 3);
    form->MmInyoCutClick(TClipboardTake::Copy);
    expectClipboardHolds("> abc\r\n");
    EXPECT_EQ("abc\r\nxy\r\nz", all());
    select(5, 5); // "xy", its line end and "z"
    form->MmInyoCutClick(TClipboardTake::Cut);
    expectClipboardHolds("> xy\r\n> z\r\n");
    EXPECT_EQ("abc\r\n", all());
}

TEST_F(TextCommandsTest, QuotedPasteQuotesEveryLineAndLeavesTheTextInCrLfForm) {
    text("");
    setClip(QStringLiteral("a\nb"));
    form->Mm_Inyo_PasteClick();
    EXPECT_EQ("> a\r\n> b\r\n", all());
    expectClipboardHolds("a\r\nb\r\n");
    // One undo step takes it all back.
    ed()->Undo();
    EXPECT_EQ("", all());
}

TEST_F(TextCommandsTest, TheMarkComesFromTheSettingsAndWithoutQuotesIsEmpty) {
    text("");
    setClip(QStringLiteral("a\r\nb\r\n"));
    form->MyProp().PasteQuoteMark = QStringLiteral("$$$| $");
    form->Mm_Inyo_PasteClick();
    EXPECT_EQ("$| a\r\n$| b\r\n", all());
    text("");
    form->MyProp().PasteQuoteMark = QStringLiteral("> ");
    form->Mm_Inyo_PasteClick();
    EXPECT_EQ("a\r\nb\r\n", all()); // a plain paste
    // Without text on the clipboard nothing is pasted.
    QApplication::clipboard()->clear();
    form->Mm_Inyo_PasteClick();
    EXPECT_EQ("a\r\nb\r\n", all());
}

TEST_F(TextCommandsTest, AppendingCopyAndCutJoinTheSelectionToTheClipboard) {
    text("xyz");
    setClip(QStringLiteral("w"));
    select(0, 1);
    form->MmPlusCutClick(TClipboardTake::Copy);
    select(1, 1);
    form->MmPlusCutClick(TClipboardTake::Copy);
    EXPECT_EQ(QStringLiteral("wxy"), clip());
    select(2, 1);
    form->MmPlusCutClick(TClipboardTake::Cut);
    EXPECT_EQ(QStringLiteral("wxyz"), clip());
    EXPECT_EQ("xy", all());
    // Without a selection (the items are disabled then) the clipboard stays as it is.
    ed()->ClearSelection();
    form->MmPlusCutClick(TClipboardTake::Copy);
    form->MmInyoCutClick(TClipboardTake::Cut);
    EXPECT_EQ(QStringLiteral("wxyz"), clip());
    EXPECT_EQ("xy", all());
    // An empty clipboard: the selection alone.
    QApplication::clipboard()->clear();
    select(0, 2);
    form->MmPlusCutClick(TClipboardTake::Copy);
    EXPECT_EQ(QStringLiteral("xy"), clip());
}

TEST_F(TextCommandsTest, AppendedAndQuotedTextKeepsTheBytesItWasCopiedWith) {
    // 纊 in its IBM code (0xFA5C): converting its text back would give the NEC code 0xED40.
    text("\xFA\x5C"
         "a");
    select(0, 2);
    form->Mm_CopyClick();
    select(2, 1);
    form->MmPlusCutClick(TClipboardTake::Copy);
    text("");
    form->Mm_PasteClick();
    EXPECT_EQ("\xFA\x5C"
              "a",
              all());
    form->Mm_Inyo_PasteClick();
    EXPECT_EQ("\xFA\x5C"
              "a> \xFA\x5C"
              "a\r\n",
              all());
}

TEST_F(TextCommandsTest, CaseAndWidthConversionsReplaceTheSelectionInOneStep) {
    // Each command on the whole text, in turn, and the text it leaves.
    const std::pair<void (TMainForm::*)(), const char*> steps[] = {
        {&TMainForm::Mm_UpperCaseClick, "ABCＡＢ漢 ｶﾞ１"},
        {&TMainForm::Mm_LowerCaseClick, "abcａｂ漢 ｶﾞ１"},
        {&TMainForm::Mm_HanToZenClick, "ａｂｃａｂ漢　ガ１"},
        {&TMainForm::Mm_ZenToHanClick, "abcab漢 ｶﾞ1"},
    };
    text(sj("abcＡｂ漢 ｶﾞ１"));
    for (const auto& [command, after] : steps) {
        ed()->SelectAll();
        (form.get()->*command)();
        EXPECT_EQ(sj(after), all()) << after;
    }
    ed()->Undo();
    EXPECT_EQ(sj("ａｂｃａｂ漢　ガ１"), all());
    // Only the selection changes.
    text("abc abc");
    select(4, 3);
    form->Mm_UpperCaseClick();
    EXPECT_EQ("abc ABC", all());
}

TEST_F(TextCommandsTest, WidthConversionHasNoLengthLimit) {
    std::string half;
    for (int i = 0; i < 400; ++i) half += i % 20 == 19 ? "A1\r\n" : "A1";
    text(half);
    ed()->SelectAll();
    form->Mm_HanToZenClick();
    EXPECT_EQ(1600u + 40u, all().size());
    ed()->SelectAll();
    form->Mm_ZenToHanClick();
    EXPECT_EQ(half, all());
}

TEST_F(TextCommandsTest, ABoxSelectionIsConvertedWhereItStands) {
    text("abcd\r\nefgh\r\nij\r\n");
    ed()->SetSelectionMode(TSelectionMode::Box);
    ed()->SetRowCol(0, 1);
    ed()->AnchorSelection();
    ed()->SetRowCol(1, 3);
    ed()->ExtendSelection();
    form->Mm_UpperCaseClick();
    EXPECT_EQ("aBCd\r\neFGh\r\nij\r\n", all());
}

TEST_F(TextCommandsTest, FullWidthDigitsAskFirstAndEnterOrEscapeChangeNothing) {
    const std::string before = sj("１２a\r\n３");
    for (int answer : {kEnter, kEscape, int(mbNo)}) {
        text(before);
        ed()->SetRowCol(1, 0);
        ed()->TypeText("x");
        select(0, 2);
        messages.Answers = {answer};
        form->Mm_int_ZenToHanClick();
        EXPECT_EQ(sj("１２a\r\nx３"), all()) << answer;
        EXPECT_TRUE(ed()->CanUndo()) << answer;
    }
    ASSERT_EQ(3u, messages.Questions.size());
    EXPECT_EQ(QStringLiteral("この操作はUndo出来ません。また、Undoバッファは初期化されます。\r実行しますか？"),
              messages.Questions[0].Text);
    EXPECT_EQ(mbYes | mbNo, messages.Questions[0].Buttons);
    EXPECT_EQ(int(mbNo), messages.Questions[0].Default);
}

TEST_F(TextCommandsTest, FullWidthDigitsOnYesChangeTheWholeTextAndEmptyTheUndoList) {
    text(sj("１２a\r\n３"));
    ed()->SetRowCol(1, 2);
    ed()->TypeText("x");
    select(0, 1); // the selection only makes the command available
    messages.Answers = {mbYes};
    form->Mm_int_ZenToHanClick();
    EXPECT_EQ("12a\r\n3x", all());
    EXPECT_FALSE(ed()->CanUndo());
    EXPECT_FALSE(enabled("Mm_Undo"));
    EXPECT_TRUE(ed()->Modified());
    // Without a selection the command does nothing and asks nothing.
    ed()->ClearSelection();
    text(sj("４"));
    form->Mm_int_ZenToHanClick();
    EXPECT_EQ(1u, messages.Questions.size());
    EXPECT_EQ(sj("４"), all());
}

TEST_F(TextCommandsTest, IndentKeepsTheWholeRowsSelectedAndUnindentGivesThemBack) {
    text("a\r\nbb\r\nccc\r\nd");
    select(0, 12); // rows 0-2 with their line ends: the selection ends at the start of row 3
    form->Mm_TabIndClick();
    EXPECT_EQ("\ta\r\n\tbb\r\n\tccc\r\nd", all());
    EXPECT_EQ(0, ed()->SelStart());
    EXPECT_EQ(15, ed()->SelLength());
    form->Mm_TabUnIndClick();
    EXPECT_EQ("a\r\nbb\r\nccc\r\nd", all());
    EXPECT_EQ(0, ed()->SelStart());
    EXPECT_EQ(12, ed()->SelLength());
    // A selection ending inside a row takes that row whole.
    select(4, 1); // the second "b"
    form->Mm_TabIndClick();
    EXPECT_EQ("a\r\n\tbb\r\nccc\r\nd", all());
    EXPECT_EQ("\tbb\r\n", ed()->SelectedText());
}

TEST_F(TextCommandsTest, UnindentKeepsTheSameTextSelectedWhenSomeRowsHaveNoTab) {
    text("\ta\r\nb\r\n\tc\r\nd");
    select(1, 8); // from "a" to "c" included
    const std::string selected = ed()->SelectedText();
    ASSERT_EQ("a\r\nb\r\n\tc", selected);
    form->Mm_TabUnIndClick();
    EXPECT_EQ("a\r\nb\r\nc\r\nd", all());
    EXPECT_EQ("a\r\nb\r\nc", ed()->SelectedText());
}

TEST_F(TextCommandsTest, TabIndentsASelectionAndTypesATabWithout) {
    show();
    text("ab\r\ncd\r\n");
    ed()->SetRowCol(0, 1);
    key(Qt::Key_Tab);
    EXPECT_EQ("a\tb\r\ncd\r\n", all());
    // Shift+Right selects: Tab now indents, Shift+Tab unindents, without any menu opened.
    ed()->SetRowCol(1, 0);
    key(Qt::Key_Right, Qt::ShiftModifier);
    key(Qt::Key_Tab);
    EXPECT_EQ("a\tb\r\n\tcd\r\n", all());
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ("a\tb\r\ncd\r\n", all());
    // The selection gone (a plain move), Tab types again.
    key(Qt::Key_Up); // from the end of the selection, the start of the next row, to row 1
    ASSERT_FALSE(ed()->Selected());
    key(Qt::Key_Tab);
    EXPECT_EQ("a\tb\r\n\tcd\r\n", all());
}

TEST_F(TextCommandsTest, SelectionItemsFollowTheSelectionAtAllTimes) {
    text("abc");
    const char* const items[] = {"mm_Cut",       "Mm_Copy",     "Pm_Cut",          "PmInyoCopy", "MmPlusCut",
                                 "Mm_LowerCase", "Pm_HanToZen", "Mm_int_ZenToHan", "Mm_TabInd",  "Pm_TabUnInd"};
    for (const char* n : items) EXPECT_FALSE(enabled(n)) << n;
    select(0, 2);
    for (const char* n : items) EXPECT_TRUE(enabled(n)) << n;
    ed()->ClearSelection();
    for (const char* n : items) EXPECT_FALSE(enabled(n)) << n;
    // Paste and the other items do not need a selection.
    for (const char* n : {"Mm_Paste", "Mm_Inyo_Paste", "Mm_PasteBox", "Mm_SelectAll", "Q1"})
        EXPECT_TRUE(enabled(n)) << n;
    // A new page without a selection, then back to the first, which still has one.
    select(0, 1);
    form->Mm_NewClick(); // the page is not empty: a second one
    ASSERT_EQ(2, form->PageCount());
    EXPECT_FALSE(enabled("mm_Cut"));
    form->SetActivePage(0);
    EXPECT_TRUE(enabled("mm_Cut"));
}

TEST_F(TextCommandsTest, UndoAndRedoFollowTheEditor) {
    EXPECT_FALSE(enabled("Mm_Undo"));
    ed()->TypeText("a");
    EXPECT_TRUE(enabled("Mm_Undo"));
    EXPECT_TRUE(enabled("Pm_Undo"));
    EXPECT_FALSE(enabled("Mm_Redo"));
    form->Mm_UndoClick();
    EXPECT_EQ("", all());
    EXPECT_FALSE(enabled("Mm_Undo"));
    EXPECT_TRUE(enabled("Mm_Redo"));
    form->Mm_RedoClick();
    EXPECT_EQ("a", all());
}

TEST_F(TextCommandsTest, PageCommandsAreEnabledByThePageCountWithoutOpeningAMenu) {
    show();
    // The window menu opened with one page disables its page items ...
    emit form->menuBar()->findChild<QMenu*>(QStringLiteral("Window1"))->aboutToShow();
    EXPECT_FALSE(enabled("Mm_NextTab"));
    form->Editor()->TypeText("a");
    form->Mm_NewClick();
    ASSERT_EQ(1, form->ActivePage());
    // ... and a second page enables them again: Alt+Left goes back.
    EXPECT_TRUE(enabled("Mm_NextTab"));
    key(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(0, form->ActivePage());
    // すべて保存 greys in the menu with one page, never on the tool bar.
    form->N17Click();
    ASSERT_EQ(1, form->PageCount());
    EXPECT_FALSE(enabled("Mm_SaveAll"));
    const QAction* button = form->findChild<QAction*>(QStringLiteral("ToolBtn_SaveAll"));
    ASSERT_NE(nullptr, button);
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(form->findChild<QToolBar*>()->actions().contains(const_cast<QAction*>(button)));
}

TEST_F(TextCommandsTest, CountAndSizeGoToPanelThree) {
    text(sj("あ a　b\t\r\nxy\r\n"));
    form->Page(0).LineEndCode = QStringLiteral("LF");
    form->Mm_GetCountClick();
    EXPECT_EQ(QStringLiteral("5文字"), form->PanelText(spCaret));
    text("ab\r\nc\r\n");
    form->Mm_GetSizeClick();
    EXPECT_EQ(QStringLiteral("7Byte"), form->PanelText(spCaret));
}

TEST_F(TextCommandsTest, TheAlwaysOnDisplayUsesPanelsOneAndTwoWithTheirBevels) {
    auto lowered = [&](int panel) { return form->Panel(panel)->frameStyle() == (QFrame::Panel | QFrame::Sunken); };
    text("ab\r\nc\r\n");
    form->ShowCounts();
    EXPECT_EQ(QString(), form->PanelText(spCount));
    EXPECT_EQ(QString(), form->PanelText(spSize));
    EXPECT_FALSE(lowered(spCount));
    EXPECT_FALSE(lowered(spSize));
    form->MyProp().SizeDisplay = true;
    form->ShowCounts();
    EXPECT_EQ(QStringLiteral("7Byte"), form->PanelText(spSize));
    EXPECT_TRUE(lowered(spSize));
    EXPECT_FALSE(lowered(spCount));
    form->MyProp().CountDisplay = true;
    form->ShowCounts();
    EXPECT_EQ(QStringLiteral("3文字"), form->PanelText(spCount));
    EXPECT_EQ(QStringLiteral("7Byte"), form->PanelText(spSize));
    EXPECT_TRUE(lowered(spCount));
    form->MyProp().SizeDisplay = false;
    form->ShowCounts();
    EXPECT_EQ(QString(), form->PanelText(spCount));
    EXPECT_FALSE(lowered(spCount));
    EXPECT_EQ(QStringLiteral("3文字"), form->PanelText(spSize));
    // Every change of the text updates it, and F5 is disabled while the count is shown.
    ed()->SetRowCol(0, 0);
    ed()->TypeText("z");
    EXPECT_EQ(QStringLiteral("4文字"), form->PanelText(spSize));
    form->M_EditClick();
    EXPECT_FALSE(enabled("Mm_GetCount"));
    EXPECT_TRUE(enabled("Mm_GetSize"));
}

TEST_F(TextCommandsTest, FreeCursorAndAutoIndentReachEveryEditorAndTheSettingsAtOnce) {
    const bool free = ed()->Caret().FreeCaret;
    form->Mm_DivisionClick();
    form->Editor()->TypeText("a");
    form->Mm_NewClick();
    form->SetActivePage(0);
    form->Mm_FreeCursolClick();
    EXPECT_EQ(!free, form->Action("Mm_FreeCursol")->isChecked());
    for (TEditor* e : {form->Page(0).Editor, form->Page(0).SubEditor, form->Page(1).Editor})
        EXPECT_EQ(!free, e->Caret().FreeCaret);
    EXPECT_EQ(!free, profile::ReadBool(SettingsFileName(), "Stand", "FreeCursor", free));
    EXPECT_EQ(!free, form->EditorProp().Caret().FreeCaret);
    const bool indent = ed()->Caret().AutoIndent;
    form->Mm_AutoIndentClick();
    EXPECT_EQ(!indent, form->Action("Mm_AutoIndent")->isChecked());
    for (TEditor* e : {form->Page(0).Editor, form->Page(0).SubEditor, form->Page(1).Editor})
        EXPECT_EQ(!indent, e->Caret().AutoIndent);
    EXPECT_EQ(!indent, profile::ReadBool(SettingsFileName(), "Stand", "AutoIndent", indent));
}

TEST_F(TextCommandsTest, FreeCursorOffBringsACaretPastTheEndBack) {
    if (!ed()->Caret().FreeCaret) form->Mm_FreeCursolClick();
    text("ab\r\n");
    ed()->SetRowCol(0, 10);
    ASSERT_EQ(10, ed()->Col());
    form->Mm_FreeCursolClick();
    EXPECT_FALSE(ed()->Caret().FreeCaret);
    EXPECT_EQ(2, ed()->Col());
}

TEST_F(TextCommandsTest, RectangularSelectionInEveryEditorWithTheFreeCaret) {
    if (ed()->Caret().FreeCaret) form->Mm_FreeCursolClick();
    const QByteArray settings = [] {
        QFile f(SettingsFileName());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    form->Mm_DivisionClick();
    form->Mm_BoxClick();
    EXPECT_EQ(QStringLiteral("矩形"), form->PanelText(spBox));
    EXPECT_TRUE(form->Action("Mm_Box")->isChecked());
    EXPECT_TRUE(form->Action("Mm_FreeCursol")->isChecked());
    EXPECT_FALSE(form->Action("Mm_FreeCursol")->isEnabled());
    for (TEditor* e : {form->Page(0).Editor, form->Page(0).SubEditor}) {
        EXPECT_EQ(TSelectionMode::Box, e->SelectionMode());
        EXPECT_TRUE(e->Caret().FreeCaret);
    }
    // New pages follow.
    form->Editor()->TypeText("a");
    form->Mm_NewClick();
    EXPECT_EQ(TSelectionMode::Box, form->Page(1).Editor->SelectionMode());
    EXPECT_TRUE(form->Page(1).Editor->Caret().FreeCaret);
    form->Mm_BoxClick();
    EXPECT_EQ(QString(), form->PanelText(spBox));
    EXPECT_TRUE(form->Action("Mm_FreeCursol")->isEnabled());
    EXPECT_FALSE(form->Action("Mm_FreeCursol")->isChecked());
    for (TEditor* e : {form->Page(0).Editor, form->Page(0).SubEditor, form->Page(1).Editor}) {
        EXPECT_EQ(TSelectionMode::Normal, e->SelectionMode());
        EXPECT_FALSE(e->Caret().FreeCaret);
    }
    // Nothing of it is stored.
    QFile f(SettingsFileName());
    EXPECT_EQ(settings, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray());
    // A free caret that was on before does not come back: leaving the mode turns it off.
    form->Mm_FreeCursolClick();
    ASSERT_TRUE(ed()->Caret().FreeCaret);
    form->Mm_BoxClick();
    form->Mm_BoxClick();
    EXPECT_FALSE(form->Action("Mm_FreeCursol")->isChecked());
    for (TEditor* e : {form->Page(0).Editor, form->Page(0).SubEditor, form->Page(1).Editor})
        EXPECT_FALSE(e->Caret().FreeCaret);
}

TEST_F(TextCommandsTest, AfterASelectionByOffsetsTheBoxModeReturns) {
    text("abc\r\ndef\r\n");
    form->Mm_BoxClick();
    select(1, 5); // a selection by offsets is a normal one
    EXPECT_EQ(TSelectionMode::Normal, ed()->SelectionMode());
    QApplication::processEvents();
    EXPECT_EQ(TSelectionMode::Normal, ed()->SelectionMode()); // while it lasts
    EXPECT_EQ(QStringLiteral("矩形"), form->PanelText(spBox));
    ed()->ClearSelection();
    QApplication::processEvents();
    EXPECT_EQ(TSelectionMode::Box, ed()->SelectionMode());
}

TEST_F(TextCommandsTest, GoToLineMovesTheCaretAndTheTopRow) {
    std::string t;
    for (int i = 0; i < 50; ++i) t += "line\r\n";
    text(t);
    ed()->SetRowCol(4, 2);
    form->move(30, 40);
    QString shown;
    bool selectedAll = false;
    QPoint placed;
    dialogs.ExecScript = [&](QDialog& d) {
        auto& form6 = dynamic_cast<TSetRowForm&>(d);
        EXPECT_EQ(QStringLiteral("指定行へ移動"), d.windowTitle());
        shown = form6.Edit1->text();
        selectedAll = form6.Edit1->selectedText() == shown;
        placed = d.pos();
        form6.Edit1->setText(QStringLiteral("30"));
        form6.Button1->click();
    };
    form->Mm_JumpRowClick();
    EXPECT_EQ(QStringLiteral("5"), shown);
    EXPECT_TRUE(selectedAll);
    EXPECT_EQ(QPoint(form->x() + 70, form->y() + 110), placed);
    EXPECT_EQ(29, ed()->Row());
    EXPECT_EQ(29, ed()->TopRow());
}

TEST_F(TextCommandsTest, GoToLineLimitsTheRowAndReportsTextThatIsNoNumber) {
    text("a\r\nb\r\nc\r\n");
    TSetRowForm d(form.get(), *ed());
    d.show();
    d.Edit1->setText(QStringLiteral("abc"));
    d.Button1Click();
    ASSERT_EQ(1, messages.Shown.size());
    EXPECT_TRUE(messages.Shown[0].contains(QStringLiteral("abc")));
    EXPECT_TRUE(d.isVisible()); // stays open
    EXPECT_EQ(0, d.result());
    d.Edit1->setText(QStringLiteral("99999999999"));
    d.Button1Click();
    EXPECT_EQ(2, messages.Shown.size());
    d.Edit1->setText(QStringLiteral("0"));
    d.Button1Click();
    EXPECT_EQ(0, ed()->Row());
    EXPECT_EQ(QDialog::Accepted, d.result());
    TSetRowForm again(form.get(), *ed());
    again.show();
    again.Edit1->setText(QStringLiteral("1000"));
    again.Button1Click();
    EXPECT_EQ(3, ed()->Row()); // the place after the last line end
    // Cancel changes nothing.
    TSetRowForm cancelled(form.get(), *ed());
    cancelled.show();
    cancelled.Edit1->setText(QStringLiteral("1"));
    cancelled.Button2->click();
    EXPECT_EQ(3, ed()->Row());
}

TEST_F(TextCommandsTest, RectangularPasteInsertsTheClipboardAsABox) {
    text("ab\r\ncd\r\n");
    setClip(QStringLiteral("X\r\nY"));
    ed()->SetRowCol(0, 1);
    form->Mm_PasteBoxClick();
    EXPECT_EQ("aXb\r\ncYd\r\n", all());
}

// --- the window's popup menu and the keys ----------------------------------------------------

TEST_F(TextCommandsTest, EveryEditorUsesTheWindowsPopupMenu) {
    QMenu* popup = form->PopupMenu();
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(popup, form->Editor()->PopupMenu());
    form->Mm_DivisionClick();
    EXPECT_EQ(popup, form->Page(0).SubEditor->PopupMenu());
    form->Editor()->TypeText("a");
    form->Mm_NewClick();
    EXPECT_EQ(popup, form->Page(1).Editor->PopupMenu());
    // The mirrored items carry their main items' shortcuts.
    EXPECT_EQ(QKeySequence(QStringLiteral("Ctrl+X")), form->Action("Pm_Cut")->shortcut());
    EXPECT_EQ(QKeySequence(QStringLiteral("Shift+Tab")), form->Action("Pm_TabUnInd")->shortcut());
    EXPECT_EQ(QKeySequence(QStringLiteral("Ctrl+Q")), form->Action("Q1")->shortcut());
    // Every mirror of the key table stands in the popup menu, but the close item, which is
    // the tab pop-up's.
    for (const TKeyCommand& c : KeyCommands()) {
        if (!c.Mirror) continue;
        const QAction* mirror = form->Action(QString::fromLatin1(c.Mirror));
        ASSERT_NE(nullptr, mirror) << c.Mirror;
        const QMenu* expected = std::string_view(c.Mirror) == "N18" ? form->TabPopup() : popup;
        const QObject* up = mirror->parent();
        while (up && up != expected) up = up->parent();
        EXPECT_EQ(expected, up) << c.Mirror;
    }
    EXPECT_EQ(QKeySequence(QStringLiteral("Ctrl+F4")), form->Action("N18")->shortcut());
}

TEST_F(TextCommandsTest, AnEmptiedUndoKeyLeavesCtrlZDoingNothingAnywhere) {
    QFile f(KeyFileName());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Edit]\nUndo=\nSelectAll=\nCut=\nCopy=\nPaste=\nPasteBox=\nBox=\n");
    f.close();
    form = std::make_unique<TMainForm>();
    show();
    key(Qt::Key_A);
    key(Qt::Key_B);
    ASSERT_EQ("ab", all());
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ("ab", all());
    key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_FALSE(ed()->Selected());
    // Nor do the editor's own popup keys: cut, copy, paste, box paste, rectangular selection.
    setClip(QStringLiteral("kept"));
    key(Qt::Key_Left, Qt::ShiftModifier);
    ASSERT_TRUE(ed()->Selected());
    for (int k : {Qt::Key_X, Qt::Key_C, Qt::Key_V, Qt::Key_K, Qt::Key_B}) {
        key(k, Qt::ControlModifier);
        EXPECT_EQ("ab", all()) << k;
        EXPECT_EQ(QStringLiteral("kept"), clip()) << k;
        EXPECT_EQ(TSelectionMode::Normal, ed()->SelectionMode()) << k;
    }
    // The same in the second view of a split page.
    form->Mm_DivisionClick();
    form->Page(0).SubEditor->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(form->Page(0).SubEditor, ed());
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ("ab", all());
    EXPECT_TRUE(ed()->CanUndo());
    // The menu item still undoes.
    form->Action("Mm_Undo")->trigger();
    EXPECT_EQ("a", all());
}

TEST_F(TextCommandsTest, PressedShortcutsRunTheTextCommands) {
    show();
    key(Qt::Key_A);
    key(Qt::Key_B);
    key(Qt::Key_A, Qt::ControlModifier); // select all
    key(Qt::Key_L, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ("AB", all());
    key(Qt::Key_A, Qt::ControlModifier);
    key(Qt::Key_H, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(sj("ＡＢ"), all());
    key(Qt::Key_F5);
    EXPECT_EQ(QStringLiteral("2文字"), form->PanelText(spCaret));
    key(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(QStringLiteral("矩形"), form->PanelText(spBox));
    key(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(QString(), form->PanelText(spBox));
}
