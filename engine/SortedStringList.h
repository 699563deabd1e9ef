// TSortedStringList: strings kept sorted without regard to ASCII case, duplicates ignored.
#pragma once

#include "Object.h"

#include <string>
#include <string_view>
#include <vector>

namespace quire {

// Comparison folds ASCII letters only; other bytes (Shift_JIS included) compare as they are.
int CompareText(std::string_view a, std::string_view b) noexcept;

// OnChange fires after each change that really altered the list.
class TSortedStringList : public TObject {
public:
    TNotifyEvent OnChange;

    int Count() const noexcept { return static_cast<int>(FItems.size()); }
    const std::string& operator[](int Index) const { return FItems.at(static_cast<size_t>(Index)); }
    const std::vector<std::string>& Strings() const noexcept { return FItems; }

    // Adds S unless an equal string is listed; returns its index either way.
    int Add(std::string_view S);
    void AddStrings(const std::vector<std::string>& List);
    void Delete(int Index);
    void Clear();
    bool Find(std::string_view S, int& Index) const noexcept;
    int IndexOf(std::string_view S) const noexcept;
    bool Contains(std::string_view S) const noexcept { return IndexOf(S) >= 0; }

    // Replaces the whole list (one notification).
    void Assign(const std::vector<std::string>& List);
    void Assign(const TSortedStringList& Source) { Assign(Source.FItems); }

    // The strings joined with CR LF after each one, and the reverse.
    std::string Text() const;
    void SetText(std::string_view Text);

private:
    void Changed() {
        if (OnChange) OnChange(this);
    }
    std::vector<std::string> FItems;
};

} // namespace quire
