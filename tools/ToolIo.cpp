// Input and output of the command-line tools.
#include "ToolIo.h"

#include "PathCodec.h"
#include "RegularFile.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quire::tools {

QStringList Arguments(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) args << DecodePath(QByteArray(argv[i]));
    return args;
}

QByteArray NameBytes(const QString& Path) { return EncodePath(Path); }

std::optional<QByteArray> ReadInput(const char* Program, const QString& Path) {
    const bool standardInput = Path == QLatin1String("-");
    TRegularFileRead read = standardInput ? ReadStandardInput(MaxTextFileSize) : ReadRegularFile(Path, MaxTextFileSize);
    if (read.Ok()) return std::move(read.Bytes);
    const QByteArray name = standardInput ? QByteArray("standard input") : NameBytes(Path);
    std::fprintf(stderr, "%s: %s: %s\n", Program, name.constData(),
                 ReadFailureText(read, MaxTextFileSize).toLocal8Bit().constData());
    return std::nullopt;
}

std::optional<int> AnswerHelpOrVersion(const char* Program, const QStringList& Args, void (*Usage)(std::FILE*)) {
    if (Args.isEmpty()) return std::nullopt;
    const QString& first = Args.first();
    if (first == QLatin1String("--help") || first == QLatin1String("-h"))
        Usage(stdout);
    else if (first == QLatin1String("--version"))
        std::printf("%s %s\n", Program, QUIRE_VERSION);
    else
        return std::nullopt;
    return FinishOutput(Program) ? 0 : 1;
}

bool FinishOutput(const char* Program) {
    errno = 0;
    const bool failedBefore = std::ferror(stdout) != 0;
    const bool flushFailed = std::fflush(stdout) != 0;
    int reason = errno;
    const bool closeFailed = std::fclose(stdout) != 0;
    if (closeFailed && reason == 0) reason = errno;
    if (!failedBefore && !flushFailed && !closeFailed) return true;
    std::fprintf(stderr, "%s: cannot write the output: %s\n", Program, reason ? std::strerror(reason) : "write error");
    return false;
}

} // namespace quire::tools
