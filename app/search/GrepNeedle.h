// TGrepNeedle: the bytes every line that holds a match of a literal pattern holds in a file's
// own code (UTF-8 or EUC), so that only the lines holding them need converting and searching.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace quire {

class TGrepNeedle {
public:
    TGrepNeedle(const QString& Pattern, bool MatchCase);

    // The needle for a text of that detection result (kdUtf8 or kdEuc); empty when the pattern
    // holds no character whose bytes are certain there (then the whole text is converted).
    std::string_view In(int Detection) const noexcept;

private:
    std::string FUtf8, FEuc;
};

} // namespace quire
