// Private-profile (ini) files.
#include "PlatformError.h"
#include "Profile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quire::profile;

namespace {

class ProfileTest : public ::testing::Test {
protected:
    QString path() const { return dir_.filePath(QStringLiteral("quire.ini")); }
    void write(const QByteArray& bytes) {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read() const {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir dir_;
};

} // namespace

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(ReadString(path(), "App", "FileName", "none"), "none");
    EXPECT_EQ(ReadInteger(path(), "App", "Handle", 7), 7);
    write("[App]\nHandle=3\n");
    EXPECT_EQ(ReadInteger(path(), "Other", "Handle", 7), 7);
    EXPECT_EQ(ReadInteger(path(), "App", "Missing", 7), 7);
    EXPECT_EQ(ReadInteger(path(), "App", "Handle", 7), 3);
}

TEST_F(ProfileTest, NamesCompareWithoutCase) {
    write("[Window]\nLeft=10\n");
    EXPECT_EQ(ReadInteger(path(), "WINDOW", "left", 0), 10);
    WriteInteger(path(), "window", "LEFT", 20);
    EXPECT_EQ(read(), "[Window]\nLEFT=20\n");
}

TEST_F(ProfileTest, IntegersWithDefaultsOnNonNumbers) {
    write("[S]\na=12\nb=-5\nc=abc\nd=$1F\ne=0x10\nf=\ng= 42 \nh=12abc\n");
    EXPECT_EQ(ReadInteger(path(), "S", "a", 0), 12);
    EXPECT_EQ(ReadInteger(path(), "S", "b", 0), -5);
    EXPECT_EQ(ReadInteger(path(), "S", "c", 99), 99);
    EXPECT_EQ(ReadInteger(path(), "S", "d", 0), 31);
    EXPECT_EQ(ReadInteger(path(), "S", "e", 0), 16);
    EXPECT_EQ(ReadInteger(path(), "S", "f", 99), 99);
    EXPECT_EQ(ReadInteger(path(), "S", "g", 0), 42);
    EXPECT_EQ(ReadInteger(path(), "S", "h", 99), 99);
}

TEST_F(ProfileTest, WritesKeepOtherSectionsCommentsAndOrder) {
    write("; settings\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    WriteString(path(), "A", "z", "new");
    WriteString(path(), "B", "y", "3");
    WriteString(path(), "C", "k", "v");
    EXPECT_EQ(read(), "; settings\r\n[A]\r\nx=1\r\nz=new\r\n\r\n[B]\r\ny=3\r\n[C]\r\nk=v\r\n");
}

TEST_F(ProfileTest, SurvivesBrokenLinesDuplicatesAndNoFinalNewline) {
    write("garbage line\n[A]\nnot a key\nk=first\n[A]\nk=second\n=novalue\nv=a=b=c");
    EXPECT_EQ(ReadString(path(), "A", "k"), "first"); // the first section of the name wins
    EXPECT_EQ(ReadString(path(), "A", "v"), QString());
    EXPECT_EQ(ReadString(path(), "a", "not a key", "d"), "d");
    write("[A]\nv=a=b=c");
    EXPECT_EQ(ReadString(path(), "A", "v"), "a=b=c");
    WriteString(path(), "A", "w", "1");
    EXPECT_EQ(read(), "[A]\nv=a=b=c\nw=1\n");
}

TEST_F(ProfileTest, QuotedValuesLoseTheirQuotes) {
    write("[A]\nq=\"  spaced  \"\n");
    EXPECT_EQ(ReadString(path(), "A", "q"), "  spaced  ");
}

TEST_F(ProfileTest, DeleteKeyAndSection) {
    write("[A]\nx=1\ny=2\n[B]\nz=3\n");
    DeleteKey(path(), "a", "X");
    EXPECT_EQ(read(), "[A]\ny=2\n[B]\nz=3\n");
    EraseSection(path(), "A");
    EXPECT_EQ(read(), "[B]\nz=3\n");
    DeleteKey(path(), "Nope", "x"); // nothing to do, nothing written
    EXPECT_FALSE(SectionExists(path(), "A"));
    EXPECT_TRUE(SectionExists(path(), "b"));
}

TEST_F(ProfileTest, Utf8AndCp932Files) {
    WriteString(path(), "Find", "Serch0", "日本語");
    EXPECT_EQ(read(), QStringLiteral("[Find]\nSerch0=日本語\n").toUtf8());
    EXPECT_EQ(ReadString(path(), "Find", "Serch0"), "日本語");
    // The same text in code page 932 is not valid UTF-8 and is read as such.
    write("[Find]\nSerch0=\x93\xFA\x96\x7B\x8C\xEA\n");
    EXPECT_EQ(ReadString(path(), "Find", "Serch0"), "日本語");
}

TEST_F(ProfileTest, EveryReadSeesTheFileAsItIsNow) {
    WriteInteger(path(), "App", "Handle", 1);
    EXPECT_EQ(ReadInteger(path(), "App", "Handle", 0), 1);
    write("[App]\nHandle=2\n"); // changed behind our back
    EXPECT_EQ(ReadInteger(path(), "App", "Handle", 0), 2);
}

TEST_F(ProfileTest, WriteToAnUnwritableFolderNamesTheFile) {
    const QString bad = dir_.filePath(QStringLiteral("missing/folder/quire.ini"));
    try {
        WriteString(bad, "A", "k", "v");
        FAIL() << "no error raised";
    } catch (const quire::EPlatformError& e) {
        EXPECT_NE(std::string(e.what()).find("missing/folder/quire.ini"), std::string::npos) << e.what();
    }
}

TEST_F(ProfileTest, BooleansAreOneAndZero) {
    WriteBool(path(), "Bar", "Tool", true);
    WriteBool(path(), "Bar", "Status", false);
    EXPECT_TRUE(ReadBool(path(), "Bar", "Tool", false));
    EXPECT_FALSE(ReadBool(path(), "Bar", "Status", true));
    EXPECT_EQ(read(), "[Bar]\nTool=1\nStatus=0\n");
}
