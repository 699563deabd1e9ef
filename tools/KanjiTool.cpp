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
#include <string>
#include <vector>

using namespace quire;

namespace {

int usage() {
    std::fprintf(
        stderr, "usage: quire-kanji --guess FILE... | --detect FILE... |\n"
                "       quire-kanji [--code S-JIS|JIS|EUC|UTF-8|'UTF-8 BOM'] [--eol CRLF|CR|LF] [--no-library] FILE\n");
    return 2;
}

const char* const kProgram = "quire-kanji";

std::string_view view(const QByteArray& b) { return {b.constData(), static_cast<std::size_t>(b.size())}; }

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty()) return usage();

    if (args.first() == "--guess" || args.first() == "--detect") {
        const bool guess = args.first() == "--guess";
        args.removeFirst();
        if (args.isEmpty()) return usage();
        nkf::Bind({QCoreApplication::applicationDirPath()});
        int status = 0;
        for (const QString& file : args) {
            const auto read = tools::ReadInput(kProgram, file);
            if (!read) {
                status = 1;
                continue;
            }
            const QByteArray& bytes = *read;
            const QByteArray name = QFile::encodeName(file);
            if (guess) {
                const TKanjiText t = GuessKanjiText(view(bytes));
                std::printf("%s: %s %s\n", name.constData(), t.KanjiCode.c_str(),
                            t.LineEndCode.value_or(jconvert::kCrLfName).c_str());
            } else {
                std::printf("%s: %d\n", name.constData(), DetectFileCode(view(bytes)));
            }
        }
        return tools::FinishOutput(kProgram) ? status : 1;
    }

    QString code, eol, file;
    bool useLibrary = true;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == "--code" && i + 1 < args.size()) {
            code = args[++i];
            if (code != "S-JIS" && code != "JIS" && code != "EUC" && !jconvert::IsUtf8Name(code.toStdString()))
                return usage();
        } else if (a == "--eol" && i + 1 < args.size()) {
            eol = args[++i];
            if (eol != "CRLF" && eol != "CR" && eol != "LF") return usage();
        } else if (a == "--no-library") {
            useLibrary = false;
        } else if (a.startsWith("--") || !file.isEmpty()) {
            return usage();
        } else {
            file = a;
        }
    }
    if (file.isEmpty()) return usage();
    const TConverter converter = useLibrary ? TConverter::Auto : TConverter::Own;
    if (useLibrary) nkf::Bind({QCoreApplication::applicationDirPath()});

    const auto bytes = tools::ReadInput(kProgram, file);
    if (!bytes) return 1;
    // As the editor reads the file into its line store and saves it, without holding the
    // text whole: the pieces go out as they are made.
    const std::string written = code.isEmpty() ? GuessKanjiText(view(*bytes)).KanjiCode : code.toStdString();
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
    const TKanjiText read = ResaveKanjiText(view(*bytes), written, eol.toStdString(), converter, output, inspect);
    if (read.CharTable && !read.CharTable->Empty() && !jconvert::IsUtf8Name(written)) {
        std::fprintf(stderr,
                     "quire-kanji: warning: %s cannot hold %zu different characters of the file; "
                     "they are written as user-defined characters\n",
                     written.c_str(), read.CharTable->Size());
    }
    if (read.Unkept > 0)
        std::fprintf(stderr, "quire-kanji: warning: %zu characters found no code and are written as U+3013\n",
                     read.Unkept);
    if (!unsafe.empty()) {
        std::string offsets;
        for (const std::size_t u : unsafe) offsets += (offsets.empty() ? "" : ", ") + std::to_string(u);
        std::fprintf(stderr, "quire-kanji: warning: %s cannot hold the characters at byte offsets %s%s\n",
                     written.c_str(), offsets.c_str(), unsafe.size() == kShown ? " and maybe more" : "");
    }
    return tools::FinishOutput(kProgram) ? 0 : 1;
}
