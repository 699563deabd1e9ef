// The current document mode ("標準", "Delphi", ...): the application sets it, and parsers that
// behave differently in the standard mode read it.
#pragma once

#include <cstdint>
#include <string>

namespace quire {

// The modes by name, so that parsers compare a number per token rather than a name.
enum class TDocumentMode : uint8_t { Standard, Delphi, Ini, HTML, Perl, Cpp, Basic, User, Unknown };

// Mode names are UTF-8.
const std::string& CurrentDocumentMode();
void SetCurrentDocumentMode(const std::string& Mode);
// The current mode as TDocumentMode (Unknown for a name that is none of the modes).
TDocumentMode CurrentDocumentModeKind() noexcept;
// The standard mode "標準".
const std::string& StandardDocumentMode();

} // namespace quire
