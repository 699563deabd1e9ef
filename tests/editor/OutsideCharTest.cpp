// An editor whose document has a table of characters outside code page 932 (a UTF-8 page):
// typed, composed and pasted characters keep their table codes, copying gives the characters
// back, and the codes are drawn as the characters they stand for.
#include "Editor.h"
#include "EditorFixture.h"
#include "OutsideCharTable.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <gtest/gtest.h>

using namespace quire;

namespace {

class OutsideCharTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        table = std::make_shared<TOutsideCharTable>();
        e->ScreenStrings().SetCharTable(table);
        e->OnUnconvertible = [this](TEditor*, const QString& chars) { told << chars; };
    }
    void commit(const QString& text) {
        QInputMethodEvent ev;
        ev.setCommitString(text);
        QApplication::sendEvent(e.get(), &ev);
    }
    // The characters the text's double-byte codes stand for, through the table.
    std::u32string tableChars(const std::string& s) {
        std::u32string out;
        for (std::size_t i = 0; i + 1 < s.size(); i += 2)
            out.push_back(table->CharOf(static_cast<unsigned char>(s[i]), static_cast<unsigned char>(s[i + 1])));
        return out;
    }
    std::shared_ptr<TOutsideCharTable> table;
    QStringList told;
};

QImage cellsImage(TEditor& ed, int fromCol, int toCol) {
    QApplication::processEvents();
    const QImage all = ed.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    return all.copy(ed.TextLeft() + fromCol * ed.CharWidth(), ed.TextTop(), (toCol - fromCol) * ed.CharWidth(),
                    ed.CharHeight());
}

int inkPixels(const QImage& img, QRgb back) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += img.pixel(x, y) != back;
    return n;
}

} // namespace

TEST_F(OutsideCharTest, CommittedAndPastedCharactersKeepTheirCodesAndNothingIsLost) {
    commit(QStringLiteral("\u00E9\u301C\U0001F600"));
    const std::string typed = all();
    ASSERT_EQ(typed.size(), 6u);
    EXPECT_EQ(tableChars(typed), U"\u00E9\u301C\U0001F600");
    EXPECT_TRUE(told.isEmpty());
    // The same characters typed again take the same codes; a new one takes a new code.
    QApplication::clipboard()->setText(QStringLiteral("\U0001F600\uD55C"));
    e->PasteFromClipboard();
    EXPECT_EQ(all().substr(0, 6), typed);
    EXPECT_EQ(all().substr(6, 2), typed.substr(4, 2));
    EXPECT_EQ(table->Size(), 4u);
    EXPECT_TRUE(told.isEmpty());
}

TEST_F(OutsideCharTest, CopyGivesTheCharactersBack) {
    commit(QStringLiteral("a\u00E9\U0001F600\u65E5"));
    e->SelectAll();
    e->CopyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("a\u00E9\U0001F600\u65E5"));
    // Into an editor of another UTF-8 page: its own table gives the characters codes.
    TEditor other;
    auto otherTable = std::make_shared<TOutsideCharTable>();
    other.ScreenStrings().SetCharTable(otherTable);
    QApplication::clipboard()->setText(QApplication::clipboard()->text()); // plain text only
    other.PasteFromClipboard();
    EXPECT_EQ(otherTable->Size(), 2u);
    other.SelectAll();
    other.CopyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("a\u00E9\U0001F600\u65E5"));
}

TEST_F(OutsideCharTest, ATableCodeIsDrawnAsItsCharacterNotAsAMissingBox) {
    const int code = table->CodeOf(U'\u00E9');
    const std::string bytes{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    text("a" + bytes + "\r\n");
    const QImage withTable = cellsImage(*e, 1, 3);
    const QRgb back = withTable.pixel(0, 0);
    EXPECT_GT(inkPixels(withTable, back), 10);
    // The same code without the table is a user-defined character that the font lacks.
    e->ScreenStrings().SetCharTable(nullptr);
    e->viewport()->update();
    const QImage without = cellsImage(*e, 1, 3);
    EXPECT_NE(withTable, without);
}
