// Editing through the real control: keys, characters, the input method, the mouse, the
// clipboard and the edit-style requests.
#include "Cp932Codec.h"
#include "Editor.h"
#include "EditorClipboard.h"
#include "EditorFixture.h"
#include "Fonts.h"
#include "OutsideCharTable.h"
#include "ShiftJis.h"
#include "TokenKinds.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <random>

using namespace quire;

namespace {

class EditingTest : public EditorFixture {
protected:
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(e.get(), k, m); }
    void type(const char* s) { QTest::keyClicks(e.get(), QString::fromLatin1(s)); }
    QPoint cell(int row, int col) {
        return QPoint(e->TextLeft() + (col - e->TopCol()) * e->CharWidth() + 1,
                      e->TextTop() + (row - e->TopRow()) * e->RowHeight() + e->CharHeight() / 2);
    }
};

const std::string kA = "\x82\xA0"; // あ

} // namespace

TEST_F(EditingTest, TabKeysTypeTabsButShiftTabTypesNothing) {
    // What a tab inserts is the editing's own business; here only which keys reach it.
    text("abc");
    e->SetRowCol(0, 3);
    key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(all(), "abc");
    key(Qt::Key_Tab);
    EXPECT_EQ(all(), "abc\t");
}

TEST_F(EditingTest, BoxCutAndPasteKeepTheBoxMarker) {
    text("abcdef\r\nghijkl\r\nmnopqr\r\n");
    e->SetSelectionMode(TSelectionMode::Box);
    e->SetRowCol(0, 1);
    e->AnchorSelection();
    e->SetRowCol(2, 3);
    e->ExtendSelection();
    EXPECT_EQ(e->SelectedText(), "bc\r\nhi\r\nno\r\n");
    e->CutToClipboard();
    EXPECT_EQ(all(), "adef\r\ngjkl\r\nmpqr\r\n");
    EXPECT_TRUE(QApplication::clipboard()->mimeData()->hasFormat(BoxMimeType()));
    e->SetSelectionMode(TSelectionMode::Normal);
    e->SetRowCol(0, 4);
    e->PasteFromClipboard();
    EXPECT_EQ(all(), "adefbc\r\ngjklhi\r\nmpqrno\r\n");
    // The same text from another program is plain text.
    QApplication::clipboard()->setText(QStringLiteral("bc\r\nhi\r\n"));
    text("xy\r\n");
    e->SetRowCol(0, 1);
    e->PasteFromClipboard();
    EXPECT_EQ(all(), "xbc\r\nhi\r\ny\r\n");
}

TEST_F(EditingTest, DragMoveAndCopyWithTheMouse) {
    text("hello world\r\n");
    e->SetSelStart(0);
    e->SetSelLength(5);
    // Drag "hello" behind "world".
    QTest::mousePress(e->viewport(), Qt::LeftButton, Qt::NoModifier, cell(0, 2));
    QTest::mouseMove(e->viewport(), cell(0, 6));
    QTest::mouseMove(e->viewport(), cell(0, 11));
    QTest::mouseRelease(e->viewport(), Qt::LeftButton, Qt::NoModifier, cell(0, 11));
    EXPECT_EQ(all(), " worldhello\r\n");
    e->Undo();
    EXPECT_EQ(all(), "hello world\r\n");
    e->SetSelStart(0);
    e->SetSelLength(5);
    QTest::mousePress(e->viewport(), Qt::LeftButton, Qt::NoModifier, cell(0, 2));
    QTest::mouseMove(e->viewport(), cell(0, 8));
    QTest::mouseMove(e->viewport(), cell(0, 11));
    QTest::mouseRelease(e->viewport(), Qt::LeftButton, Qt::ControlModifier, cell(0, 11));
    EXPECT_EQ(all(), "hello worldhello\r\n");
}

TEST_F(EditingTest, APressInsideTheSelectionWithoutMovingClearsIt) {
    text("hello world\r\n");
    e->SetSelStart(0);
    e->SetSelLength(5);
    QTest::mousePress(e->viewport(), Qt::LeftButton, Qt::NoModifier, cell(0, 2));
    QTest::mouseRelease(e->viewport(), Qt::LeftButton, Qt::NoModifier, cell(0, 2));
    EXPECT_FALSE(e->Selected());
    EXPECT_EQ(e->Col(), 2);
    EXPECT_EQ(all(), "hello world\r\n");
}

TEST_F(EditingTest, MouseSelectionAndRowSelection) {
    text("abcdef\r\nghijkl\r\n");
    QTest::mousePress(e->viewport(), Qt::LeftButton, Qt::NoModifier, cell(0, 1));
    QTest::mouseMove(e->viewport(), cell(1, 3));
    QTest::mouseRelease(e->viewport(), Qt::LeftButton, Qt::NoModifier, cell(1, 3));
    EXPECT_EQ(e->SelectedText(), "bcdef\r\nghi");
    QTest::mouseClick(e->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(2, cell(1, 0).y()));
    EXPECT_EQ(e->SelLength(), 8);
}

TEST_F(EditingTest, TheInputMethodCommitsOnceAndPreeditNeverEntersTheText) {
    text("");
    QInputMethodEvent preedit(QStringLiteral("かんじ"), {});
    QApplication::sendEvent(e.get(), &preedit);
    EXPECT_EQ(all(), "");
    EXPECT_FALSE(e->CanUndo());
    EXPECT_EQ(e->PreeditText(), QStringLiteral("かんじ"));
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("漢字"));
    QApplication::sendEvent(e.get(), &commit);
    EXPECT_EQ(all(), "\x8A\xBF\x8E\x9A");
    EXPECT_EQ(e->PreeditText(), QString());
    EXPECT_EQ(e->Col(), 4);
    e->Undo();
    EXPECT_EQ(all(), "");
    EXPECT_FALSE(e->CanUndo());
    const QRect r = e->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    EXPECT_GE(r.width(), 1);
}

TEST_F(EditingTest, LosingTheFocusKeepsWhatWasComposedOnce) {
    text("");
    QLineEdit other;
    other.show();
    QInputMethodEvent preedit(QStringLiteral("かな"), {});
    QApplication::sendEvent(e.get(), &preedit);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(e.get(), &out);
    EXPECT_EQ(all(), "\x82\xA9\x82\xC8"); // かな, inserted once as one undo step
    EXPECT_EQ(e->PreeditText(), QString());
    EXPECT_TRUE(other.text().isEmpty());
    e->Undo();
    EXPECT_EQ(all(), "");
    // With nothing composed, losing the focus changes nothing.
    QApplication::sendEvent(e.get(), &out);
    EXPECT_FALSE(e->CanUndo());
}

TEST_F(EditingTest, KeysMoveAndSelect) {
    text("abc\r\ndef\r\n");
    e->SetRowCol(0, 0);
    key(Qt::Key_End);
    EXPECT_EQ(e->Col(), 3);
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(e->Row(), 2);
    key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(e->Row(), 0);
    key(Qt::Key_Right, Qt::ShiftModifier);
    key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(e->SelectedText(), "ab");
    key(Qt::Key_Down);
    EXPECT_FALSE(e->Selected());
    EXPECT_EQ(e->Row(), 1);
}

TEST_F(EditingTest, ReadOnlyChangesNothing) {
    text("abc");
    e->SetReadOnly(true);
    e->SetRowCol(0, 1);
    type("x");
    key(Qt::Key_Delete);
    key(Qt::Key_Backspace);
    key(Qt::Key_Return);
    e->InsertText("y");
    EXPECT_EQ(all(), "abc");
    key(Qt::Key_Right);
    EXPECT_EQ(e->Col(), 2);
}

TEST_F(EditingTest, PopupShortcutsAndTheApplicationsReservedOnes) {
    text("abc");
    e->SetRowCol(0, 3);
    type("d");
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(all(), "abc");
    key(Qt::Key_A, Qt::ControlModifier); // redo
    EXPECT_EQ(all(), "abcd");
    e->SetReservedShortcuts({QKeySequence(QStringLiteral("Ctrl+A"))});
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_A, Qt::ControlModifier); // now the application's
    EXPECT_EQ(all(), "abc");
}

TEST_F(EditingTest, APopupMenuFromTheOwnerTakesNoKeysOfTheOwnPopup) {
    QMenu owners;
    e->SetPopupMenu(&owners);
    EXPECT_EQ(&owners, e->PopupMenu());
    text("abc");
    e->SetRowCol(0, 3);
    type("d");
    // Ctrl+Z, Ctrl+A and Ctrl+K belong to the owner now: here nothing acts on them.
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(all(), "abcd");
    key(Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(e->SelectionMode(), TSelectionMode::Normal);
    QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_Z, Qt::ControlModifier);
    override.ignore();
    QApplication::sendEvent(e.get(), &override);
    EXPECT_FALSE(override.isAccepted());
    // Without it the own popup is back, with its keys.
    e->SetPopupMenu(nullptr);
    EXPECT_NE(&owners, e->PopupMenu());
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(all(), "abc");
}

TEST_F(EditingTest, TabStaysInAnEditorThatWantsTabs) {
    // Beside another control Tab would move the focus on; an editor that wants tabs keeps it.
    QWidget window;
    auto* other = new QLineEdit(&window);
    e->setParent(&window);
    e->show();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    e->setFocus();
    QApplication::processEvents();
    text("ab");
    e->SetRowCol(0, 1);
    key(Qt::Key_Tab);
    EXPECT_EQ(all(), "a\tb");
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(all(), "a\tb");
    EXPECT_TRUE(e->hasFocus());
    e->WantTabs = false;
    key(Qt::Key_Tab);
    EXPECT_EQ(all(), "a\tb");
    EXPECT_TRUE(other->hasFocus());
    e->setParent(nullptr);
}

TEST_F(EditingTest, EditStyleRequests) {
    text("abc\r\ndef\r\nghi");
    EXPECT_EQ(e->GetTextLength(), 13);
    EXPECT_EQ(e->LineIndex(1), 5);
    EXPECT_EQ(e->LineIndex(3), -1);
    EXPECT_EQ(e->LineFromChar(6), 1);
    EXPECT_EQ(e->LineFromChar(4), 0); // inside the CR LF
    EXPECT_EQ(e->LineLength(6), 3);
    e->SetSel(5, 8);
    int s = 0, en = 0;
    EXPECT_EQ(e->GetSel(&s, &en), (5u | (8u << 16)));
    EXPECT_EQ(e->SelectedText(), "def");
    char buffer[8] = {2, 0};
    EXPECT_EQ(e->GetLine(2, buffer), 2);
    EXPECT_EQ(std::string(buffer, 2), "gh");
    // Offsets above 16 bits: the result keeps the low halves, the pointers the full values.
    std::string big;
    for (int i = 0; i < 7000; ++i) big += "123456789\r\n";
    text(big);
    e->SetSel(65540, 69990);
    const uint32_t packed = e->GetSel(&s, &en);
    EXPECT_EQ(s, 65540);
    EXPECT_EQ(en, 69990);
    EXPECT_EQ(packed, (65540u & 0xFFFF) | ((69990u & 0xFFFF) << 16));
    e->SetSel(0, -1);
    EXPECT_EQ(e->SelLength(), 77000);

    // Clearing, undoing and the modified flag; a read-only editor takes none of them.
    text("abc\r\ndef\r\nghi");
    e->SetSel(5, 8);
    e->ClearMsg();
    EXPECT_EQ(all(), "abc\r\n\r\nghi");
    EXPECT_TRUE(e->CanUndoMsg());
    EXPECT_TRUE(e->UndoMsg());
    EXPECT_EQ(all(), "abc\r\ndef\r\nghi");
    e->SetSel(0, 3);
    e->ClearMsg();
    e->SetModifyMsg(true);
    e->SetReadOnlyMsg(true);
    EXPECT_TRUE(e->ReadOnly());
    e->SetSel(5, 8);
    e->ClearMsg();
    e->SetModifyMsg(false);
    e->EmptyUndoBuffer();
    EXPECT_EQ(all(), "\r\ndef\r\nghi");
    EXPECT_TRUE(e->GetModify());
    EXPECT_FALSE(e->CanUndoMsg());
    EXPECT_FALSE(e->UndoMsg());
    e->SetReadOnlyMsg(false);
    EXPECT_TRUE(e->CanUndoMsg()) << "the read-only editor kept its undo steps";
    e->EmptyUndoBuffer();
    EXPECT_FALSE(e->CanUndoMsg());

    // A character's pixel, and the character at a pixel: "e" at offset 3 is row 1, column 1.
    e->SetTopRow(0);
    e->SetTopCol(0);
    EXPECT_EQ(e->GetFirstVisibleLine(), 0);
    const uint32_t at = e->PosFromChar(3);
    const int x = static_cast<int>(at & 0xFFFF), y = static_cast<int>(at >> 16);
    EXPECT_EQ(x, e->TextLeft() + e->CharWidth());
    EXPECT_EQ(y, e->TextTop() + e->RowHeight());
    EXPECT_EQ(e->CharFromPos(QPoint(x + 1, y + 1)), 3u | (1u << 16));
    EXPECT_EQ(e->CharFromPos(QPoint(-1, 0)), 0xFFFFFFFFu) << "outside the view";
}

TEST_F(EditingTest, BytesWithoutACharacterSurviveCopyAndPaste) {
    // 0x80 and 0xFD are not code page 932 characters; a copy inside the editor keeps them.
    const std::string odd = "a\x80"
                            "b\xFD"
                            "\x82\xA0";
    text(odd + "\r\n");
    e->SelectAll();
    e->CopyToClipboard();
    text("");
    e->PasteFromClipboard();
    EXPECT_EQ(all(), odd + "\r\n");
    // The box paste of the popup menu (Ctrl+B) takes the same bytes.
    text("xy\r\n");
    e->SetRowCol(0, 1);
    key(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(all(), "x" + odd + "y\r\n"); // a box paste inserts the rows, not the line end
}

// The text offset of the caret: its row's start and the bytes left of its column.
static int caretOffset(TEditor& e) {
    const TEditorScreenStrings& l = e.ScreenStrings();
    if (e.Row() >= l.Count()) return l.RowOffset(l.Count());
    return l.RowOffset(e.Row()) + std::min(TColumnMap(l.Get(e.Row()), l.ColumnContext()).BytesBefore(e.Col()),
                                           static_cast<int>(l.Get(e.Row()).size()));
}

// Runs Act, which types Bytes at the caret (Delete when Bytes is empty), and checks the text
// and the caret against a model: without a selection and in insert mode the bytes go in at
// the caret's place (after spaces up to a caret past the row's end) and the caret ends right
// after them; Delete inside a row takes the character at the caret and leaves the caret
// where it is. Other states are only acted on.
static void actAgainstModel(TEditor& e, const std::string& Bytes, const std::function<void()>& Act,
                            const std::string& Where) {
    const TEditorScreenStrings& l = e.ScreenStrings();
    if (e.Selected() || e.OverWrite()) {
        Act();
        return;
    }
    std::string model = e.Lines().Text();
    const int row = e.Row();
    const std::string rowText = row < l.Count() ? std::string(l.Get(row)) : std::string();
    const int len = static_cast<int>(rowText.size());
    const int index = (row < l.Count() ? TColumnMap(l.Get(row), l.ColumnContext()) : TColumnMap()).ByteIndex(e.Col());
    const int at = l.RowOffset(row) + std::min(index, len);
    int expected = at;
    if (!Bytes.empty()) {
        const std::string inserted = std::string(static_cast<size_t>(std::max(0, index - len)), ' ') + Bytes;
        model.insert(static_cast<size_t>(at), inserted);
        expected = at + static_cast<int>(inserted.size());
    } else if (index < len) {
        const bool lead = sjis::IsLeadByte(static_cast<unsigned char>(rowText[static_cast<size_t>(index)]));
        model.erase(static_cast<size_t>(at), static_cast<size_t>(lead ? std::min(2, len - index) : 1));
    } else {
        Act();
        return;
    }
    Act();
    ASSERT_EQ(e.Lines().Text(), model) << Where;
    ASSERT_EQ(caretOffset(e), expected) << Where << " (caret at row " << e.Row() << ", column " << e.Col() << ")";
}

// Random events through the real event path, with wrap on and off, starting from a few texts:
// after every event no row holds a line end, only the last row may be the end of the text and
// it is never a wrapped row, and undoing every step gives back the text as it was.
static void RunRandomRounds(TEditor& e, unsigned seed, int rounds, int events,
                            const std::function<void(std::mt19937&, const std::string&)>& step) {
    std::mt19937 rng(seed);
    const std::string seeds[] = {"", "abc def\r\n\x82\xA0\x82\xA2\x82\xA4 ghi\r\n\tx", "    a\r\n\r\n  b\r\nlast\r\n",
                                 std::string(70, 'w') + "\r\n" + std::string(30, 'z')};
    e.SetUndoListMax(10000);
    for (int round = 0; round < rounds; ++round) {
        e.SetWordWrap(round % 2 == 0);
        e.WrapOption().SetWrapByte(20);
        e.WrapOption().SetWordBreak(round % 4 == 0); // short rows: re-wrapping reaches further back
        e.SetOverWrite(false);
        const std::string start = seeds[round % 4];
        e.Lines().SetText(start);
        for (int k = 0; k < events; ++k) {
            step(rng, "round " + std::to_string(round) + " event " + std::to_string(k));
            if (::testing::Test::HasFatalFailure()) return;
            const auto& list = e.ScreenStrings();
            for (int r = 0; r < list.Count(); ++r) {
                ASSERT_EQ(list.Get(r).find_first_of("\r\n"), std::string::npos) << "round " << round << " event " << k;
                const TRowAttribute attr = list.RowAttribute(r);
                const bool last = r == list.Count() - 1;
                ASSERT_TRUE(last || attr != TRowAttribute::EndOfFile) << "round " << round << " event " << k;
                ASSERT_TRUE(!last || attr != TRowAttribute::Wrapped) << "round " << round << " event " << k;
            }
            ASSERT_LE(e.Row(), list.Count()) << "round " << round << " event " << k;
        }
        while (e.CanUndo()) e.Undo();
        ASSERT_EQ(e.Lines().Text(), start) << "round " << round;
    }
}

TEST_F(EditingTest, RandomKeysKeepTheRowsSoundAndUndoToTheStart) {
    struct Press {
        Qt::Key Key;
        Qt::KeyboardModifiers Mods;
    };
    const Press presses[] = {
        {Qt::Key_A, Qt::NoModifier},         {Qt::Key_Space, Qt::NoModifier},     {Qt::Key_Return, Qt::NoModifier},
        {Qt::Key_Return, Qt::ShiftModifier}, {Qt::Key_Backspace, Qt::NoModifier}, {Qt::Key_Delete, Qt::NoModifier},
        {Qt::Key_Tab, Qt::NoModifier},       {Qt::Key_Left, Qt::ShiftModifier},   {Qt::Key_Right, Qt::NoModifier},
        {Qt::Key_Up, Qt::ShiftModifier},     {Qt::Key_Down, Qt::NoModifier},      {Qt::Key_End, Qt::NoModifier},
        {Qt::Key_Home, Qt::ShiftModifier},   {Qt::Key_X, Qt::ControlModifier},    {Qt::Key_V, Qt::ControlModifier},
        {Qt::Key_C, Qt::ControlModifier},
    };
    RunRandomRounds(*e, 11, 90, 60, [&](std::mt19937& rng, const std::string& where) {
        const Press& p = presses[rng() % std::size(presses)];
        const bool plain = p.Mods == Qt::NoModifier;
        if (plain && (p.Key == Qt::Key_A || p.Key == Qt::Key_Space || p.Key == Qt::Key_Delete))
            actAgainstModel(
                *e,
                p.Key == Qt::Key_A       ? "a"
                : p.Key == Qt::Key_Space ? " "
                                         : "",
                [&] { key(p.Key, p.Mods); }, where);
        else
            key(p.Key, p.Mods);
        if (rng() % 17 == 0) e->SetOverWrite(!e->OverWrite());
    });
}

TEST_F(EditingTest, ASelectionOnThePlaceAfterTheFinalLineEndIsEmpty) {
    // The caret may stand past the end of the text on the empty place after the last line end;
    // selecting there selects nothing, and cutting or opening the menu must not fail.
    text("abc\r\n");
    e->SetRowCol(1, 3);
    key(Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(e->SelLength(), 0);
    key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(all(), "abc\r\n");
    EXPECT_EQ(e->SelectedText(), "");
}

// A wider mix through the real event path: undo and redo keys, box selections and box paste,
// page and word moves, the input method, and mouse clicks, double clicks and drags. The rows
// stay sound after every event, and undoing everything gives back the start.
TEST_F(EditingTest, RandomKeysMouseAndInputMethodKeepTheTextSound) {
    RunRandomRounds(*e, 29, 80, 50, [&](std::mt19937& rng, const std::string& where) {
        const int rows = std::max(1, e->ScreenStrings().Count());
        switch (rng() % 17) {
        case 16: {
            const QPoint p =
                cell(static_cast<int>(rng() % static_cast<unsigned>(rows + 1)), static_cast<int>(rng() % 30));
            QTest::mouseDClick(e->viewport(), Qt::LeftButton, Qt::NoModifier, p);
            break;
        }
        case 0: key(Qt::Key_Z, Qt::ControlModifier); break;
        case 1: key(Qt::Key_B, Qt::ControlModifier); break;
        case 2: key(Qt::Key_PageDown); break;
        case 3: key(Qt::Key_PageUp, Qt::ShiftModifier); break;
        case 4: key(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier); break;
        case 5: key(Qt::Key_End, Qt::ControlModifier); break;
        case 6: key(Qt::Key_Down, Qt::ShiftModifier | Qt::AltModifier); break;
        case 7: {
            QInputMethodEvent commit;
            commit.setCommitString(rng() % 2 ? QStringLiteral("漢字") : QStringLiteral("ｶﾅ"));
            actAgainstModel(
                *e, cp932::FromUnicode(commit.commitString()), [&] { QApplication::sendEvent(e.get(), &commit); },
                where);
            break;
        }
        case 8: {
            const QPoint p =
                cell(static_cast<int>(rng() % static_cast<unsigned>(rows + 1)), static_cast<int>(rng() % 30));
            QTest::mouseClick(e->viewport(), Qt::LeftButton, rng() % 3 ? Qt::NoModifier : Qt::ShiftModifier, p);
            break;
        }
        case 9: {
            const QPoint a = cell(static_cast<int>(rng() % static_cast<unsigned>(rows)), static_cast<int>(rng() % 30));
            const QPoint b =
                cell(static_cast<int>(rng() % static_cast<unsigned>(rows + 1)), static_cast<int>(rng() % 30));
            const Qt::KeyboardModifiers m = rng() % 3 == 0 ? Qt::ControlModifier : Qt::NoModifier;
            QTest::mousePress(e->viewport(), Qt::LeftButton, m, a);
            QTest::mouseMove(e->viewport(), b);
            QTest::mouseRelease(e->viewport(), Qt::LeftButton, m, b);
            break;
        }
        case 10: key(Qt::Key_X, Qt::ControlModifier); break;
        case 11: key(Qt::Key_V, Qt::ControlModifier); break;
        case 12: key(Qt::Key_Return); break;
        case 13: key(Qt::Key_Backspace); break;
        case 14: key(Qt::Key_Delete); break;
        default:
            actAgainstModel(
                *e, "q ", [&] { type("q "); }, where);
            break;
        }
    });
}

// --- drag and drop -------------------------------------------------------------------

namespace {

// Drags with the left button from one cell to another, passing a point on the way so that
// the drag starts before the drop.
void dragCells(QWidget* viewport, QPoint from, QPoint via, QPoint to, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(viewport, via);
    QTest::mouseMove(viewport, to);
    QTest::mouseRelease(viewport, Qt::LeftButton, m, to);
}

} // namespace

TEST_F(EditingTest, DragAndDropByMouseAcrossRowsAndPastRowEnds) {
    text("ab\r\nhello\r\nzz");
    e->SetSelStart(4);
    e->SetSelLength(5);
    dragCells(e->viewport(), cell(1, 2), cell(0, 6), cell(0, 10));
    EXPECT_EQ(all(), "ab        hello\r\n\r\nzz");
    e->Undo();
    // A selection over two rows, dropped below them.
    text("one\r\ntwo\r\nthree\r\n");
    e->SetSelStart(1);
    e->SetSelLength(6); // "ne", line end, "tw"
    dragCells(e->viewport(), cell(0, 2), cell(1, 4), cell(2, 5));
    EXPECT_EQ(all(), "oo\r\nthreene\r\ntw\r\n");
    e->Undo();
    // Dropped with Ctrl held: a copy.
    e->SetSelStart(1);
    e->SetSelLength(6);
    dragCells(e->viewport(), cell(0, 2), cell(1, 4), cell(2, 8), Qt::ControlModifier);
    EXPECT_EQ(all(), "one\r\ntwo\r\nthree   ne\r\ntw\r\n");
}

TEST_F(EditingTest, DragStartsOnARowWithATabBeforeTheSelection) {
    text("\tabc def\r\n");
    e->SetSelStart(1);
    e->SetSelLength(3); // abc, in columns 8 to 10
    // Over the selection the pointer says a drag may start (the arrow, not the text beam).
    QTest::mouseMove(e->viewport(), cell(0, 9));
    EXPECT_EQ(e->viewport()->cursor().shape(), Qt::ArrowCursor);
    dragCells(e->viewport(), cell(0, 9), cell(0, 12), cell(0, 15)); // press on "b", drop at the end
    EXPECT_EQ(all(), "\t defabc\r\n");
    e->Undo();
    // A drop inside the selection only clears it.
    e->SetSelStart(1);
    e->SetSelLength(3);
    dragCells(e->viewport(), cell(0, 9), cell(0, 14), cell(0, 10));
    EXPECT_EQ(all(), "\tabc def\r\n");
    EXPECT_FALSE(e->Selected());
}

TEST_F(EditingTest, CtrlKTogglesBoxSelection) {
    text("abc\r\n");
    key(Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(e->SelectionMode(), TSelectionMode::Box);
    key(Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(e->SelectionMode(), TSelectionMode::Normal);
}

TEST_F(EditingTest, DoubleClickSelectsTheJapaneseTokenUnderThePointer) {
    // 漢字 かな カナ abc: a run of kanji, of hiragana and of katakana, each one token.
    const std::string kanji = "\x8A\xBF\x8E\x9A", hira = "\x82\xA9\x82\xC8", kata = "\x83\x4A\x83\x69";
    text(kanji + hira + kata + "abc\r\n");
    const auto [token, kind] = e->TokenAt(cell(0, 2));
    EXPECT_EQ(token, kanji);
    EXPECT_EQ(kind, kindKanji);
    e->SelectTokenAt(cell(0, 2)); // on the second kanji
    EXPECT_EQ(e->SelectedText(), kanji);
    e->SelectTokenAt(cell(0, 4)); // on the first hiragana, where the kanji end
    EXPECT_EQ(e->SelectedText(), hira);
    e->SelectTokenAt(cell(0, 11)); // on the trail half of the last katakana
    EXPECT_EQ(e->SelectedText(), kata);
    EXPECT_EQ(e->TokenAt(cell(0, 11)).second, kindKatakana);
    e->SelectTokenAt(cell(0, 13));
    EXPECT_EQ(e->SelectedText(), "abc");
}

// A commit from the input method and a paste with characters code page 932 lacks: they are
// kept, each through a code of the document's table (made for the first of them); the wave
// dash an input method gives takes 0x8160. Only once the table is full do characters become
// "?", and the editor names them once per commit or paste.
TEST_F(EditingTest, CharactersWithoutACodeAreKeptAndNamedOnlyWhenTheTableIsFull) {
    QStringList told;
    e->OnUnconvertible = [&told](quire::TEditor*, const QString& chars) { told << chars; };
    auto commit = [this](const QString& text) {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(e.get(), &event);
    };
    commit(QStringLiteral("\u00E9\u301C\u00E9"));
    const quire::TOutsideCharTable* table = e->ScreenStrings().CharTable();
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(all().size(), 6u);
    EXPECT_EQ(all().substr(2, 2), "\x81\x60");
    EXPECT_EQ(all().substr(0, 2), all().substr(4, 2));
    EXPECT_EQ(table->CharOf(static_cast<unsigned char>(all()[0]), static_cast<unsigned char>(all()[1])), U'\u00E9');
    QApplication::clipboard()->setText(QStringLiteral("\U0001F600\uD55C"));
    e->PasteFromClipboard();
    EXPECT_EQ(table->Size(), 3u);
    EXPECT_TRUE(told.isEmpty());
    // The table full: what finds no code is "?", named once per commit or paste.
    for (char32_t c = 0x20000; table->Size() < quire::TOutsideCharTable::Capacity; ++c)
        e->ScreenStrings().CharTable()->CodeOf(c);
    e->SetRowCol(0, 0);
    commit(QStringLiteral("\u00E8\u00E8"));
    EXPECT_EQ(all().substr(0, 2), "??");
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(told.first(), QStringLiteral("\u00E8"));
    QApplication::clipboard()->setText(QStringLiteral("plain"));
    e->PasteFromClipboard();
    EXPECT_EQ(told.size(), 1);
}

// Other programs get the text with LF line ends, the editor its own bytes back.
TEST_F(EditingTest, ClipboardTextForOtherProgramsHasLfLineEnds) {
    text("one\r\ntwo\r\nthree");
    e->SelectAll();
    e->CopyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("one\ntwo\nthree"));
    e->ClearSelection();
    e->SetRowCol(2, 5);
    e->PasteFromClipboard();
    EXPECT_EQ(all(), "one\r\ntwo\r\nthreeone\r\ntwo\r\nthree");
}

// The text other programs get is made in pieces of the bytes; it is the text of the bytes made
// whole, with LF line ends, wherever a piece would end (in a double-byte character, a CR LF).
TEST(ClipboardText, MadeInPiecesItIsTheTextOfTheWholeBytes) {
    std::mt19937 rng(9);
    const char* pieces[] = {"a", "\x82\xA0", "\x88\x9F", "\x81", "\x85", "\r\n", "\r", "\n", "\xB6", "\x80", "\xFF"};
    for (const std::size_t size :
         {std::size_t(0), std::size_t(10), std::size_t(65535), std::size_t(65537), std::size_t(300000)}) {
        for (int round = 0; round < 3; ++round) {
            std::string bytes;
            while (bytes.size() < size) bytes += pieces[rng() % (sizeof pieces / sizeof *pieces)];
            const QByteArray whole = ClipboardPlainText(cp932::ToDisplay(bytes, nullptr)).toUtf8();
            ASSERT_EQ(ClipboardUtf8(bytes), whole) << "size " << size << " round " << round;
        }
    }
}

// What an editor offers as the primary selection is read from the editor when asked, so it is
// always what is selected then; a copy on the clipboard keeps the bytes of its moment.
TEST(ClipboardText, AnOfferReadsItsSourceWhenAskedACopyKeepsItsBytes) {
    std::string selected = "one\r\ntwo";
    bool box = false;
    TClipboardMime offer(TClipboardMime::TSource{[&] { return selected; }, [&] { return box; }}, nullptr);
    TClipboardMime copy(selected, false, nullptr);
    EXPECT_EQ(offer.text(), QStringLiteral("one\ntwo"));
    selected = "\x82\xA0";
    box = true;
    EXPECT_EQ(offer.text(), QStringLiteral("\u3042"));
    EXPECT_TRUE(offer.hasFormat(QString::fromLatin1(BoxMimeType())));
    EXPECT_EQ(copy.text(), QStringLiteral("one\ntwo"));
    EXPECT_FALSE(copy.hasFormat(QString::fromLatin1(BoxMimeType())));
    EXPECT_EQ(copy.Bytes(), "one\r\ntwo");
}

// Text from other programs comes with LF, CR or CR LF line ends, which the rows store as
// CR LF: the caret goes after the pasted text as stored, so typing goes on right after it.
TEST_F(EditingTest, PastedLineEndsOfAnyKindLeaveTheCaretAfterThePaste) {
    text("");
    QApplication::clipboard()->setText(QStringLiteral("a\nb\nc\n"));
    key(Qt::Key_V, Qt::ControlModifier);
    type("X");
    EXPECT_EQ(all(), "a\r\nb\r\nc\r\nX");

    const char* pieces[] = {"a", "\x82\xA0", " ", "\n", "\r", "\r\n", "\n\n", "\r\r\n"};
    const auto asStored = [](const std::string& t) {
        std::string s;
        for (size_t i = 0; i < t.size(); ++i) {
            if (t[i] == '\r' || t[i] == '\n') {
                s += "\r\n";
                if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') ++i;
            } else {
                s += t[i];
            }
        }
        return s;
    };
    RunRandomRounds(*e, 41, 40, 30, [&](std::mt19937& rng, const std::string& where) {
        switch (rng() % 4) {
        case 0: key(rng() % 2 ? Qt::Key_Down : Qt::Key_Up); break;
        case 1: key(rng() % 2 ? Qt::Key_End : Qt::Key_Right); break;
        default: {
            std::string paste;
            for (unsigned n = 1 + rng() % 6; n > 0; --n) paste += pieces[rng() % std::size(pieces)];
            QApplication::clipboard()->setText(cp932::ToUnicode(paste));
            actAgainstModel(
                *e, asStored(paste), [&] { key(Qt::Key_V, Qt::ControlModifier); }, where + " pasting " + paste);
        }
        }
    });
}
