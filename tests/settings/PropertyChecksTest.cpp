// The settings dialog's number checks, the "$" quoting of the paste mark, and what the colour
// page's reset buttons put back.
#include "PropertyChecks.h"
#include "ColorItems.h"
#include "PlatformError.h"

#include <gtest/gtest.h>

using namespace quire;

namespace quire {
void PrintTo(const TStyleFlags& f, std::ostream* os) {
    *os << "B" << f.Bold << "/I" << f.Italic << "/U" << f.Underline;
}
} // namespace quire

TEST(PropertyChecks, TabWidthKeepsOnlyTwoFourSixEight) {
    const std::pair<int, int> cases[] = {{-3, 2}, {0, 2}, {1, 2}, {2, 2}, {3, 4},  {4, 4},   {5, 6},
                                         {6, 6},  {7, 8}, {8, 8}, {9, 8}, {10, 8}, {1000, 8}};
    for (const auto& [typed, kept] : cases) EXPECT_EQ(CheckTabCount(typed), kept) << "typed " << typed;
}

TEST(PropertyChecks, RangesAtTheirEdges) {
    EXPECT_EQ(CheckUndoMax(3), 64);
    EXPECT_EQ(CheckUndoMax(63), 64);
    EXPECT_EQ(CheckUndoMax(65), 65);
    EXPECT_EQ(CheckInterval(4), 5);
    EXPECT_EQ(CheckInterval(5), 5);
    EXPECT_EQ(CheckInterval(120), 120);
    EXPECT_EQ(CheckInterval(121), 120);
    EXPECT_EQ(CheckWrapByte(19), 20);
    EXPECT_EQ(CheckWrapByte(250), 250);
    EXPECT_EQ(CheckWrapByte(251), 250);
    EXPECT_EQ(CheckMargin(100), 100);
    EXPECT_EQ(CheckMargin(101), 100);
    EXPECT_EQ(CheckMargin(-1), 0);
    EXPECT_EQ(CheckGenerations(0), 1);
    EXPECT_EQ(CheckGenerations(100), 99);
    EXPECT_EQ(CheckWheelRows(-1), 0);
    EXPECT_EQ(CheckWheelRows(500), 500) << "the wheel rows have no upper bound";
}

TEST(PropertyChecks, AFieldThatIsNoNumberNamesItsText) {
    EXPECT_EQ(FieldNumber(QStringLiteral(" 12 ")), 12);
    EXPECT_EQ(FieldNumber(QStringLiteral("-4")), -4);
    for (const char* bad : {"", "abc", "1.5", "12x", "99999999999"}) {
        try {
            FieldNumber(QString::fromLatin1(bad));
            ADD_FAILURE() << "no error for '" << bad << "'";
        } catch (const EPlatformError& e) {
            EXPECT_NE(std::string(e.what()).find(std::string("'") + bad + "'"), std::string::npos) << e.what();
        }
    }
}

TEST(PropertyChecks, PasteMarkQuotingRoundTrips) {
    EXPECT_EQ(DollarQuoted(QStringLiteral("> ")), QStringLiteral("$> $"));
    EXPECT_EQ(DollarUnquoted(QStringLiteral("$> $")), QStringLiteral("> "));
    EXPECT_EQ(DollarQuoted(QStringLiteral("$")), QStringLiteral("$$$$"));
    for (const QString& mark :
         {QString(), QStringLiteral(" "), QStringLiteral("$a$ "), QStringLiteral("＞$$"), QStringLiteral("  >>  ")})
        EXPECT_EQ(DollarUnquoted(DollarQuoted(mark)), mark) << mark.toStdString();
    EXPECT_EQ(DollarUnquoted(QStringLiteral(">")), QStringLiteral(">")) << "an unquoted value as it stands";
    EXPECT_EQ(DollarUnquoted(QStringLiteral("$> ")), QStringLiteral("> ")) << "no closing quote";
}

TEST(ColorItems, CaptionsAndSlots) {
    EXPECT_EQ(TColorItems::Caption(0), QStringLiteral("通常文字"));
    EXPECT_EQ(TColorItems::Caption(28), QStringLiteral("C++ 予約語"));
    EXPECT_EQ(TColorItems::Caption(36), QStringLiteral("ユーザ コメント"));
    EXPECT_EQ(TColorItems::Slot(0), TStyleSlot::Stand);
    EXPECT_EQ(TColorItems::Slot(2), TStyleSlot::Stand) << "selection text shares the plain text's slot";
    EXPECT_EQ(TColorItems::Slot(1), std::nullopt);
    EXPECT_EQ(TColorItems::Slot(14), std::nullopt);
    // From item 15 on every item owns the slot of the same name, in order.
    for (int i = 15; i < TColorItems::Count; ++i) EXPECT_EQ(TColorItems::Slot(i), static_cast<TStyleSlot>(i - 10));
}

namespace {
// Tables with every colour and every flag away from its reset value.
void scramble(TColorTable& Colors, TStyleTable& Styles) {
    for (int i = 0; i < TColorTable::Count; ++i) Colors.SetColor(static_cast<TColorIndex>(i), 0x123456);
    for (int s = TStyleTable::FirstSlot; s <= TStyleTable::LastSlot; ++s)
        Styles.Flags(static_cast<TStyleSlot>(s)) = {true, true, true};
}
} // namespace

TEST(ColorItems, ResetOfTheCppReservedWordsIsNotBoldButResetAllIs) {
    TColorTable colors;
    TStyleTable styles;
    scramble(colors, styles);
    TColorItems::Reset(28, colors, styles);
    EXPECT_EQ(colors[TColorIndex::CKeyWord], 0xFF0000u);
    EXPECT_EQ(styles.Flags(TStyleSlot::CKeyWord), TStyleFlags{});
    TColorItems::ResetAll(colors, styles);
    EXPECT_EQ(styles.Flags(TStyleSlot::CKeyWord), (TStyleFlags{true, false, false}));
}

TEST(ColorItems, ResetOfTheSelectionTextLeavesTheSharedSlot) {
    TColorTable colors;
    TStyleTable styles;
    scramble(colors, styles);
    const TColorTable before = colors;
    TColorItems::Reset(2, colors, styles);
    EXPECT_EQ(colors[TColorIndex::SelFont], 0xFFFFFFu);
    EXPECT_EQ(styles.Flags(TStyleSlot::Stand), (TStyleFlags{true, true, true}));
    for (int i = 0; i < TColorTable::Count; ++i) {
        if (i == 2) continue;
        EXPECT_EQ(colors.Color(static_cast<TColorIndex>(i)), before.Color(static_cast<TColorIndex>(i))) << i;
    }
    TColorItems::Reset(0, colors, styles);
    EXPECT_EQ(styles.Flags(TStyleSlot::Stand), TStyleFlags{}) << "the plain text's own reset does";
}

TEST(ColorItems, ResetAllGivesEveryResetValue) {
    TColorTable colors;
    TStyleTable styles;
    scramble(colors, styles);
    TColorItems::ResetAll(colors, styles);
    EXPECT_EQ(colors, TColorTable()) << "the reset colours are the defaults";
    EXPECT_EQ(colors[TColorIndex::DelComment], 0x80000001u);
    EXPECT_EQ(colors[TColorIndex::SelBk], 0x800000u);
    const auto flags = [&](TStyleSlot s) { return styles.Flags(s); };
    EXPECT_EQ(flags(TStyleSlot::URL), (TStyleFlags{false, false, true}));
    EXPECT_EQ(flags(TStyleSlot::Mail), (TStyleFlags{false, false, true}));
    EXPECT_EQ(flags(TStyleSlot::DelKeyWord), (TStyleFlags{true, false, false}));
    EXPECT_EQ(flags(TStyleSlot::PerlKeyWord), (TStyleFlags{true, false, false}));
    // The Basic reserved words start bold from a missing settings file, but reset plain.
    EXPECT_EQ(flags(TStyleSlot::BasicKeyWord), TStyleFlags{});
    int bold = 0, others = 0;
    for (int s = TStyleTable::FirstSlot; s <= TStyleTable::LastSlot; ++s) {
        const TStyleFlags f = flags(static_cast<TStyleSlot>(s));
        bold += f.Bold;
        others += f.Italic + f.Underline;
    }
    EXPECT_EQ(bold, 3);
    EXPECT_EQ(others, 2);
}
