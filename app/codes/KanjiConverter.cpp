// TKanjiConverter.
#include "KanjiConverter.h"

#include "ByteScan.h"
#include "KanjiPlainScan.h"
#include "nkf.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace quire {

using jconvert::TConversion;

namespace {

// The built-in converters take the text in steps of this size (their output fits a buffer that
// stays in the cache).
constexpr std::size_t kOwnStep = std::size_t(1) << 18;

bool isLineEnd(char c) noexcept { return c == '\r' || c == '\n'; }

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

TKanjiConverter::TKanjiConverter(TConversion Conversion, TConverter Converter, TKanjiSink& Sink,
                                 const jconvert::TConvertOptions& Options)
    : FConversion(Conversion), FOptions(Options), FSink(Sink),
      FUseLibrary(Converter == TConverter::Auto && nkf::Available() && libraryTakes(Conversion, Options)),
      FStream(Conversion, Options) {}

TKanjiConverter::TKanjiConverter(TConversion Conversion, TConverter Converter, TOutput Output,
                                 const jconvert::TConvertOptions& Options)
    : FConversion(Conversion), FOptions(Options), FOwnSink(std::make_unique<TKanjiOutputSink>(std::move(Output))),
      FSink(*FOwnSink),
      FUseLibrary(Converter == TConverter::Auto && nkf::Available() && libraryTakes(Conversion, Options)),
      FStream(Conversion, Options) {}

bool TKanjiConverter::libraryTakes(TConversion Conversion, const jconvert::TConvertOptions& Options) noexcept {
    return Conversion != TConversion::SjisToJis || Options.JisAscii == 'J';
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

void TKanjiConverter::Convert(std::string_view Piece, bool Last, bool Plain) {
    if (FUseLibrary)
        convertByLibrary(Piece, Last, Plain);
    else
        convertBuiltIn(Piece, Last);
}

void TKanjiConverter::convertBuiltIn(std::string_view Piece, bool Last) {
    do {
        const std::size_t take = std::min(kOwnStep, Piece.size());
        char* out = FSink.Room(FStream.MaxOutput(take));
        FSink.Commit(FStream.Convert(Piece.substr(0, take), Last && take == Piece.size(), out));
        Piece.remove_prefix(take);
    } while (!Piece.empty());
}

void TKanjiConverter::convertByLibrary(std::string_view Piece, bool Last, bool Plain) {
    // Made at the first piece: a caller that cuts the pieces itself (ConvertClean) needs none.
    if (!FCutter) FCutter.emplace(FConversion);
    FCutter->Add(
        Piece, Last, [this](std::string& piece, bool last) { ConvertClean(piece, last); }, Plain);
}

void TKanjiConverter::ConvertClean(std::string& Piece, bool Last) {
    if (FUseLibrary)
        convertLibraryPiece(Piece);
    else // the library cannot convert: the built-in converters go on from this clean place
        convertBuiltIn(Piece, Last);
}

void TKanjiConverter::convertLibraryPiece(std::string& Input) {
    const std::size_t Length = Input.size();
    if (Length == 0) return;
    // Room for what the library may write, and for the built-in converters' result instead.
    char* out = FSink.Room(std::max(nkf::OutputRoom(Length), jconvert::MaxConvertedSize(FConversion, Length)));
    const std::string_view piece(Input);
    // The library would stop at a NUL, and knows no outside characters.
    if (std::memchr(piece.data(), '\0', piece.size()) || (FOptions.Codes && !plainEuc(piece))) {
        FSink.Commit(convertPieceBuiltIn(piece, out));
        return;
    }
    // The library reads up to the zero byte that ends the string.
    const std::optional<std::size_t> length = nkf::ConvertRaw(Input.c_str(), Length, LibraryOption(FConversion), out);
    if (!length) {
        FUseLibrary = false;
        FSink.Commit(convertPieceBuiltIn(piece, out));
        return;
    }
    if (resultPasses(piece, std::string_view(out, *length))) {
        ++FLibraryPieces;
        FSink.Commit(*length);
    } else {
        ++FRejectedPieces;
        FSink.Commit(convertPieceBuiltIn(piece, out));
    }
}

bool TKanjiConverter::resultPasses(std::string_view Piece, std::string_view Result) {
    switch (FConversion) {
    case TConversion::SjisToEuc:
    case TConversion::SjisToJis: {
        // Read back by the built-in converters, the result must give the page's bytes.
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

bool TKanjiConverter::plainEuc(std::string_view Piece) const {
    if (FConversion != TConversion::EucToSjis) return true;
    TKanjiPlainScan scan(FConversion);
    scan.Add(Piece);
    return scan.Finish();
}

std::size_t TKanjiConverter::convertPieceBuiltIn(std::string_view Piece, char* Out) {
    bool kanji = false;
    return jconvert::ConvertPiece(FConversion, Piece, true, kanji, Out, FOptions).Written;
}

} // namespace quire
