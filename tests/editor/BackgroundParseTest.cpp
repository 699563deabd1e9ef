// The background parse of a real editor: typing never waits for it, and it ends in the
// colouring of a full parse.
#include "EditorFixture.h"
#include "EditorScreenStrings.h"

#include <QKeyEvent>

using namespace quire;

namespace {

class BackgroundParse : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        // Block comments make the row states differ from row to row.
        e->ActiveFountain().Brackets().AddBracket("/*", "*/");
        std::string t;
        for (int i = 0; i < 60000; ++i)
            t += i % 9 == 0    ? "a /* comment opens\r\n"
                 : i % 13 == 0 ? "it closes */ here\r\n"
                               : "text \x82\xA0 row\r\n";
        text(t);
    }
    TEditorScreenStrings& store() { return e->ScreenStrings(); }
    // The states of every row computed from the top by the editor's own parser.
    std::vector<TRowState> fullStates() {
        std::vector<TRowState> states;
        auto parser = e->ActiveFountain().CreateParser();
        TRowState s = TRowState::Initial();
        for (int r = 0; r < store().Count(); ++r) {
            states.push_back(s);
            s = TRowAttributeStringList::Packed(parser->Advance(store(), r, s));
        }
        return states;
    }
    void finishBackgroundParse() {
        for (int i = 0; i < 100000 && store().ParsePending(); ++i) QApplication::processEvents();
        ASSERT_FALSE(store().ParsePending());
    }
};

} // namespace

TEST_F(BackgroundParse, EndsInTheStatesOfAFullParse) {
    EXPECT_TRUE(store().ParsePending()); // opening parsed only the first screens
    finishBackgroundParse();
    const std::vector<TRowState> full = fullStates();
    for (int r = 0; r < store().Count(); ++r) ASSERT_EQ(store().RowState(r), full[static_cast<size_t>(r)]) << r;
}

TEST_F(BackgroundParse, TypingFarDownIsHandledBeforeTheParseGetsThere) {
    // The caret goes to the last row, and a key comes in while the parse is still at the top.
    // (No event is processed in between: the background parse is where the loading left it.)
    e->SetRowCol(store().Count() - 1, 0);
    ASSERT_TRUE(store().ParsePending());
    const int lastRow = store().Count() - 1;
    QCoreApplication::postEvent(e.get(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x")));
    QCoreApplication::sendPostedEvents(e.get(), QEvent::KeyPress);
    EXPECT_EQ(std::string(store().Get(lastRow)), "xtext \x82\xA0 row");
    // The key was handled without the rows above being parsed for it.
    EXPECT_TRUE(store().ParsePending());
    EXPECT_EQ(store().BracketIndex(lastRow / 2), -2);
    // The edit is part of what the background parse ends in.
    finishBackgroundParse();
    const std::vector<TRowState> full = fullStates();
    for (int r = 0; r < store().Count(); ++r) ASSERT_EQ(store().RowState(r), full[static_cast<size_t>(r)]) << r;
}

TEST_F(BackgroundParse, AnEditNearTheTopIsRedoneByTheBackgroundParse) {
    std::string t;
    for (int i = 0; i < 60000; ++i) t += "row " + std::to_string(i) + "\r\n";
    text(t);
    finishBackgroundParse();
    // A comment opened that nothing closes changes every row below.
    e->SetRowCol(1, 0);
    e->TypeText("/* ");
    EXPECT_TRUE(store().ParsePending()); // the comment changed more than the edit could look at
    finishBackgroundParse();
    const std::vector<TRowState> full = fullStates();
    for (int r = 0; r < store().Count(); ++r) ASSERT_EQ(store().RowState(r), full[static_cast<size_t>(r)]) << r;
}
