// Reading a file into Shift-JIS text and writing a page's text in its kanji code and line end.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace quire {

// What reading a file gives: the text in Shift-JIS, and the code and line end names that the
// page takes (the line end is unknown for an empty file, which leaves the page's as it is).
struct TKanjiText {
    std::string Text;
    std::string KanjiCode;
    std::optional<std::string> LineEndCode;
    int Detection = 0;
};

// How conversions are made: by the outside library when it is bound, or always by the own
// converters.
enum class TConverter { Auto, Own };

// Detects the line end and the kanji code of Bytes and converts JIS and EUC to Shift-JIS.
TKanjiText DecodeKanjiText(std::string_view Bytes, TConverter Converter = TConverter::Auto);
// Reads a whole file and decodes it; raises EPlatformError naming the file when it cannot.
TKanjiText ReadKanjiFile(const QString& Path, TConverter Converter = TConverter::Auto);

// The bytes of Text (Shift-JIS, CR LF after every line) in the code "JIS", "EUC" or "S-JIS"
// (anything else) with the line end "CR", "LF" or "CRLF" (anything else).
std::string EncodePage(std::string_view Text, std::string_view KanjiCode, std::string_view LineEnd,
                       TConverter Converter = TConverter::Auto);
// Encodes and writes the page to Path through a temporary file that replaces it only when
// every byte is written, so that a failed write leaves the old file as it was. Raises
// EPlatformError naming the file on failure.
void WritePage(std::string_view Text, std::string_view KanjiCode, std::string_view LineEnd,
               const QString& Path, TConverter Converter = TConverter::Auto);

} // namespace quire
