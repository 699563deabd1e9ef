// The current document mode.
#include "DocumentMode.h"

#include <array>
#include <utility>

namespace quire {

namespace {

struct Current {
    std::string Name = StandardDocumentMode();
    TDocumentMode Kind = TDocumentMode::Standard;
};

Current& current() {
    static Current c;
    return c;
}

TDocumentMode kindOf(const std::string& name) {
    static const std::array<std::pair<const char*, TDocumentMode>, 8> names = {{
        {"\xE6\xA8\x99\xE6\xBA\x96", TDocumentMode::Standard}, // 標準
        {"Delphi", TDocumentMode::Delphi},
        {"ini", TDocumentMode::Ini},
        {"HTML", TDocumentMode::HTML},
        {"Perl", TDocumentMode::Perl},
        {"C++", TDocumentMode::Cpp},
        {"Basic", TDocumentMode::Basic},
        {"\xE3\x83\xA6\xE3\x83\xBC\xE3\x82\xB6", TDocumentMode::User}, // ユーザ
    }};
    for (const auto& [n, kind] : names)
        if (name == n) return kind;
    return TDocumentMode::Unknown;
}

} // namespace

const std::string& StandardDocumentMode() {
    static const std::string standard = "\xE6\xA8\x99\xE6\xBA\x96"; // 標準
    return standard;
}

const std::string& CurrentDocumentMode() { return current().Name; }

TDocumentMode CurrentDocumentModeKind() noexcept { return current().Kind; }

void SetCurrentDocumentMode(const std::string& Mode) {
    current().Name = Mode;
    current().Kind = kindOf(Mode);
}

} // namespace quire
