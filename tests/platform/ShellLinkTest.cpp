// Where ".lnk" shortcuts point: symbolic links and shortcut files written by Windows.
#include "ShellLink.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>

using quire::ResolveShellLink;

namespace {

void put16(std::string& s, uint32_t v) {
    s += char(v & 0xFF);
    s += char(v >> 8 & 0xFF);
}
void put32(std::string& s, uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

// A shortcut file laid out as Windows writes it: header, optional item list, link info with a
// local path in code page 932, and an optional Unicode relative path.
std::string LinkFile(const std::string& localPath, const std::u16string& relative, bool itemList = true) {
    const uint32_t flags =
        (itemList ? 0x01 : 0) | (localPath.empty() ? 0 : 0x02) | (relative.empty() ? 0 : 0x08) | 0x80;
    std::string s;
    put32(s, 0x4C);
    s += std::string("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16);
    put32(s, flags);
    s.resize(0x4C, '\0');
    if (itemList) {
        put16(s, 4);
        s += std::string("\x02\x00\x00\x00", 4);
    }
    if (!localPath.empty()) {
        std::string info;
        const uint32_t header = 28, volume = header, volumeSize = 16;
        const uint32_t base = volume + volumeSize, suffix = base + uint32_t(localPath.size()) + 1;
        const uint32_t size = suffix + 1;
        put32(info, size);
        put32(info, header);
        put32(info, 1); // volume and local base path present
        put32(info, volume);
        put32(info, base);
        put32(info, 0);
        put32(info, suffix);
        put32(info, volumeSize);
        info.resize(base, '\0');
        info += localPath;
        info += '\0';
        info += '\0'; // an empty common path suffix
        s += info;
    }
    if (!relative.empty()) {
        put16(s, uint32_t(relative.size()));
        for (char16_t c : relative) put16(s, c);
    }
    return s;
}

void write(const QString& path, const std::string& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), qint64(bytes.size()));
}

} // namespace

TEST(ShellLink, ASymbolicLinkGivesItsTarget) {
    QTemporaryDir dir;
    write(dir.filePath("a.txt"), "x");
    ASSERT_TRUE(QFile::link(dir.filePath("a.txt"), dir.filePath("a.lnk")));
    EXPECT_EQ(ResolveShellLink(dir.filePath("a.lnk")).Path, dir.filePath("a.txt"));
    // A link whose target is gone is an error naming the target.
    QFile::remove(dir.filePath("a.txt"));
    const auto gone = ResolveShellLink(dir.filePath("a.lnk"));
    EXPECT_TRUE(gone.Path.isEmpty());
    EXPECT_TRUE(gone.Error.contains("a.txt"));
}

TEST(ShellLink, TheLocalPathOfAWindowsShortcutWhenItExistsHere) {
    QTemporaryDir dir;
    // Shift_JIS in the local path: "メモ.txt".
    const std::string name = "\x83\x81\x83\x82.txt";
    write(dir.filePath(QString::fromUtf8("メモ.txt")), "x");
    const std::string local = dir.path().toStdString() + "/" + name;
    write(dir.filePath("m.lnk"), LinkFile(local, u""));
    EXPECT_EQ(ResolveShellLink(dir.filePath("m.lnk")).Path, dir.filePath(QString::fromUtf8("メモ.txt")));
    write(dir.filePath("n.lnk"), LinkFile(local, u"", false)); // without an item list
    EXPECT_EQ(ResolveShellLink(dir.filePath("n.lnk")).Path, dir.filePath(QString::fromUtf8("メモ.txt")));
}

TEST(ShellLink, ARelativePathIsTakenFromTheShortcutsFolder) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("docs");
    write(dir.filePath("docs/b.txt"), "x");
    write(dir.filePath("b.lnk"), LinkFile("C:\\Users\\someone\\docs\\b.txt", u".\\docs\\b.txt"));
    EXPECT_EQ(ResolveShellLink(dir.filePath("b.lnk")).Path, dir.filePath("docs/b.txt"));
}

TEST(ShellLink, AWindowsPathThatIsNotHereIsNamedInTheError) {
    QTemporaryDir dir;
    write(dir.filePath("c.lnk"), LinkFile("C:\\Users\\someone\\c.txt", u""));
    const auto r = ResolveShellLink(dir.filePath("c.lnk"));
    EXPECT_TRUE(r.Path.isEmpty());
    EXPECT_TRUE(r.Error.contains("C:\\Users\\someone\\c.txt"));
}

TEST(ShellLink, BrokenShortcutsAreErrorsNotCrashes) {
    QTemporaryDir dir;
    const std::string good = LinkFile("C:\\x.txt", u"x.txt");
    for (size_t cut : {size_t(0), size_t(10), size_t(0x4C), size_t(0x50), good.size() - 3}) {
        write(dir.filePath("t.lnk"), good.substr(0, cut));
        const auto r = ResolveShellLink(dir.filePath("t.lnk"));
        EXPECT_TRUE(r.Path.isEmpty()) << cut;
        EXPECT_FALSE(r.Error.isEmpty()) << cut;
    }
    write(dir.filePath("t.lnk"), "plain text, not a shortcut\r\n");
    EXPECT_FALSE(ResolveShellLink(dir.filePath("t.lnk")).Error.isEmpty());
    EXPECT_FALSE(ResolveShellLink(dir.filePath("missing.lnk")).Error.isEmpty());
}
