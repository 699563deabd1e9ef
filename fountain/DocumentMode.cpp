// The current document mode.
#include "DocumentMode.h"

namespace quire {

namespace {
std::string& mode() {
    static std::string m = StandardDocumentMode();
    return m;
}
} // namespace

const std::string& StandardDocumentMode() {
    static const std::string standard = "\xE6\xA8\x99\xE6\xBA\x96"; // 標準
    return standard;
}

const std::string& CurrentDocumentMode() { return mode(); }

void SetCurrentDocumentMode(const std::string& Mode) { mode() = Mode; }

} // namespace quire
