// Reading a file into Shift-JIS text and writing a page's text in its kanji code and line end.
#pragma once

#include "KanjiConverter.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quire {

class TTextLoader;
class TOutsideCharTable;

// What reading a file gives: the text in Shift-JIS, and the code and line end names that the
// page takes (the line end is unknown for an empty file, which leaves the page's as it is).
// The text ends before the first NUL byte of the file's bytes, whatever their code; HasNul
// tells that there was one (and the rest was not read).
struct TKanjiText {
    std::string Text;
    std::string KanjiCode;
    std::optional<std::string> LineEndCode;
    int Detection = 0;
    bool HasNul = false;
    // Writing Text back in KanjiCode gives the file's bytes again (always for Shift-JIS). When
    // it does not, the file was not truly in that code and saving it unchanged would change it.
    bool KeepsBytes = true;
    // The table of a UTF-8, UTF-16 or EUC text: the characters code page 932 lacks (for EUC its
    // JIS X 0212 characters and bytes of no character) and the user-defined codes that stand
    // for them in Text (null for the other codes).
    std::shared_ptr<TOutsideCharTable> CharTable;
    // Characters that found no code, the user-defined area being full (they read as "〓", and
    // KeepsBytes is false).
    std::size_t Unkept = 0;
    // Bytes of an EUC text that are part of no character: kept through the table (KeepsBytes
    // holds), but they cast doubt on the code the detection chose.
    std::size_t StrayBytes = 0;
};

// The detection result of a file's bytes: UTF-8 (7) when they are, else DetectKanjiCode's.
int DetectFileCode(std::string_view Bytes) noexcept;

// The code and line end of Bytes as reading them would give, without converting anything
// (Text stays empty; HasNul and KeepsBytes are not looked for). Detection, when given, is
// DetectFileCode's result for Bytes, already known to the caller.
TKanjiText GuessKanjiText(std::string_view Bytes, std::optional<int> Detection = std::nullopt);
// Detects the line end and the kanji code of Bytes (or takes the code AsCode when it is given)
// and converts JIS and EUC to Shift-JIS; Detection as for GuessKanjiText.
TKanjiText DecodeKanjiText(std::string_view Bytes, TConverter Converter = TConverter::Auto,
                           std::string_view AsCode = {}, std::optional<int> Detection = std::nullopt);
// Reads a whole regular file (at most the editor's limit) and decodes it; raises
// EPlatformError naming the file and the reason when it cannot.
TKanjiText ReadKanjiFile(const QString& Path, TConverter Converter = TConverter::Auto, std::string_view AsCode = {});
// The same, straight into the rows of Loader rather than into Text (which stays empty): a
// Shift-JIS file goes in as one block read whole, without a copy; JIS and EUC are read and
// converted a piece at a time, so that the file is never held besides its text.
TKanjiText ReadKanjiFile(const QString& Path, TTextLoader& Loader, TConverter Converter = TConverter::Auto,
                         std::string_view AsCode = {});

// The user's words for a read that failed.
QString ReadFailureMessage(const QString& Path, const struct TRegularFileRead& Read);
// True when A and B are the same text in KanjiCode: the same bytes, or for JIS the same
// characters whatever escape sequences choose their sets.
bool SameInCode(std::string_view A, std::string_view B, std::string_view KanjiCode);
// The bytes of Text (Shift-JIS) in the code KanjiCode (a name of jconvert; "S-JIS" for anything
// else), line ends as they are. Table gives the characters its codes stand for: Unicode writes
// them, JIS and EUC their JIS X 0208 forms (EUC also JIS X 0212 and raw bytes), Shift-JIS the
// code page 932 code where one stands for the character; what a code cannot hold becomes "?".
std::string EncodeCode(std::string_view Text, std::string_view KanjiCode, TConverter Converter = TConverter::Auto,
                       const TOutsideCharTable* Table = nullptr);
// The bytes of Text (Shift-JIS, CR LF after every line) in the code "JIS", "EUC", "UTF-8",
// "UTF-8 BOM" or "S-JIS" (anything else) with the line end "CR", "LF" or "CRLF" (anything else).
std::string EncodePage(std::string_view Text, std::string_view KanjiCode, std::string_view LineEnd,
                       TConverter Converter = TConverter::Auto, const TOutsideCharTable* Table = nullptr);
// Encodes and writes the page to Path as WriteWholeFile does: a failed write leaves the old
// file as it was. Raises EPlatformError naming the file and the reason on failure.
void WritePage(std::string_view Text, std::string_view KanjiCode, std::string_view LineEnd, const QString& Path,
               TConverter Converter = TConverter::Auto, const TOutsideCharTable* Table = nullptr);

// The first character of Text (Shift-JIS) that writing it in KanjiCode would not keep: for JIS
// and EUC one without a form there (KeptInJis), for Shift-JIS a character of Table without a
// code page 932 code, for UTF-8 and UTF-16 bytes that are no character (and in UTF-16 a raw
// byte of Table). Its byte offset and bytes; an empty Bytes when every character is kept.
struct TLostChar {
    std::size_t Offset = 0;
    std::string Bytes;
};
TLostChar FirstLostChar(std::string_view Text, std::string_view KanjiCode, const TOutsideCharTable* Table);

// What opening Bytes as a file and saving it unchanged gives, as the editor reads and writes
// it (the code and line end detected, the text ended at a NUL and split into lines, then
// written in KanjiCode and LineEnd, or the detected ones where these are empty), handed to
// Output piece by piece so that the text is never held whole. Inspect, when given, sees the
// Shift-JIS text first, in pieces of whole lines (each ends after a CR LF, but for the last),
// with the table its codes stand for so far (or none).
using TInspect = std::function<void(std::string_view Lines, const TOutsideCharTable* Table)>;
TKanjiText ResaveKanjiText(std::string_view Bytes, std::string_view KanjiCode, std::string_view LineEnd,
                           TConverter Converter, const std::function<void(std::string_view)>& Output,
                           const TInspect& Inspect = {});

} // namespace quire
