// UTF-8 pages in the main window: opening, typing and saving byte for byte, the save-code
// menu and status panel, the question before a table's characters are lost, and reading a
// file again in a chosen code (Enter and Escape on its question).
#include "Editor.h"
#include "FindReplace.h"
#include "OutsideCharTable.h"
#include "ScriptedServices.h"
#include "TestFiles.h"
#include "Unit1.h"
#include "Utf8Codec.h"
#include "WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QMenu>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quire;
using namespace quire::test;

namespace {

QByteArray u8(const char8_t* s) { return QByteArray(reinterpret_cast<const char*>(s)); }

class Utf8WindowTest : public test::WindowFixture {
protected:
    static QByteArray read(const QString& path) { return test::ReadTestFile(path); }
    TEditor* editor() { return form->Page(form->ActivePage()).Editor; }
    // Types Text at the start of the active page as the input method commits it.
    void commitAtStart(const QString& text) {
        editor()->SetRowCol(0, 0);
        QInputMethodEvent e;
        e.setCommitString(text);
        QApplication::sendEvent(editor(), &e);
    }
    bool checked(const char* item) { return form->Action(QLatin1String(item))->isChecked(); }
};

const QByteArray kText = u8(u8"日本語の文章、café と naïve、絵文字 😀 と 𠮷、〜 と ～\n二行目\n");

} // namespace

TEST_F(Utf8WindowTest, AUtf8FileOpensAsUtf8TakesTypedTextAndSavesAsUtf8) {
    const QString path = file("utf8.txt", kText);
    ASSERT_TRUE(form->OpenFileIntoPage(path));
    EXPECT_EQ(form->Page(0).KanjiCode, QStringLiteral("UTF-8"));
    EXPECT_EQ(form->PanelText(spKanjiCode), QStringLiteral("UTF-8"));
    EXPECT_EQ(form->PanelText(spLineEnd), QStringLiteral("LF"));
    EXPECT_TRUE(checked("Mm_UTF8"));
    EXPECT_FALSE(checked("Mm_ShiftJIS"));
    EXPECT_TRUE(messages.Asked.isEmpty());
    commitAtStart(QStringLiteral("追加é😀〜："));
    EXPECT_TRUE(form->Mm_SaveClick());
    EXPECT_TRUE(messages.Asked.isEmpty()) << messages.Asked.join('|').toStdString();
    EXPECT_EQ(read(path), u8(u8"追加é😀〜：") + kText);
    EXPECT_TRUE(utf8::IsValid(read(path).toStdString()));
}

TEST_F(Utf8WindowTest, TheByteOrderMarkIsKeptAndChosenInTheMenu) {
    const QString path = file("bom.txt", "\xEF\xBB\xBF" + kText);
    ASSERT_TRUE(form->OpenFileIntoPage(path));
    EXPECT_EQ(form->PanelText(spKanjiCode), QStringLiteral("UTF-8"));
    EXPECT_TRUE(checked("Mm_UTF8BOM"));
    EXPECT_FALSE(checked("Mm_UTF8"));
    editor()->SetModified(true);
    EXPECT_TRUE(form->Mm_SaveClick());
    EXPECT_EQ(read(path), "\xEF\xBB\xBF" + kText);
    form->Action("Mm_UTF8")->trigger(); // without the mark from now on
    EXPECT_TRUE(checked("Mm_UTF8"));
    EXPECT_FALSE(checked("Mm_UTF8BOM"));
    EXPECT_TRUE(form->Mm_SaveClick());
    EXPECT_EQ(read(path), kText);
}

TEST_F(Utf8WindowTest, SavingTheTablesCharactersInAnotherCodeAsksNamingTheFirst) {
    const QString path = file("latin.txt", u8(u8"日本 café\n"));
    ASSERT_TRUE(form->OpenFileIntoPage(path));
    // Escape saves nothing; No saves in the code with "?"; Enter (Yes) saves as UTF-8.
    for (const char* item : {"Mm_ShiftJIS", "Mm_JIS"}) {
        form->Action(QLatin1String(item))->trigger();
        messages.Asked.clear();
        messages.Answers = {kEscape};
        EXPECT_FALSE(form->Mm_SaveClick()) << item;
        ASSERT_EQ(messages.Asked.size(), 1) << item;
        EXPECT_TRUE(messages.Asked.first().contains(QStringLiteral("「é」"))) << messages.Asked.first().toStdString();
        EXPECT_EQ(read(path), u8(u8"日本 café\n")) << item;
    }
    form->Action("Mm_ShiftJIS")->trigger();
    messages.Answers = {mbNo};
    EXPECT_TRUE(form->Mm_SaveClick());
    EXPECT_EQ(read(path), QByteArray("\x93\xFA\x96\x7B caf?\n"));
    EXPECT_TRUE(checked("Mm_ShiftJIS"));
    editor()->SetModified(true);
    messages.Answers = {kEnter};
    EXPECT_TRUE(form->Mm_SaveClick());
    EXPECT_EQ(read(path), u8(u8"日本 café\n"));
    EXPECT_TRUE(checked("Mm_UTF8"));
    EXPECT_EQ(form->PanelText(spKanjiCode), QStringLiteral("UTF-8"));
    // EUC holds é (JIS X 0212): nothing is asked.
    form->Action("Mm_EUC")->trigger();
    editor()->SetModified(true);
    messages.Asked.clear();
    EXPECT_TRUE(form->Mm_SaveClick());
    EXPECT_TRUE(messages.Asked.isEmpty());
    EXPECT_EQ(read(path), QByteArray("\xC6\xFC\xCB\xDC caf\x8F\xAB\xB1\n"));
}

TEST_F(Utf8WindowTest, ReadingAgainInAChosenCodeAsksFirstWhenModified) {
    const QString path = file("again.txt", kText);
    ASSERT_TRUE(form->OpenFileIntoPage(path));
    // Unmodified: read at once, as Shift_JIS bytes, without a table.
    form->Mm_ReopenClick(QStringLiteral("S-JIS"));
    EXPECT_TRUE(messages.Asked.isEmpty());
    EXPECT_EQ(form->Page(0).KanjiCode, QStringLiteral("S-JIS"));
    EXPECT_EQ(form->PanelText(spKanjiCode), QStringLiteral("S-JIS"));
    EXPECT_TRUE(editor()->ScreenStrings().CharTable() == nullptr);
    EXPECT_EQ(editor()->Lines().Text().substr(0, 3), std::string("\xE6\x97\xA5"));
    // Modified: Enter and Escape keep the page and what was typed.
    editor()->SetRowCol(0, 0);
    editor()->TypeText("typed");
    for (int key : {kEnter, kEscape}) {
        messages.Answers = {key};
        form->Mm_ReopenClick(QStringLiteral("UTF-8"));
        EXPECT_EQ(form->Page(0).KanjiCode, QStringLiteral("S-JIS")) << key;
        EXPECT_EQ(editor()->Lines().Text().substr(0, 5), "typed") << key;
        EXPECT_TRUE(editor()->Modified());
    }
    EXPECT_EQ(messages.Questions.size(), 2u);
    EXPECT_EQ(messages.Questions.back().Default, mbNo);
    // Yes reads it again as UTF-8.
    messages.Answers = {mbYes};
    form->Mm_ReopenClick(QStringLiteral("UTF-8"));
    EXPECT_EQ(form->Page(0).KanjiCode, QStringLiteral("UTF-8"));
    EXPECT_FALSE(editor()->Modified());
    EXPECT_TRUE(editor()->ScreenStrings().CharTable() != nullptr);
    editor()->SetModified(true);
    EXPECT_TRUE(form->Mm_SaveClick());
    EXPECT_EQ(read(path), kText);
}

TEST_F(Utf8WindowTest, TheReopenItemNeedsAFileAndANewDocumentStaysShiftJis) {
    QMenu* menu = form->findChild<QMenu*>(QStringLiteral("M_File"));
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    EXPECT_FALSE(form->Action("Mm_Reopen")->isEnabled());
    ASSERT_TRUE(form->OpenFileIntoPage(file("x.txt", "x\r\n")));
    emit menu->aboutToShow();
    EXPECT_TRUE(form->Action("Mm_Reopen")->isEnabled());
    form->Mm_NewClick();
    EXPECT_EQ(form->Page(form->ActivePage()).KanjiCode, QStringLiteral("S-JIS"));
    EXPECT_EQ(form->Page(form->ActivePage()).LineEndCode, QStringLiteral("CRLF"));
    EXPECT_TRUE(editor()->ScreenStrings().CharTable() == nullptr);
}

TEST_F(Utf8WindowTest, AShiftJisPageSwitchedToUtf8KeepsItsUserDefinedCharacters) {
    const QString path = file("sjis.txt", QByteArray("\xF0\x40 \x93\xFA\r\n"));
    ASSERT_TRUE(form->OpenFileIntoPage(path));
    EXPECT_EQ(form->Page(0).KanjiCode, QStringLiteral("S-JIS"));
    form->Action("Mm_UTF8")->trigger();
    commitAtStart(QStringLiteral("é"));
    EXPECT_TRUE(form->Mm_SaveClick());
    EXPECT_EQ(read(path), u8(u8"é\uE000 日\r\n"));
}

TEST_F(Utf8WindowTest, AFileWithMoreOutsideCharactersThanCodesOpensReadOnly) {
    std::string text;
    for (char32_t c = 0x20000; c < 0x20000 + TOutsideCharTable::Capacity + 5; ++c) utf8::AppendChar(text, c);
    const QByteArray bytes = QByteArray::fromStdString(text);
    const QString path = file("many.txt", bytes);
    ASSERT_TRUE(form->OpenFileIntoPage(path));
    EXPECT_TRUE(messages.Asked.isEmpty());
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown.first().contains(QStringLiteral("読み取り専用")))
        << messages.Shown.first().toStdString();
    EXPECT_TRUE(editor()->ReadOnly());
    for (int key : {kEnter, kEscape}) { // saving it unchanged would lose the five
        messages.Answers = {key};
        EXPECT_FALSE(form->Mm_SaveClick());
        EXPECT_EQ(read(path), bytes);
    }
}

TEST_F(Utf8WindowTest, FindAndReplaceReachTheTablesCharacters) {
    const QString path = file("find.txt", u8(u8"日本 café 😀\n"));
    ASSERT_TRUE(form->OpenFileIntoPage(path));
    TFindReplace find;
    find.SearchText = QStringLiteral("é");
    find.Options.Set(TSearchOption::Forward, true);
    editor()->SetRowCol(0, 0);
    ASSERT_TRUE(find.FindOnce(*editor()));
    EXPECT_EQ(editor()->SelStart(), 8); // 日本, a space and "caf"
    EXPECT_EQ(editor()->SelLength(), 2);
    find.SearchText = QStringLiteral("😀");
    find.ReplaceText = QStringLiteral("🎉");
    find.Options.Set(TSearchOption::ReplaceAll, true);
    editor()->SetRowCol(0, 0);
    find.ReplaceLoop(*editor(), [](TEditor&) { return TReplaceAnswer::Yes; });
    EXPECT_TRUE(form->Mm_SaveClick());
    EXPECT_EQ(read(path), u8(u8"日本 café 🎉\n"));
}
