// Private-profile (ini) files.
#include "Profile.h"
#include "FileSizeLimit.h"
#include "PlatformError.h"
#include "SafeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace quire::profile;
using quire::test::FileSizeLimit;

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

// A 64 KiB tmpfs mounted on a temporary folder, when this process may mount one.
class SmallDisk {
public:
    SmallDisk() {
        if (::mount("tmpfs", dir_.path().toLocal8Bit().constData(), "tmpfs", 0, "size=64k") == 0)
            mounted_ = true;
        else
            why_ = std::strerror(errno);
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(dir_.path().toLocal8Bit().constData(), MNT_DETACH);
    }
    bool Mounted() const { return mounted_; }
    std::string Why() const { return why_; }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    // Writes a file that takes every block left.
    void Fill() {
        QFile filler(Path(QStringLiteral("filler")));
        filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
    std::string why_;
};

// Settings lines long enough that a new copy of the file does not fit where the old one did.
QByteArray manyLines(int count) {
    QByteArray bytes = "[Combo]\n";
    for (int i = 0; i < count; ++i) bytes += "Serch" + QByteArray::number(i) + "=some earlier search text\n";
    return bytes;
}

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

TEST_F(ProfileTest, NoValueWithALineEndOrNulIsWritten) {
    write("[App]\nHandle=1\n");
    const QString hostile = QStringLiteral("/dir/notes\n[File]\nAutoSave=1\nTime=5\n[z");
    for (const QString& bad : {hostile, QStringLiteral("/dir/notes\r[File]"), QStringLiteral("a") + QChar(0) + "b"}) {
        try {
            WriteString(path(), "App", "FileName", bad);
            FAIL() << "no error raised";
        } catch (const quire::EPlatformError& e) {
            EXPECT_NE(std::string(e.what()).find("quire.ini"), std::string::npos) << e.what();
        }
        EXPECT_THROW(WriteString(path(), bad, "k", "v"), quire::EPlatformError);
        EXPECT_THROW(WriteString(path(), "App", bad, "v"), quire::EPlatformError);
    }
    EXPECT_EQ(read(), "[App]\nHandle=1\n");
    EXPECT_FALSE(ReadBool(path(), "File", "AutoSave", false));
    EXPECT_THROW(WriteString(path(), "App", "a=b", "v"), quire::EPlatformError);
    EXPECT_THROW(WriteString(path(), "A]B", "k", "v"), quire::EPlatformError);
    EXPECT_EQ(read(), "[App]\nHandle=1\n");
}

TEST_F(ProfileTest, LinesNotChangedKeepEveryByte) {
    // A comment and a value with bytes that are neither UTF-8 nor Shift_JIS, a code page 932
    // value, a byte order mark, mixed line ends and no line end at the very end.
    const QByteArray before = "\xEF\xBB\xBF; \x80\xFF\xFE\r\n[Find]\r\nSerch0=\x93\xFA\x96\x7B\r\nSerch1=\xFD\x81\n"
                              "[App]\rHandle=1";
    write(before);
    WriteInteger(path(), "App", "Handle", 2);
    EXPECT_EQ(read(), QByteArray(before).replace("Handle=1", "Handle=2"));
    WriteString(path(), "Find", "Serch2", QStringLiteral("日本"));
    EXPECT_EQ(read(),
              QByteArray("\xEF\xBB\xBF; \x80\xFF\xFE\r\n[Find]\r\nSerch0=\x93\xFA\x96\x7B\r\nSerch1=\xFD\x81\n") +
                  QStringLiteral("Serch2=日本").toUtf8() + "\r\n[App]\rHandle=2");
    EXPECT_EQ(ReadString(path(), "Find", "Serch0"), QStringLiteral("日本"));
    EXPECT_EQ(ReadString(path(), "Find", "Serch2"), QStringLiteral("日本"));
}

TEST_F(ProfileTest, AWriteCutByAFileSizeLimitLeavesTheOldFile) {
    const QByteArray before = manyLines(100); // about 3 KB: well inside Qt's write buffer
    write(before);
    try {
        FileSizeLimit limit(1024);
        WriteString(path(), "Combo", "Serch100", "one more");
        FAIL() << "the cut write was reported as a success";
    } catch (const quire::EPlatformError& e) {
        EXPECT_NE(std::string(e.what()).find("quire.ini"), std::string::npos) << e.what();
        EXPECT_NE(QString::fromStdString(e.what()).indexOf(quire::SystemErrorText(EFBIG)), -1) << e.what();
    }
    EXPECT_EQ(read(), before);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"quire.ini"}); // no temporary left
    WriteString(path(), "Combo", "Serch100", "one more");
    EXPECT_EQ(ReadString(path(), "Combo", "Serch100"), "one more");
}

TEST_F(ProfileTest, AWriteOntoAFullDiskLeavesTheOldFile) {
    SmallDisk disk;
    if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a small tmpfs here (" << disk.Why() << ")";
    const QString ini = disk.Path("quire.ini");
    for (const int lines : {100, 1000}) { // below and above Qt's 16 KiB write buffer
        QFile::remove(disk.Path("filler"));
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const QByteArray before = manyLines(lines);
        ASSERT_EQ(f.write(before), before.size());
        f.close();
        disk.Fill();
        EXPECT_THROW(WriteString(ini, "Combo", "Serch0", "changed"), quire::EPlatformError) << lines;
        QFile check(ini);
        ASSERT_TRUE(check.open(QIODevice::ReadOnly));
        EXPECT_TRUE(check.readAll() == before) << lines;
    }
}

TEST_F(ProfileTest, AFifoOrFolderIsNeitherReadNorWrittenOver) {
    ASSERT_EQ(::mkfifo(path().toLocal8Bit().constData(), 0600), 0);
    EXPECT_EQ(ReadString(path(), "App", "Handle", "none"), "none"); // does not block
    EXPECT_THROW(WriteString(path(), "App", "Handle", "1"), quire::EPlatformError);
    EXPECT_FALSE(QFileInfo(path()).isFile());
    ASSERT_TRUE(QFile::remove(path()));
    ASSERT_TRUE(QDir().mkdir(path()));
    EXPECT_EQ(ReadInteger(path(), "App", "Handle", 7), 7);
    EXPECT_THROW(WriteString(path(), "App", "Handle", "1"), quire::EPlatformError);
    EXPECT_TRUE(QFileInfo(path()).isDir());
}

TEST_F(ProfileTest, AnUnwritableFileKeptInMemoryIsReportedOncePerFailure) {
    QStringList reports;
    KeepInMemoryWhenUnwritable(path(), [&reports](const QString& m) { reports << m; });
    ASSERT_TRUE(QDir().mkdir(path())); // a folder where the file should be
    WriteString(path(), "Bar", "Tool", "0");
    WriteString(path(), "Bar", "Status", "0");
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains(path())) << reports[0].toStdString();
    EXPECT_EQ(ReadString(path(), "Bar", "Tool"), "0"); // the settings in memory
    EXPECT_EQ(ReadString(path(), "Bar", "Status"), "0");
    // A name with a line end is still refused, not kept.
    EXPECT_THROW(WriteString(path(), "App", "FileName", "a\nb"), quire::EPlatformError);
    // Once the disk takes it, the whole text is written and read from there again.
    ASSERT_TRUE(QDir().rmdir(path()));
    WriteString(path(), "Bar", "Mozi", "1");
    EXPECT_EQ(read(), "[Bar]\nTool=0\nStatus=0\nMozi=1\n");
    write("[Bar]\nTool=1\n");
    EXPECT_EQ(ReadString(path(), "Bar", "Tool"), "1");
    EXPECT_EQ(reports.size(), 1);
    // A new failure after a success is told again.
    ASSERT_TRUE(QFile::remove(path()));
    ASSERT_TRUE(QDir().mkdir(path()));
    WriteString(path(), "Bar", "Tool", "0");
    EXPECT_EQ(reports.size(), 2);
    KeepInMemoryWhenUnwritable(path(), nullptr);
    EXPECT_THROW(WriteString(path(), "Bar", "Tool", "1"), quire::EPlatformError);
}

// Writes in a batch read back at once but reach the file only with the outer batch's Commit,
// in one write; a batch that ends without Commit leaves the file as it was.
TEST_F(ProfileTest, ABatchWritesItsValuesOnceOnCommit) {
    write("[A]\nk=0\n");
    {
        TBatch outer(path());
        WriteString(path(), "A", "k", "1");
        {
            TBatch inner(path()); // joins the outer one
            WriteString(path(), "B", "n", "2");
            inner.Commit();
        }
        EXPECT_EQ(ReadString(path(), "B", "n"), "2");
        EXPECT_EQ(read(), "[A]\nk=0\n") << "nothing written before the outer Commit";
        outer.Commit();
        EXPECT_EQ(read(), "[A]\nk=1\n[B]\nn=2\n");
    }
    {
        TBatch dropped(path());
        WriteString(path(), "A", "k", "3");
    }
    EXPECT_EQ(read(), "[A]\nk=1\n[B]\nn=2\n");
    EXPECT_EQ(ReadString(path(), "A", "k"), "1");
}
