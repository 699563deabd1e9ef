// The current document mode ("標準", "Delphi", ...): the application sets it, and parsers that
// behave differently in the standard mode read it.
#pragma once

#include <string>

namespace quire {

// Mode names are UTF-8.
const std::string& CurrentDocumentMode();
void SetCurrentDocumentMode(const std::string& Mode);
// The standard mode "標準".
const std::string& StandardDocumentMode();

} // namespace quire
