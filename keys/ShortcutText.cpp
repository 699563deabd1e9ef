// Shortcut texts: the key names and their conversion.
#include "ShortcutText.h"

#include <vector>

namespace quire {
namespace {

struct TKeyName {
    QString Name;
    Qt::Key Key;
};

// Every key that has a name, in the order of the dialog's key list. Names and keys are both
// unique, so the table converts either way.
const std::vector<TKeyName>& keyTable() {
    static const std::vector<TKeyName> table = [] {
        std::vector<TKeyName> t;
        for (int i = 0; i < 12; ++i) t.push_back({QStringLiteral("F%1").arg(i + 1), Qt::Key(Qt::Key_F1 + i)});
        const std::pair<const char*, Qt::Key> named[] = {
            {"Tab", Qt::Key_Tab},        {"Home", Qt::Key_Home},     {"End", Qt::Key_End},     {"Space", Qt::Key_Space},
            {"BkSp", Qt::Key_Backspace}, {"Enter", Qt::Key_Return},  {"Ins", Qt::Key_Insert},  {"Del", Qt::Key_Delete},
            {"Up", Qt::Key_Up},          {"Down", Qt::Key_Down},     {"Right", Qt::Key_Right}, {"Left", Qt::Key_Left},
            {"PgUp", Qt::Key_PageUp},    {"PgDn", Qt::Key_PageDown}, {"@", Qt::Key_At},
        };
        for (const auto& [name, key] : named) t.push_back({QString::fromLatin1(name), key});
        for (char c = 'A'; c <= 'Z'; ++c) t.push_back({QString(QLatin1Char(c)), Qt::Key(Qt::Key_A + (c - 'A'))});
        for (char c = '1'; c <= '9'; ++c) t.push_back({QString(QLatin1Char(c)), Qt::Key(Qt::Key_1 + (c - '1'))});
        t.push_back({QStringLiteral("0"), Qt::Key_0});
        const std::pair<char, Qt::Key> marks[] = {
            {'-', Qt::Key_Minus}, {'[', Qt::Key_BracketLeft}, {'\\', Qt::Key_Backslash}, {']', Qt::Key_BracketRight},
            {',', Qt::Key_Comma}, {'.', Qt::Key_Period},      {';', Qt::Key_Semicolon},  {':', Qt::Key_Colon},
        };
        for (const auto& [c, key] : marks) t.push_back({QString(QLatin1Char(c)), key});
        return t;
    }();
    return table;
}

struct TPrefix {
    QLatin1String Text;
    Qt::KeyboardModifier Modifier;
};
// The order in which prefixes are written.
constexpr TPrefix kPrefixes[] = {
    {QLatin1String("Shift+"), Qt::ShiftModifier},
    {QLatin1String("Ctrl+"), Qt::ControlModifier},
    {QLatin1String("Alt+"), Qt::AltModifier},
};

} // namespace

const QStringList& KeyNames() {
    static const QStringList names = [] {
        QStringList n;
        for (const TKeyName& k : keyTable()) n << k.Name;
        return n;
    }();
    return names;
}

QKeySequence TextToShortcut(const QString& Text) {
    QStringView rest = QStringView(Text).trimmed();
    Qt::KeyboardModifiers modifiers;
    // Strip prefixes in whatever order they come; the rest must be one key name.
    for (bool found = true; found;) {
        found = false;
        for (const TPrefix& p : kPrefixes) {
            if (rest.size() > p.Text.size() && rest.startsWith(p.Text, Qt::CaseInsensitive)) {
                modifiers |= p.Modifier;
                rest = rest.mid(p.Text.size());
                found = true;
            }
        }
    }
    for (const TKeyName& k : keyTable())
        if (rest.compare(k.Name, Qt::CaseInsensitive) == 0) return QKeySequence(QKeyCombination(modifiers, k.Key));
    return QKeySequence();
}

QString ShortcutToText(const QKeySequence& Shortcut) {
    if (Shortcut.count() != 1) return QString();
    const QKeyCombination combination = Shortcut[0];
    const Qt::KeyboardModifiers known = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    if (combination.keyboardModifiers() & ~known) return QString();
    for (const TKeyName& k : keyTable()) {
        if (k.Key != combination.key()) continue;
        QString text;
        for (const TPrefix& p : kPrefixes)
            if (combination.keyboardModifiers() & p.Modifier) text += p.Text;
        return text + k.Name;
    }
    return QString();
}

QString CanonicalShortcutText(const QString& Text) { return ShortcutToText(TextToShortcut(Text)); }

} // namespace quire
