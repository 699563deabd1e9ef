// libFuzzer target: the settings file's reader and writer on any bytes. Parsing and writing
// back gives the same bytes; a write changes only its own line (or adds its key, or its
// section and key) and reads back as written; a value the writer accepts never adds lines
// of its own; removing keys and sections leaves the other lines as they were.
//
// Input: one byte choosing the section and key, one byte giving the length of the value,
// the value (UTF-8), and the rest is the file.
#include "IniText.h"

#include <cstdint>
#include <cstdlib>

using quire::TIniText;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

// The lines of Before come back in After unchanged and in order, apart from at most one
// rewritten line (when nothing was added), Added new lines, and a line end given to
// Before's last line when a line came after it.
bool keptLines(const TIniText& before, const TIniText& after, int added) {
    const int n = before.LineCount();
    if (after.LineCount() != n + added) return false;
    auto same = [&](int b, int a) {
        const QByteArray x = before.LineBytes(b), y = after.LineBytes(a);
        if (x == y) return true;
        const bool unended = !x.endsWith('\n') && !x.endsWith('\r');
        return b == n - 1 && unended && (y == x + "\n" || y == x + "\r" || y == x + "\r\n");
    };
    int a = 0, inserted = 0, rewritten = 0;
    for (int b = 0; b < n; ++b) {
        if (a < after.LineCount() && same(b, a)) {
            ++a;
        } else if (inserted < added && a + 1 < after.LineCount() && same(b, a + 1)) {
            ++inserted;
            a += 2;
        } else if (added == 0 && rewritten == 0 && a < after.LineCount()) {
            ++rewritten;
            ++a;
        } else {
            return false;
        }
    }
    return true;
}

// What Value() gives for a line "key=Value".
QString readBack(const QString& value) {
    QString v = value.trimmed();
    if (v.size() >= 2 && ((v.startsWith('"') && v.endsWith('"')) || (v.startsWith('\'') && v.endsWith('\''))))
        v = v.mid(1, v.size() - 2);
    return v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    static const char* const sections[] = {"A", "App", "window", "Combo"};
    static const char* const keys[] = {"k", "Handle", "FileName", "serch0"};
    const QString section = QString::fromLatin1(sections[data[0] & 3]);
    const QString key = QString::fromLatin1(keys[(data[0] >> 2) & 3]);
    const size_t valueSize = std::min<size_t>(data[1], size - 2);
    const QString value = QString::fromUtf8(reinterpret_cast<const char*>(data + 2), qsizetype(valueSize));
    const QByteArray bytes(reinterpret_cast<const char*>(data + 2 + valueSize), qsizetype(size - 2 - valueSize));

    const TIniText before(bytes);
    check(before.Bytes() == bytes);

    if (TIniText::WriteProblem(section, key, value).isEmpty()) {
        check(!value.contains('\n') && !value.contains('\r') && !value.contains(QChar(0)));
        TIniText after = before;
        const bool hadSection = before.HasSection(section);
        const bool hadKey = before.Value(section, key).has_value();
        const bool changed = after.SetValue(section, key, value);
        const int added = hadKey ? 0 : hadSection ? 1 : 2;
        check(changed || added == 0);
        check(keptLines(before, after, changed ? added : 0));
        check(after.Value(section, key) == readBack(value));
        const TIniText reread(after.Bytes());
        check(reread.Bytes() == after.Bytes());
        check(reread.Value(section, key) == readBack(value));
    }

    TIniText removed = before;
    if (removed.RemoveKey(section, key)) check(keptLines(removed, before, 1));
    removed = before;
    if (removed.RemoveSection(section)) check(removed.LineCount() < before.LineCount());
    return 0;
}
