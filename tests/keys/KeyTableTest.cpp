// The command table, applying "Key.dat" to menu items, and writing it.
#include "KeyTestSupport.h"
#include "Profile.h"
#include "ShortcutText.h"
#include "TestFiles.h"

#include <QFileInfo>
#include <algorithm>
#include <gtest/gtest.h>
#include <set>

using namespace quire;
using namespace quire::test;

// The 69 commands of the key file and one for each UTF-8 save code.
TEST(KeyTable, HoldsSeventyCommandsInSectionOrder) {
    ASSERT_EQ(73u, KeyCommands().size());
    const char* sections[] = {"File", "Edit", "Find", "View", "Window", "Tool", "Help"};
    const int perSection[] = {21, 22, 6, 12, 6, 3, 3};
    int index = 0;
    for (int s = 0; s < KeySectionCount; ++s) {
        EXPECT_STREQ(sections[s], KeySections()[static_cast<size_t>(s)].Name);
        for (int k = 0; k < perSection[s]; ++k, ++index)
            EXPECT_STREQ(sections[s], KeyCommands()[static_cast<size_t>(index)].Section) << "command " << index;
    }
    EXPECT_EQ(73, index);
}

TEST(KeyTable, NamesAreUniqueAndDefaultsAreWrittenTexts) {
    std::set<QString> keys, items;
    for (const TKeyCommand& c : KeyCommands()) {
        EXPECT_TRUE(keys.insert(QString::fromLatin1(c.Section) + "/" + c.Key).second) << c.Key;
        EXPECT_TRUE(items.insert(QString::fromLatin1(c.MenuItem)).second) << c.MenuItem;
        if (c.Mirror) {
            EXPECT_TRUE(items.insert(QString::fromLatin1(c.Mirror)).second) << c.Mirror;
        }
        EXPECT_EQ(QString::fromLatin1(c.Default), CanonicalShortcutText(QString::fromLatin1(c.Default))) << c.Key;
    }
    // Every non-empty default is a different key.
    std::set<QString> defaults;
    for (const TKeyCommand& c : KeyCommands())
        if (*c.Default) {
            EXPECT_TRUE(defaults.insert(QString::fromLatin1(c.Default)).second) << c.Default;
        }
}

TEST(KeyTable, SeventeenCommandsHaveMirrors) {
    std::vector<std::pair<std::string, std::string>> mirrors;
    for (const TKeyCommand& c : KeyCommands())
        if (c.Mirror) mirrors.emplace_back(c.Key, c.Mirror);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"FileClose", "N18"},
        {"Cut", "Pm_Cut"},
        {"Copy", "Pm_Copy"},
        {"Paste", "Pm_Paste"},
        {"PlusCut", "PmPlusCut"},
        {"PlusCopy", "PmPlusCopy"},
        {"InyoCut", "PmInyoCut"},
        {"InyoCopy", "PmInyoCopy"},
        {"InyoPaste", "Q1"},
        {"PasteBox", "Pm_PasteBox"},
        {"LowerCase", "Pm_LowerCase"},
        {"UpperCase", "Pm_UpperCase"},
        {"ZenToHan", "Pm_ZenToHan"},
        {"HanToZen", "Pm_HanToZen"},
        {"Int_ZenToHan", "Pm_int_ZenToHan"},
        {"Indent", "Pm_TabInd"},
        {"UnIndent", "Pm_TabUnInd"},
    };
    EXPECT_EQ(expected, mirrors);
}

TEST(ApplyKeyTable, WithoutKeyDatEveryItemGetsItsDefaultAndNoFileIsMade) {
    FakeMenus menus;
    ApplyKeyTable(menus.Lookup());
    for (const TKeyCommand& c : KeyCommands()) {
        EXPECT_EQ(QString::fromLatin1(c.Default), menus.Text(c.MenuItem)) << c.MenuItem;
        if (c.Mirror) {
            EXPECT_EQ(QString::fromLatin1(c.Default), menus.Text(c.Mirror)) << c.Mirror;
        }
    }
    EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z), menus.Item("Mm_Redo")->shortcut());
    EXPECT_EQ(QKeySequence(Qt::Key_F9), menus.Item("Mm_Division")->shortcut());
    EXPECT_EQ(QKeySequence(Qt::Key_Tab), menus.Item("Mm_TabInd")->shortcut());
    EXPECT_EQ(QKeySequence(Qt::SHIFT | Qt::Key_Tab), menus.Item("Pm_TabUnInd")->shortcut());
    EXPECT_TRUE(menus.Item("MmKey")->shortcut().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(KeyFileName()));
}

TEST(ApplyKeyTable, AnEmptyUndoLeavesUndoWithoutAKeyAndTheRestAtTheirDefaults) {
    WriteKeyFile("[Edit]\r\nUndo=\r\n");
    FakeMenus menus;
    menus.Item("Mm_Undo")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    ApplyKeyTable(menus.Lookup());
    EXPECT_TRUE(menus.Item("Mm_Undo")->shortcut().isEmpty());
    for (const TKeyCommand& c : KeyCommands())
        if (qstrcmp(c.Key, "Undo") != 0) {
            EXPECT_EQ(QString::fromLatin1(c.Default), menus.Text(c.MenuItem)) << c.MenuItem;
        }
}

TEST(ApplyKeyTable, ReadsAnyPrefixOrderAndGivesMalformedValuesNoKey) {
    WriteKeyFile("[edit]\nredo=Alt+Ctrl+Y\nCut=Ctrl+Foo\nCopy=Ctrl+\n[Window]\nDivision=ctrl+d\n[Find]\nFind=F13\n");
    FakeMenus menus;
    ApplyKeyTable(menus.Lookup());
    EXPECT_EQ(QStringLiteral("Ctrl+Alt+Y"), menus.Text("Mm_Redo"));
    EXPECT_EQ(QStringLiteral("Ctrl+D"), menus.Text("Mm_Division"));
    for (const char* none : {"mm_Cut", "Pm_Cut", "Mm_Copy", "Pm_Copy", "Mm_Find"})
        EXPECT_EQ(QString(), menus.Text(none)) << none;
    EXPECT_EQ(QStringLiteral("Ctrl+V"), menus.Text("Mm_Paste"));
}

TEST(ApplyKeyTable, SkipsItemsTheWindowDoesNotHave) {
    QWidget root;
    auto* open = new QAction(&root);
    open->setObjectName(QStringLiteral("Mm_Open"));
    auto* popupCut = new QAction(&root); // a mirror without its main item
    popupCut->setObjectName(QStringLiteral("Pm_Cut"));
    ApplyKeyTable(ActionsOf(root));
    EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_O), open->shortcut());
    EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_X), popupCut->shortcut());
}

TEST(CommandShortcut, SettingCutAlsoSetsThePopupsCut) {
    FakeMenus menus;
    const int cut = static_cast<int>(std::find_if(KeyCommands().begin(), KeyCommands().end(),
                                                  [](const TKeyCommand& c) { return qstrcmp(c.Key, "Cut") == 0; }) -
                                     KeyCommands().begin());
    ASSERT_STREQ("Cut", KeyCommands()[static_cast<size_t>(cut)].Key);
    SetCommandShortcut(menus.Lookup(), cut, QStringLiteral("Shift+Del"));
    EXPECT_EQ(QKeySequence(Qt::SHIFT | Qt::Key_Delete), menus.Item("mm_Cut")->shortcut());
    EXPECT_EQ(QKeySequence(Qt::SHIFT | Qt::Key_Delete), menus.Item("Pm_Cut")->shortcut());
    EXPECT_EQ(QStringLiteral("Shift+Del"), CommandShortcutText(menus.Lookup(), cut, QStringLiteral("fallback")));
    SetCommandShortcut(menus.Lookup(), cut, QString());
    EXPECT_TRUE(menus.Item("Pm_Cut")->shortcut().isEmpty());
    FakeMenus without(false);
    delete without.Item("mm_Cut");
    EXPECT_EQ(QStringLiteral("fallback"), CommandShortcutText(without.Lookup(), cut, QStringLiteral("fallback")));
}

TEST(WriteKeyTable, WritesSevenSectionsAndEveryKeyInTableOrder) {
    std::array<QString, KeyCommandCount> texts;
    for (int i = 0; i < KeyCommandCount; ++i)
        texts[static_cast<size_t>(i)] = i % 3 ? QString() : QStringLiteral("Ctrl+F%1").arg(i % 12 + 1);
    WriteKeyTable(texts);
    const KeyFileContents file = ReadKeyFile();
    EXPECT_EQ(QStringList({"File", "Edit", "Find", "View", "Window", "Tool", "Help"}), file.Sections);
    EXPECT_EQ(73, file.KeyCount());
    int i = 0;
    for (const TKeySection& s : KeySections()) {
        for (const auto& [key, value] : file.Keys.at(QString::fromLatin1(s.Name))) {
            EXPECT_EQ(QString::fromLatin1(KeyCommands()[static_cast<size_t>(i)].Key), key);
            EXPECT_EQ(texts[static_cast<size_t>(i)], value) << key.toStdString();
            EXPECT_EQ(texts[static_cast<size_t>(i)], ReadKeyText(i)) << key.toStdString();
            ++i;
        }
    }
    // Written again, nothing is added: the keys are replaced in place.
    WriteKeyTable(texts);
    EXPECT_EQ(73, ReadKeyFile().KeyCount());
}

// --- the stored format, pinned by golden files ----------------------------------------------

namespace {

QByteArray golden(const char* Name) { return test::ReadTestFile(QStringLiteral(QUIRE_TEST_DATA "/keys/") + Name); }

} // namespace

// "Key.dat" written from the defaults is exactly the file users have: a section or key spelt
// otherwise fails here, though it reads back what it wrote.
TEST(KeyFiles, WrittenFromTheDefaultsIsTheGoldenFile) {
    std::array<QString, KeyCommandCount> texts;
    for (int i = 0; i < KeyCommandCount; ++i)
        texts[static_cast<size_t>(i)] = QString::fromLatin1(KeyCommands()[static_cast<size_t>(i)].Default);
    WriteKeyTable(texts);
    const QByteArray written = test::ReadTestFile(KeyFileName());
    EXPECT_EQ(written, golden("Key-defaults.dat")) << "written:\n" << written.toStdString();
}

// A file written by hand with every command's key, each other than its default and all
// different, reads into those keys: every section and key of the table is found in it as it
// is spelt there, and nothing in it is left over.
TEST(KeyFiles, AHandWrittenFileReadsIntoItsKeys) {
    WriteKeyFile(golden("Key-hand.dat"));
    const KeyFileContents hand = ReadKeyFile();
    ASSERT_EQ(hand.KeyCount(), KeyCommandCount);
    std::set<QString> values;
    for (int i = 0; i < KeyCommandCount; ++i) {
        const TKeyCommand& c = KeyCommands()[static_cast<size_t>(i)];
        const auto section = hand.Keys.find(QString::fromLatin1(c.Section));
        ASSERT_NE(section, hand.Keys.end()) << c.Section;
        const auto entry = std::find_if(section->second.begin(), section->second.end(),
                                        [&](const auto& KeyValue) { return KeyValue.first == QLatin1String(c.Key); });
        ASSERT_NE(entry, section->second.end()) << c.Section << "/" << c.Key << " is not in the file";
        EXPECT_NE(entry->second, QLatin1String(c.Default)) << c.Key;
        EXPECT_TRUE(values.insert(entry->second).second) << c.Key;
        EXPECT_EQ(ReadKeyText(i), entry->second) << c.Key;
    }
}
