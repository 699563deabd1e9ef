// The recent-file list without widgets: registering, gaps, the settings file, and the modes
// and keyword files it sits beside.
#include "RecentFiles.h"
#include "EditModes.h"
#include "KeywordFile.h"
#include "PlatformError.h"
#include "Profile.h"
#include "ProgramFolder.h"
#include "RegularFile.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace quire;

// Paths print as text when a comparison fails.
void PrintTo(const QString& Text, std::ostream* Out) { *Out << '"' << Text.toStdString() << '"'; }

namespace {

QString ini() { return SettingsFileName(); }

QString path(int i) { return QStringLiteral("/home/user/file%1.txt").arg(i); }

// The nine items, "-" for a gap.
QStringList items(const TRecentFiles& r) {
    QStringList l;
    for (int k = 1; k <= TRecentFiles::Count; ++k) l << (r.Path(k).isEmpty() ? QStringLiteral("-") : r.Path(k));
    return l;
}

QStringList names(std::initializer_list<int> numbers) {
    QStringList l;
    for (int i : numbers) l << (i == 0 ? QStringLiteral("-") : path(i));
    return l;
}

} // namespace

TEST(RecentFiles, NineFillTheListLatestOnTopAndATenthDropsTheOldest) {
    TRecentFiles r;
    EXPECT_TRUE(r.IsEmpty());
    for (int i = 1; i <= 9; ++i) ASSERT_TRUE(r.Register(path(i)));
    EXPECT_EQ(items(r), names({9, 8, 7, 6, 5, 4, 3, 2, 1}));
    r.Register(path(10));
    EXPECT_EQ(items(r), names({10, 9, 8, 7, 6, 5, 4, 3, 2}));
    EXPECT_FALSE(r.IsEmpty());
}

TEST(RecentFiles, RegisteringAListedPathMovesItToTheTopAndOnlyThoseAboveItDown) {
    TRecentFiles r;
    for (int i = 1; i <= 9; ++i) r.Register(path(i));
    r.Register(path(5)); // item 5
    EXPECT_EQ(items(r), names({5, 9, 8, 7, 6, 4, 3, 2, 1}));
    r.Register(path(5)); // already on top
    EXPECT_EQ(items(r), names({5, 9, 8, 7, 6, 4, 3, 2, 1}));
    r.Register(path(1)); // the last item
    EXPECT_EQ(items(r), names({1, 5, 9, 8, 7, 6, 4, 3, 2}));
}

// Two spellings are two files here: neither is lower-cased, neither replaces the other.
TEST(RecentFiles, PathsKeepTheirSpellingAndCompareExactly) {
    TRecentFiles r;
    r.Register(QStringLiteral("/tmp/Memo.TXT"));
    r.Register(QStringLiteral("/tmp/memo.txt"));
    r.Register(QStringLiteral("/tmp/Memo.TXT"));
    EXPECT_EQ(r.Path(1), QStringLiteral("/tmp/Memo.TXT"));
    EXPECT_EQ(r.Path(2), QStringLiteral("/tmp/memo.txt"));
    EXPECT_TRUE(r.Path(3).isEmpty());
}

TEST(RecentFiles, APathTheSettingsFileCannotHoldIsNotRegistered) {
    TRecentFiles r;
    r.Register(path(1));
    // A name kept as bytes that are no UTF-8 holds lone surrogates: written as UTF-8 it would
    // come back as another name.
    const QString notUtf8 = QStringLiteral("/tmp/") + QChar(0xDC82) + QChar(0xDCA0) + QStringLiteral(".txt");
    for (const QString& bad : {QString(), QStringLiteral("/tmp/a\nb"), QStringLiteral("/tmp/a\rb"),
                               QStringLiteral("/tmp/a") + QChar(u'\0') + QStringLiteral("b"), notUtf8})
        EXPECT_FALSE(r.Register(bad)) << bad.toStdString();
    EXPECT_EQ(items(r), names({1, 0, 0, 0, 0, 0, 0, 0, 0}));
    r.Save(ini()); // and so the list can always be written
    EXPECT_EQ(profile::ReadString(ini(), "RecentFile", "File1"), path(1));
}

TEST(RecentFiles, CaptionsNumberTheItemsAndShowAmpersands) {
    TRecentFiles r;
    r.Register(QStringLiteral("/tmp/R&D/メモ.txt"));
    EXPECT_EQ(r.Caption(1), QStringLiteral("&1 /tmp/R&&D/メモ.txt"));
    EXPECT_EQ(r.Path(1), QStringLiteral("/tmp/R&D/メモ.txt"));
    EXPECT_TRUE(r.Path(0).isEmpty());
    EXPECT_TRUE(r.Path(10).isEmpty());
}

TEST(RecentFiles, GapsInTheFileStayGapsAndMoveDownWithTheItems) {
    profile::WriteString(ini(), "RecentFile", "File1", path(1));
    profile::WriteString(ini(), "RecentFile", "File3", path(3));
    profile::WriteString(ini(), "RecentFile", "File9", path(9));
    TRecentFiles r;
    r.Load(ini());
    EXPECT_EQ(items(r), names({1, 0, 3, 0, 0, 0, 0, 0, 9}));
    // No item is copied twice across a gap, and the ninth goes out.
    r.Register(path(7));
    EXPECT_EQ(items(r), names({7, 1, 0, 3, 0, 0, 0, 0, 0}));
    r.Register(path(3));
    EXPECT_EQ(items(r), names({3, 7, 1, 0, 0, 0, 0, 0, 0}));
}

TEST(RecentFiles, LoadLeavesOutWhatCannotBeAnItem) {
    profile::WriteString(ini(), "RecentFile", "File1", path(1));
    profile::WriteString(ini(), "RecentFile", "File2", path(1)); // a hand-made repeat
    profile::WriteString(ini(), "RecentFile", "File3", path(3));
    TRecentFiles r;
    r.Register(path(8)); // whatever was there before goes
    r.Load(ini());
    EXPECT_EQ(items(r), names({1, 0, 3, 0, 0, 0, 0, 0, 0}));
}

TEST(RecentFiles, SaveWritesExactlyTheListAndLoadReadsItBack) {
    profile::WriteString(ini(), "RecentFile", "File4", path(44)); // stale: item 4 is a gap
    TRecentFiles r;
    r.Register(QStringLiteral("/tmp/日本語 の/ファイル.txt"));
    r.Register(path(2));
    r.Save(ini());
    EXPECT_EQ(profile::ReadString(ini(), "RecentFile", "File1"), path(2));
    EXPECT_EQ(profile::ReadString(ini(), "RecentFile", "File2"), QStringLiteral("/tmp/日本語 の/ファイル.txt"));
    EXPECT_EQ(profile::ReadString(ini(), "RecentFile", "File4"), QString());
    TRecentFiles back;
    back.Load(ini());
    EXPECT_EQ(back, r);
    // Blanks at the end and quotes around a name survive the file too.
    for (const QString& odd : {QStringLiteral("/tmp/メモ　"), QStringLiteral("/tmp/a "), QStringLiteral("/tmp/\"q\""),
                               QStringLiteral("'/x'"), QStringLiteral("/tmp/\t")})
        r.Register(odd);
    r.Save(ini());
    back.Load(ini());
    EXPECT_EQ(items(back), items(r));
    r.Clear();
    EXPECT_TRUE(r.IsEmpty());
    r.Save(ini());
    back.Load(ini());
    EXPECT_TRUE(back.IsEmpty());
}

TEST(EditModes, ExtensionsChooseTheirModesWhateverTheirCase) {
    EXPECT_EQ(ModeForPath(QStringLiteral("/tmp/memo.PL")), TEditMode::Perl);
    EXPECT_EQ(ModeForPath(QStringLiteral("/tmp/memo.dpr")), TEditMode::Normal);
    EXPECT_EQ(ModeForPath(QStringLiteral("/tmp/unit.Pas")), TEditMode::Delphi);
    EXPECT_EQ(ModeForPath(QStringLiteral("/tmp/index.HTML")), TEditMode::HTML);
    EXPECT_EQ(ModeForPath(QStringLiteral("/tmp/a.htm")), TEditMode::HTML);
    EXPECT_EQ(ModeForPath(QStringLiteral("/tmp/setup.inf")), TEditMode::Ini);
    EXPECT_EQ(ModeForPath(QStringLiteral("/tmp/run.cgi")), TEditMode::Perl);
    EXPECT_EQ(ModeForPath(QStringLiteral("/tmp/x.h")), TEditMode::Cpp);
    EXPECT_EQ(ModeForPath(QStringLiteral("/tmp/x.C")), TEditMode::Cpp);
    EXPECT_EQ(ModeForPath(QStringLiteral("/tmp/x.bas")), TEditMode::Basic);
    EXPECT_EQ(ModeForPath(QStringLiteral("/tmp/x.pl.txt")), TEditMode::Normal);
    EXPECT_EQ(ModeForPath(QStringLiteral("/tmp/x.c/readme")), TEditMode::Normal) << "the folder's dot is no extension";
    EXPECT_EQ(ModeForPath(QStringLiteral("/tmp/pl")), TEditMode::Normal);
    EXPECT_EQ(ModeForExtension(QStringLiteral(".qre")), TEditMode::Normal);
    EXPECT_EQ(ModeForExtension(QString()), TEditMode::Normal);
}

TEST(EditModes, NamesItemsAndSwitchesMatchOneAnother) {
    const QStringList switches = {{}, "/del", "/ini", "/html", "/perl", "/cpp", "/basic", "/user"};
    for (int i = 0; i < EditModeCount; ++i) {
        const auto mode = static_cast<TEditMode>(i);
        EXPECT_EQ(ModeOfName(ModeName(mode)), mode) << i;
        EXPECT_TRUE(ModeItemName(mode).startsWith(QStringLiteral("Mm_mode_"))) << i;
        if (i > 0) {
            EXPECT_EQ(ModeOfSwitch(switches[i]), mode) << i;
        }
    }
    EXPECT_EQ(ModeName(TEditMode::Yuza), QStringLiteral("ユーザ"));
    EXPECT_EQ(ModeName(TEditMode::Cpp), QStringLiteral("C++"));
    EXPECT_FALSE(ModeOfSwitch(QStringLiteral("/PERL"))) << "switches compare exactly";
    EXPECT_FALSE(ModeOfSwitch(QStringLiteral("perl")));
    EXPECT_FALSE(ModeOfName(QStringLiteral("perl")));
    EXPECT_EQ(ModeOfPage(QStringLiteral("nonsense")), TEditMode::Normal);
    EXPECT_TRUE(ModeColouringName(TEditMode::Normal).isEmpty());
    EXPECT_TRUE(ModeColouringName(TEditMode::Yuza).isEmpty());
    EXPECT_EQ(ModeKeywordFileName(TEditMode::Cpp), QStringLiteral("Cpp.qre"));
    EXPECT_TRUE(ModeKeywordFileName(TEditMode::HTML).isEmpty());
}

TEST(KeywordFile, LinesEndAtCrLfCrOrLfAndStayShiftJis) {
    const QString file = ProgramFile(QStringLiteral("Perl.qre"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    // "my", "漢字" in Shift_JIS, an empty line, "sub", "表" (whose trail byte is a backslash).
    f.write("my\r\n\x8a\xbf\x8e\x9a\r\r\nsub\n\x95\x5c");
    f.close();
    const auto words = ReadKeywordFile(file);
    ASSERT_TRUE(words);
    EXPECT_EQ(*words, (std::vector<std::string>{"my", "\x8a\xbf\x8e\x9a", "sub", "\x95\x5c"}));
    EXPECT_FALSE(ReadKeywordFile(ProgramFile(QStringLiteral("Basic.qre")))) << "no file, no words";
}

TEST(KeywordFile, AFileThatCannotBeReadIsReportedWithItsNameAndReason) {
    const QString folder = ProgramFile(UserKeywordFileName);
    ASSERT_TRUE(QDir().mkpath(folder));
    try {
        ReadKeywordFile(folder);
        FAIL() << "a folder read as a keyword file";
    } catch (const EPlatformError& e) {
        const QString text = QString::fromStdString(e.what());
        EXPECT_TRUE(text.contains(folder)) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("通常のファイルではありません"))) << text.toStdString();
    }
    const QString large = ProgramFile(QStringLiteral("Cpp.qre"));
    QFile f(large);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(MaxTextFileSize + 1)); // sparse: nothing is written
    f.close();
    EXPECT_THROW(ReadKeywordFile(large), EPlatformError);
}

// The settings dialog edits the words of mode ユーザ as text, one a line.
TEST(KeywordFile, WordsAndTheirTextRoundTrip) {
    using TWords = std::vector<std::string>;
    EXPECT_EQ(KeywordsOfText("if\r\n\r\nelse\rwhile\n\n\x95\x5c"), (TWords{"if", "else", "while", "\x95\x5c"}));
    EXPECT_EQ(KeywordsOfText(""), TWords{});
    EXPECT_EQ(KeywordsOfText("\r\n\r\n\n\r"), TWords{});
    EXPECT_EQ(KeywordsOfText("last"), TWords{"last"}) << "a last line without its line end";
    EXPECT_EQ(KeywordFileText({"a", "\x8a\xbf"}), "a\r\n\x8a\xbf\r\n");
    EXPECT_EQ(KeywordFileText({}), "");
    const TWords words = {"begin", " spaced ", "\x8f\x49\x97\xb9", "end"};
    EXPECT_EQ(KeywordsOfText(KeywordFileText(words)), words);
}

TEST(KeywordFile, WrittenWordsReadBack) {
    const QString file = ProgramFile(UserKeywordFileName);
    const std::vector<std::string> words = {"begin", "\x8f\x49\x97\xb9", "end"};
    WriteKeywordFile(file, words);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("begin\r\n\x8f\x49\x97\xb9\r\nend\r\n"));
    EXPECT_EQ(ReadKeywordFile(file), words);
    EXPECT_THROW(WriteKeywordFile(ProgramFolder() + QStringLiteral("/no/such/folder/KeyWord.qre"), words),
                 EPlatformError);
}
