// libFuzzer target: the streaming readers and writers of EUC and JIS with their cutters, on
// any bytes. A text converted piece by piece (pieces of any length) gives exactly what
// converting it whole gives; the cutter hands on every byte in order, in pieces each of which
// converts alone as within the whole text, whether or not it is told what a plain scan found.
//
// Input: a byte choosing the conversion and whether the plain scan is used, a byte giving the
// cutter's piece size, a byte giving the pattern of the arriving pieces; the rest is the text.
#include "KanjiCutter.h"
#include "KanjiPlainScan.h"
#include "KanjiStream.h"
#include "jconvert.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

using namespace quire;
using namespace quire::jconvert;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

std::string whole(TConversion c, std::string_view s) {
    switch (c) {
    case TConversion::EucToSjis: return EucToSjis(s);
    case TConversion::JisToSjis: return JisToSjis(s);
    case TConversion::SjisToEuc: return SjisToEuc(s);
    case TConversion::SjisToJis: return SjisToJis(s);
    }
    return {};
}

// The lengths of the arriving pieces: 1 to 8 bytes, or longer, as Pattern says.
template <typename Feed>
void inPieces(std::string_view s, uint8_t pattern, Feed feed) {
    std::size_t at = 0, k = 0;
    do {
        const std::size_t n = std::min(s.size() - at, 1 + ((pattern >> (k++ % 8)) & 1 ? 7 * k % 29 : k % 8));
        feed(s.substr(at, n), at + n == s.size());
        at += n;
    } while (at < s.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const auto c = static_cast<TConversion>(data[0] % 4);
    const bool reading = c == TConversion::EucToSjis || c == TConversion::JisToSjis;
    const bool scanned = reading && (data[0] & 4);
    const std::size_t pieceSize = 16 + data[1];
    const uint8_t pattern = data[2];
    const std::string_view text(reinterpret_cast<const char*>(data + 3), size - 3);
    const std::string expected = whole(c, text);

    TKanjiStream stream(c);
    std::string streamed;
    inPieces(text, pattern, [&](std::string_view piece, bool last) {
        std::string out(stream.MaxOutput(piece.size()), '\0');
        out.resize(stream.Convert(piece, last, out.data()));
        streamed += out;
    });
    check(streamed == expected);

    TKanjiCutter cutter(c, pieceSize);
    std::optional<TKanjiPlainScan> scan;
    if (scanned) scan.emplace(c);
    std::string joined, alone;
    inPieces(text, pattern, [&](std::string_view piece, bool last) {
        const bool plain = scan && scan->Add(piece);
        cutter.Add(
            piece, last,
            [&](std::string& p, bool) {
                joined += p;
                alone += whole(c, p);
            },
            plain);
    });
    check(joined == text);
    check(alone == expected);
    return 0;
}
