// TIniText: ini lines that keep their own bytes.
#include "IniText.h"

#include "Cp932Codec.h"

#include <QStringDecoder>

namespace quire {

namespace {

const QByteArray kBom = QByteArrayLiteral("\xEF\xBB\xBF");

QString decode(const QByteArray& raw) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(raw);
    if (utf8.hasError()) text = cp932::ToUnicode(std::string_view(raw.constData(), static_cast<size_t>(raw.size())));
    return text;
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

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

QString valueOf(const QString& line) {
    QString v = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    if (v.size() >= 2 && ((v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"'))) ||
                          (v.startsWith(QLatin1Char('\'')) && v.endsWith(QLatin1Char('\''))))) {
        v = v.mid(1, v.size() - 2);
    }
    return v;
}

bool hasLineBreakOrNul(const QString& s) {
    return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n')) || s.contains(QChar(0));
}

} // namespace

TIniText::TIniText(const QByteArray& Bytes) {
    qsizetype at = 0;
    if (Bytes.startsWith(kBom)) {
        FBom = kBom;
        at = kBom.size();
    }
    bool endSeen = false;
    while (at < Bytes.size()) {
        qsizetype stop = at;
        while (stop < Bytes.size() && Bytes[stop] != '\r' && Bytes[stop] != '\n') ++stop;
        TLine line;
        line.Raw = Bytes.mid(at, stop - at);
        qsizetype next = stop;
        if (next < Bytes.size() && Bytes[next] == '\r') ++next;
        if (next < Bytes.size() && Bytes[next] == '\n') ++next;
        line.End = Bytes.mid(stop, next - stop);
        line.Text = decode(line.Raw);
        if (!endSeen && !line.End.isEmpty()) {
            FLineEnd = line.End;
            endSeen = true;
        }
        FLines.push_back(std::move(line));
        at = next;
    }
}

QByteArray TIniText::Bytes() const {
    QByteArray out = FBom;
    for (const TLine& l : FLines) out += l.Raw + l.End;
    return out;
}

QByteArray TIniText::LineBytes(int Index) const {
    const TLine& l = FLines.at(static_cast<size_t>(Index));
    return l.Raw + l.End;
}

std::optional<TIniText::TRange> TIniText::FindSection(const QString& Name) const {
    const int count = LineCount();
    for (int i = 0; i < count; ++i) {
        const auto s = sectionName(FLines[static_cast<size_t>(i)].Text);
        if (!s || !sameName(*s, Name)) continue;
        int end = i + 1;
        while (end < count && !sectionName(FLines[static_cast<size_t>(end)].Text)) ++end;
        return TRange{i, i + 1, end};
    }
    return std::nullopt;
}

int TIniText::FindKey(const TRange& R, const QString& Key) const {
    for (int i = R.First; i < R.End; ++i) {
        const auto k = keyName(FLines[static_cast<size_t>(i)].Text);
        if (k && sameName(*k, Key)) return i;
    }
    return -1;
}

std::optional<QString> TIniText::Value(const QString& Section, const QString& Key) const {
    const auto r = FindSection(Section);
    if (!r) return std::nullopt;
    const int i = FindKey(*r, Key);
    if (i < 0) return std::nullopt;
    return valueOf(FLines[static_cast<size_t>(i)].Text);
}

bool TIniText::HasSection(const QString& Section) const { return FindSection(Section).has_value(); }

QString TIniText::WriteProblem(const QString& Section, const QString& Key, const QString& Value) {
    if (hasLineBreakOrNul(Section) || hasLineBreakOrNul(Key) || hasLineBreakOrNul(Value))
        return QStringLiteral("改行文字（CR、LF）や NUL 文字は書き込めません");
    if (Section.isEmpty() || Section != Section.trimmed() || Section.contains(QLatin1Char(']')))
        return QStringLiteral("セクション名「%1」は使えません").arg(Section);
    if (Key.isEmpty() || Key != Key.trimmed() || Key.contains(QLatin1Char('=')) || Key.startsWith(QLatin1Char(';')) ||
        Key.startsWith(QLatin1Char('[')))
        return QStringLiteral("キー名「%1」は使えません").arg(Key);
    return {};
}

void TIniText::InsertLine(int At, const QString& Text) {
    // The line before a new last line needs an end of its own.
    if (At == LineCount() && At > 0 && FLines.back().End.isEmpty()) FLines.back().End = FLineEnd;
    FLines.insert(FLines.begin() + At, TLine{Text.toUtf8(), FLineEnd, Text});
}

bool TIniText::SetValue(const QString& Section, const QString& Key, const QString& Value) {
    const QString text = Key + QLatin1Char('=') + Value;
    const auto r = FindSection(Section);
    if (!r) {
        InsertLine(LineCount(), QLatin1Char('[') + Section + QLatin1Char(']'));
        InsertLine(LineCount(), text);
        return true;
    }
    if (const int i = FindKey(*r, Key); i >= 0) {
        TLine& line = FLines[static_cast<size_t>(i)];
        if (line.Text == text) return false;
        line.Raw = text.toUtf8();
        line.Text = text;
        return true;
    }
    // After the section's last non-blank line, so that a blank separator stays below it.
    int at = r->End;
    while (at > r->First && FLines[static_cast<size_t>(at - 1)].Text.trimmed().isEmpty()) --at;
    InsertLine(at, text);
    return true;
}

bool TIniText::RemoveKey(const QString& Section, const QString& Key) {
    const auto r = FindSection(Section);
    if (!r) return false;
    const int i = FindKey(*r, Key);
    if (i < 0) return false;
    FLines.erase(FLines.begin() + i);
    return true;
}

bool TIniText::RemoveSection(const QString& Section) {
    const auto r = FindSection(Section);
    if (!r) return false;
    FLines.erase(FLines.begin() + r->Header, FLines.begin() + r->End);
    return true;
}

} // namespace quire
