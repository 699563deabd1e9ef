// TKanjiConverter.
#include "KanjiConverter.h"

#include "ByteScan.h"
#include "nkf.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace quire {

using jconvert::TConversion;

namespace {

// The library takes the text in pieces of about this size; the own converters in steps of
// the second size (their output fits a buffer that stays in the cache).
constexpr std::size_t kLibraryPiece = std::size_t(1) << 20;
constexpr std::size_t kOwnStep = std::size_t(1) << 18;

bool isLineEnd(char c) noexcept { return c == '\r' || c == '\n'; }

// The position after the last CR or LF in [B + From, B + N), or 0 when there is none.
std::size_t afterLastLineEnd(const char* b, std::size_t from, std::size_t n) {
    std::size_t best = 0;
    for (char c : {'\r', '\n'}) {
        if (const void* hit = ::memrchr(b + from, c, n - from))
            best = std::max(best, static_cast<std::size_t>(static_cast<const char*>(hit) - b) + 1);
    }
    return best;
}

bool hasHighByte(std::string_view s) noexcept {
    return std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

} // namespace

char* TKanjiOutputSink::Room(std::size_t N) {
    if (FCapacity < N) {
        FBuffer.reset(new char[N]); // char[] is not filled
        FCapacity = N;
    }
    return FBuffer.get();
}

void TKanjiOutputSink::Commit(std::size_t Written) {
    if (Written > 0) FOutput(std::string_view(FBuffer.get(), Written));
}

TKanjiConverter::TKanjiConverter(TConversion Conversion, TConverter Converter, TKanjiSink& Sink)
    : FConversion(Conversion), FSink(Sink), FUseLibrary(Converter == TConverter::Auto && nkf::Available()),
      FStream(Conversion) {
    if (FUseLibrary) FInput.reserve(kLibraryPiece + kLibraryPiece / 4);
}

TKanjiConverter::TKanjiConverter(TConversion Conversion, TConverter Converter, TOutput Output)
    : FConversion(Conversion), FOwnSink(std::make_unique<TKanjiOutputSink>(std::move(Output))), FSink(*FOwnSink),
      FUseLibrary(Converter == TConverter::Auto && nkf::Available()), FStream(Conversion) {
    if (FUseLibrary) FInput.reserve(kLibraryPiece + kLibraryPiece / 4);
}

TKanjiConverter::~TKanjiConverter() = default;

const char* TKanjiConverter::LibraryOption(TConversion Conversion) noexcept {
    switch (Conversion) {
    case TConversion::EucToSjis: return "-E -s";
    case TConversion::JisToSjis: return "-J -s";
    case TConversion::SjisToEuc: return "-S -e";
    case TConversion::SjisToJis: break;
    }
    return "-S -j";
}

char* TKanjiConverter::room(std::unique_ptr<char[]>& Buffer, std::size_t& Capacity, std::size_t N) {
    if (Capacity < N) {
        Buffer.reset(new char[N]); // char[] is not filled
        Capacity = N;
    }
    return Buffer.get();
}

void TKanjiConverter::Convert(std::string_view Piece, bool Last) {
    if (FUseLibrary)
        convertByLibrary(Piece, Last);
    else
        convertOwn(Piece, Last);
}

void TKanjiConverter::convertOwn(std::string_view Piece, bool Last) {
    do {
        const std::size_t take = std::min(kOwnStep, Piece.size());
        char* out = FSink.Room(FStream.MaxOutput(take));
        FSink.Commit(FStream.Convert(Piece.substr(0, take), Last && take == Piece.size(), out));
        Piece.remove_prefix(take);
    } while (!Piece.empty());
}

void TKanjiConverter::convertByLibrary(std::string_view Piece, bool Last) {
    for (;;) {
        if (FInput.size() < kLibraryPiece && !Piece.empty()) {
            const std::size_t take = std::min(kLibraryPiece - FInput.size(), Piece.size());
            FInput.append(Piece.data(), take);
            Piece.remove_prefix(take);
        }
        if (Last && Piece.empty()) {
            convertLibraryPiece(FInput.size());
            FInput.clear();
            return;
        }
        if (FInput.size() < kLibraryPiece) return; // more is to come
        const std::size_t cut = lastCleanCut();
        if (cut == 0) {
            // No place to cut yet: the piece grows until one comes.
            if (Piece.empty()) return;
            const std::size_t take = std::min(kLibraryPiece, Piece.size());
            FInput.append(Piece.data(), take);
            Piece.remove_prefix(take);
            continue;
        }
        convertLibraryPiece(cut);
        FInput.erase(0, cut);
        FScanned -= cut;
        if (!FUseLibrary) {
            // The library cannot convert: the own converters go on from this clean place.
            const std::string rest = std::move(FInput);
            FInput.clear();
            convertOwn(rest, false);
            convertOwn(Piece, Last);
            return;
        }
    }
}

std::size_t TKanjiConverter::lastCleanCut() {
    const char* b = FInput.data();
    const std::size_t n = FInput.size();
    std::size_t cut = 0;
    switch (FConversion) {
    case TConversion::EucToSjis:
    case TConversion::SjisToEuc:
        // After any CR or LF: neither begins a character of more than one byte.
        cut = afterLastLineEnd(b, FScanned, n);
        FScanned = n;
        break;
    case TConversion::SjisToJis:
        // After two line-end bytes in a row: the second is a character of its own, which
        // leaves the kanji mode closed.
        for (std::size_t i = n; i > std::max<std::size_t>(FScanned, 1) && cut == 0; --i)
            if (isLineEnd(b[i - 1]) && isLineEnd(b[i - 2])) cut = i;
        FScanned = n;
        break;
    case TConversion::JisToSjis: cut = lastCleanJisCut(); break;
    }
    return cut;
}

std::size_t TKanjiConverter::lastCleanJisCut() {
    // As the own converter reads it: in ASCII mode every byte but ESC stands alone, so a line
    // end there is a clean place; in kanji mode bytes go in pairs, and an ESC that is the
    // second byte of a pair is no escape. An escape cut by the end waits. Runs between
    // escapes are passed over sixteen bytes at a time.
    const char* b = FInput.data();
    const std::size_t n = FInput.size();
    std::size_t cut = 0;
    while (FScanned < n) {
        std::size_t esc = FScanned;
        if (FJisKanji) {
            // The first ESC at an even distance from here starts an escape.
            while ((esc = bytescan::ScanJisRun(b, esc, n, true).Esc) < n && (esc - FScanned) % 2 != 0) ++esc;
            if (esc == n) { // pairs to the end; a lone last byte waits
                FScanned += (n - FScanned) / 2 * 2;
                break;
            }
        } else {
            const bytescan::TJisRun run = bytescan::ScanJisRun(b, FScanned, n, false);
            esc = run.Esc;
            if (run.AfterLineEnd != 0) cut = run.AfterLineEnd;
            if (esc == n) {
                FScanned = n;
                break;
            }
        }
        FScanned = esc;
        if (n - FScanned < 3) break;
        if (b[FScanned + 1] == '$')
            FJisKanji = true;
        else if (b[FScanned + 1] == '(')
            FJisKanji = false;
        FScanned += 3;
    }
    return cut;
}

void TKanjiConverter::convertLibraryPiece(std::size_t Length) {
    const std::string_view piece(FInput.data(), Length);
    if (piece.empty()) return;
    // Room for what the library may write, and for the own converters' result instead.
    char* out = FSink.Room(std::max(nkf::OutputRoom(Length), jconvert::MaxConvertedSize(FConversion, Length)));
    if (std::memchr(piece.data(), '\0', piece.size())) { // the library would stop at it
        FSink.Commit(convertPieceOwn(piece, out));
        return;
    }
    // The library reads up to a zero byte: one stands after the piece for the call.
    const char saved = FInput[Length];
    if (Length < FInput.size()) FInput[Length] = '\0';
    const std::optional<std::size_t> length = nkf::ConvertRaw(FInput.data(), Length, LibraryOption(FConversion), out);
    if (Length < FInput.size()) FInput[Length] = saved;
    if (!length) {
        FUseLibrary = false;
        FSink.Commit(convertPieceOwn(piece, out));
        return;
    }
    if (resultPasses(piece, std::string_view(out, *length))) {
        ++FLibraryPieces;
        FSink.Commit(*length);
    } else {
        ++FRejectedPieces;
        FSink.Commit(convertPieceOwn(piece, out));
    }
}

bool TKanjiConverter::resultPasses(std::string_view Piece, std::string_view Result) {
    switch (FConversion) {
    case TConversion::SjisToEuc:
    case TConversion::SjisToJis: {
        // Read back by the own converters, the result must give the page's bytes.
        const TConversion back =
            FConversion == TConversion::SjisToEuc ? TConversion::EucToSjis : TConversion::JisToSjis;
        char* check = room(FCheck, FCheckCapacity, jconvert::MaxConvertedSize(back, Result.size()) + 1);
        bool kanji = false;
        const jconvert::TConvertStep step = jconvert::ConvertPiece(back, Result, true, kanji, check);
        return std::string_view(check, step.Written) == Piece;
    }
    case TConversion::EucToSjis:
    case TConversion::JisToSjis: break;
    }
    // To Shift-JIS nothing grows and line ends stay as they are.
    if (Result.size() > Piece.size() || bytescan::CountLineEnds(Result) != bytescan::CountLineEnds(Piece)) return false;
    if (isLineEnd(Piece.back()) && (Result.empty() || Result.back() != Piece.back())) return false;
    if (FConversion == TConversion::JisToSjis) return Result.find('\x1B') == std::string_view::npos;
    // Any EUC character becomes other bytes: an unchanged piece was not converted.
    return Result != Piece || !hasHighByte(Piece);
}

std::size_t TKanjiConverter::convertPieceOwn(std::string_view Piece, char* Out) {
    bool kanji = false;
    return jconvert::ConvertPiece(FConversion, Piece, true, kanji, Out).Written;
}

} // namespace quire
