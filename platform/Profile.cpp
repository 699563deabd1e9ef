// Private-profile (ini) files.
#include "Profile.h"

#include "Cp932Codec.h"
#include "PlatformError.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringConverter>
#include <QStringDecoder>
#include <optional>

namespace quire::profile {
namespace {

struct IniText {
    QStringList lines;
    QString lineEnd = QStringLiteral("\n");
};

IniText load(const QString& file) {
    IniText ini;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return ini;
    const QByteArray bytes = f.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) text = cp932::ToUnicode(std::string_view(bytes.constData(), bytes.size()));
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    if (text.contains(QLatin1String("\r\n"))) ini.lineEnd = QStringLiteral("\r\n");
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    ini.lines = text.split(QLatin1Char('\n'));
    if (!ini.lines.isEmpty() && ini.lines.last().isEmpty()) ini.lines.removeLast();
    return ini;
}

void save(const QString& file, const IniText& ini) {
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly)) {
        throw EPlatformError(QStringLiteral("Cannot write the settings file \"%1\": %2")
                                 .arg(file, f.errorString())
                                 .toStdString());
    }
    QString text;
    for (const QString& line : ini.lines) text += line + ini.lineEnd;
    f.write(text.toUtf8());
    if (!f.commit()) {
        throw EPlatformError(QStringLiteral("Cannot write the settings file \"%1\": %2")
                                 .arg(file, f.errorString())
                                 .toStdString());
    }
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<QString> sectionName(const QString& line) {
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('['))) return std::nullopt;
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0) return std::nullopt;
    return t.mid(1, close - 1).trimmed();
}

// The key of a "key=value" line, or nothing for comments and other lines.
std::optional<QString> keyName(const QString& line) {
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char(';'))) return std::nullopt;
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq < 0) return std::nullopt;
    return t.left(eq).trimmed();
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Lines [First, End) of the first section called Name: First is the line after its
// header. Nothing when there is no such section.
struct Range {
    qsizetype header;
    qsizetype first;
    qsizetype end;
};

std::optional<Range> findSection(const QStringList& lines, const QString& name) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto s = sectionName(lines[i]);
        if (!s || !sameName(*s, name)) continue;
        qsizetype end = i + 1;
        while (end < lines.size() && !sectionName(lines[end])) ++end;
        return Range{i, i + 1, end};
    }
    return std::nullopt;
}

qsizetype findKey(const QStringList& lines, const Range& r, const QString& key) {
    for (qsizetype i = r.first; i < r.end; ++i) {
        const auto k = keyName(lines[i]);
        if (k && sameName(*k, key)) return i;
    }
    return -1;
}

QString valueOf(const QString& line) {
    QString v = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    if (v.size() >= 2 && ((v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"'))) ||
                          (v.startsWith(QLatin1Char('\'')) && v.endsWith(QLatin1Char('\''))))) {
        v = v.mid(1, v.size() - 2);
    }
    return v;
}

} // namespace

QString ReadString(const QString& file, const QString& section, const QString& key,
                   const QString& defaultValue) {
    const IniText ini = load(file);
    const auto r = findSection(ini.lines, section);
    if (!r) return defaultValue;
    const qsizetype i = findKey(ini.lines, *r, key);
    return i < 0 ? defaultValue : valueOf(ini.lines[i]);
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

void WriteString(const QString& file, const QString& section, const QString& key,
                 const QString& value) {
    IniText ini = load(file);
    const QString line = key + QLatin1Char('=') + value;
    const auto r = findSection(ini.lines, section);
    if (!r) {
        ini.lines << (QLatin1Char('[') + section + QLatin1Char(']')) << line;
    } else if (const qsizetype i = findKey(ini.lines, *r, key); i >= 0) {
        if (ini.lines[i] == line) return;
        ini.lines[i] = line;
    } else {
        // After the section's last non-blank line, so that a blank separator stays below it.
        qsizetype at = r->end;
        while (at > r->first && ini.lines[at - 1].trimmed().isEmpty()) --at;
        ini.lines.insert(at, line);
    }
    save(file, ini);
}

void WriteInteger(const QString& file, const QString& section, const QString& key, int value) {
    WriteString(file, section, key, QString::number(value));
}

void WriteBool(const QString& file, const QString& section, const QString& key, bool value) {
    WriteString(file, section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void DeleteKey(const QString& file, const QString& section, const QString& key) {
    IniText ini = load(file);
    const auto r = findSection(ini.lines, section);
    if (!r) return;
    const qsizetype i = findKey(ini.lines, *r, key);
    if (i < 0) return;
    ini.lines.removeAt(i);
    save(file, ini);
}

void EraseSection(const QString& file, const QString& section) {
    IniText ini = load(file);
    const auto r = findSection(ini.lines, section);
    if (!r) return;
    ini.lines.remove(r->header, r->end - r->header);
    save(file, ini);
}

bool SectionExists(const QString& file, const QString& section) {
    return findSection(load(file).lines, section).has_value();
}

} // namespace quire::profile
