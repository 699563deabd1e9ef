// A stand-in for the outside conversion library "nkf32", with its C interface: it converts
// between JIS, EUC and Shift-JIS by the JIS row/cell arithmetic (never through Unicode),
// leaving line ends alone. The code of the input is the one an option names, or else the one
// it detects in the input.
#include "jconvert.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>

#if defined(__GNUC__)
#define NKF_EXPORT extern "C" __attribute__((visibility("default")))
#else
#define NKF_EXPORT extern "C"
#endif

namespace {

// A code: 's' Shift-JIS, 'j' JIS, 'e' EUC; 0 for "detect it" (input only).
char gOutput = 's';
char gInput = 0;

// The conversion of one step between a code and Shift-JIS.
quire::jconvert::TConversion toSjis(char code) {
    return code == 'j' ? quire::jconvert::TConversion::JisToSjis : quire::jconvert::TConversion::EucToSjis;
}
quire::jconvert::TConversion fromSjis(char code) {
    return code == 'j' ? quire::jconvert::TConversion::SjisToJis : quire::jconvert::TConversion::SjisToEuc;
}

// Converts In whole into Out (room: MaxConvertedSize) and returns the length written.
std::size_t convert(quire::jconvert::TConversion conversion, std::string_view in, char* out) {
    bool kanji = false;
    return quire::jconvert::ConvertPiece(conversion, in, true, kanji, out).Written;
}

} // namespace

NKF_EXPORT void GetNkfVersion(char* Version) {
    if (Version) std::strcpy(Version, "Quire nkf32 1.1");
}

// Options, separated by blanks: "-s", "-j", "-e" choose the output code; "-S", "-J", "-E"
// the input code (without one, the input's code is detected on each call).
NKF_EXPORT int SetNkfOption(const char* Option) {
    if (!Option) return -1;
    char output = gOutput, input = 0;
    for (const char* p = Option; *p;) {
        if (*p == ' ') {
            ++p;
            continue;
        }
        const char* end = std::strchr(p, ' ');
        const std::string_view word(p, end ? static_cast<std::size_t>(end - p) : std::strlen(p));
        if (word == "-s" || word == "-j" || word == "-e")
            output = word[1];
        else if (word == "-S" || word == "-J" || word == "-E")
            input = static_cast<char>(word[1] - 'A' + 'a');
        else
            return -1;
        p += word.size();
    }
    gOutput = output;
    gInput = input;
    return 0;
}

#ifndef QUIRE_NKF_WITHOUT_CONVERT
// Writes at most six times the input length and the terminating zero; a longer result is cut
// there (as can happen for a very short input whose escapes take more room).
NKF_EXPORT void NkfConvert(char* Out, const char* In) {
    using namespace quire::jconvert;
    if (!Out) return;
    const std::string_view input = In ? std::string_view(In) : std::string_view();
    char source = gInput;
    if (source == 0) {
        const int code = DetectKanjiCode(input);
        source = (code == kdJis || code == kdOldJis) ? 'j' : code == kdEuc ? 'e' : 's';
    }
    const std::size_t limit = input.size() * 6;
    std::size_t length = 0;
    if (source == gOutput) {
        std::memcpy(Out, input.data(), input.size());
        length = input.size();
    } else if (gOutput == 's') { // to Shift-JIS, which is never longer: straight into Out
        length = convert(toSjis(source), input, Out);
    } else {
        std::string_view sjis = input;
        std::unique_ptr<char[]> middle;
        if (source != 's') { // to Shift-JIS first
            middle.reset(new char[input.size() + 1]);
            sjis = std::string_view(middle.get(), convert(toSjis(source), input, middle.get()));
        }
        if (MaxConvertedSize(fromSjis(gOutput), sjis.size()) <= limit) {
            length = convert(fromSjis(gOutput), sjis, Out);
        } else {
            const std::unique_ptr<char[]> room(new char[MaxConvertedSize(fromSjis(gOutput), sjis.size())]);
            length = std::min(limit, convert(fromSjis(gOutput), sjis, room.get()));
            std::memcpy(Out, room.get(), length);
        }
    }
    Out[length] = '\0';
}
#endif
