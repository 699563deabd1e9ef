// The language fountains by name.
#include "FountainFactory.h"

namespace quire {

std::unique_ptr<TFountain> CreateLanguageFountain(const std::string&) { return nullptr; }

std::vector<std::string> LanguageFountainNames() { return {}; }

} // namespace quire
