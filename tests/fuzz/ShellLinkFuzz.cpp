// libFuzzer target: the reader of Windows shortcut files (".lnk") on any bytes: nothing may
// read out of bounds, and whatever it finds is a path without NUL characters.
#include "ShellLink.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto paths = quire::ParseShellLink(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!paths) return 0;
    if (paths->Local.isEmpty() && paths->Relative.isEmpty()) std::abort();
    if (paths->Local.contains(QChar(0))) std::abort();
    return 0;
}
