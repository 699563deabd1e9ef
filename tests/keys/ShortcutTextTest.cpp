// Shortcut texts: the key names, their Qt keys, and conversion both ways.
#include "ShortcutText.h"
#include "KeyTestSupport.h"

#include <gtest/gtest.h>

using namespace quire;

TEST(ShortcutText, KeyListHoldsTheNamesInTheDialogsOrder) {
    QStringList expected;
    for (int i = 1; i <= 12; ++i) expected << QStringLiteral("F%1").arg(i);
    expected << "Tab"
             << "Home"
             << "End"
             << "Space"
             << "BkSp"
             << "Enter"
             << "Ins"
             << "Del"
             << "Up"
             << "Down"
             << "Right"
             << "Left"
             << "PgUp"
             << "PgDn"
             << "@";
    for (char c = 'A'; c <= 'Z'; ++c) expected << QString(QLatin1Char(c));
    for (char c = '1'; c <= '9'; ++c) expected << QString(QLatin1Char(c));
    expected << "0"
             << "-"
             << "["
             << "\\"
             << "]"
             << ","
             << "."
             << ";"
             << ":";
    EXPECT_EQ(expected, KeyNames());
}

TEST(ShortcutText, NamesMapToTheKeysTheyName) {
    const std::pair<const char*, QKeyCombination> cases[] = {
        {"F1", Qt::Key_F1},
        {"F12", Qt::Key_F12},
        {"Tab", Qt::Key_Tab},
        {"BkSp", Qt::Key_Backspace},
        {"Enter", Qt::Key_Return},
        {"Ins", Qt::Key_Insert},
        {"Del", Qt::Key_Delete},
        {"PgUp", Qt::Key_PageUp},
        {"PgDn", Qt::Key_PageDown},
        {"Space", Qt::Key_Space},
        {"@", Qt::Key_At},
        {"\\", Qt::Key_Backslash},
        {"[", Qt::Key_BracketLeft},
        {"]", Qt::Key_BracketRight},
        {":", Qt::Key_Colon},
        {"0", Qt::Key_0},
        {"9", Qt::Key_9},
        {"Z", Qt::Key_Z},
        {"Ctrl+N", Qt::CTRL | Qt::Key_N},
        {"Shift+Tab", Qt::SHIFT | Qt::Key_Tab},
        {"Alt+Enter", Qt::ALT | Qt::Key_Return},
        {"Ctrl+Alt+Z", Qt::CTRL | Qt::ALT | Qt::Key_Z},
        {"Shift+Ctrl+Alt+Left", Qt::SHIFT | Qt::CTRL | Qt::ALT | Qt::Key_Left},
    };
    for (const auto& [text, key] : cases)
        EXPECT_EQ(QKeySequence(key), TextToShortcut(QString::fromLatin1(text))) << text;
}

TEST(ShortcutText, EveryKeyWithEveryModifierSetRoundTrips) {
    const char* prefixes[] = {"",           "Shift+",    "Ctrl+",          "Alt+", "Shift+Ctrl+",
                              "Shift+Alt+", "Ctrl+Alt+", "Shift+Ctrl+Alt+"};
    QList<QKeySequence> seen;
    for (const QString& name : KeyNames()) {
        for (const char* prefix : prefixes) {
            const QString text = QString::fromLatin1(prefix) + name;
            const QKeySequence shortcut = TextToShortcut(text);
            ASSERT_FALSE(shortcut.isEmpty()) << text.toStdString();
            EXPECT_EQ(text, ShortcutToText(shortcut));
            EXPECT_FALSE(seen.contains(shortcut)) << "two texts give " << text.toStdString();
            seen << shortcut;
        }
    }
    EXPECT_EQ(71 * 8, seen.size());
}

TEST(ShortcutText, PrefixesAreReadInAnyOrderAndWrittenInOne) {
    EXPECT_EQ(QStringLiteral("Ctrl+Alt+Z"), CanonicalShortcutText(QStringLiteral("Alt+Ctrl+Z")));
    EXPECT_EQ(QStringLiteral("Shift+Ctrl+Alt+F3"), CanonicalShortcutText(QStringLiteral("Alt+Shift+Ctrl+F3")));
    EXPECT_EQ(QStringLiteral("Shift+Ctrl+F3"), CanonicalShortcutText(QStringLiteral("Ctrl+Shift+F3")));
    // Hand-edited files: letter case and surrounding blanks do not matter.
    EXPECT_EQ(QStringLiteral("Ctrl+Alt+Z"), CanonicalShortcutText(QStringLiteral(" ctrl+ALT+z ")));
    EXPECT_EQ(QStringLiteral("PgDn"), CanonicalShortcutText(QStringLiteral("pgdn")));
}

TEST(ShortcutText, TextsThatNameNoKeyGiveNoShortcut) {
    for (const char* text : {"", " ", "Ctrl+", "Shift+Ctrl+", "Ctrl+Foo", "F13", "F0", "Ctrl+AB", "Meta+A", "Ctrl++",
                             "Ctrl-N", "CtrlN", "Ctrl+ N", "Escape", "Ctrl+Enter+A", "N+Ctrl"}) {
        EXPECT_TRUE(TextToShortcut(QString::fromLatin1(text)).isEmpty()) << text;
        EXPECT_EQ(QString(), CanonicalShortcutText(QString::fromLatin1(text))) << text;
    }
}

TEST(ShortcutText, ShortcutsWithoutANameGiveTheEmptyText) {
    EXPECT_EQ(QString(), ShortcutToText(QKeySequence()));
    EXPECT_EQ(QString(), ShortcutToText(QKeySequence(Qt::Key_Escape)));
    EXPECT_EQ(QString(), ShortcutToText(QKeySequence(Qt::META | Qt::Key_A)));
    EXPECT_EQ(QString(), ShortcutToText(QKeySequence(Qt::CTRL | Qt::Key_K, Qt::CTRL | Qt::Key_D)));
    EXPECT_EQ(QString(), ShortcutToText(QKeySequence(Qt::KeypadModifier | Qt::Key_5)));
}
