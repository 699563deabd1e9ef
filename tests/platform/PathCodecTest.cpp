// File names as bytes: names that are not UTF-8 survive, are shown readably, and are found
// again from what Qt's dialogs make of them.
#include "PathCodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace quire;

namespace {
const QByteArray kSjisName = "\x93\xFA\x96\x7B\x8C\xEA.txt"; // 日本語.txt in Shift_JIS
const QByteArray kLatin1Name = "caf\xE9.txt";

void touch(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
}
} // namespace

TEST(PathCodec, BytesSurviveAndUtf8StaysItself) {
    for (const QByteArray& name : {kSjisName, kLatin1Name, QByteArray("日本語.txt"), QByteArray("a\xF0\x9F\x98\x80"),
                                   QByteArray("\xC0\x80\xED\xA0\x80\xF4\x90\x80\x80\xFF")}) {
        EXPECT_EQ(EncodePath(DecodePath(name)), name) << name.toHex().constData();
    }
    EXPECT_EQ(DecodePath("日本語.txt"), QStringLiteral("日本語.txt"));
    EXPECT_EQ(DisplayPath(DecodePath("/d/" + kSjisName)), QStringLiteral("/d/日本語.txt"));
    EXPECT_EQ(DisplayPath(DecodePath(kLatin1Name)), QStringLiteral("caf\uFFFD.txt"));
}

TEST(PathCodec, FilesWithSuchNamesAreFoundAndFoundAgain) {
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    touch(folder + "/" + kSjisName);
    const QString exact = DecodePath(folder + "/" + kSjisName);
    EXPECT_TRUE(IsRegularFile(exact));
    EXPECT_TRUE(IsReadable(exact));
    EXPECT_EQ(CanonicalPath(exact), exact);
    // What a Qt file dialog gives back: the bytes became U+FFFD.
    const QString lossy = QString::fromUtf8(folder + "/" + kSjisName);
    EXPECT_FALSE(IsRegularFile(lossy));
    EXPECT_EQ(ResolveLossyPath(lossy), exact);
    EXPECT_FALSE(MakeFolders(exact + QStringLiteral("/sub"))); // a file is in the way
    EXPECT_TRUE(MakeFolders(dir.filePath(QStringLiteral("a/b/c"))));
    EXPECT_TRUE(IsFolder(dir.filePath(QStringLiteral("a/b/c"))));
    EXPECT_TRUE(RemoveFile(exact)); // Qt's own removal could not name it
}
