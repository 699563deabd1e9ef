// The language fountains by name.
#pragma once

#include "Fountain.h"

#include <memory>
#include <string>
#include <vector>

namespace quire {

// "Basic", "Perl", "HTML", "ini", "Delphi" or "C++"; none for any other name.
std::unique_ptr<TFountain> CreateLanguageFountain(const std::string& Name);
std::vector<std::string> LanguageFountainNames();

} // namespace quire
