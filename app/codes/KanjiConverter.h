// TKanjiConverter: converts a text between kanji codes piece by piece, by the outside library
// or by the built-in converters.
#pragma once

#include "KanjiCutter.h"
#include "KanjiStream.h"
#include "jconvert.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quire {

// How conversions are made: by the outside library when it is bound, or always by the own
// converters.
enum class TConverter { Auto, BuiltIn };

// Where converted bytes go: they are written straight into room that it gives.
class TKanjiSink {
public:
    virtual ~TKanjiSink() = default;
    // Room for at least N bytes, valid until Commit.
    virtual char* Room(std::size_t N) = 0;
    // The first Written bytes of the room hold the next converted bytes.
    virtual void Commit(std::size_t Written) = 0;
};

// A sink that hands what is written to a function, through a buffer used again and again.
class TKanjiOutputSink : public TKanjiSink {
public:
    explicit TKanjiOutputSink(std::function<void(std::string_view)> Output) : FOutput(std::move(Output)) {}
    char* Room(std::size_t N) override;
    void Commit(std::size_t Written) override;

private:
    std::function<void(std::string_view)> FOutput;
    std::unique_ptr<char[]> FBuffer;
    std::size_t FCapacity = 0;
};

// Takes a text in pieces of any length and writes the converted bytes, in order, into the
// room of a sink (or hands them to an Output function).
//
// Without the library (or with TConverter::BuiltIn) the built-in converters convert it as one stream.
// With the library the text goes to it in the pieces of a TKanjiCutter (about a megabyte,
// each cut where the built-in converters start afresh), with options that name both codes: the library never has to
// guess what it is given. Every result is checked before it is used:
//   - written to JIS or EUC (the page's Shift-JIS): the built-in converters must read the result
//     back to exactly the piece;
//   - read from JIS or EUC into Shift-JIS: the result must keep every line end of the piece,
//     must not be longer, must hold no escape sequence (JIS) and must differ from an EUC
//     piece that has any byte above 0x7F (the library neither cut the text nor took it for
//     another code).
// A piece whose result fails the check, or holds a NUL byte, is converted by the own
// converters, exactly as within the whole text. A library without a conversion function is
// asked once per text (it tells the user) and the built-in converters go on.
class TKanjiConverter {
public:
    using TOutput = std::function<void(std::string_view)>;

    // Options: a page's outside characters and JIS's ASCII escape. The library knows neither:
    // writing JIS with ESC ( B goes to the built-in converters, and so does each piece of EUC that
    // is not plain (TKanjiPlainScan) when there are outside characters.
    TKanjiConverter(jconvert::TConversion Conversion, TConverter Converter, TKanjiSink& Sink,
                    const jconvert::TConvertOptions& Options = {});
    TKanjiConverter(jconvert::TConversion Conversion, TConverter Converter, TOutput Output,
                    const jconvert::TConvertOptions& Options = {});
    ~TKanjiConverter();
    TKanjiConverter(const TKanjiConverter&) = delete;
    TKanjiConverter& operator=(const TKanjiConverter&) = delete;

    // The next piece of the text (Last: none follows; the converter is done then).
    // Plain: as for TKanjiCutter::Add.
    void Convert(std::string_view Piece, bool Last, bool Plain = false);
    // For a caller that gathers the pieces itself with a TKanjiCutter: the next piece it
    // handed on. Convert and ConvertClean are not mixed on one converter.
    void ConvertClean(std::string& Piece, bool Last);

    // Whether the text goes to the library (in the pieces of a TKanjiCutter).
    bool UsesLibrary() const noexcept { return FUseLibrary; }
    // Pieces the library converted, and pieces whose library result failed the check.
    int LibraryPieces() const noexcept { return FLibraryPieces; }
    int RejectedPieces() const noexcept { return FRejectedPieces; }

    // The option string that tells the library the codes of a conversion.
    static const char* LibraryOption(jconvert::TConversion Conversion) noexcept;

private:
    void convertBuiltIn(std::string_view Piece, bool Last);
    void convertByLibrary(std::string_view Piece, bool Last, bool Plain);
    // Converts Input (a piece of TKanjiCutter) by the library, or by the built-in converters when
    // its result fails the check.
    void convertLibraryPiece(std::string& Input);
    bool resultPasses(std::string_view Piece, std::string_view Result);
    // Whether the library may convert with these options at all.
    static bool libraryTakes(jconvert::TConversion Conversion, const jconvert::TConvertOptions& Options) noexcept;
    // False for a piece of EUC that holds anything but ASCII, pairs and half-width kana.
    bool plainEuc(std::string_view Piece) const;
    // Converts Piece, which begins where the built-in converters start afresh, into Out.
    std::size_t convertPieceBuiltIn(std::string_view Piece, char* Out);
    // A buffer of at least N bytes in Buffer, never filled beforehand.
    static char* room(std::unique_ptr<char[]>& Buffer, std::size_t& Capacity, std::size_t N);

    jconvert::TConversion FConversion;
    jconvert::TConvertOptions FOptions;
    std::unique_ptr<TKanjiSink> FOwnSink; // the sink that hands bytes to an Output function
    TKanjiSink& FSink;
    bool FUseLibrary;
    TKanjiStream FStream;
    std::optional<TKanjiCutter> FCutter; // library path: gathers the pieces for the library
    std::unique_ptr<char[]> FCheck;
    std::size_t FCheckCapacity = 0;
    int FLibraryPieces = 0;
    int FRejectedPieces = 0;
};

} // namespace quire
