// The settings file read and written without widgets: TSettings with TMyProp, the colour
// table, the style table and the window's place.
#include "Settings.h"
#include "ColorTable.h"
#include "Cp932Codec.h"
#include "EditorWrapOption.h"
#include "Profile.h"
#include "ProgramFolder.h"
#include "StyleTable.h"
#include "TestFiles.h"
#include "WindowSettings.h"

#include <QFile>
#include <QSet>
#include <gtest/gtest.h>
#include <random>

using namespace quire;

namespace {

QString ini() { return SettingsFileName(); }

void writeBytes(const QByteArray& bytes) {
    QFile f(ini());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readBytes() {
    QFile f(ini());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void set(const char* section, const char* key, const QString& value) {
    profile::WriteString(ini(), QString::fromLatin1(section), QString::fromLatin1(key), value);
}

TSettings loaded() {
    TSettings s;
    s.Load(ini());
    return s;
}

// Settings that differ from the defaults: Variant 0 and 1 give every field two different
// values (so a key that is neither written nor read cannot pass by holding its default),
// and neighbouring flags differ (so two keys swapped cannot pass either).
TSettings changed(int Variant) {
    const bool v = Variant != 0;
    TSettings s;
    TEditorSettings& e = s.Editor;
    e.UndoListMax = v ? 500 : 100;
    e.TabSpaceCount = v ? 2 : 4;
    e.FreeCaret = e.UnderlineMark = e.EofMark = e.Url = e.Leftbar = e.WordBreak = e.Leading = v;
    e.AutoIndent = e.WordWrap = e.RetMark = e.Mail = e.Ruler = e.FollowRetMark = e.FollowPunctuation = !v;
    e.WrapByte = v ? 60 : 120;
    e.MarginLeft = v ? 11 : 12;
    e.MarginTop = v ? 13 : 14;
    e.MarginLine = v ? 15 : 16;
    e.MarginCharacter = v ? 17 : 18;
    e.FollowStr = v ? QStringLiteral("、。") : QStringLiteral("！？");
    e.LeadStr = v ? QStringLiteral("「") : QStringLiteral("（");
    e.PunctuationStr = v ? QStringLiteral("，") : QStringLiteral("．");
    TMyProp& p = s.MyProp;
    p.QuoteColoring = p.SpaceMark = p.BackUpDirOn = p.HorizontalBar = p.CountDisplay = p.ConfirmOverwrite = v;
    p.BackUp = p.TabMark = p.VerticalBar = p.SizeDisplay = p.HSpaceMark = p.AutoSave = !v;
    p.QuoteMark = v ? QStringLiteral("＞") : QStringLiteral("|");
    p.PasteQuoteMark = v ? QStringLiteral("$＞ $") : QStringLiteral("$| $");
    p.WheelRows = v ? 0 : 7;
    p.BackUpDir = v ? QStringLiteral("/tmp/バックアップ/") : QStringLiteral("/var/backup/");
    p.BackUpGenerations = v ? 1 : 99;
    p.AutoSaveMinutes = v ? 120 : 10;
    p.TabPosition = v ? TTabPosition::Right : TTabPosition::Bottom;
    p.UserStr = v ? QStringLiteral("\"'") : QStringLiteral("`");
    p.UserComment = v ? QStringLiteral("//") : QStringLiteral("＃");
    p.UserLeftBracket = v ? QStringLiteral("/*") : QStringLiteral("｛");
    p.UserRightBracket = v ? QStringLiteral("*/") : QStringLiteral("｝");
    p.NewKanjiCode = v ? QStringLiteral("UTF-16LE") : QStringLiteral("EUC");
    p.NewLineEnd = v ? QStringLiteral("LF") : QStringLiteral("CR");
    s.ToolBar = v;
    s.StatusBar = !v;
    return s;
}

} // namespace

TEST(Settings, WithoutAFileEverythingHasItsDefault) {
    const TSettings s = loaded();
    EXPECT_EQ(s, TSettings());
    EXPECT_TRUE(s.ToolBar);
    EXPECT_TRUE(s.StatusBar);
    EXPECT_EQ(s.Editor.WrapByte, 80);
    EXPECT_FALSE(s.Editor.WordWrap);
    EXPECT_EQ(s.Editor.TabSpaceCount, 8);
    EXPECT_EQ(s.Editor.UndoListMax, 64);
    EXPECT_TRUE(s.Editor.Url);
    EXPECT_FALSE(s.Editor.FreeCaret);
    EXPECT_FALSE(s.Editor.AutoIndent);
    EXPECT_EQ(s.MyProp.QuoteMark, QStringLiteral(">"));
    EXPECT_TRUE(s.MyProp.QuoteColoring);
    EXPECT_FALSE(s.MyProp.BackUp);
    EXPECT_FALSE(s.MyProp.AutoSave);
    EXPECT_EQ(s.MyProp.AutoSaveMinutes, 5);
    EXPECT_EQ(s.MyProp.TabPosition, TTabPosition::Top);
    TColorTable colors;
    colors.Load(ini());
    EXPECT_EQ(colors, TColorTable());
    EXPECT_EQ(colors[TColorIndex::Inyo], 0xFF0000u);
    TWindowSettings w;
    w.Load(ini());
    EXPECT_EQ(w, TWindowSettings());
    EXPECT_EQ(w.FontName, QStringLiteral("FixedSys"));
    EXPECT_EQ(w.FontSize, 14);
    EXPECT_FALSE(readBytes().size()) << "reading wrote the file";
}

TEST(Settings, TheWrapRulesDefaultToTheEditorsOwn) {
    const TEditorSettings s;
    EXPECT_EQ(cp932::FromUnicode(s.FollowStr), TEditorWrapOption::DefaultFollowStr);
    EXPECT_EQ(cp932::FromUnicode(s.LeadStr), TEditorWrapOption::DefaultLeadStr);
    EXPECT_EQ(cp932::FromUnicode(s.PunctuationStr), TEditorWrapOption::DefaultPunctuationStr);
}

TEST(Settings, TabPositions) {
    const std::pair<const char*, TTabPosition> cases[] = {
        {"0", TTabPosition::Top},  {"1", TTabPosition::Bottom}, {"2", TTabPosition::Right}, {"3", TTabPosition::Left},
        {"7", TTabPosition::Left}, {"-1", TTabPosition::Left},  {"x", TTabPosition::Top},   {"", TTabPosition::Top},
    };
    for (const auto& [text, position] : cases) {
        set("Stand", "TabPosi", QString::fromLatin1(text));
        EXPECT_EQ(loaded().MyProp.TabPosition, position) << text;
    }
}

TEST(Settings, IntegersThatAreNotNumbersReadAsTheirDefaults) {
    set("Stand", "UndoList", "many");
    set("Stand", "TabCount", "eight");
    set("Col", "Int", "12x");
    set("Stand", "Wheel", "");
    set("Margin", "Left", "1.5");
    const TSettings s = loaded();
    EXPECT_EQ(s.Editor.UndoListMax, 64);
    EXPECT_EQ(s.Editor.TabSpaceCount, 8);
    EXPECT_EQ(s.Editor.WrapByte, 80);
    EXPECT_EQ(s.MyProp.WheelRows, 3);
    EXPECT_EQ(s.Editor.MarginLeft, 8);
    set("Stand", "TabCount", "4");
    EXPECT_EQ(loaded().Editor.TabSpaceCount, 4);
}

TEST(Settings, BooleansAreAnyNonZeroNumber) {
    set("Bar", "Tool", "0");
    set("Marks", "URL", "0");
    set("Marks", "Mail", "2");
    set("Col", "Check", "-1");
    set("File", "BackUp", "yes"); // not a number: the default
    const TSettings s = loaded();
    EXPECT_FALSE(s.ToolBar);
    EXPECT_FALSE(s.Editor.Url);
    EXPECT_TRUE(s.Editor.Mail);
    EXPECT_TRUE(s.Editor.WordWrap);
    EXPECT_FALSE(s.MyProp.BackUp);
}

TEST(Settings, NumbersOutOfTheirRangeAreLimited) {
    set("File", "BackUp_Sedai", "0");
    set("File", "Time", "1");
    set("Stand", "Wheel", "-4");
    TSettings s = loaded();
    EXPECT_EQ(s.MyProp.BackUpGenerations, 1);
    EXPECT_EQ(s.MyProp.AutoSaveMinutes, 5);
    EXPECT_EQ(s.MyProp.WheelRows, 0);
    set("File", "BackUp_Sedai", "100");
    set("File", "Time", "121");
    s = loaded();
    EXPECT_EQ(s.MyProp.BackUpGenerations, 99);
    EXPECT_EQ(s.MyProp.AutoSaveMinutes, 120);
}

TEST(Settings, WhatIsWrittenReadsBackTheSame) {
    for (int variant : {0, 1, 0}) {
        const TSettings written = changed(variant);
        written.Save(ini());
        EXPECT_EQ(loaded(), written) << "variant " << variant;
    }
    // One line per key, under the sections of the file.
    const QString text = QString::fromUtf8(readBytes());
    EXPECT_EQ(text.count(QLatin1Char('=')), 51);
    for (const char* line : {"[Inyo]", "[Stand]", "[Col]", "[Marks]", "[Bar]", "[Ruler]", "[File]", "[Margin]",
                             "[WordWrap]", "[YuzaKey]", "TabCount=4", "PasteMozi=$| $", "Comment=＃"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line;
}

TEST(Settings, AFileFromAnOlderInstallationInShiftJisReadsItsJapanese) {
    const QString text =
        QStringLiteral("[Inyo]\r\nMozi=＞\r\nPasteMozi=$＞ $\r\n[YuzaKey]\r\nComment=＃\r\nStr=「」\r\n"
                       "[WordWrap]\r\nLeadStr=（「\r\n[File]\r\nBackUpDirPath=C:\\バックアップ\\\r\n");
    const std::string sjis = cp932::FromUnicode(text);
    writeBytes(QByteArray(sjis.data(), static_cast<qsizetype>(sjis.size())));
    const TSettings s = loaded();
    EXPECT_EQ(s.MyProp.QuoteMark, QStringLiteral("＞"));
    EXPECT_EQ(s.MyProp.PasteQuoteMark, QStringLiteral("$＞ $"));
    EXPECT_EQ(s.MyProp.UserComment, QStringLiteral("＃"));
    EXPECT_EQ(s.MyProp.UserStr, QStringLiteral("「」"));
    EXPECT_EQ(s.Editor.LeadStr, QStringLiteral("（「"));
    EXPECT_EQ(s.MyProp.BackUpDir, QStringLiteral("C:\\バックアップ\\"));
}

TEST(ColorTable, KeysAndDefaults) {
    QSet<QString> keys;
    for (int i = 0; i < TColorTable::Count; ++i) keys.insert(TColorTable::Key(static_cast<TColorIndex>(i)).toLower());
    EXPECT_EQ(keys.size(), TColorTable::Count);
    const TColorTable t;
    EXPECT_EQ(TColorTable::Key(TColorIndex::Font), QStringLiteral("Font"));
    EXPECT_EQ(TColorTable::Key(TColorIndex::EOFMark), QStringLiteral("EOF"));
    EXPECT_EQ(TColorTable::Key(TColorIndex::YuzaComment), QStringLiteral("Yuza_Comment"));
    EXPECT_EQ(t[TColorIndex::Bk], 0xFFFFFFu);
    EXPECT_EQ(t[TColorIndex::SelBk], 0x800000u);
    EXPECT_EQ(t[TColorIndex::HTMLAttValue], 0x008080u);
    for (TColorIndex comment : {TColorIndex::DelComment, TColorIndex::PerlComment, TColorIndex::CComment,
                                TColorIndex::BasicComment, TColorIndex::YuzaComment})
        EXPECT_EQ(t[comment], 0x80000001u);
}

TEST(ColorTable, RedInAnyOfItsFormsAndTheDefaultForTextThatIsNoColour) {
    set("Color", "Font", "$000000FF");
    set("Color", "Bk", "clRed");
    set("Color", "URL", "255");
    set("Color", "Mail", "scarlet");
    set("Color", "Inyo", "clwindowtext");
    TColorTable t;
    t.Load(ini());
    EXPECT_EQ(t[TColorIndex::Font], 0x0000FFu);
    EXPECT_EQ(t[TColorIndex::Bk], 0x0000FFu);
    EXPECT_EQ(t[TColorIndex::URL], 0x0000FFu);
    EXPECT_EQ(t[TColorIndex::Mail], TColorTable::Default(TColorIndex::Mail));
    EXPECT_EQ(t[TColorIndex::Inyo], 0x80000008u);
}

TEST(ColorTable, WrittenByNameOrHexAndReadBack) {
    std::mt19937 random(37);
    TColorTable t;
    for (int i = 0; i < TColorTable::Count; ++i)
        t.SetColor(static_cast<TColorIndex>(i),
                   i % 3 ? static_cast<TColor>(random()) & 0xFFFFFF : 0x80000000u + i % 25);
    t.SetColor(TColorIndex::Font, 0x0000FF);
    t.SetColor(TColorIndex::Bk, 0x80000001);
    t.Save(ini());
    TColorTable back;
    back.Load(ini());
    EXPECT_EQ(back, t);
    EXPECT_EQ(profile::ReadString(ini(), "Color", "Font"), QStringLiteral("clRed"));
    EXPECT_EQ(profile::ReadString(ini(), "Color", "Bk"), QStringLiteral("clBackground")); // index 1
    const QString hex = profile::ReadString(ini(), "Color", "SelFont");
    EXPECT_TRUE(hex.startsWith(QLatin1Char('$')) && hex.size() == 9 && hex == hex.toUpper()) << hex.toStdString();
}

TEST(StyleTable, KeysAndDefaults) {
    for (int s = 0; s < StyleSectionCount; ++s) {
        QSet<QString> keys;
        for (int i = TStyleTable::FirstSlot; i <= TStyleTable::LastSlot; ++i)
            keys.insert(TStyleTable::Key(static_cast<TStyleSection>(s), static_cast<TStyleSlot>(i)).toLower());
        EXPECT_EQ(keys.size(), TStyleTable::LastSlot);
    }
    EXPECT_EQ(TStyleTable::Key(TStyleSection::Bold, TStyleSlot::DelKeyWord), QStringLiteral("Del_KeyBold"));
    EXPECT_EQ(TStyleTable::Key(TStyleSection::Italic, TStyleSlot::DelStr), QStringLiteral("Del_StrItalic"));
    EXPECT_EQ(TStyleTable::Key(TStyleSection::Underline, TStyleSlot::DelKeyWord), QStringLiteral("Del_KeyUnder"));
    EXPECT_EQ(TStyleTable::Key(TStyleSection::Underline, TStyleSlot::CKeyWord), QStringLiteral("C_KeyWord"));
    const TStyleTable t;
    for (int i = TStyleTable::FirstSlot; i <= TStyleTable::LastSlot; ++i) {
        const auto slot = static_cast<TStyleSlot>(i);
        const bool bold = slot == TStyleSlot::DelKeyWord || slot == TStyleSlot::PerlKeyWord ||
                          slot == TStyleSlot::CKeyWord || slot == TStyleSlot::BasicKeyWord;
        const bool underline = slot == TStyleSlot::URL || slot == TStyleSlot::Mail;
        EXPECT_EQ(t.Flags(slot), (TStyleFlags{bold, false, underline})) << i;
    }
    EXPECT_EQ(t.FontStyle(TStyleSlot::URL), fsUnderline);
    EXPECT_EQ((TStyleFlags{true, true, true}).FontStyle(), fsBold | fsItalic | fsUnderline);
}

TEST(StyleTable, TheReadersSpellingOfTheDelphiUnderlineKeyIsTheWritersKey) {
    writeBytes("[Underline]\nDel_keyUnder=1\n[Bold]\ndel_keybold=0\n");
    TStyleTable t;
    t.Load(ini());
    EXPECT_TRUE(t.Flags(TStyleSlot::DelKeyWord).Underline);
    EXPECT_FALSE(t.Flags(TStyleSlot::DelKeyWord).Bold);
    // The writer's spelling replaces the old line instead of adding a second key.
    t.Save(ini());
    const QString text = QString::fromUtf8(readBytes());
    EXPECT_EQ(text.count(QStringLiteral("del_keyunder"), Qt::CaseInsensitive), 1);
}

TEST(StyleTable, WrittenAndReadBack) {
    std::mt19937 random(26);
    for (int round = 0; round < 3; ++round) {
        TStyleTable t;
        for (int i = TStyleTable::FirstSlot; i <= TStyleTable::LastSlot; ++i)
            t.Flags(static_cast<TStyleSlot>(i)) = {random() % 2 == 0, random() % 2 == 0, random() % 2 == 0};
        t.Save(ini());
        TStyleTable back;
        back.Load(ini());
        EXPECT_EQ(back, t) << "round " << round;
    }
    const QString text = QString::fromUtf8(readBytes());
    EXPECT_EQ(text.count(QLatin1Char('=')), 3 * TStyleTable::LastSlot);
}

TEST(WindowSettings, AMaximisedWindowWritesOnlyMaximize) {
    TWindowSettings w;
    w.Left = 10;
    w.Top = 20;
    w.Width = 500;
    w.Height = 400;
    w.SavePlacement(ini());
    w.Maximized = true;
    w.Left = 99;
    w.SavePlacement(ini());
    TWindowSettings back;
    back.Load(ini());
    EXPECT_TRUE(back.Maximized);
    EXPECT_EQ(back.Left, 10); // the normal place as it was
    w.Maximized = false;
    w.SavePlacement(ini());
    back.Load(ini());
    EXPECT_FALSE(back.Maximized);
    EXPECT_EQ(back.Left, 99);
    EXPECT_EQ(profile::ReadString(ini(), "Window", "Maximize"), QStringLiteral("0"));
}

TEST(WindowSettings, FontReadBack) {
    TWindowSettings w;
    w.FontName = QStringLiteral("ＭＳ ゴシック");
    w.FontSize = 11;
    w.SaveFont(ini());
    TWindowSettings back;
    back.Load(ini());
    EXPECT_EQ(back.FontName, w.FontName);
    EXPECT_EQ(back.FontSize, 11);
    set("Font", "Name", "");
    back.Load(ini());
    EXPECT_EQ(back.FontName, QStringLiteral("FixedSys"));
}

// --- the stored format, pinned by golden files ----------------------------------------------

namespace {

QByteArray golden(const char* Name) { return test::ReadTestFile(QStringLiteral(QUIRE_TEST_DATA "/settings/") + Name); }

} // namespace

// Every writer of the settings file from the defaults gives exactly the file users have: a
// key spelt otherwise than their files spell it fails here, though it reads back what it wrote.
TEST(SettingsFiles, WrittenFromTheDefaultsIsTheGoldenFile) {
    TSettings().Save(ini());
    TColorTable().Save(ini());
    TStyleTable().Save(ini());
    TWindowSettings().SavePlacement(ini());
    TWindowSettings().SaveFont(ini());
    const QByteArray written = readBytes();
    EXPECT_EQ(written, golden("quire-defaults.ini")) << "written:\n" << written.toStdString();
}

// A file written by hand, every key set to other than its default (some sections and keys in
// another case, the Delphi underline key as the old reader spells it), reads into the values
// it holds.
TEST(SettingsFiles, AHandWrittenFileReadsIntoItsValues) {
    writeBytes(golden("quire-hand.ini"));
    TSettings expected;
    TEditorSettings& e = expected.Editor;
    TMyProp& p = expected.MyProp;
    p.QuoteMark = QStringLiteral("|");
    p.QuoteColoring = false;
    p.PasteQuoteMark = QStringLiteral("$>> $");
    e.UndoListMax = 200;
    e.TabSpaceCount = 4;
    e.FreeCaret = e.AutoIndent = e.UnderlineMark = true;
    p.WheelRows = 5;
    p.TabPosition = TTabPosition::Right;
    e.WordWrap = true;
    e.WrapByte = 72;
    e.EofMark = e.RetMark = e.Mail = true;
    e.Url = false;
    p.SpaceMark = p.TabMark = p.HSpaceMark = true;
    expected.ToolBar = expected.StatusBar = false;
    p.VerticalBar = p.HorizontalBar = p.SizeDisplay = p.CountDisplay = true;
    e.Leftbar = e.Ruler = true;
    e.MarginLeft = 3;
    e.MarginTop = 4;
    e.MarginLine = 5;
    e.MarginCharacter = 6;
    e.WordBreak = e.FollowRetMark = e.Leading = e.FollowPunctuation = true;
    e.FollowStr = QStringLiteral("、。");
    e.LeadStr = QStringLiteral("「");
    e.PunctuationStr = QStringLiteral("。");
    p.BackUp = p.BackUpDirOn = p.AutoSave = p.ConfirmOverwrite = true;
    p.BackUpDir = QStringLiteral("/tmp/bak/");
    p.BackUpGenerations = 7;
    p.AutoSaveMinutes = 30;
    p.NewKanjiCode = QStringLiteral("UTF-16LE");
    p.NewLineEnd = QStringLiteral("LF");
    p.UserStr = QStringLiteral("\"");
    p.UserComment = QStringLiteral("//");
    p.UserLeftBracket = QStringLiteral("/*");
    p.UserRightBracket = QStringLiteral("*/");
    EXPECT_EQ(loaded(), expected);

    TWindowSettings w;
    w.Load(ini());
    EXPECT_EQ(w, (TWindowSettings{true, 10, 20, 700, 500, QStringLiteral("IPAGothic"), 12}));

    // Colour i is 0x0000000(i+1), every style flag the opposite of its default.
    TColorTable colors;
    colors.Load(ini());
    for (int i = 0; i < TColorTable::Count; ++i)
        EXPECT_EQ(colors[static_cast<TColorIndex>(i)], static_cast<TColor>(i + 1)) << "colour " << i;
    TStyleTable styles;
    styles.Load(ini());
    for (int slot = TStyleTable::FirstSlot; slot <= TStyleTable::LastSlot; ++slot) {
        const TStyleFlags d = TStyleTable::Default(static_cast<TStyleSlot>(slot));
        EXPECT_EQ(styles.Flags(static_cast<TStyleSlot>(slot)), (TStyleFlags{!d.Bold, !d.Italic, !d.Underline}))
            << "slot " << slot;
    }
}
