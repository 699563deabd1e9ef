// Find and replace on real widgets: the find and replace dialogs with their histories and
// settings, the replace loop with its confirmation, and the main window's commands.
#include "FindReplace.h"
#include "Cp932Codec.h"
#include "Dialogs.h"
#include "Editor.h"
#include "Messages.h"
#include "Profile.h"
#include "ProgramFolder.h"
#include "ReplaceConfirm.h"
#include "ScriptedServices.h"
#include "ShownWindowFixture.h"
#include "Unit1.h"
#include "Unit4.h"
#include "Unit5.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <random>

using namespace quire;

namespace {

QString setting(const char* section, const QString& key) {
    return profile::ReadString(SettingsFileName(), QString::fromLatin1(section), key);
}
void setSetting(const char* section, const QString& key, const QString& value) {
    profile::WriteString(SettingsFileName(), QString::fromLatin1(section), key, value);
}

TSearchOptions opts(bool forward, bool replaceAll, bool confirm, bool wholeWord = false) {
    TSearchOptions o;
    o.Set(TSearchOption::Forward, forward);
    o.Set(TSearchOption::ReplaceAll, replaceAll);
    o.Set(TSearchOption::Confirm, confirm);
    o.Set(TSearchOption::WholeWord, wholeWord);
    return o;
}

// Answers the confirmation from a list (Cancel when it runs out) and counts the questions.
struct Answers {
    std::deque<TReplaceAnswer> List;
    int Asked = 0;
    TFindReplace::TAsk Ask() {
        return [this](TEditor&) {
            ++Asked;
            if (List.empty()) return TReplaceAnswer::Cancel;
            const TReplaceAnswer a = List.front();
            List.pop_front();
            return a;
        };
    }
};

class ReplaceLoopTest : public ::testing::Test {
protected:
    void text(const std::string& t, int caret = 0) {
        e.Lines().SetText(t);
        e.SetSelStart(caret);
    }
    std::string all() { return e.Lines().Text(); }
    void replace(const char* search, const char* by, TSearchOptions o, Answers* answers = nullptr) {
        Answers none;
        find.SearchText = QString::fromUtf8(search);
        find.ReplaceText = QString::fromUtf8(by);
        find.Options = o;
        find.ReplaceLoop(e, (answers ? answers : &none)->Ask());
    }
    TEditor e;
    TFindReplace find;
};

} // namespace

// --- the replace loop ------------------------------------------------------------------

TEST_F(ReplaceLoopTest, ReplaceAllWithAReplacementHoldingTheSearchTextEnds) {
    text("a a\r\na");
    replace("a", "aa", opts(true, true, false));
    EXPECT_EQ("aa aa\r\naa", all());
    text("a a\r\na", 7);
    replace("a", "aa", opts(false, true, false));
    EXPECT_EQ("aa aa\r\naa", all());
    EXPECT_EQ(0, e.SelStart()); // backward the caret ends before the last (first) match
}

TEST_F(ReplaceLoopTest, WithoutReplaceAllOnlyTheNextMatchIsReplaced) {
    text("foo foo foo", 1);
    replace("foo", "X", opts(true, false, false));
    EXPECT_EQ("foo X foo", all());
    EXPECT_EQ(5, e.SelStart()); // after the replacement
    replace("foo", "X", opts(false, false, false));
    EXPECT_EQ("X X foo", all());
    EXPECT_EQ(0, e.SelStart());
}

TEST_F(ReplaceLoopTest, AnsweringNoMovesOnToTheNextMatch) {
    text("ab ab ab ab");
    Answers a{{TReplaceAnswer::No, TReplaceAnswer::Yes, TReplaceAnswer::No, TReplaceAnswer::Yes}};
    replace("ab", "X", opts(true, true, true), &a);
    EXPECT_EQ("ab X ab X", all());
    EXPECT_EQ(4, a.Asked);
    // Backward the same, from the end.
    text("ab ab ab ab", 11);
    Answers b{{TReplaceAnswer::No, TReplaceAnswer::Yes}};
    replace("ab", "X", opts(false, true, true), &b);
    EXPECT_EQ("ab ab X ab", all());
    EXPECT_EQ(3, b.Asked); // the third answer (none left) is Cancel
}

TEST_F(ReplaceLoopTest, CancelStopsAndAllReplacesTheRestWithoutAsking) {
    text("ab ab ab ab");
    Answers a{{TReplaceAnswer::Yes, TReplaceAnswer::Cancel}};
    replace("ab", "X", opts(true, true, true), &a);
    EXPECT_EQ("X ab ab ab", all());
    text("ab ab ab ab");
    Answers b{{TReplaceAnswer::No, TReplaceAnswer::All}};
    replace("ab", "X", opts(true, true, true), &b);
    EXPECT_EQ("ab X X X", all());
    EXPECT_EQ(2, b.Asked);
    EXPECT_FALSE(find.Options.Has(TSearchOption::Confirm));
    EXPECT_TRUE(find.Options.Has(TSearchOption::ReplaceAll));
    // Without replace all, No ends the command.
    text("ab ab");
    Answers c{{TReplaceAnswer::No}};
    replace("ab", "X", opts(true, false, true), &c);
    EXPECT_EQ("ab ab", all());
    EXPECT_EQ(1, c.Asked);
}

TEST_F(ReplaceLoopTest, WhatIsReplacedWithoutQuestionsIsUndoneInOneStep) {
    const std::string original = "x ab\r\nab y\r\nz ab";
    text(original);
    replace("ab", "ソ", opts(true, true, false)); // 0x83 0x5C: its trail byte is a backslash
    EXPECT_EQ("x \x83\x5C\r\n\x83\x5C y\r\nz \x83\x5C", all());
    e.Undo();
    EXPECT_EQ(original, all());
    e.Redo();
    EXPECT_EQ("x \x83\x5C\r\n\x83\x5C y\r\nz \x83\x5C", all());
}

TEST_F(ReplaceLoopTest, NothingFoundChangesNothing) {
    text("abc", 1);
    replace("zz", "y", opts(true, true, false));
    EXPECT_EQ("abc", all());
    EXPECT_EQ(1, e.SelStart());
    EXPECT_FALSE(e.CanUndo());
}

TEST_F(ReplaceLoopTest, AReplacementOutsideTheCodePageIsRefusedWithAMessage) {
    test::ScriptedMessages messages;
    text("abc");
    replace("b", "\xF0\x9F\x98\x80", opts(true, true, false)); // an emoji
    EXPECT_EQ("abc", all());
    ASSERT_EQ(1, messages.Shown.size());
    // A search text outside the code page cannot be in the text: nothing is found.
    replace("\xF0\x9F\x98\x80", "b", opts(true, true, false));
    EXPECT_EQ("abc", all());
}

// With word wrap on, a line is several rows: a replacement inside and across them is one edit
// on the line, mirrored here on a plain string, and undone exactly.
TEST_F(ReplaceLoopTest, ReplacingInWrappedLinesMatchesTheSameReplacementOnAString) {
    e.WrapOption().SetWrapByte(20);
    e.SetWordWrap(true);
    std::mt19937 rng(17);
    const std::vector<std::string> pieces = {"ab", "x", " ", "\r\n", "\x82\xA0", "abab", "\x8A\x61"};
    for (int round = 0; round < 200; ++round) {
        std::string t;
        for (int i = 0; i < 40; ++i) t += pieces[rng() % pieces.size()];
        const std::string by = rng() % 2 ? "XYZ" : "";
        text(t);
        replace("ab", by.c_str(), opts(true, true, false));
        std::string expected;
        for (size_t i = 0; i < t.size();) {
            if (t.compare(i, 2, "ab") == 0) {
                expected += by;
                i += 2;
            } else
                expected += t[i++];
        }
        ASSERT_EQ(expected, all()) << "round " << round;
        if (expected != t) {
            e.Undo();
            ASSERT_EQ(t, all()) << "round " << round;
        }
    }
}

// Backward, whether a word ends right before a replaced one depends on what was put there.
TEST_F(ReplaceLoopTest, BackwardWholeWordsSeeTheFirstByteOfTheReplacementAfterThem) {
    for (const auto& [by, expected] : {std::pair<std::string, std::string>{"a", "a-a"}, {"-", "--"}, {"", ""}}) {
        text("a-a-", 4);
        replace("a-", by.c_str(), opts(false, true, false, true));
        EXPECT_EQ(expected, all()) << by;
    }
}

// Replacing all without questions is one edit over the text as it stood; it must end exactly
// as replacing the matches one by one does.
TEST_F(ReplaceLoopTest, ReplacingAllAtOnceEndsAsReplacingOneByOne) {
    const std::vector<std::string> pieces = {"a", "b", "A", "_", " ", "\r\n", "\x82\x60", "\x82\x81", "\x8A\x61", "-"};
    const std::vector<std::string> replacements = {"", "a", "_", "ab", "x-", "\x82\x81", "-a"};
    std::mt19937 rng(4242);
    TEditor one;
    for (int round = 0; round < 400; ++round) {
        std::string t;
        for (int i = 0; i < 14; ++i) t += pieces[rng() % pieces.size()];
        const std::string pattern = rng() % 2 ? std::string("a") : std::string(rng() % 2 ? "ab" : "a-");
        const std::string by = replacements[rng() % replacements.size()];
        const bool forward = rng() % 2, whole = rng() % 2;
        const int caret = forward ? 0 : static_cast<int>(t.size());
        text(t, caret);
        find.SearchText = QString::fromLatin1(pattern.c_str());
        find.ReplaceText = cp932::ToUnicode(by);
        find.Options = opts(forward, true, false, whole);
        find.ReplaceLoop(e, [](TEditor&) { return TReplaceAnswer::Cancel; });
        one.Lines().SetText(t);
        one.SetSelStart(caret);
        find.Options = opts(forward, true, true, whole);
        find.ReplaceLoop(one, [](TEditor&) { return TReplaceAnswer::Yes; });
        ASSERT_EQ(one.Lines().Text(), all())
            << "round " << round << " text " << testing::PrintToString(t) << " pattern " << pattern << " by "
            << testing::PrintToString(by) << " forward " << forward << " whole " << whole;
        ASSERT_EQ(one.SelStart(), e.SelStart()) << "round " << round;
    }
}

// Columns end at 1000, so a selection cannot reach further into a long row: replacing must
// still change exactly the matched bytes, and F3 must still move on.
TEST_F(ReplaceLoopTest, MatchesPastColumnOneThousandAreReplacedExactly) {
    const std::string pad(1200, '.');
    const std::string row = "ab" + pad + "ab" + pad + "ab";
    text(row + "\r\n" + row);
    replace("ab", "X", opts(true, true, false));
    EXPECT_EQ("X" + pad + "X" + pad + "X\r\nX" + pad + "X" + pad + "X", all());
    text(row, 0);
    Answers yes{{TReplaceAnswer::Yes, TReplaceAnswer::Yes, TReplaceAnswer::Yes}};
    replace("ab", "X", opts(true, true, true), &yes);
    EXPECT_EQ("X" + pad + "X" + pad + "X", all());
    // The caret cannot stand at the end of the long row: backward from the next line.
    text(row + "\r\n", static_cast<int>(row.size()) + 2);
    replace("ab", "XYZ", opts(false, true, false));
    EXPECT_EQ("XYZ" + pad + "XYZ" + pad + "XYZ\r\n", all());
    e.Undo();
    EXPECT_EQ(row + "\r\n", all());
    // Find once moves from match to match even where the selection cannot show them.
    text(row, 0);
    find.SearchText = QStringLiteral("ab");
    find.Options = opts(true, false, false);
    int found = 0;
    while (find.FindOnce(e) && found < 10) ++found;
    EXPECT_EQ(3, found);
    find.Options = opts(false, false, false);
    found = 0;
    while (find.FindOnce(e) && found < 10) ++found;
    EXPECT_EQ(2, found);
}

// --- the confirmation ------------------------------------------------------------------

TEST(ReplaceConfirmTest, TheQuestionNamesBothTexts) {
    EXPECT_EQ(QStringLiteral(" abc   を\r\n xyz   に 置き換えますか？"), TReplaceConfirm::Question("abc", "xyz"));
}

TEST(ReplaceConfirmTest, IsPlacedAboveTheCaretOrBelowItAndInsideTheScreen) {
    const QRect screen(0, 0, 1000, 800);
    const QSize size(300, 100);
    EXPECT_EQ(QPoint(402, 400 - 100 - 16), TReplaceConfirm::Place({400, 400}, 16, size, screen));
    // No room above: below the caret's row.
    EXPECT_EQ(QPoint(402, 50 + 16), TReplaceConfirm::Place({400, 50}, 16, size, screen));
    // No room on the right: 4 pixels inside the screen's right edge.
    EXPECT_EQ(QPoint(1000 - 300 - 4, 284), TReplaceConfirm::Place({900, 400}, 16, size, screen));
}

TEST(ReplaceConfirmTest, EnterAnswersYesAndEscapeOrTheCloseBoxCancel) {
    struct Case {
        std::function<void(TReplaceConfirm&)> Do;
        TReplaceAnswer Expected;
    };
    const Case cases[] = {
        {[](TReplaceConfirm& b) { QTest::keyClick(&b, Qt::Key_Return); }, TReplaceAnswer::Yes},
        {[](TReplaceConfirm& b) { QTest::keyClick(&b, Qt::Key_Escape); }, TReplaceAnswer::Cancel},
        {[](TReplaceConfirm& b) { b.close(); }, TReplaceAnswer::Cancel},
        {[](TReplaceConfirm& b) { QTest::mouseClick(b.button(QMessageBox::No), Qt::LeftButton); }, TReplaceAnswer::No},
        {[](TReplaceConfirm& b) { b.AllButton()->click(); }, TReplaceAnswer::All},
    };
    for (const Case& c : cases) {
        TReplaceConfirm box("a", "b");
        box.show();
        QApplication::processEvents();
        c.Do(box);
        EXPECT_FALSE(box.isVisible());
        EXPECT_EQ(c.Expected, box.Answer());
    }
}

// --- the find dialog -------------------------------------------------------------------

TEST(FindFormTest, StartsWithTheStoredOptionsAndHistory) {
    TFindReplace state;
    {
        TFindForm form(nullptr, state);
        EXPECT_EQ(QStringLiteral("検索"), form.windowTitle());
        EXPECT_EQ(1, form.Rg_Derection->ItemIndex());
        EXPECT_FALSE(form.CheckB_MachCase->isChecked());
        EXPECT_FALSE(form.CheckB_WholeWord->isChecked());
        form.show();
        EXPECT_FALSE(form.Btn_Ok->isEnabled());
        QTest::keyClicks(form.ComboB_SearchText, "x");
        EXPECT_TRUE(form.Btn_Ok->isEnabled());
        form.ComboB_SearchText->setEditText(QString());
        EXPECT_FALSE(form.Btn_Ok->isEnabled());
    }
    setSetting("Serch", "UorD", "0");
    setSetting("Serch", "MatchCase", "1");
    setSetting("Combo", "Serch0", "first");
    setSetting("Combo", "Serch1", "二番目");
    setSetting("Combo", "Serch3", "after a gap");
    TFindForm form(nullptr, state);
    EXPECT_EQ(0, form.Rg_Derection->ItemIndex());
    EXPECT_TRUE(form.CheckB_MachCase->isChecked());
    EXPECT_EQ((QStringList{"first", "二番目"}), form.ComboB_SearchText->History());
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(QStringLiteral("first"), form.ComboB_SearchText->currentText());
    EXPECT_EQ(QStringLiteral("first"), form.ComboB_SearchText->lineEdit()->selectedText());
    EXPECT_TRUE(form.Btn_Ok->isEnabled());
}

TEST(FindFormTest, OkTakesTheSearchAndKeepsEightEntriesOfHistory) {
    for (int i = 0; i < 8; ++i) setSetting("Combo", QStringLiteral("Serch%1").arg(i), QStringLiteral("w%1").arg(i));
    TFindReplace state;
    TFindForm form(nullptr, state);
    form.show();
    form.ComboB_SearchText->setEditText(QStringLiteral("新しい語"));
    form.Rg_Derection->SetItemIndex(0);
    form.CheckB_WholeWord->setChecked(true);
    QTest::mouseClick(form.Btn_Ok, Qt::LeftButton);
    EXPECT_EQ(QDialog::Accepted, form.result());
    EXPECT_EQ(QStringLiteral("新しい語"), state.SearchText);
    EXPECT_TRUE(state.Options.Has(TSearchOption::Forward));
    EXPECT_FALSE(state.Options.Has(TSearchOption::MatchCase));
    EXPECT_TRUE(state.Options.Has(TSearchOption::WholeWord));
    EXPECT_EQ(QStringLiteral("0"), setting("Serch", "UorD"));
    EXPECT_EQ(QStringLiteral("1"), setting("Serch", "WholeWord"));
    EXPECT_EQ(QStringLiteral("新しい語"), setting("Combo", "Serch0"));
    EXPECT_EQ(QStringLiteral("w0"), setting("Combo", "Serch1"));
    EXPECT_EQ(QStringLiteral("w6"), setting("Combo", "Serch7"));
    EXPECT_EQ(QString(), setting("Combo", "Serch8"));
    // A text already in the history moves to the top; direction item 1 searches backward.
    TFindForm again(nullptr, state);
    again.show();
    again.ComboB_SearchText->setEditText(QStringLiteral("w3"));
    again.Rg_Derection->SetItemIndex(1);
    again.Btn_OkClick();
    EXPECT_FALSE(state.Options.Has(TSearchOption::Forward));
    EXPECT_EQ((QStringList{"w3", "新しい語", "w0", "w1", "w2", "w4", "w5", "w6"}), again.ComboB_SearchText->History());
    EXPECT_EQ(QStringLiteral("w2"), setting("Combo", "Serch4"));
}

TEST(FindFormTest, ClearingTheHistoryEmptiesItsKeysAndDisablesOk) {
    setSetting("Combo", "Serch0", "a");
    setSetting("Combo", "Serch1", "b");
    TFindReplace state;
    TFindForm form(nullptr, state);
    form.show();
    EXPECT_TRUE(form.Btn_Ok->isEnabled());
    QTest::mouseClick(form.Btn_His_Clear, Qt::LeftButton);
    EXPECT_FALSE(form.Btn_Ok->isEnabled());
    EXPECT_EQ(0, form.ComboB_SearchText->count());
    EXPECT_EQ(QString(), form.ComboB_SearchText->currentText());
    for (int i = 0; i < 8; ++i) EXPECT_EQ(QString(), setting("Combo", QStringLiteral("Serch%1").arg(i)));
    // Cancel with an empty text writes nothing back.
    QTest::mouseClick(form.Btn_Cancel, Qt::LeftButton);
    EXPECT_EQ(QDialog::Rejected, form.result());
    EXPECT_EQ(QString(), setting("Combo", "Serch0"));
    EXPECT_FALSE(state.HasSearch());
}

TEST(FindFormTest, DownAndUpOpenTheListAndOtherKeysCloseItIntoTheText) {
    setSetting("Combo", "Serch0", "one");
    setSetting("Combo", "Serch1", "two");
    TFindReplace state;
    TFindForm form(nullptr, state);
    form.show();
    form.activateWindow();
    QApplication::processEvents();
    THistoryCombo* combo = form.ComboB_SearchText;
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_TRUE(combo->view()->isVisible());
    QTest::keyClick(combo->view(), Qt::Key_X);
    EXPECT_FALSE(combo->view()->isVisible());
    EXPECT_TRUE(combo->currentText().endsWith(QStringLiteral("x"))) << combo->currentText().toStdString();
    QTest::keyClick(combo, Qt::Key_Up);
    EXPECT_TRUE(combo->view()->isVisible());
    QTest::keyClick(combo->view(), Qt::Key_Escape);
    EXPECT_FALSE(combo->view()->isVisible());
}

// --- the replace dialog ----------------------------------------------------------------

TEST(ReplaceFormTest, StartsWithTheStoredOptionsAndBothHistories) {
    TFindReplace state;
    {
        TReplaceForm form(nullptr, state);
        EXPECT_EQ(QStringLiteral("置換"), form.windowTitle());
        EXPECT_EQ(1, form.Rd_Derection->ItemIndex());
        EXPECT_TRUE(form.CheckB_orDlg->isChecked());
        EXPECT_FALSE(form.CheckB_orTop->isChecked());
        form.show();
        EXPECT_FALSE(form.Btn_Ok->isEnabled());
        EXPECT_FALSE(form.Btn_AllReplace->isEnabled());
    }
    setSetting("Replace", "MactchCase", "1");
    setSetting("Replace", "Dialog", "0");
    setSetting("Replace", "SearchFirst", "1");
    setSetting("Replace", "UorD", "7"); // not an item: the design value
    setSetting("Combo", "RSerch0", "find me");
    setSetting("Combo", "Replace0", "by this");
    setSetting("Combo", "Serch0", "not this one");
    TReplaceForm form(nullptr, state);
    EXPECT_TRUE(form.CheckB_MachCase->isChecked());
    EXPECT_FALSE(form.CheckB_orDlg->isChecked());
    EXPECT_TRUE(form.CheckB_orTop->isChecked());
    EXPECT_EQ(1, form.Rd_Derection->ItemIndex());
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(QStringLiteral("find me"), form.ComboB_SearchText->currentText());
    EXPECT_EQ(QStringLiteral("by this"), form.ComboB_ReplaceText->currentText());
    EXPECT_TRUE(form.Btn_AllReplace->isEnabled());
}

TEST(ReplaceFormTest, OkAndAllSetTheOptionBitsAndWriteTheSettings) {
    TFindReplace state;
    struct Case {
        int Item;
        bool Top, Dialog, All;
        bool Forward;
    };
    // Item 1 searches toward the beginning unless the search starts at the top.
    for (const Case& c :
         {Case{0, false, true, false, true}, Case{1, false, false, true, false}, Case{1, true, true, true, true}}) {
        TReplaceForm form(nullptr, state);
        form.show();
        form.ComboB_SearchText->setEditText("s");
        form.ComboB_ReplaceText->setEditText("r");
        form.Rd_Derection->SetItemIndex(c.Item);
        form.CheckB_orTop->setChecked(c.Top);
        form.CheckB_orDlg->setChecked(c.Dialog);
        form.CheckB_MachCase->setChecked(true);
        QTest::mouseClick(c.All ? form.Btn_AllReplace : form.Btn_Ok, Qt::LeftButton);
        EXPECT_EQ(QDialog::Accepted, form.result());
        EXPECT_EQ(c.Forward, state.Options.Has(TSearchOption::Forward)) << c.Item << c.Top;
        EXPECT_EQ(c.Dialog, state.Options.Has(TSearchOption::Confirm));
        EXPECT_EQ(c.All, state.Options.Has(TSearchOption::ReplaceAll));
        EXPECT_TRUE(state.Options.Has(TSearchOption::MatchCase));
        EXPECT_EQ(QString::number(c.Item), setting("Replace", "UorD"));
        EXPECT_EQ(c.Top ? "1" : "0", setting("Replace", "SearchFirst"));
        EXPECT_EQ(c.Dialog ? "1" : "0", setting("Replace", "Dialog"));
    }
    EXPECT_EQ(QStringLiteral("1"), setting("Replace", "MactchCase"));
    EXPECT_EQ(QString(), setting("Replace", "MatchCase"));
    EXPECT_EQ(QStringLiteral("s"), setting("Combo", "RSerch0"));
    EXPECT_EQ(QStringLiteral("r"), setting("Combo", "Replace0"));
    EXPECT_EQ(QString(), setting("Combo", "RSerch1"));
}

TEST(ReplaceFormTest, EnterInEitherComboClicksOk) {
    for (bool inReplacement : {false, true}) {
        TFindReplace state;
        TReplaceForm form(nullptr, state);
        form.show();
        form.activateWindow();
        QApplication::processEvents();
        form.ComboB_SearchText->setEditText("s");
        THistoryCombo* combo = inReplacement ? form.ComboB_ReplaceText : form.ComboB_SearchText;
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Return);
        EXPECT_EQ(QDialog::Accepted, form.result()) << inReplacement;
        EXPECT_FALSE(state.Options.Has(TSearchOption::ReplaceAll));
        EXPECT_EQ(QStringLiteral("s"), state.SearchText);
    }
}

// --- the main window -------------------------------------------------------------------

class MainFormFindTest : public test::ShownWindowFixture {
protected:
    // Fills a find or replace dialog when it opens and clicks Button ("ok" or "all").
    void answerDialog(QDialog& d, const QString& search, const QString& replacement, int item, bool top, bool confirm,
                      const char* button) {
        if (auto* f = qobject_cast<TFindForm*>(&d)) {
            f->ComboB_SearchText->setEditText(search);
            f->Rg_Derection->SetItemIndex(item);
            QTest::mouseClick(f->Btn_Ok, Qt::LeftButton);
        } else if (auto* r = qobject_cast<TReplaceForm*>(&d)) {
            r->ComboB_SearchText->setEditText(search);
            r->ComboB_ReplaceText->setEditText(replacement);
            r->Rd_Derection->SetItemIndex(item);
            r->CheckB_orTop->setChecked(top);
            r->CheckB_orDlg->setChecked(confirm);
            QTest::mouseClick(QString::fromLatin1(button) == "all" ? r->Btn_AllReplace : r->Btn_Ok, Qt::LeftButton);
        }
    }
};

TEST_F(MainFormFindTest, TheFindMenuHoldsTheFourCommandsWithTheirKeys) {
    QStringList menus;
    for (QAction* a : form->menuBar()->actions()) menus << a->text();
    const qsizetype at = menus.indexOf(QStringLiteral("検索(&S)"));
    ASSERT_GT(at, 0);
    EXPECT_EQ(QStringLiteral("編集(&E)"), menus[at - 1]);
    EXPECT_EQ(QStringLiteral("表示(&V)"), menus[at + 1]);
    EXPECT_EQ(QKeySequence("Ctrl+F"), form->Action("Mm_Find")->shortcut());
    EXPECT_EQ(QKeySequence("Ctrl+R"), form->Action("Mm_Replace")->shortcut());
    EXPECT_EQ(QKeySequence("Shift+F3"), form->Action("Mm_NextFind")->shortcut());
    EXPECT_EQ(QKeySequence("F3"), form->Action("Mm_NextBefore")->shortcut());
    EXPECT_EQ(QStringLiteral("次を検索(&N)"), form->Action("Mm_NextBefore")->text());
    EXPECT_EQ(QStringLiteral("前を検索(&P)"), form->Action("Mm_NextFind")->text());
}

TEST_F(MainFormFindTest, FindThenF3AndShiftF3RepeatTheSearchEitherWay) {
    editor().Lines().SetText("one two\r\ntwo three two\r\n");
    // F3 before any search does nothing.
    form->Action("Mm_NextBefore")->trigger();
    EXPECT_EQ(std::make_pair(0, 0), selection());
    dialogs.ExecScript = [&](QDialog& d) {
        EXPECT_EQ(QPoint(form->x() + 70, form->y() + 110), d.pos());
        answerDialog(d, "two", "", 0, false, false, "ok");
    };
    form->Action("Mm_Find")->trigger();
    EXPECT_EQ(std::make_pair(4, 3), selection());
    form->Action("Mm_NextBefore")->trigger(); // F3: toward the end
    EXPECT_EQ(std::make_pair(9, 3), selection());
    form->Action("Mm_NextBefore")->trigger();
    EXPECT_EQ(std::make_pair(19, 3), selection());
    form->Action("Mm_NextBefore")->trigger(); // not found: nothing moves
    EXPECT_EQ(std::make_pair(19, 3), selection());
    form->Action("Mm_NextFind")->trigger(); // Shift+F3: toward the beginning
    EXPECT_EQ(std::make_pair(9, 3), selection());
    // The keys reach the commands from the editor.
    QApplication::setActiveWindow(form.get());
    editor().setFocus();
    QTest::keyClick(&editor(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(std::make_pair(4, 3), selection());
    QTest::keyClick(&editor(), Qt::Key_F3);
    EXPECT_EQ(std::make_pair(9, 3), selection());
    // A cancelled dialog changes nothing.
    dialogs.ExecScript = [](QDialog& d) { d.reject(); };
    form->Action("Mm_Find")->trigger();
    EXPECT_EQ(std::make_pair(9, 3), selection());
}

TEST_F(MainFormFindTest, ReplaceBackwardFromTheTopOfTheFileRunsForward) {
    editor().Lines().SetText("foo bar foo\r\nfoo");
    editor().SetSelStart(16);
    dialogs.ExecScript = [&](QDialog& d) { answerDialog(d, "foo", "X", 1, true, false, "all"); };
    form->Action("Mm_Replace")->trigger();
    EXPECT_EQ("X bar X\r\nX", all());
    // Without the top of the file, item 1 runs backward from the caret.
    editor().Lines().SetText("foo bar foo\r\nfoo");
    editor().SetSelStart(8);
    dialogs.ExecScript = [&](QDialog& d) { answerDialog(d, "foo", "X", 1, false, false, "all"); };
    form->Action("Mm_Replace")->trigger();
    EXPECT_EQ("X bar foo\r\nfoo", all());
}

TEST_F(MainFormFindTest, TheConfirmationIsAnsweredByEnterEscapeAndItsButtons) {
    editor().Lines().SetText("ab ab ab ab ab");
    std::deque<std::function<void(QDialog&)>> answers = {
        [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Return); },                               // Yes
        [](QDialog& d) { static_cast<TReplaceConfirm&>(d).button(QMessageBox::No)->click(); }, // No
        [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Return); },                               // Yes
        [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); },                               // Cancel
    };
    QStringList questions;
    QPoint caret, placed;
    dialogs.ExecScript = [&](QDialog& d) {
        if (auto* box = qobject_cast<TReplaceConfirm*>(&d)) {
            questions << box->text();
            placed = box->pos();
            caret = editor().viewport()->mapToGlobal(editor().CaretRect().topLeft());
            auto next = answers.front();
            answers.pop_front();
            next(d);
        } else {
            answerDialog(d, "ab", "X", 0, false, true, "all");
        }
    };
    form->Action("Mm_Replace")->trigger();
    EXPECT_EQ("X ab X ab ab", all());
    EXPECT_EQ(4, questions.size());
    EXPECT_EQ(QStringLiteral(" ab   を\n X   に 置き換えますか？"), questions.value(0));
    EXPECT_EQ(caret.x() + 2, placed.x());
    EXPECT_TRUE(answers.empty());
}

TEST_F(MainFormFindTest, TheSearchStateOutlivesTheDialogs) {
    editor().Lines().SetText("Cat cat CAT");
    dialogs.ExecScript = [&](QDialog& d) {
        auto* f = qobject_cast<TFindForm*>(&d);
        ASSERT_NE(nullptr, f);
        f->ComboB_SearchText->setEditText("cat");
        f->Rg_Derection->SetItemIndex(0);
        f->CheckB_MachCase->setChecked(true);
        f->Btn_OkClick();
    };
    form->Action("Mm_Find")->trigger();
    EXPECT_EQ(std::make_pair(4, 3), selection());
    form->Action("Mm_NextBefore")->trigger(); // match case stays on: "CAT" is not found
    EXPECT_EQ(std::make_pair(4, 3), selection());
    // The next find dialog offers the last text first.
    dialogs.ExecScript = [&](QDialog& d) {
        auto* f = qobject_cast<TFindForm*>(&d);
        ASSERT_NE(nullptr, f);
        EXPECT_EQ(QStringLiteral("cat"), f->ComboB_SearchText->currentText());
        EXPECT_EQ(0, f->Rg_Derection->ItemIndex());
        EXPECT_TRUE(f->CheckB_MachCase->isChecked());
        d.reject();
    };
    form->Action("Mm_Find")->trigger();
    EXPECT_EQ(2, dialogs.Execs);
}
