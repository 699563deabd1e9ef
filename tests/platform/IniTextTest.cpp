// TIniText: lines that keep their bytes, line ends and decoding per line.
#include "IniText.h"

#include <gtest/gtest.h>

using quire::TIniText;

TEST(IniText, AnyBytesComeBackUnchanged) {
    const QByteArray cases[] = {
        "",
        "\n",
        "a",
        "[A]\r\nk=v\r\n",
        "[A]\rk=v\r\r\n\n\rx",
        "\xEF\xBB\xBF[A]\nk=v",
        QByteArray("[A]\nk=\0v\n", 9),
        "; \x80\xFF\xFE\x81 not UTF-8, not Shift_JIS\n[A]\nk=\x93\xFA\x96\x7B\n",
    };
    for (const QByteArray& bytes : cases) EXPECT_EQ(TIniText(bytes).Bytes(), bytes) << bytes.toStdString();
}

TEST(IniText, LinesKeepTheirOwnEnds) {
    const TIniText ini("a\r\nb\rc\nd");
    ASSERT_EQ(ini.LineCount(), 4);
    EXPECT_EQ(ini.LineBytes(0), "a\r\n");
    EXPECT_EQ(ini.LineBytes(1), "b\r");
    EXPECT_EQ(ini.LineBytes(2), "c\n");
    EXPECT_EQ(ini.LineBytes(3), "d");
}

TEST(IniText, AChangeRewritesOnlyItsLine) {
    const QByteArray before = "; \x80\xFF comment\r\n[A]\rk=old\nj=\x93\xFA\r\n\r\n[B]\r\nz=1";
    TIniText ini(before);
    EXPECT_TRUE(ini.SetValue("a", "K", "new"));
    EXPECT_EQ(ini.Bytes(), QByteArray("; \x80\xFF comment\r\n[A]\rK=new\nj=\x93\xFA\r\n\r\n[B]\r\nz=1"));
    // A key added to the last section ends the unterminated last line with the file's first
    // line end, and comes after it.
    EXPECT_TRUE(ini.SetValue("B", "y", "2"));
    EXPECT_EQ(ini.Bytes(), QByteArray("; \x80\xFF comment\r\n[A]\rK=new\nj=\x93\xFA\r\n\r\n[B]\r\nz=1\r\ny=2\r\n"));
    // The same value again changes nothing.
    EXPECT_FALSE(ini.SetValue("B", "y", "2"));
    EXPECT_FALSE(ini.SetValue("A", "j", QStringLiteral("日")));
}

TEST(IniText, EachLineIsDecodedOnItsOwn) {
    // A file of the older program in code page 932, to which a UTF-8 line was added.
    const TIniText ini(QByteArray("[Find]\nSerch0=\x93\xFA\x96\x7B\nSerch1=") + QStringLiteral("日本").toUtf8() + "\n");
    EXPECT_EQ(ini.Value("Find", "Serch0"), QStringLiteral("日本"));
    EXPECT_EQ(ini.Value("Find", "Serch1"), QStringLiteral("日本"));
    EXPECT_FALSE(ini.Value("Find", "Serch2").has_value());
    EXPECT_FALSE(ini.Value("Other", "Serch0").has_value());
}

TEST(IniText, WhatCannotBeWrittenIsNamed) {
    EXPECT_TRUE(TIniText::WriteProblem("App", "FileName", "/dir/notes.txt").isEmpty());
    EXPECT_TRUE(TIniText::WriteProblem("App", "FileName", "").isEmpty());
    for (const QString& bad : {QStringLiteral("/dir/notes\n[File]\nAutoSave=1"), QStringLiteral("a\rb"),
                               QString(QStringLiteral("a")) + QChar(0) + QStringLiteral("b")}) {
        EXPECT_FALSE(TIniText::WriteProblem("App", "FileName", bad).isEmpty());
        EXPECT_FALSE(TIniText::WriteProblem("App", bad, "v").isEmpty());
        EXPECT_FALSE(TIniText::WriteProblem(bad, "k", "v").isEmpty());
    }
    EXPECT_FALSE(TIniText::WriteProblem("App", "a=b", "v").isEmpty());
    EXPECT_FALSE(TIniText::WriteProblem("App", ";k", "v").isEmpty());
    EXPECT_FALSE(TIniText::WriteProblem("App", "[k", "v").isEmpty());
    EXPECT_FALSE(TIniText::WriteProblem("App", " k", "v").isEmpty());
    EXPECT_FALSE(TIniText::WriteProblem("App", "", "v").isEmpty());
    EXPECT_FALSE(TIniText::WriteProblem("A]B", "k", "v").isEmpty());
    EXPECT_FALSE(TIniText::WriteProblem("", "k", "v").isEmpty());
}

TEST(IniText, RemovingKeysAndSections) {
    TIniText ini("[A]\nx=1\ny=2\n[B]\nz=3");
    EXPECT_TRUE(ini.RemoveKey("a", "Y"));
    EXPECT_FALSE(ini.RemoveKey("a", "Y"));
    EXPECT_EQ(ini.Bytes(), "[A]\nx=1\n[B]\nz=3");
    EXPECT_TRUE(ini.RemoveSection("b"));
    EXPECT_EQ(ini.Bytes(), "[A]\nx=1\n");
    EXPECT_FALSE(ini.RemoveSection("b"));
}
