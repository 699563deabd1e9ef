// quire-kanji: converts files the way the editor reads and writes them.
//
//   quire-kanji --guess FILE...   the code and line end the editor would show
//   quire-kanji --detect FILE...  the detection result 0-6
//   quire-kanji [--code S-JIS|JIS|EUC] [--eol CRLF|CR|LF] [--no-library] FILE
//                                 the bytes the editor would write when saving FILE unchanged
#include "KanjiFile.h"
#include "PlatformError.h"
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
    std::fprintf(stderr,
                 "usage: quire-kanji --guess FILE... | --detect FILE... |\n"
                 "       quire-kanji [--code S-JIS|JIS|EUC] [--eol CRLF|CR|LF] [--no-library] FILE\n");
    return 2;
}

bool readBytes(const QString& path, QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: %s\n", QFile::encodeName(path).constData(), f.errorString().toLocal8Bit().constData());
        return false;
    }
    bytes = f.readAll();
    return true;
}

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
            QByteArray bytes;
            if (!readBytes(file, bytes)) {
                status = 1;
                continue;
            }
            const QByteArray name = QFile::encodeName(file);
            if (guess) {
                const TKanjiText t = GuessKanjiText(view(bytes));
                std::printf("%s: %s %s\n", name.constData(), t.KanjiCode.c_str(),
                            t.LineEndCode.value_or(jconvert::kCrLfName).c_str());
            } else {
                std::printf("%s: %d\n", name.constData(), jconvert::DetectKanjiCode(view(bytes)));
            }
        }
        return status;
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

    QByteArray bytes;
    if (!readBytes(file, bytes)) return 1;
    // As the editor reads the file into its line store and saves it, without holding the
    // text whole: the pieces go out as they are made.
    const std::string written = code.isEmpty() ? GuessKanjiText(view(bytes)).KanjiCode : code.toStdString();
    const bool checked = written == jconvert::kJisName || written == jconvert::kEucName;
    std::vector<std::size_t> unsafe;
    auto inspect = [&](std::string_view text, std::size_t offset) {
        for (const auto& u : jconvert::FindJisUnsafeChars(text, 5 - unsafe.size())) unsafe.push_back(offset + u.Offset);
    };
    auto output = [](std::string_view s) { std::fwrite(s.data(), 1, s.size(), stdout); };
    ResaveKanjiText(view(bytes), written, eol.toStdString(), converter, output,
                    checked ? std::function<void(std::string_view, std::size_t)>([&](std::string_view t, std::size_t o) {
                        if (unsafe.size() < 5) inspect(t, o);
                    })
                            : nullptr);
    if (!unsafe.empty()) {
        std::string offsets;
        for (const std::size_t u : unsafe) offsets += (offsets.empty() ? "" : ", ") + std::to_string(u);
        std::fprintf(stderr, "quire-kanji: warning: %s cannot hold the characters at byte offsets %s%s\n",
                     written.c_str(), offsets.c_str(), unsafe.size() == 5 ? " and maybe more" : "");
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
