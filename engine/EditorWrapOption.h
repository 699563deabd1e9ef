// TEditorWrapOption: the rules by which long lines are wrapped.
#pragma once

#include "NotifyPersistent.h"

#include <string>

namespace quire {

// Every setter that changes a value calls Changed. The rule strings are Shift_JIS bytes.
class TEditorWrapOption : public TNotifyPersistent {
public:
    TEditorWrapOption();

    static constexpr int MinWrapByte = 20;
    static constexpr int MaxWrapByte = 250;

    bool FollowRetMark() const noexcept { return FFollowRetMark; }
    bool FollowPunctuation() const noexcept { return FFollowPunctuation; }
    const std::string& FollowStr() const noexcept { return FFollowStr; }
    bool Leading() const noexcept { return FLeading; }
    const std::string& LeadStr() const noexcept { return FLeadStr; }
    const std::string& PunctuationStr() const noexcept { return FPunctuationStr; }
    bool WordBreak() const noexcept { return FWordBreak; }
    int WrapByte() const noexcept { return FWrapByte; }

    void SetFollowRetMark(bool Value) { SetField(FFollowRetMark, Value); }
    void SetFollowPunctuation(bool Value) { SetField(FFollowPunctuation, Value); }
    void SetFollowStr(const std::string& Value) { SetField(FFollowStr, Value); }
    void SetLeading(bool Value) { SetField(FLeading, Value); }
    void SetLeadStr(const std::string& Value) { SetField(FLeadStr, Value); }
    void SetPunctuationStr(const std::string& Value) { SetField(FPunctuationStr, Value); }
    void SetWordBreak(bool Value) { SetField(FWordBreak, Value); }
    // Clamped to 20..250.
    void SetWrapByte(int Value);

    // Copies all eight fields (WrapByte as it is) and notifies once.
    void Assign(const TEditorWrapOption& Source);

    // The default rule strings.
    static const std::string DefaultFollowStr;
    static const std::string DefaultLeadStr;
    static const std::string DefaultPunctuationStr;

private:
    bool FFollowRetMark = false;
    bool FFollowPunctuation = false;
    std::string FFollowStr;
    bool FLeading = false;
    std::string FLeadStr;
    std::string FPunctuationStr;
    bool FWordBreak = false;
    int FWrapByte = 80;
};

} // namespace quire
