// quire-kanji: converts files the way the editor reads and writes them.
//
//   quire-kanji --guess FILE...   the code and line end the editor would show
//   quire-kanji --detect FILE...  the detection result 0-7 (7 is UTF-8)
//   quire-kanji [--code S-JIS|JIS|EUC|UTF-8|"UTF-8 BOM"] [--eol CRLF|CR|LF] [--no-library] FILE
//                                 the bytes the editor would write when saving FILE unchanged
// FILE "-" is standard input. Only regular files of at most 1 GB are read; a failed read or
// write is a message on standard error and exit status 1.
#include "KanjiFile.h"
#include "OutsideCharTable.h"
#include "PlatformError.h"
#include "ToolIo.h"
#include "jconvert.h"
#include "nkf.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using namespace quire;

namespace {

const char* const kProgram = "quire-kanji";

void printUsage(std::FILE* To) {
    std::fprintf(To, "usage: quire-kanji --guess FILE... | --detect FILE... |\n"
                     "       quire-kanji [--code S-JIS|JIS|EUC|UTF-8|'UTF-8 BOM'] [--eol CRLF|CR|LF] [--no-library] "
                     "FILE\n"
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
            if (o.Code != "S-JIS" && o.Code != "JIS" && o.Code != "EUC" && !jconvert::IsUtf8Name(o.Code.toStdString()))
                return std::nullopt;
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

// Warnings about what the chosen code could not hold: the table's characters, characters
// with no code at all, and the first byte offsets JIS or EUC cannot hold.
void warnAboutLosses(const std::string& Written, const TKanjiText& Read, const std::vector<std::size_t>& Unsafe,
                     std::size_t Shown) {
    if (Read.CharTable && !Read.CharTable->Empty() && !jconvert::IsUtf8Name(Written)) {
        std::fprintf(stderr,
                     "quire-kanji: warning: %s cannot hold %zu different characters of the file; "
                     "they are written as user-defined characters\n",
                     Written.c_str(), Read.CharTable->Size());
    }
    if (Read.Unkept > 0)
        std::fprintf(stderr, "quire-kanji: warning: %zu characters found no code and are written as U+3013\n",
                     Read.Unkept);
    if (!Unsafe.empty()) {
        std::string offsets;
        for (const std::size_t u : Unsafe) offsets += (offsets.empty() ? "" : ", ") + std::to_string(u);
        std::fprintf(stderr, "quire-kanji: warning: %s cannot hold the characters at byte offsets %s%s\n",
                     Written.c_str(), offsets.c_str(), Unsafe.size() == Shown ? " and maybe more" : "");
    }
}

// The bytes the editor would write when saving the file unchanged, to standard output.
int resave(const TResaveOptions& O) {
    const TConverter converter = O.UseLibrary ? TConverter::Auto : TConverter::Own;
    if (O.UseLibrary) nkf::Bind({QCoreApplication::applicationDirPath()});
    const auto bytes = tools::ReadInput(kProgram, O.File);
    if (!bytes) return 1;
    // As the editor reads the file into its line store and saves it, without holding the
    // text whole: the pieces go out as they are made.
    const std::string written = O.Code.isEmpty() ? GuessKanjiText(view(*bytes)).KanjiCode : O.Code.toStdString();
    const bool checked = written == jconvert::kJisName || written == jconvert::kEucName;
    constexpr std::size_t kShown = 5;
    std::vector<std::size_t> unsafe;
    std::function<void(std::string_view, std::size_t)> inspect;
    if (checked) {
        inspect = [&unsafe](std::string_view text, std::size_t offset) {
            if (unsafe.size() >= kShown) return;
            for (const auto& u : jconvert::FindJisUnsafeChars(text, kShown - unsafe.size()))
                unsafe.push_back(offset + u.Offset);
        };
    }
    auto output = [](std::string_view s) { std::fwrite(s.data(), 1, s.size(), stdout); };
    const TKanjiText read = ResaveKanjiText(view(*bytes), written, O.Eol.toStdString(), converter, output, inspect);
    warnAboutLosses(written, read, unsafe, kShown);
    return tools::FinishOutput(kProgram) ? 0 : 1;
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
