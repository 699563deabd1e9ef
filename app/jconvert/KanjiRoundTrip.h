// TKanjiRoundTrip: checks, while a JIS or EUC text is read, that writing it back gives its bytes.
#pragma once

#include "KanjiStream.h"
#include "jconvert.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace quire {

// The bytes read and the Shift-JIS they gave come in order, in pieces of any length; the
// Shift-JIS is written back by the built-in converters and compared with the bytes read as they go,
// so that neither text is held. For JIS two texts are equal when they hold the same characters
// in the same sets, whatever escape sequences choose the sets (the writer uses ESC ( J where a
// file may have ESC ( B, and a line end counts as ASCII in any set).
class TKanjiRoundTrip {
public:
    // Reading: EucToSjis or JisToSjis.
    explicit TKanjiRoundTrip(jconvert::TConversion Reading);

    // The next bytes read, before the Shift-JIS they give is handed to Converted.
    void Read(std::string_view Bytes);
    // The next bytes of Shift-JIS that reading gave.
    void Converted(std::string_view Sjis);
    // Everything has been read and converted: true when writing back gave the bytes read.
    bool Finish();

    // The same check on two whole texts in Code ("JIS": by characters and sets; else by bytes).
    static bool Same(std::string_view A, std::string_view B, std::string_view Code);

private:
    // A JIS text as one stream of characters: a set's mark ("ESC set") where the set of the
    // next character differs from the last one's, the character's byte (an ESC that starts no
    // escape sequence as ESC NUL). An escape cut by the end of a piece waits for the next.
    class TJisCharacters {
    public:
        void Add(std::string_view Piece, bool Last, std::string& Out);

    private:
        // Up to the end of Piece or an escape that the end cuts; the bytes taken.
        std::size_t take(std::string_view Piece, bool Last, std::string& Out);
        void run(std::string_view Run, std::string& Out);
        void mark(char Set, std::string& Out);
        char FSet = 'B';
        char FShown = 'B';
        std::string FCarry;
    };

    // Adds Bytes to one side (its characters for JIS) and compares what both sides hold.
    void add(std::string& Side, std::size_t& Offset, TJisCharacters& Characters, std::string_view Bytes, bool Last);
    void compare();

    jconvert::TConversion FReading;
    TKanjiStream FBack;
    std::unique_ptr<char[]> FBuffer;
    std::size_t FCapacity = 0;
    TJisCharacters FReadCharacters, FBackCharacters;
    std::string FRead, FWritten; // what each side holds that the other has not matched yet
    std::size_t FReadOffset = 0, FWrittenOffset = 0;
    bool FEqual = true;
};

} // namespace quire
