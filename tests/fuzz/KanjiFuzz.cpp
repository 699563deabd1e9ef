// libFuzzer target: kanji code detection, line-end handling and the four built-in converters on
// any bytes: nothing may read or write out of bounds, and the converters must never lose
// the plain ASCII they are given.
#include "jconvert.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace quire::jconvert;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string in(reinterpret_cast<const char*>(data), size);
    const int code = DetectKanjiCode(in);
    if (code < 0 || code > 6) std::abort();
    const int eol = DetectLineEnd(in);
    if (eol < 0 || eol > 3) std::abort();
    for (int target = 0; target <= 3; ++target) ConvertLineEnd(in, target);
    const std::string sjis = JisToSjis(in);
    EucToSjis(in);
    SjisToEuc(in);
    SjisToJis(in);
    FindJisUnsafeChars(in);
    // Text without bytes above 0x7F and without ESC comes through every converter unchanged.
    bool plain = true;
    for (char c : in) plain = plain && static_cast<unsigned char>(c) < 0x80 && c != 0x1B;
    if (plain && (sjis != in || SjisToJis(in) != in || SjisToEuc(in) != in || EucToSjis(in) != in)) std::abort();
    return 0;
}
