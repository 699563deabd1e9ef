#include "ShellLink.h"

#include "Cp932Codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <optional>
#include <string_view>

namespace quire {

namespace {

// The fixed header of a shortcut file: its size, then the class id of shell links.
constexpr uint32_t HeaderSize = 0x4C;
constexpr unsigned char LinkClassId[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                           0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
// Shortcut files are small; anything much larger is not one.
constexpr qint64 MaxLinkSize = 1 << 20;

enum : uint32_t {
    HasTargetIdList = 0x01,
    HasLinkInfo = 0x02,
    HasName = 0x04,
    HasRelativePath = 0x08,
    IsUnicode = 0x80,
};

// Bounds-checked little-endian reading of the file's bytes.
class Reader {
public:
    explicit Reader(std::string_view data) : FData(data) {}
    std::optional<uint32_t> U16(size_t at) const {
        if (at + 2 > FData.size()) return std::nullopt;
        return uint32_t(uint8_t(FData[at])) | uint32_t(uint8_t(FData[at + 1])) << 8;
    }
    std::optional<uint32_t> U32(size_t at) const {
        auto lo = U16(at), hi = U16(at + 2);
        if (!lo || !hi) return std::nullopt;
        return *lo | *hi << 16;
    }
    // A NUL-terminated code page 932 string at At, not going past End.
    std::optional<QString> Ansi(size_t at, size_t end) const {
        end = std::min(end, FData.size());
        if (at >= end) return std::nullopt;
        const size_t nul = FData.find('\0', at);
        if (nul == std::string_view::npos || nul >= end) return std::nullopt;
        return cp932::ToUnicode(FData.substr(at, nul - at));
    }
    // A NUL-terminated UTF-16 string at At, not going past End.
    std::optional<QString> Wide(size_t at, size_t end) const {
        QString s;
        for (size_t i = at; i + 2 <= std::min(end, FData.size()); i += 2) {
            const char16_t c = char16_t(*U16(i));
            if (c == 0) return s;
            s.append(QChar(c));
        }
        return std::nullopt;
    }
    size_t Size() const { return FData.size(); }

private:
    std::string_view FData;
};

} // namespace

std::optional<ShellLinkPaths> ParseShellLink(std::string_view data) {
    const Reader r(data);
    if (r.U32(0) != HeaderSize || data.size() < HeaderSize) return std::nullopt;
    if (data.substr(4, 16) != std::string_view(reinterpret_cast<const char*>(LinkClassId), 16)) return std::nullopt;
    const uint32_t flags = *r.U32(20);
    size_t at = HeaderSize;
    ShellLinkPaths paths;
    if (flags & HasTargetIdList) {
        const auto size = r.U16(at);
        if (!size) return std::nullopt;
        at += 2 + *size;
    }
    if (flags & HasLinkInfo) {
        const auto size = r.U32(at), headerSize = r.U32(at + 4), infoFlags = r.U32(at + 8);
        const auto baseOffset = r.U32(at + 16), suffixOffset = r.U32(at + 24);
        if (!size || !headerSize || !infoFlags || !baseOffset || !suffixOffset || *size < 28) return std::nullopt;
        const size_t end = at + *size;
        if (*infoFlags & 1) { // a volume and a local base path are present
            QString base, suffix;
            if (*headerSize >= 0x24) {
                const auto wideBase = r.U32(at + 28), wideSuffix = r.U32(at + 32);
                if (wideBase && *wideBase) base = r.Wide(at + *wideBase, end).value_or(QString());
                if (wideSuffix && *wideSuffix) suffix = r.Wide(at + *wideSuffix, end).value_or(QString());
            }
            if (base.isEmpty()) base = r.Ansi(at + *baseOffset, end).value_or(QString());
            if (suffix.isEmpty()) suffix = r.Ansi(at + *suffixOffset, end).value_or(QString());
            if (!base.isEmpty() && !suffix.isEmpty() && !base.endsWith(QLatin1Char('\\'))) base += QLatin1Char('\\');
            paths.Local = base + suffix;
        }
        at = end;
    }
    // The string data that follows: a count of characters, then the characters.
    auto readString = [&](std::optional<QString>& out) {
        const auto count = r.U16(at);
        if (!count) return false;
        at += 2;
        const size_t bytes = (flags & IsUnicode) ? size_t(*count) * 2 : *count;
        if (at + bytes > r.Size()) return false;
        QString s;
        if (flags & IsUnicode)
            for (size_t i = 0; i < *count; ++i) s.append(QChar(char16_t(*r.U16(at + 2 * i))));
        else
            s = cp932::ToUnicode(data.substr(at, bytes));
        at += bytes;
        out = s;
        return true;
    };
    std::optional<QString> name, relative;
    if ((flags & HasName) && !readString(name)) return paths.Local.isEmpty() ? std::nullopt : std::optional(paths);
    if ((flags & HasRelativePath) && readString(relative)) paths.Relative = *relative;
    if (paths.Local.isEmpty() && paths.Relative.isEmpty()) return std::nullopt;
    return paths;
}

namespace {

QString Slashes(QString path) {
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

} // namespace

ShellLinkTarget ResolveShellLink(const QString& LinkPath) {
    const QFileInfo info(LinkPath);
    if (info.isSymLink()) {
        const QString target = info.symLinkTarget();
        if (QFileInfo(target).isFile()) return {target, {}};
        return {{}, QStringLiteral("ショートカットの参照先がありません: ") + target};
    }
    QFile file(LinkPath);
    if (info.size() > MaxLinkSize || !file.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("ショートカットを読めません: ") + LinkPath};
    const QByteArray bytes = file.readAll();
    const auto paths = ParseShellLink(std::string_view(bytes.constData(), size_t(bytes.size())));
    if (!paths) return {{}, QStringLiteral("ショートカットの参照先を取得できません: ") + LinkPath};
    if (!paths->Local.isEmpty() && QFileInfo(Slashes(paths->Local)).isFile()) return {Slashes(paths->Local), {}};
    if (!paths->Relative.isEmpty()) {
        const QString candidate = QDir::cleanPath(info.absolutePath() + QLatin1Char('/') + Slashes(paths->Relative));
        if (QFileInfo(candidate).isFile()) return {candidate, {}};
    }
    const QString named = paths->Local.isEmpty() ? paths->Relative : paths->Local;
    return {{}, QStringLiteral("ショートカットの参照先がありません: ") + named};
}

} // namespace quire
