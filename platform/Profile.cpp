// Private-profile (ini) files.
#include "Profile.h"

#include "SafeFile.h"

#include "IniText.h"
#include "PlatformError.h"
#include "RegularFile.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <map>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace quire::profile {
namespace {

// Settings files are small; anything larger is not one of ours and is left alone.
constexpr qint64 MaxSettingsSize = qint64(16) << 20;

// A file registered with KeepInMemoryWhenUnwritable. Memory holds its text while the
// disk cannot take it; Told says the user has heard of the current failure.
struct TKeptFile {
    std::function<void(const QString&)> Report;
    std::optional<QByteArray> Memory;
    bool Told = false;
};

// Used by the program's one thread only.
std::map<QString, TKeptFile>& keptFiles() {
    static std::map<QString, TKeptFile> files;
    return files;
}

TKeptFile* kept(const QString& file) {
    auto it = keptFiles().find(file);
    return it == keptFiles().end() ? nullptr : &it->second;
}

QString unwritableMessage(const QString& file, const QString& why) {
    return QStringLiteral("設定ファイル \"%1\" に書き込めません: %2").arg(file, why);
}

// The copies of the files a TBatch holds open. Used by the program's one thread only.
struct TBatchCopy {
    TIniText Ini;
    bool Changed = false;
};

std::map<QString, TBatchCopy>& batches() {
    static std::map<QString, TBatchCopy> open;
    return open;
}

const TIniText* batchCopy(const QString& file) {
    const auto it = batches().find(file);
    return it == batches().end() ? nullptr : &it->second.Ini;
}

TIniText load(const QString& file) {
    if (const TIniText* copy = batchCopy(file)) return *copy;
    if (const TKeptFile* k = kept(file); k && k->Memory) return TIniText(*k->Memory);
    const TRegularFileRead read = ReadRegularFile(file, MaxSettingsSize);
    return TIniText(read.Bytes);
}

// Why the file at Path must not be replaced: something that is there but could not be read
// as a settings file (a folder, a FIFO, a file too large or unreadable) would be lost.
QString replaceProblem(const QString& path) {
    struct stat st {};
    const QByteArray name = QFile::encodeName(path);
    if (::stat(name.constData(), &st) != 0) return {};
    if (S_ISDIR(st.st_mode)) return QStringLiteral("同じ名前のフォルダーがあります");
    if (!S_ISREG(st.st_mode)) return QStringLiteral("通常のファイルではありません");
    if (st.st_size > MaxSettingsSize) return QStringLiteral("ファイルが大きすぎます");
    if (::access(name.constData(), R_OK) != 0) return SystemErrorText(errno);
    return {};
}

// Writes Bytes over File as a document is saved (a new file renamed into place once every
// write and the sync succeeded: Qt's QSaveFile ignores a failed sync); the error text, or
// empty when it is all on the disk.
QString writeFile(const QString& file, const QByteArray& bytes) {
    if (const QString problem = replaceProblem(file); !problem.isEmpty()) return problem;
    return WriteWholeFileReason(file, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void save(const QString& file, const TIniText& ini) {
    if (auto it = batches().find(file); it != batches().end()) {
        it->second.Ini = ini;
        it->second.Changed = true;
        return;
    }
    const QByteArray bytes = ini.Bytes();
    const QString error = writeFile(file, bytes);
    TKeptFile* k = kept(file);
    if (!k) {
        if (!error.isEmpty()) throw EPlatformError(unwritableMessage(file, error).toStdString());
        return;
    }
    if (error.isEmpty()) {
        k->Memory.reset();
        k->Told = false;
        return;
    }
    k->Memory = bytes;
    if (k->Told) return;
    k->Told = true;
    k->Report(unwritableMessage(file, error) +
              QStringLiteral("\r\r設定の変更はこのまま使えますが、終了すると失われます。"));
}

} // namespace

QString ReadString(const QString& file, const QString& section, const QString& key, const QString& defaultValue) {
    return load(file).Value(section, key).value_or(defaultValue);
}

int ReadInteger(const QString& file, const QString& section, const QString& key, int defaultValue) {
    const QString s = ReadString(file, section, key).trimmed();
    if (s.isEmpty()) return defaultValue;
    bool ok = false;
    int value = 0;
    QString digits = s;
    bool negative = false;
    if (digits.startsWith(QLatin1Char('-'))) {
        negative = true;
        digits = digits.mid(1);
    } else if (digits.startsWith(QLatin1Char('+'))) {
        digits = digits.mid(1);
    }
    if (digits.startsWith(QLatin1Char('$'))) {
        value = static_cast<int>(digits.mid(1).toUInt(&ok, 16));
    } else if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        value = static_cast<int>(digits.mid(2).toUInt(&ok, 16));
    } else {
        value = digits.toInt(&ok, 10);
    }
    if (!ok) return defaultValue;
    return negative ? -value : value;
}

bool ReadBool(const QString& file, const QString& section, const QString& key, bool defaultValue) {
    return ReadInteger(file, section, key, defaultValue ? 1 : 0) != 0;
}

void WriteString(const QString& file, const QString& section, const QString& key, const QString& value) {
    if (const QString problem = TIniText::WriteProblem(section, key, value); !problem.isEmpty()) {
        throw EPlatformError(QStringLiteral("設定ファイル \"%1\" の [%2] %3 に書き込めません: %4")
                                 .arg(file, section, key, problem)
                                 .toStdString());
    }
    TIniText ini = load(file);
    if (ini.SetValue(section, key, value)) save(file, ini);
}

void WriteInteger(const QString& file, const QString& section, const QString& key, int value) {
    WriteString(file, section, key, QString::number(value));
}

void WriteBool(const QString& file, const QString& section, const QString& key, bool value) {
    WriteString(file, section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void DeleteKey(const QString& file, const QString& section, const QString& key) {
    TIniText ini = load(file);
    if (ini.RemoveKey(section, key)) save(file, ini);
}

void EraseSection(const QString& file, const QString& section) {
    TIniText ini = load(file);
    if (ini.RemoveSection(section)) save(file, ini);
}

bool SectionExists(const QString& file, const QString& section) { return load(file).HasSection(section); }

TBatch::TBatch(const QString& File) : FFile(File) {
    if (batches().count(File)) return; // the batch already open writes
    TIniText ini = load(File);
    batches().emplace(File, TBatchCopy{std::move(ini), false});
    FOwner = true;
}

TBatch::~TBatch() {
    if (FOwner) batches().erase(FFile);
}

void TBatch::Commit() {
    if (!FOwner) return;
    FOwner = false;
    TBatchCopy copy = std::move(batches().at(FFile));
    batches().erase(FFile);
    if (copy.Changed) save(FFile, copy.Ini);
}

void KeepInMemoryWhenUnwritable(const QString& File, std::function<void(const QString& Message)> Report) {
    if (!Report) {
        keptFiles().erase(File);
        return;
    }
    keptFiles()[File].Report = std::move(Report);
}

} // namespace quire::profile
