// The kanji codes in the main window: every file of a corpus in every code opens and saves
// unchanged byte for byte, UTF-16 in the menus and the status bar, what is typed is kept in
// any page, and the code and line end of a new document come from the settings.
#include "CodeCorpus.h"
#include "Editor.h"
#include "ScriptedServices.h"
#include "WindowFixture.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <gtest/gtest.h>

using namespace quire;
using namespace quire::test;

namespace {

QByteArray u8(const char8_t* s) { return QByteArray(reinterpret_cast<const char*>(s)); }

class CodesWindowTest : public WindowFixture {
protected:
    TEditor* active() { return form->Page(form->ActivePage()).Editor; }
    bool checked(const char* item) { return form->Action(QLatin1String(item))->isChecked(); }
    // Types Text at the start of the active page as the input method commits it.
    void commitAtStart(const QString& text) {
        active()->SetRowCol(0, 0);
        QInputMethodEvent e;
        e.setCommitString(text);
        QApplication::sendEvent(active(), &e);
    }
};

} // namespace

TEST_F(CodesWindowTest, EveryFileOfTheCorpusOpensAndSavesUnchanged) {
    for (const TCorpusFile& c : CodeCorpus()) {
        const QByteArray bytes = QByteArray::fromStdString(c.Bytes);
        const QString path = file("corpus.txt", bytes);
        messages.Asked.clear();
        messages.Shown.clear();
        ASSERT_TRUE(form->OpenFileIntoPage(path)) << c.Name;
        const TPageRecord& p = form->Page(form->ActivePage());
        EXPECT_EQ(p.KanjiCode.toStdString(), c.Code) << c.Name;
        EXPECT_TRUE(p.KeepsBytes) << c.Name;
        EXPECT_TRUE(messages.Asked.isEmpty() && messages.Shown.isEmpty()) << c.Name;
        active()->SetModified(true);
        EXPECT_TRUE(form->Mm_SaveClick()) << c.Name;
        EXPECT_TRUE(messages.Asked.isEmpty()) << c.Name << ": " << messages.Asked.join('|').toStdString();
        EXPECT_TRUE(ReadTestFile(path) == bytes) << c.Name << " changed on saving";
        form->C1Click();
    }
}

TEST_F(CodesWindowTest, Utf16PagesInTheMenusAndTheStatusBar) {
    const QByteArray le = "\xFF\xFE" + QByteArray("a\0\r\0\n\0", 6);
    const QString path = file("le.txt", le);
    ASSERT_TRUE(form->OpenFileIntoPage(path));
    EXPECT_EQ(form->PanelText(spKanjiCode), QStringLiteral("UTF-16LE"));
    EXPECT_TRUE(checked("Mm_UTF16LE"));
    EXPECT_FALSE(checked("Mm_ShiftJIS"));
    commitAtStart(QStringLiteral("é😀"));
    EXPECT_TRUE(form->Mm_SaveClick());
    EXPECT_EQ(ReadTestFile(path), "\xFF\xFE" + QByteArray("\xE9\0\x3D\xD8\x00\xDE"
                                                          "a\0\r\0\n\0",
                                                          12));
    form->Action("Mm_UTF16BE")->trigger();
    EXPECT_EQ(form->PanelText(spKanjiCode), QStringLiteral("UTF-16BE"));
    EXPECT_TRUE(form->Mm_SaveClick());
    EXPECT_EQ(ReadTestFile(path), "\xFE\xFF" + QByteArray("\0\xE9\xD8\x3D\xDE\x00\0a\0\r\0\n", 12));
    // Read again in a chosen code: the same file as UTF-16 little-endian shows its bytes so.
    form->Mm_ReopenClick(QStringLiteral("UTF-16LE"));
    EXPECT_EQ(form->Page(0).KanjiCode, QStringLiteral("UTF-16LE NOBOM"));
    EXPECT_TRUE(checked("Mm_UTF16LE"));
}

// Whatever the page's code, a character typed into it is kept; saved where the code cannot
// hold it, the question offers UTF-8 (Enter), "?" (No) or nothing (Escape).
TEST_F(CodesWindowTest, WhatIsTypedIsKeptAndSavingAsksWhatToLose) {
    const QString path = file("new.txt", "abc\r\n");
    ASSERT_TRUE(form->OpenFileIntoPage(path));
    commitAtStart(QStringLiteral("é"));
    EXPECT_NE(active()->Lines().Text().substr(0, 1), "?");
    messages.Answers = {kEscape};
    EXPECT_FALSE(form->Mm_SaveClick());
    ASSERT_EQ(messages.Questions.size(), 1u);
    EXPECT_EQ(messages.Questions.back().Default, mbYes);
    EXPECT_TRUE(messages.Asked.back().contains(QStringLiteral("「é」"))) << messages.Asked.back().toStdString();
    EXPECT_EQ(ReadTestFile(path), "abc\r\n");
    messages.Answers = {mbNo};
    EXPECT_TRUE(form->Mm_SaveClick());
    EXPECT_EQ(ReadTestFile(path), "?abc\r\n");
    EXPECT_EQ(form->Page(0).KanjiCode, QStringLiteral("S-JIS"));
    active()->SetModified(true);
    messages.Answers = {kEnter};
    EXPECT_TRUE(form->Mm_SaveClick());
    EXPECT_EQ(ReadTestFile(path), u8(u8"éabc\r\n"));
    EXPECT_EQ(form->Page(0).KanjiCode, QStringLiteral("UTF-8"));
}

TEST_F(CodesWindowTest, ANewDocumentTakesTheCodeAndLineEndOfTheSettings) {
    setting("File", "NewCode", QStringLiteral("UTF-8"));
    setting("File", "NewLineEnd", QStringLiteral("LF"));
    form->Mm_NewClick();
    EXPECT_EQ(form->Page(form->ActivePage()).KanjiCode, QStringLiteral("UTF-8"));
    EXPECT_EQ(form->Page(form->ActivePage()).LineEndCode, QStringLiteral("LF"));
    EXPECT_EQ(form->PanelText(spLineEnd), QStringLiteral("LF"));
    EXPECT_TRUE(checked("Mm_UTF8"));
    // A value that is no code or line end gives the default.
    setting("File", "NewCode", QStringLiteral("KOI8-R"));
    setting("File", "NewLineEnd", QStringLiteral("NEL"));
    form->Mm_NewClick();
    EXPECT_EQ(form->Page(form->ActivePage()).KanjiCode, QStringLiteral("S-JIS"));
    EXPECT_EQ(form->Page(form->ActivePage()).LineEndCode, QStringLiteral("CRLF"));
}
