// File names as bytes.
#include "PathCodec.h"

#include "Cp932Codec.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quire {

namespace {

constexpr char16_t kEscape = 0xDC00; // byte B of no UTF-8 character decodes to kEscape + B

// The length of the valid UTF-8 character at P (1 to 4), or 0 when none starts there.
int utf8Length(const unsigned char* p, const unsigned char* end) {
    const unsigned c = p[0];
    int n;
    unsigned min;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF)
        n = 2, min = 0x80;
    else if (c >= 0xE0 && c <= 0xEF)
        n = 3, min = 0x800;
    else if (c >= 0xF0 && c <= 0xF4)
        n = 4, min = 0x10000;
    else
        return 0;
    if (end - p < n) return 0;
    unsigned v = c & (0x3F >> (n - 1));
    for (int k = 1; k < n; ++k) {
        if ((p[k] & 0xC0) != 0x80) return 0;
        v = (v << 6) | (p[k] & 0x3F);
    }
    if (v < min || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return 0;
    return n;
}

bool statOf(const QString& path, struct stat& st) { return ::stat(EncodePath(path).constData(), &st) == 0; }

} // namespace

QString DecodePath(const QByteArray& Bytes) {
    QString out;
    out.reserve(Bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(Bytes.constData());
    const auto* end = p + Bytes.size();
    while (p < end) {
        const int n = utf8Length(p, end);
        if (n == 0) {
            out.append(QChar(static_cast<char16_t>(kEscape + *p)));
            ++p;
        } else {
            out.append(QString::fromUtf8(reinterpret_cast<const char*>(p), n));
            p += n;
        }
    }
    return out;
}

QByteArray EncodePath(const QString& Path) {
    QByteArray out;
    out.reserve(Path.size());
    for (qsizetype i = 0; i < Path.size(); ++i) {
        const char16_t u = Path[i].unicode();
        if (u >= kEscape + 0x80 && u <= kEscape + 0xFF) {
            out.append(static_cast<char>(u - kEscape));
        } else if (QChar::isHighSurrogate(u) && i + 1 < Path.size() && Path[i + 1].isLowSurrogate()) {
            out.append(Path.mid(i, 2).toUtf8());
            ++i;
        } else {
            out.append(QString(QChar(u)).toUtf8());
        }
    }
    return out;
}

QString DisplayPath(const QString& Path) {
    bool escaped = false;
    for (QChar c : Path) escaped = escaped || (c.unicode() >= kEscape + 0x80 && c.unicode() <= kEscape + 0xFF);
    if (!escaped) return Path;
    // Component by component: a name of escapes is shown as the Shift_JIS it most likely is.
    QStringList parts = Path.split(QLatin1Char('/'));
    for (QString& part : parts) {
        const QByteArray bytes = EncodePath(part);
        const QString sjis = cp932::ToDisplay(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        if (QString::fromUtf8(bytes).contains(QChar(0xFFFD)))
            part = sjis.contains(QChar(0xFFFD)) ? QString::fromUtf8(bytes) : sjis;
    }
    return parts.join(QLatin1Char('/'));
}

QString ResolveLossyPath(const QString& Path) {
    if (!Path.contains(QChar(0xFFFD)) || PathExists(Path)) return Path;
    const QFileInfo info(Path);
    const QString folder = ResolveLossyPath(info.path());
    DIR* dir = ::opendir(EncodePath(folder).constData());
    if (!dir) return Path;
    QString found;
    int matches = 0;
    while (const dirent* e = ::readdir(dir)) {
        const QByteArray name(e->d_name);
        if (QString::fromUtf8(name) == info.fileName()) {
            found = DecodePath(name);
            ++matches;
        }
    }
    ::closedir(dir);
    return matches == 1 ? QDir(folder).filePath(found) : Path;
}

bool PathExists(const QString& Path) {
    struct stat st {};
    return statOf(Path, st);
}

bool IsRegularFile(const QString& Path) {
    struct stat st {};
    return statOf(Path, st) && S_ISREG(st.st_mode);
}

bool IsFolder(const QString& Path) {
    struct stat st {};
    return statOf(Path, st) && S_ISDIR(st.st_mode);
}

bool IsReadable(const QString& Path) { return ::access(EncodePath(Path).constData(), R_OK) == 0; }

qint64 FileSize(const QString& Path) {
    struct stat st {};
    return statOf(Path, st) ? static_cast<qint64>(st.st_size) : 0;
}

QString CanonicalPath(const QString& Path) {
    char resolved[PATH_MAX];
    if (!::realpath(EncodePath(Path).constData(), resolved)) return {};
    return DecodePath(QByteArray(resolved));
}

bool MakeFolders(const QString& Path) {
    const QByteArray bytes = EncodePath(QDir::cleanPath(Path));
    for (qsizetype i = 1; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes[i] != '/') continue;
        const QByteArray part = bytes.left(i);
        if (::mkdir(part.constData(), 0777) != 0 && errno != EEXIST) return false;
    }
    return IsFolder(Path);
}

bool RemoveFile(const QString& Path) { return ::unlink(EncodePath(Path).constData()) == 0; }

} // namespace quire
