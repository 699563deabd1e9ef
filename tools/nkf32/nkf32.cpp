// A stand-in for the outside conversion library "nkf32", with its C interface: it detects
// JIS, EUC or Shift-JIS in its input and converts code to code by the JIS row/cell
// arithmetic (never through Unicode), leaving line ends alone.
#include "jconvert.h"

#include <cstring>
#include <string>

#if defined(__GNUC__)
#define NKF_EXPORT extern "C" __attribute__((visibility("default")))
#else
#define NKF_EXPORT extern "C"
#endif

namespace {
char gTarget = 's'; // 's' Shift-JIS, 'j' JIS, 'e' EUC
}

NKF_EXPORT void GetNkfVersion(char* Version) {
    if (Version) std::strcpy(Version, "Quire nkf32 1.0");
}

NKF_EXPORT int SetNkfOption(const char* Option) {
    if (!Option) return -1;
    if (std::strcmp(Option, "-s") == 0) gTarget = 's';
    else if (std::strcmp(Option, "-j") == 0) gTarget = 'j';
    else if (std::strcmp(Option, "-e") == 0) gTarget = 'e';
    else return -1;
    return 0;
}

#ifndef QUIRE_NKF_WITHOUT_CONVERT
NKF_EXPORT void NkfConvert(char* Out, const char* In) {
    using namespace quire::jconvert;
    if (!Out) return;
    const std::string_view input = In ? std::string_view(In) : std::string_view();
    const int code = DetectKanjiCode(input);
    const char source = (code == kdJis || code == kdOldJis) ? 'j' : code == kdEuc ? 'e' : 's';
    std::string result;
    if (source == gTarget) {
        result.assign(input);
    } else {
        const std::string sjis = source == 'j' ? JisToSjis(input) : source == 'e' ? EucToSjis(input) : std::string(input);
        result = gTarget == 'j' ? SjisToJis(sjis) : gTarget == 'e' ? SjisToEuc(sjis) : sjis;
    }
    // The caller's buffer holds six times the input and the terminating zero.
    const std::size_t limit = input.size() * 6;
    if (result.size() > limit) result.resize(limit);
    std::memcpy(Out, result.data(), result.size());
    Out[result.size()] = '\0';
}
#endif
