// The search of files: a tree of the same text in every code the editor reads (each found at
// the same line and column, with its code), binary and huge files passed over, name patterns
// and subfolders, and what a line's matches give (columns in characters, several a line).
#include "GrepRun.h"

#include "Cp932Codec.h"
#include "TestFiles.h"
#include "jconvert.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>
#include <unistd.h>

using namespace quire;

namespace {

std::string sj(const QString& Text) { return cp932::FromUnicode(Text); }

std::string utf16(const QString& Text, bool Big) {
    std::string out = Big ? "\xFE\xFF" : "\xFF\xFE";
    for (const QChar c : Text) {
        const char hi = static_cast<char>(c.unicode() >> 8), lo = static_cast<char>(c.unicode() & 0xFF);
        out += Big ? hi : lo;
        out += Big ? lo : hi;
    }
    return out;
}

const QString kText = QStringLiteral("first line\r\n漢字とかな 東京都の検索語 end\r\n三行目 検索\r\n");

struct TFound {
    QString Name;
    std::string Code;
    int Line, Column, Length;
    QString Text;
    friend bool operator==(const TFound&, const TFound&) = default;
    friend std::ostream& operator<<(std::ostream& o, const TFound& f) {
        return o << f.Name.toStdString() << "(" << f.Line << "," << f.Column << ")+" << f.Length << " [" << f.Code
                 << "] " << f.Text.toStdString();
    }
};

// Every hit of a run over Paths, and the files skipped with their reason.
struct TRunResult {
    std::vector<TFound> Hits;
    std::vector<std::pair<QString, TGrepSkip>> Skipped;
};

TRunResult grep(const TGrepOptions& Options, const QStringList& Paths, int Threads = 2) {
    const TGrepQuery query(Options);
    TGrepRun run(query);
    TRunResult r;
    run.OnFile = [&r](const TGrepFileResult& F) {
        const QString name = QFileInfo(F.Path).fileName();
        if (F.Skipped != TGrepSkip::None) r.Skipped.emplace_back(name, F.Skipped);
        for (const TGrepHit& h : F.Hits) r.Hits.push_back({name, F.Code, h.Line, h.Column, h.Length, F.Lines[h.Text]});
    };
    run.Run(Paths, Threads);
    return r;
}

TGrepOptions options(const QString& Pattern) {
    TGrepOptions o;
    o.Pattern = Pattern;
    o.MatchCase = true;
    return o;
}

const QString kLine = QStringLiteral("漢字とかな 東京都の検索語 end");

} // namespace

TEST(GrepTest, EveryCodeOfTheTreeIsReadInItsOwnCodeAndFoundInPlace) {
    QTemporaryDir dir;
    struct Case {
        const char* Name;
        std::string Bytes;
        const char* Code;
    };
    const std::string sjis = sj(kText);
    const Case cases[] = {
        {"a-sjis.txt", sjis, "S-JIS"},
        {"b-euc.txt", jconvert::ConvertLineEnd(jconvert::SjisToEuc(sjis), jconvert::leLf), "EUC"},
        {"c-jis.txt", jconvert::SjisToJis(sjis), "JIS"},
        {"d-utf8.txt", kText.toStdString(), "UTF-8"},
        {"e-utf8bom.txt", "\xEF\xBB\xBF" + kText.toStdString(), "UTF-8"},
        {"f-utf16le.txt", utf16(kText, false), "UTF-16LE"},
        {"g-utf16be.txt", utf16(kText, true), "UTF-16BE"},
    };
    std::vector<TFound> expected;
    for (const Case& c : cases) {
        test::WriteTestFile(dir, c.Name, c.Bytes);
        expected.push_back({c.Name, c.Code, 2, 11, 3, kLine});
    }
    // The search text and the expression give the same places, every file in the walk's order.
    for (const bool regex : {false, true}) {
        TGrepOptions o = options(regex ? QStringLiteral("検索語") : QStringLiteral("検索語"));
        o.RegExp = regex;
        EXPECT_EQ(expected, grep(o, {dir.path()}).Hits) << (regex ? "expression" : "text");
    }
    TGrepOptions o = options(QStringLiteral("[東京]+都の(検索)"));
    o.RegExp = true;
    for (TFound& f : expected) f.Column = 7, f.Length = 6;
    EXPECT_EQ(expected, grep(o, {dir.path()}, 1).Hits);
}

TEST(GrepTest, ColumnsCountCharactersAndALineMayHoldSeveralMatches) {
    QTemporaryDir dir;
    const QString utf8Text = QStringLiteral("\U0001F600検索語 é検索語\n検索語");
    test::WriteTestFile(dir, "emoji.txt", utf8Text.toStdString());
    const QString first = QStringLiteral("\U0001F600検索語 é検索語");
    EXPECT_EQ((std::vector<TFound>{{"emoji.txt", "UTF-8", 1, 2, 3, first},
                                   {"emoji.txt", "UTF-8", 1, 7, 3, first},
                                   {"emoji.txt", "UTF-8", 2, 1, 3, QStringLiteral("検索語")}}),
              grep(options(QStringLiteral("検索語")), {dir.path()}).Hits);
    // Lines end at CR LF, CR and LF alike, as the editor splits them.
    test::WriteTestFile(dir, "emoji.txt", std::string("x\ry\r\nz\nab x"));
    EXPECT_EQ((std::vector<TFound>{{"emoji.txt", "S-JIS", 1, 1, 1, "x"}, {"emoji.txt", "S-JIS", 4, 4, 1, "ab x"}}),
              grep(options(QStringLiteral("x")), {dir.path()}).Hits);
}

TEST(GrepTest, OptionsOfCaseWordsAndExpressions) {
    QTemporaryDir dir;
    test::WriteTestFile(dir, "t.txt", sj(QStringLiteral("Foo foo_bar ｆｏｏ foobar\r\n2024年5月\r\n")));
    struct Case {
        const char* Pattern;
        bool MatchCase, WholeWord, RegExp;
        std::vector<int> Columns; // of the matches on line 1, then line 2 (negative)
    };
    const Case cases[] = {
        {"foo", true, false, false, {5, 17}},
        {"foo", false, false, false, {1, 5, 17}},
        {"ＦＯＯ", false, false, false, {13}},
        {"foo", false, true, false, {1, 5}},
        {R"(\d+)", true, false, true, {-1, -6}},
        {R"(f\w+)", true, true, true, {5, 17}},
        // The expression's own (?i) folds case as the engine does: full-width letters stay apart.
        {"(?i)FOO", true, false, true, {1, 5, 17}},
    };
    for (const Case& c : cases) {
        TGrepOptions o = options(QString::fromUtf8(c.Pattern));
        o.MatchCase = c.MatchCase;
        o.WholeWord = c.WholeWord;
        o.RegExp = c.RegExp;
        std::vector<int> columns;
        for (const TFound& f : grep(o, {dir.path()}).Hits) columns.push_back(f.Line == 1 ? f.Column : -f.Column);
        EXPECT_EQ(c.Columns, columns) << c.Pattern;
    }
}

TEST(GrepTest, NamePatternsSubfoldersBinaryAndHugeFilesAndLinks) {
    QTemporaryDir dir;
    const std::string hit = sj(QStringLiteral("検索語\r\n"));
    QDir(dir.path()).mkpath(QStringLiteral("sub/deeper"));
    test::WriteTestFile(dir, "a.txt", hit);
    test::WriteTestFile(dir, "B.TXT", hit);
    test::WriteTestFile(dir, "c.c", hit);
    test::WriteTestFile(dir, "d.md", hit);
    test::WriteTestFile(dir, "sub/e.h", hit);
    test::WriteTestFile(dir, "sub/deeper/f.txt", hit);
    test::WriteTestFile(dir, "nul.txt", hit + std::string("\0x", 2));
    test::WriteTestFile(dir, "bin.txt", std::string("\x01\x02\x03", 3) + hit);
    {
        QFile huge(QDir(dir.path()).filePath(QStringLiteral("huge.txt"))); // sparse: no disk taken
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_TRUE(huge.resize(MaxTextFileSize + 1));
    }
    ASSERT_EQ(0, ::symlink(QDir(dir.path()).filePath(QStringLiteral("sub")).toLocal8Bit().constData(),
                           QDir(dir.path()).filePath(QStringLiteral("link")).toLocal8Bit().constData()));
    auto names = [](const TRunResult& R) {
        QStringList n;
        for (const TFound& f : R.Hits) n << f.Name;
        return n.join(u' ');
    };
    TGrepOptions o = options(QStringLiteral("検索語"));
    o.Globs = {QStringLiteral("*.txt"), QStringLiteral("*.c"), QStringLiteral("*.h")};
    o.GlobCaseless = true;
    const TRunResult all = grep(o, {dir.path()});
    EXPECT_EQ(QStringLiteral("a.txt B.TXT c.c e.h f.txt"), names(all)); // the link to sub is not followed
    EXPECT_EQ((std::vector<std::pair<QString, TGrepSkip>>{{QStringLiteral("bin.txt"), TGrepSkip::Binary},
                                                          {QStringLiteral("huge.txt"), TGrepSkip::TooLarge},
                                                          {QStringLiteral("nul.txt"), TGrepSkip::Binary}}),
              all.Skipped);
    o.GlobCaseless = false;
    o.Recursive = false;
    EXPECT_EQ(QStringLiteral("a.txt c.c"), names(grep(o, {dir.path()})));
    o.Globs = {QStringLiteral("*.*")};
    EXPECT_EQ(QStringLiteral("d.md"), names(grep(o, {QDir(dir.path()).filePath(QStringLiteral("d.md"))}))); // named
    o.GlobCaseless = true;
    EXPECT_EQ(QStringLiteral("a.txt B.TXT c.c d.md"), names(grep(o, {dir.path()})));
    // A folder where only files are searched, and a path that is not there.
    o.NamedFolders = false;
    const TRunResult refused = grep(o, {dir.path(), dir.path() + QStringLiteral("/none")});
    EXPECT_TRUE(refused.Hits.empty());
    EXPECT_EQ((std::vector<std::pair<QString, TGrepSkip>>{{QFileInfo(dir.path()).fileName(), TGrepSkip::Folder},
                                                          {QStringLiteral("none"), TGrepSkip::Unreadable}}),
              refused.Skipped);
}

TEST(GrepTest, ACancelledRunEndsWithoutTheRest) {
    QTemporaryDir dir;
    for (int i = 0; i < 50; ++i) test::WriteTestFile(dir, QStringLiteral("f%1.txt").arg(i, 2, 10, QChar(u'0')), "x\n");
    const TGrepQuery query(options(QStringLiteral("x")));
    TGrepRun run(query);
    int files = 0;
    run.OnFile = [&](const TGrepFileResult&) {
        if (++files == 3) run.Cancel();
    };
    run.Run({dir.path()}, 2);
    EXPECT_TRUE(run.Cancelled());
    EXPECT_GE(files, 3);
    EXPECT_LT(files, 50);
}

// UTF-8 and EUC texts are searched only in the lines that hold the pattern's bytes in their own
// code; what they find must be what the Shift_JIS text of the same characters gives, whatever
// the case and word options, line ends, byte order mark and characters with case forms. (The
// tilde is U+FF5E, which code page 932 holds: a UTF-8 text's U+301C takes a code of its own.)
TEST(GrepTest, EveryCodeFindsWhatShiftJisFindsLineForLine) {
    const QStringList pieces = {
        QStringLiteral("検索語"),   QStringLiteral("検索"),   QStringLiteral("語"),  QStringLiteral("けんさく"),
        QStringLiteral("ケンサク"), QStringLiteral("ｹﾝｻｸ"),   QStringLiteral("Foo"), QStringLiteral("foo"),
        QStringLiteral("ｆｏｏ"),   QStringLiteral("ＦＯＯ"), QStringLiteral("αβ"),  QStringLiteral("ΑΒ"),
        QStringLiteral("～"),       QStringLiteral(" "),      QStringLiteral("_"),   QStringLiteral("1"),
        QStringLiteral("\r\n"),     QStringLiteral("\n"),     QStringLiteral("\r")};
    struct Pattern {
        const char* Text;
        bool MatchCase, WholeWord;
    };
    const Pattern patterns[] = {
        {"検索語", true, false}, {"索語", true, false}, {"検索", false, true},    {"けんさく", true, false},
        {"ｹﾝｻｸ", true, false},   {"foo", false, false}, {"ｆｏｏ", false, false}, {"ＦＯＯ検索", false, false},
        {"αβ", false, false},    {"Foo", true, true},   {"～検索", true, false},  {"1語", true, false},
    };
    std::mt19937 random(36);
    for (int text = 0; text < 40; ++text) {
        QString t = text % 2 ? QStringLiteral("検索語") : QString();
        for (int n = 0; n < 60; ++n) t += pieces[static_cast<qsizetype>(random() % pieces.size())];
        const std::string sjis = sj(t);
        const std::string encoded[] = {t.toStdString(), "\xEF\xBB\xBF" + t.toStdString(), jconvert::SjisToEuc(sjis)};
        for (const Pattern& p : patterns) {
            TGrepOptions o = options(QString::fromUtf8(p.Text));
            o.MatchCase = p.MatchCase;
            o.WholeWord = p.WholeWord;
            const TGrepQuery query(o);
            auto found = [&](std::string_view Bytes) {
                const TGrepFileResult r = query.SearchBytes(QStringLiteral("t"), Bytes);
                std::vector<TFound> hits;
                for (const TGrepHit& h : r.Hits) hits.push_back({{}, {}, h.Line, h.Column, h.Length, r.Lines[h.Text]});
                return hits;
            };
            const std::vector<TFound> expected = found(sjis);
            for (std::size_t e = 0; e < std::size(encoded); ++e)
                EXPECT_EQ(expected, found(encoded[e])) << "text " << text << " code " << e << " pattern " << p.Text;
        }
    }
}
