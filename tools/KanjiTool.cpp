// quire-kanji: converts files the way the editor reads and writes them.
//
//   quire-kanji --guess FILE...   the code and line end the editor would show
//   quire-kanji --detect FILE...  the detection result 0-6
//   quire-kanji [--code S-JIS|JIS|EUC] [--eol CRLF|CR|LF] [--no-library] FILE
//                                 the bytes the editor would write when saving FILE unchanged
// FILE "-" is standard input. Only regular files of at most 1 GB are read; a failed read or
// write is a message on standard error and exit status 1.
#include "EditorScreenStrings.h"
#include "KanjiFile.h"
#include "PlatformError.h"
#include "ToolIo.h"
#include "jconvert.h"
#include "nkf.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <string>
#include <vector>

using namespace quire;

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: quire-kanji --guess FILE... | --detect FILE... |\n"
                 "       quire-kanji [--code S-JIS|JIS|EUC] [--eol CRLF|CR|LF] [--no-library] FILE\n");
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
                const TKanjiText t = DecodeKanjiText(view(bytes), TConverter::Own);
                std::printf("%s: %s %s\n", name.constData(), t.KanjiCode.c_str(),
                            t.LineEndCode.value_or(jconvert::kCrLfName).c_str());
            } else {
                std::printf("%s: %d\n", name.constData(), jconvert::DetectKanjiCode(view(bytes)));
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
            if (code != "S-JIS" && code != "JIS" && code != "EUC") return usage();
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
    const TKanjiText read = DecodeKanjiText(view(*bytes), converter);
    // Through the line store, as the editor holds the text.
    TEditorScreenStrings store;
    store.SetTextStr(read.Text);
    const std::string text = store.GetTextStr();
    const std::string codeName = code.isEmpty() ? read.KanjiCode : code.toStdString();
    const std::string eolName = eol.isEmpty() ? read.LineEndCode.value_or(jconvert::kCrLfName) : eol.toStdString();
    if (codeName == jconvert::kJisName || codeName == jconvert::kEucName) {
        const auto unsafe = jconvert::FindJisUnsafeChars(text, 5);
        if (!unsafe.empty()) {
            std::string offsets;
            for (const auto& u : unsafe) offsets += (offsets.empty() ? "" : ", ") + std::to_string(u.Offset);
            std::fprintf(stderr, "quire-kanji: warning: %s cannot hold the characters at byte offsets %s%s\n",
                         codeName.c_str(), offsets.c_str(), unsafe.size() == 5 ? " and maybe more" : "");
        }
    }
    const std::string out = EncodePage(text, codeName, eolName, converter);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return tools::FinishOutput(kProgram) ? 0 : 1;
}
