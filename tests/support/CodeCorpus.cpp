// CodeCorpus.
#include "CodeCorpus.h"

#include "../../bench/TextGenerator.h"

#include <cstddef>
#include <utility>

namespace quire::test {
namespace {

constexpr std::size_t kMiB = std::size_t(1) << 20;

std::string u8(const char8_t* s) { return std::string(reinterpret_cast<const char*>(s)); }

// A character of a code placed so that it starts Before bytes ahead of a megabyte.
struct TCut {
    std::string Char;
    std::size_t Before;
};

// Lines of Line (in the file's code, ending with its line end) around the cut characters: the
// K-th one starts Before bytes ahead of megabyte K + 1, in the middle of a line, after Pad
// (whole units for UTF-16). Head (a byte order mark) comes first.
std::string around(const std::string& head, const std::string& line, const std::string& pad,
                   const std::vector<TCut>& cuts) {
    std::string file = head;
    for (std::size_t k = 0; k < cuts.size(); ++k) {
        const std::size_t at = (k + 1) * kMiB - cuts[k].Before;
        while (file.size() + line.size() + 64 < at) file += line;
        while (file.size() < at) file += pad;
        file += cuts[k].Char;
    }
    file += pad;
    file += line;
    return file;
}

std::string utf16(const std::u16string& s, bool big) {
    std::string out;
    for (const char16_t u : s) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out += big ? hi : lo;
        out += big ? lo : hi;
    }
    return out;
}

const char* eolName(const std::string& e) { return e == "\r\n" ? "CRLF" : e == "\r" ? "CR" : "LF"; }

} // namespace

std::vector<TCorpusFile> CodeCorpus() {
    std::vector<TCorpusFile> files;
    const auto text = bench::GenerateJapaneseText(1000, 9);
    const std::string sjisLine = text.ShiftJis.substr(0, text.ShiftJis.find("\r\n"));
    const std::string eucLine = text.Euc.substr(0, text.Euc.find("\r\n"));
    const std::string kanji = "\x8A\xBF\x8E\x9A"; // 漢字
    for (const std::string e : {"\r\n", "\r", "\n"}) {
        files.push_back({std::string("S-JIS ") + eolName(e), "S-JIS",
                         around("", sjisLine + "\xB1\xDE" + e, "a", {{kanji, 1}, {kanji, 3}})});
        // EUC: JIS X 0212 (three bytes: é, ō), half-width kana (0x8E ｱ) and pairs.
        files.push_back({std::string("EUC ") + eolName(e), "EUC",
                         around("", eucLine + "\x8E\xB1\x8F\xAB\xB1 Tokyo\x8F\xAB\xD7" + e, "a",
                                {{"\x8F\xAB\xB1", 1}, {"\x8F\xAB\xD7", 2}, {"\x8E\xB1", 1}, {"\xB4\xC1", 1}})});
    }
    // JIS: a kanji between its escapes, cut in the escape to kanji, in the pair and in the
    // escape back; one file returns to ASCII with ESC ( B, one with ESC ( J.
    for (const char ascii : {'B', 'J'}) {
        const std::string back = std::string("\x1B(") + ascii;
        const std::string kanjiRun = "\x1B$B\x34\x41" + back;
        // (Lines start in ASCII: an escape back to ASCII followed at once by one to kanji is
        // written as neither, which changes no character.)
        const std::string line = "JIS \x1B$B\x34\x41\x3B\x7A\x24\x22" + back + " line\r\n";
        std::vector<TCut> cuts;
        for (const std::size_t before : {1, 2, 4, 5, 7, 8}) cuts.push_back({kanjiRun, before});
        files.push_back(
            {std::string("JIS ESC ( ") + ascii, ascii == 'B' ? "JIS ASCII" : "JIS", around("", line, "a", cuts)});
    }
    const std::string utf8Line = u8(u8"UTF-8 の行: é 😀 〜 𠮷 한글\n");
    for (const bool bom : {false, true}) {
        files.push_back(
            {bom ? "UTF-8 BOM" : "UTF-8", bom ? "UTF-8 BOM" : "UTF-8",
             around(
                 bom ? "\xEF\xBB\xBF" : "", utf8Line, "a",
                 {{u8(u8"é"), 1}, {u8(u8"日"), 1}, {u8(u8"日"), 2}, {u8(u8"😀"), 1}, {u8(u8"😀"), 2}, {u8(u8"😀"), 3}})});
    }
    for (const bool big : {false, true}) {
        for (const bool bom : {true, false}) {
            const std::string line = utf16(u"UTF-16 の行: é 😀 〜 𠮷\r\n", big);
            const std::string name = big ? "UTF-16BE" : "UTF-16LE";
            files.push_back({name + (bom ? " BOM" : ""), name + (bom ? "" : " NOBOM"),
                             around(bom ? utf16(u"\uFEFF", big) : "", line, utf16(u"a", big),
                                    {{utf16(u"😀", big), 2}, {utf16(u"日本", big), 2}})});
        }
    }
    return files;
}

} // namespace quire::test
