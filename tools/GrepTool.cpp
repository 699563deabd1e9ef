// quire-grep: searches files for a text or a regular expression, each file read in its own
// kanji code (Shift_JIS, EUC, JIS, UTF-8, UTF-16) as the editor reads it.
//
//   quire-grep [-r] [-i] [-w] [-e|--regex] [--include GLOB]... PATTERN PATH...
//
// Each match is a line path:line:column:[code] text in UTF-8 (line and column from 1, the
// column in characters). Binary files are passed over. Exit status 0 when something matched,
// 1 when nothing did, 2 after an error (a file that could not be read, a bad pattern).
#include "GrepRun.h"
#include "ToolIo.h"

#include <QCoreApplication>
#include <cstdio>
#include <optional>

using namespace quire;

namespace {

const char* const kProgram = "quire-grep";

void printUsage(std::FILE* To) {
    std::fprintf(To, "usage: quire-grep [-r] [-i] [-w] [-e|--regex] [--include GLOB]... PATTERN PATH...\n"
                     "       quire-grep --help | --version\n"
                     "  -r            search folders and their subfolders\n"
                     "  -i            ignore case (ASCII, full-width, Greek, Cyrillic letters)\n"
                     "  -w            match whole words only\n"
                     "  -e, --regex   PATTERN is a regular expression (PCRE2, over characters)\n"
                     "  --include GLOB  search only files whose name fits GLOB in the folders\n"
                     "Prints path:line:column:[code] text for each match, in UTF-8.\n");
}

struct TCommand {
    TGrepOptions Options;
    QStringList Paths;
};

// The options and operands; nothing when they are not understood.
std::optional<TCommand> parse(const QStringList& Args) {
    TCommand c;
    c.Options.MatchCase = true;
    c.Options.Recursive = false;
    c.Options.NamedFolders = false;
    bool pattern = false, options = true;
    for (int i = 0; i < Args.size(); ++i) {
        const QString& a = Args[i];
        if (options && a == QLatin1String("--")) {
            options = false;
        } else if (options && (a == QLatin1String("--regex"))) {
            c.Options.RegExp = true;
        } else if (options && a == QLatin1String("--include")) {
            if (++i >= Args.size()) return std::nullopt;
            c.Options.Globs << Args[i];
        } else if (options && a.startsWith(QLatin1String("--include="))) {
            c.Options.Globs << a.mid(10);
        } else if (options && a.startsWith(u'-') && a.size() > 1 && !a.startsWith(QLatin1String("--"))) {
            for (const QChar f : a.mid(1)) {
                if (f == u'r')
                    c.Options.Recursive = c.Options.NamedFolders = true;
                else if (f == u'i')
                    c.Options.MatchCase = false;
                else if (f == u'w')
                    c.Options.WholeWord = true;
                else if (f == u'e')
                    c.Options.RegExp = true;
                else
                    return std::nullopt;
            }
        } else if (options && a.startsWith(QLatin1String("--"))) {
            return std::nullopt;
        } else if (!pattern) {
            c.Options.Pattern = a;
            pattern = true;
        } else {
            c.Paths << a;
        }
    }
    if (!pattern || c.Paths.isEmpty()) return std::nullopt;
    return c;
}

// Why a file was not searched, for standard error; empty for a binary file (passed over).
QString problemOf(const TGrepFileResult& R) {
    switch (R.Skipped) {
    case TGrepSkip::Folder: return QStringLiteral("is a folder (search folders with -r)");
    case TGrepSkip::TooLarge:
    case TGrepSkip::Unreadable: {
        TRegularFileRead read;
        read.Failure = R.Failure;
        read.Errno = R.Errno;
        const QString why = ReadFailureText(read, MaxTextFileSize);
        return R.Skipped == TGrepSkip::TooLarge ? why + QStringLiteral(", not searched") : why;
    }
    case TGrepSkip::None:
    case TGrepSkip::Binary: break;
    }
    return {};
}

void print(const TGrepFileResult& R) {
    const QByteArray name = tools::NameBytes(R.Path);
    for (const TGrepHit& hit : R.Hits) {
        const QByteArray text = R.Lines[hit.Text].toUtf8();
        std::printf("%s:%d:%d:[%s] %s\n", name.constData(), hit.Line, hit.Column, R.Code.c_str(), text.constData());
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = tools::Arguments(argc, argv);
    if (const auto status = tools::AnswerHelpOrVersion(kProgram, args, printUsage)) return *status;
    const auto command = parse(args);
    if (!command) {
        printUsage(stderr);
        return 2;
    }
    const TGrepQuery query(command->Options);
    if (command->Options.Pattern.isEmpty()) {
        std::fprintf(stderr, "%s: the pattern is empty\n", kProgram);
        return 2;
    }
    if (const TRegexPattern* p = query.Regex(); p && !p->Valid()) {
        std::fprintf(stderr, "%s: bad regular expression at character %d: %s\n", kProgram, p->ErrorColumn(),
                     p->EngineError().toUtf8().constData());
        return 2;
    }
    TGrepRun run(query);
    bool failed = false;
    run.OnFile = [&failed](const TGrepFileResult& R) {
        if (const QString why = problemOf(R); !why.isEmpty()) {
            std::fflush(stdout);
            std::fprintf(stderr, "%s: %s: %s\n", kProgram, tools::NameBytes(R.Path).constData(),
                         why.toUtf8().constData());
            failed = true;
        }
        print(R);
    };
    run.Run(command->Paths);
    if (!tools::FinishOutput(kProgram) || failed) return 2;
    return run.Counts().Hits > 0 ? 0 : 1;
}
