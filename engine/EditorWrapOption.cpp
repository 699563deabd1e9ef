// TEditorWrapOption.
#include "EditorWrapOption.h"

#include <algorithm>

namespace quire {

// The strings are Shift_JIS bytes:
// FollowStr "、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}｡｣､･ｰﾞﾟ"
// LeadStr "（［｛「『([{｢"
// PunctuationStr "、。，．,.｡､"
const std::string TEditorWrapOption::DefaultFollowStr =
    "\x81\x41\x81\x42\x81\x43\x81\x44\x81\x45\x81\x48\x81\x49\x81\x4A\x81\x4B\x81\x52\x81\x53\x81\x54\x81\x55\x81\x58"
    "\x81\x5B\x81\x6A\x81\x6E\x81\x70\x81\x76\x81\x78\x21\x29\x2C\x2E\x3A\x3B\x3F\x5D\x7D\xA1\xA3\xA4\xA5\xB0\xDE\xDF";
const std::string TEditorWrapOption::DefaultLeadStr = "\x81\x69\x81\x6D\x81\x6F\x81\x75\x81\x77\x28\x5B\x7B\xA2";
const std::string TEditorWrapOption::DefaultPunctuationStr = "\x81\x41\x81\x42\x81\x43\x81\x44\x2C\x2E\xA1\xA4";

TEditorWrapOption::TEditorWrapOption()
    : FFollowStr(DefaultFollowStr), FLeadStr(DefaultLeadStr), FPunctuationStr(DefaultPunctuationStr) {}

void TEditorWrapOption::SetWrapByte(int Value) { SetField(FWrapByte, std::clamp(Value, MinWrapByte, MaxWrapByte)); }

void TEditorWrapOption::Assign(const TEditorWrapOption& Source) {
    FFollowRetMark = Source.FFollowRetMark;
    FFollowPunctuation = Source.FFollowPunctuation;
    FFollowStr = Source.FFollowStr;
    FLeading = Source.FLeading;
    FLeadStr = Source.FLeadStr;
    FPunctuationStr = Source.FPunctuationStr;
    FWordBreak = Source.FWordBreak;
    FWrapByte = Source.FWrapByte;
    Changed();
}

} // namespace quire
