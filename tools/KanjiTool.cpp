// quire-kanji: converts files the way the editor reads and writes them.
//
//   quire-kanji --guess FILE...   the code and line end the editor would show
//   quire-kanji --detect FILE...  the detection result 0-7 (7 is UTF-8)
//   quire-kanji [--code S-JIS|JIS|EUC|UTF-8|"UTF-8 BOM"|UTF-16LE|UTF-16BE] [--eol CRLF|CR|LF]
//               [--no-library] FILE
//                                 the bytes the editor would write when saving FILE unchanged
// FILE "-" is standard input. Only regular files of at most 1 GB are read; a failed read or
// write is a message on standard error and exit status 1.
#include "Cp932Codec.h"
#include "KanjiFile.h"
#include "OutsideCharTable.h"
#include "PlatformError.h"
#include "ShiftJis.h"
#include "ToolIo.h"
#include "jconvert.h"
#include "nkf.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using namespace quire;

namespace {

const char* const kProgram = "quire-kanji";

void printUsage(std::FILE* To) {
    std::fprintf(To,
                 "usage: quire-kanji --guess FILE... | --detect FILE... |\n"
                 "       quire-kanji [--code S-JIS|JIS|EUC|UTF-8|'UTF-8 BOM'|UTF-16LE|UTF-16BE] [--eol CRLF|CR|LF]\n"
                 "                   [--no-library] FILE\n"
                 "       quire-kanji --help | --version\n");
}

int usage() {
    printUsage(stderr);
    return 2;
}

std::string_view view(const QByteArray& b) { return {b.constData(), static_cast<std::size_t>(b.size())}; }

// --guess and --detect: one line per file; a file that cannot be read is told and skipped.
int guessOrDetect(bool Guess, const QStringList& Files) {
    nkf::Bind({QCoreApplication::applicationDirPath()});
    int status = 0;
    for (const QString& file : Files) {
        const auto read = tools::ReadInput(kProgram, file);
        if (!read) {
            status = 1;
            continue;
        }
        const QByteArray& bytes = *read;
        const QByteArray name = tools::NameBytes(file);
        if (Guess) {
            const TKanjiText t = GuessKanjiText(view(bytes));
            std::printf("%s: %s %s\n", name.constData(), t.KanjiCode.c_str(),
                        t.LineEndCode.value_or(jconvert::kCrLfName).c_str());
        } else {
            std::printf("%s: %d\n", name.constData(), DetectFileCode(view(bytes)));
        }
    }
    return tools::FinishOutput(kProgram) ? status : 1;
}

struct TResaveOptions {
    QString Code, Eol, File;
    bool UseLibrary = true;
};

// The options of a resave; nothing when they are not understood.
std::optional<TResaveOptions> parseResave(const QStringList& Args) {
    TResaveOptions o;
    for (int i = 0; i < Args.size(); ++i) {
        const QString& a = Args[i];
        if (a == "--code" && i + 1 < Args.size()) {
            o.Code = Args[++i];
            if (!jconvert::IsCodeName(o.Code.toStdString())) return std::nullopt;
        } else if (a == "--eol" && i + 1 < Args.size()) {
            o.Eol = Args[++i];
            if (o.Eol != "CRLF" && o.Eol != "CR" && o.Eol != "LF") return std::nullopt;
        } else if (a == "--no-library") {
            o.UseLibrary = false;
        } else if (a.startsWith("--") || !o.File.isEmpty()) {
            return std::nullopt;
        } else {
            o.File = a;
        }
    }
    if (o.File.isEmpty()) return std::nullopt;
    return o;
}

// The places of the characters a code cannot hold, found in the text as the editor holds it
// (lines of Shift-JIS), as line and column (in characters, both from 1) with the character.
class TLostPlaces {
public:
    static constexpr std::size_t kShown = 5;

    explicit TLostPlaces(std::string Code) : FCode(std::move(Code)) {}
    // The next lines of the text.
    void Look(std::string_view Lines, const TOutsideCharTable* Table) {
        for (std::size_t at = 0; static_cast<std::size_t>(FPlaces.size()) < kShown;) {
            const TLostChar lost = FirstLostChar(Lines.substr(at), FCode, Table);
            if (lost.Bytes.empty()) break;
            const std::size_t offset = at + lost.Offset;
            // The line and its start: the lines of earlier pieces, then those before Offset.
            std::size_t line = FLines, start = 0;
            for (std::size_t i = Lines.find("\r\n"); i < offset; i = Lines.find("\r\n", i + 2)) {
                ++line;
                start = i + 2;
            }
            const std::size_t column = sjis::CharCount(Lines.substr(start), offset - start) + 1;
            FPlaces.push_back(QStringLiteral("line %1, column %2 (%3)")
                                  .arg(line + 1)
                                  .arg(column)
                                  .arg(cp932::ToDisplay(lost.Bytes, Table)));
            at = offset + lost.Bytes.size();
        }
        for (std::size_t i = Lines.find("\r\n"); i != std::string_view::npos; i = Lines.find("\r\n", i + 2)) ++FLines;
    }
    // Tells on standard error where the code cannot hold the file's characters.
    void Warn() const {
        if (FPlaces.isEmpty()) return;
        std::fprintf(stderr, "quire-kanji: warning: %s cannot hold the characters at %s%s\n",
                     std::string(jconvert::ShownCodeName(FCode)).c_str(), FPlaces.join("; ").toUtf8().constData(),
                     static_cast<std::size_t>(FPlaces.size()) == kShown ? " and maybe more" : "");
    }

private:
    std::string FCode;
    QStringList FPlaces;
    std::size_t FLines = 0; // lines of the pieces looked at
};

// What the editor tells on opening a file that the read could not keep.
void warnAboutRead(const QString& File, const TKanjiText& Read) {
    const QByteArray name = tools::NameBytes(File);
    if (Read.Unkept > 0)
        std::fprintf(stderr, "quire-kanji: warning: %s: %zu characters found no code and are written as U+3013\n",
                     name.constData(), Read.Unkept);
    if (Read.HasNul)
        std::fprintf(stderr,
                     "quire-kanji: %s: このファイルには NUL 文字が含まれています。"
                     "NUL 文字から後ろは読み込まれていません。\n",
                     name.constData());
}

// The bytes the editor would write when saving the file unchanged, to standard output. A
// file whose text ends at a NUL is written up to there, with status 1.
int resave(const TResaveOptions& O) {
    const TConverter converter = O.UseLibrary ? TConverter::Auto : TConverter::BuiltIn;
    if (O.UseLibrary) nkf::Bind({QCoreApplication::applicationDirPath()});
    const auto bytes = tools::ReadInput(kProgram, O.File);
    if (!bytes) return 1;
    // As the editor reads the file into its line store and saves it, without holding the
    // text whole: the pieces go out as they are made.
    const std::string written = O.Code.isEmpty() ? GuessKanjiText(view(*bytes)).KanjiCode : O.Code.toStdString();
    TLostPlaces lost(written);
    auto output = [](std::string_view s) { std::fwrite(s.data(), 1, s.size(), stdout); };
    const TKanjiText read =
        ResaveKanjiText(view(*bytes), written, O.Eol.toStdString(), converter, output,
                        [&lost](std::string_view lines, const TOutsideCharTable* table) { lost.Look(lines, table); });
    warnAboutRead(O.File, read);
    lost.Warn();
    return tools::FinishOutput(kProgram) && !read.HasNul ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = tools::Arguments(argc, argv);
    if (const auto status = tools::AnswerHelpOrVersion(kProgram, args, printUsage)) return *status;
    if (args.isEmpty()) return usage();
    if (args.first() == "--guess" || args.first() == "--detect") {
        const bool guess = args.first() == "--guess";
        args.removeFirst();
        return args.isEmpty() ? usage() : guessOrDetect(guess, args);
    }
    const auto options = parseResave(args);
    return options ? resave(*options) : usage();
}
