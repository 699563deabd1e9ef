// TSortedStringList.
#include "SortedStringList.h"

#include "ShiftJis.h"

#include <algorithm>

namespace quire {

namespace {
unsigned char fold(unsigned char c) noexcept {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}
} // namespace

int CompareText(std::string_view a, std::string_view b) noexcept {
    const size_t n = std::min(a.size(), b.size());
    bool trail = false; // the byte at I is the second byte of a double-byte character
    for (size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        const unsigned char x = trail ? ca : fold(ca);
        const unsigned char y = trail ? cb : fold(cb);
        if (x != y) return x < y ? -1 : 1;
        trail = !trail && sjis::IsLeadByte(ca);
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool TSortedStringList::Find(std::string_view S, int& Index) const noexcept {
    auto it = std::lower_bound(FItems.begin(), FItems.end(), S, [](const std::string& item, std::string_view key) {
        return CompareText(item, key) < 0;
    });
    Index = static_cast<int>(it - FItems.begin());
    return it != FItems.end() && CompareText(*it, S) == 0;
}

int TSortedStringList::IndexOf(std::string_view S) const noexcept {
    int index = 0;
    return Find(S, index) ? index : -1;
}

int TSortedStringList::Add(std::string_view S) {
    int index = 0;
    if (Find(S, index)) return index;
    FItems.insert(FItems.begin() + index, std::string(S));
    Changed();
    return index;
}

void TSortedStringList::AddStrings(const std::vector<std::string>& List) {
    bool changed = false;
    for (const std::string& s : List) {
        int index = 0;
        if (Find(s, index)) continue;
        FItems.insert(FItems.begin() + index, s);
        changed = true;
    }
    if (changed) Changed();
}

void TSortedStringList::Delete(int Index) {
    if (Index < 0 || Index >= Count()) return;
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TSortedStringList::Clear() {
    if (FItems.empty()) return;
    FItems.clear();
    Changed();
}

void TSortedStringList::Assign(const std::vector<std::string>& List) {
    std::vector<std::string> items;
    items.reserve(List.size());
    for (const std::string& s : List) items.push_back(s);
    std::stable_sort(items.begin(), items.end(),
                     [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
    items.erase(std::unique(items.begin(), items.end(),
                            [](const std::string& a, const std::string& b) { return CompareText(a, b) == 0; }),
                items.end());
    if (items == FItems) return;
    FItems = std::move(items);
    Changed();
}

std::string TSortedStringList::Text() const {
    std::string result;
    for (const std::string& s : FItems) {
        result += s;
        result += "\r\n";
    }
    return result;
}

void TSortedStringList::SetText(std::string_view Text) {
    std::vector<std::string> items;
    for (std::string_view line : sjis::SplitLines(Text)) items.emplace_back(line);
    Assign(items);
}

} // namespace quire
