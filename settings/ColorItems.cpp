// The items of the colour page.
#include "ColorItems.h"

#include <array>

namespace quire {

namespace {

// The reset styles: URL and mail addresses underlined, the Delphi and Perl reserved words bold,
// every other slot plain. The C++ reserved words are bold only after ResetAll.
constexpr TStyleFlags kPlain{};
constexpr TStyleFlags kBold{true, false, false};
constexpr TStyleFlags kUnderline{false, false, true};

struct TItem {
    const char* Caption;
    int Slot; // 0: the item owns no slot
    TStyleFlags ResetStyle;
};

// clang-format off
constexpr std::array<TItem, TColorItems::Count> kItems{{
    {"通常文字", 1, kPlain}, {"通常背景", 0, kPlain}, {"選択文字", 1, kPlain}, {"選択背景", 0, kPlain},
    {"改行文字", 0, kPlain}, {"EOFマーク", 0, kPlain}, {"TAB文字", 0, kPlain}, {"全角空白", 0, kPlain},
    {"半角空白", 0, kPlain}, {"アンダーライン", 0, kPlain}, {"URL", 2, kUnderline}, {"メールアドレス", 3, kUnderline},
    {"引用行", 4, kPlain}, {"行番号 文字", 0, kPlain}, {"行番号 背景", 0, kPlain},
    {"Delphi 予約語", 5, kBold}, {"Delphi 文字列", 6, kPlain}, {"Delphi コメント", 7, kPlain},
    {"ini セクション", 8, kPlain}, {"ini キー", 9, kPlain},
    {"HTML タグ全体", 10, kPlain}, {"HTML タグ名", 11, kPlain}, {"HTML タグ属性", 12, kPlain},
    {"HTML タグ属性値", 13, kPlain}, {"HTML コメント", 14, kPlain},
    {"Perl 予約語", 15, kBold}, {"Perl 文字列", 16, kPlain}, {"Perl コメント", 17, kPlain},
    {"C++ 予約語", 18, kPlain}, {"C++ 文字列", 19, kPlain}, {"C++ コメント", 20, kPlain},
    {"Basic 予約語", 21, kPlain}, {"Basic 文字列", 22, kPlain}, {"Basic コメント", 23, kPlain},
    {"ユーザ 予約語", 24, kPlain}, {"ユーザ 文字列", 25, kPlain}, {"ユーザ コメント", 26, kPlain},
}};
// clang-format on

constexpr int kSelectionText = 2;

const TItem& item(int Index) { return kItems.at(static_cast<size_t>(Index)); }

} // namespace

QString TColorItems::Caption(int Index) { return QString::fromUtf8(item(Index).Caption); }

std::optional<TStyleSlot> TColorItems::Slot(int Index) {
    const int slot = item(Index).Slot;
    if (slot == 0) return std::nullopt;
    return static_cast<TStyleSlot>(slot);
}

void TColorItems::Reset(int Index, TColorTable& Colors, TStyleTable& Styles) {
    const auto index = static_cast<TColorIndex>(Index);
    Colors.SetColor(index, TColorTable::Default(index));
    if (const auto slot = Slot(Index); slot && Index != kSelectionText) Styles.Flags(*slot) = item(Index).ResetStyle;
}

void TColorItems::ResetAll(TColorTable& Colors, TStyleTable& Styles) {
    for (int i = 0; i < Count; ++i) Reset(i, Colors, Styles);
    Styles.Flags(TStyleSlot::CKeyWord) = kBold;
}

} // namespace quire
