// Recovery journals without the window: every edit of a store replayed from its journal file,
// merged records and their size, replace-all as one record, fresh snapshots, torn and damaged
// ends, the writer's files, locks and syncs.
#include "Cp932Table.h"
#include "FakeEditor.h"
#include "JournalReader.h"
#include "JournalWriter.h"
#include "PageJournal.h"
#include "RowSearch.h"
#include "ShiftJis.h"
#include "SnapshotCopy.h"
#include "StoreInvariants.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace quire;
using namespace quire::journal;
using namespace quire::test;
namespace fs = std::filesystem;

namespace {

// A fresh folder of the test's own, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "quire-journal-XXXXXX").string();
        Path = ::mkdtemp(pattern.data());
    }
    ~TempFolder() { fs::remove_all(Path); }
    std::string Path;
};

std::string readFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

std::vector<std::string> journalFiles(const std::string& folder) {
    std::vector<std::string> v;
    for (const auto& e : fs::directory_iterator(folder)) v.push_back(e.path().string());
    std::sort(v.begin(), v.end());
    return v;
}

TJournalPage somePage() {
    TJournalPage p;
    p.FileName = "/home/user/文書.txt";
    p.KanjiCode = "EUC";
    p.LineEndCode = "LF";
    p.Mode = "Perl";
    p.KeepsBytes = false;
    p.Stamp = TJournalStamp{true, 1234, 1700000000123456789, 42, 7};
    return p;
}

// A store whose journal is flushed by hand, as the keeper's timer would.
struct Journaled {
    explicit Journaled(const std::string& folder, std::chrono::milliseconds sync = std::chrono::seconds(3))
        : Writer(folder, sync), Journal(Writer, "page-1") {
        E.Store->SetObserver(&Journal);
    }
    ~Journaled() { E.Store->SetObserver(nullptr); }
    // Narrow rows, so that short texts wrap (with On).
    void WrapAt20(bool On) {
        E.Store->WrapOption().SetWrapByte(20);
        E.Store->SetWordWrap(On);
    }
    void Flush(bool modified = true) {
        Journal.Flush(*E.Store, modified, Page);
        Writer.WaitIdle();
    }
    std::string File() const {
        return Writer.Folder() + "/" + TJournalWriter::FileName("page-1", Journal.Generation());
    }
    // Read from the file piece by piece, as a start reads it; checked against the same bytes
    // read whole.
    TJournalContent Replay() const {
        const int fd = ::open(File().c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        ::fstat(fd, &st);
        TJournalContent c = TJournalReader::Replay(TJournalSource(fd, static_cast<uint64_t>(st.st_size)));
        ::close(fd);
        const TJournalContent whole = TJournalReader::Replay(readFile(File()));
        EXPECT_EQ(c.Text, whole.Text);
        EXPECT_EQ(c.Complete, whole.Complete);
        EXPECT_EQ(TJournalReader::Summary(readFile(File())).Page, whole.Page);
        return c;
    }

    FakeEditor E;
    TJournalWriter Writer;
    TPageJournal Journal;
    TJournalPage Page = somePage();
};

std::string randomText(std::mt19937& rng) {
    static const char* pieces[] = {
        "a",  "word",     " ",        "\t",       "\r\n",     "\r\n",     "\n",
        "\r", "\x82\xA0", "\x8A\xBF", "\x81\x42", "\x81\x75", "\x83\x41", "abcdefghijklmnopqrstuvwxyz0123456789"};
    std::string s;
    for (unsigned n = rng() % 6; n > 0; --n) s += pieces[rng() % (sizeof pieces / sizeof *pieces)];
    return s;
}

// The starts of Pattern in the text of Rows, as replace-all finds them from the start.
std::vector<int> matches(const TEditorScreenStrings& Rows, std::string_view Pattern) {
    TSearchOptions o;
    o.Set(TSearchOption::Forward, true);
    o.Set(TSearchOption::MatchCase, true);
    return TRowSearch(Rows, Pattern, o).FindAll(0, 0, "");
}

// Replace-all of Pattern by By in Rows, as the editor makes it.
void replaceAll(TEditorScreenStrings& Rows, std::string_view Pattern, std::string_view By) {
    const std::vector<int> starts = matches(Rows, Pattern);
    if (!starts.empty()) Rows.ReplaceRanges(starts, static_cast<int>(Pattern.size()), By);
}

// One random change of the store: an edit, a replace-all, an undo, a redo, a switch of word
// wrap (unless Rewraps is false).
void randomStep(std::mt19937& rng, TEditorScreenStrings& s, bool Rewraps = true) {
    const unsigned op = rng() % (Rewraps ? 100 : 94);
    if (op < 8) {
        static const char* patterns[] = {"a", "word", "\x82\xA0", " "};
        replaceAll(s, patterns[rng() % 4], randomText(rng));
    } else if (op < 72) {
        const int n = s.Count();
        const int row = static_cast<int>(rng() % static_cast<unsigned>(n + 1));
        const int count = n - row > 0 ? static_cast<int>(rng() % static_cast<unsigned>(std::min(n - row, 3) + 1)) : 0;
        std::string text = randomText(rng);
        if (count == 0 && text.empty()) text = "z";
        s.ReplaceRows(row, count, text);
    } else if (op < 84) {
        s.Undo();
    } else if (op < 94) {
        s.Redo();
    } else if (op < 97) {
        s.SetWordWrap(!s.WordWrap());
    } else {
        s.WrapOption().SetWrapByte(20 + static_cast<int>(rng() % 10));
    }
}

} // namespace

TEST(Journal, EveryEditUndoRedoAndRewrapReplaysToTheStoresText) {
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        TempFolder folder;
        Journaled j(folder.Path);
        std::mt19937 rng(seed);
        j.WrapAt20(seed % 2 == 0);
        j.E.Store->SetTextStr("first line\r\nsecond \x82\xA0\x82\xA2 line that is long enough to wrap twice\r\nlast");
        for (int step = 0; step < 300; ++step) {
            randomStep(rng, *j.E.Store);
            if (rng() % 7 == 0) {
                j.Flush();
                const TJournalContent c = j.Replay();
                ASSERT_TRUE(c.Usable) << "seed " << seed << " step " << step;
                ASSERT_TRUE(c.Complete) << "seed " << seed << " step " << step;
                ASSERT_EQ(c.Text, j.E.Store->GetTextStr()) << "seed " << seed << " step " << step;
                ASSERT_EQ(c.Page, j.Page);
            }
        }
    }
}

// The text with every Pattern replaced by By, left to right, a match starting only where a
// character starts (never on the trail byte of a double-byte character).
std::string plainReplace(const std::string& Text, const std::string& Pattern, const std::string& By) {
    std::string out;
    for (std::size_t i = 0; i < Text.size();) {
        if (Text.compare(i, Pattern.size(), Pattern) == 0) {
            out += By;
            i += Pattern.size();
        } else {
            const std::size_t n = sjis::CharLengthAt(Text, i);
            out.append(Text, i, n);
            i += n;
        }
    }
    return out;
}

// Replace-all, its undo and its redo, each one record: the text is a plain replacement's (then
// the original, then the replacement's again) with the store's invariants kept, the running
// character count equals a full count, the caret comes back with the undo, and the journal
// replays to the same text.
TEST(Journal, ReplaceAllItsUndoAndRedoAreEachOneRecordAndReplayToThePlainReplacement) {
    struct Case {
        const char* Name;
        std::string Text, Pattern, By;
        int Wrap; // 0: word wrap off
    };
    const std::string wrapped = "ab ab abab xyz ab \x82\xA0\x82\xA0"
                                "ab ababab ab x ab";
    const Case cases[] = {
        {"hits at row starts and ends", "abX\r\nYab\r\nab\r\n\r\nab", "ab", "Z", 0},
        {"adjacent hits, longer", "ababab\r\nab", "ab", "xyz", 0},
        {"shorter", "aabbaabbaa", "aa", "a", 0},
        {"empty replacement", "aa\r\naa\r\nbaab", "aa", "", 0},
        {"the whole text", "ab", "ab", "", 0},
        {"a replacement with line ends", "a-b-c\r\n-", "-", "\r\n", 0},
        {"line ends removed", "a\r\nb\r\n\r\nc", "\r\n", " ", 0},
        {"a trail byte that equals the pattern",
         "\x83\x41"
         "A\x83\x41\x83\x41"
         "AA",
         "A", "\x83\x5C", 0},
        {"a backslash trail byte", "\x83\x5C\\\x83\x5C\\", "\\", "/", 0},
        {"kana for a word", "an editor, the editor\r\neditor", "editor", "\x83\x47\x83\x66\x83\x42\x83\x5E", 0},
        {"hits in wrapped rows, longer", wrapped + "\r\n" + wrapped, "ab", "ABCDE", 20},
        {"hits in wrapped rows, empty", wrapped + "\r\n" + wrapped, "ab", "", 20},
        {"hits across a wrap, kana", wrapped, "b a", "\x82\xA0\x82\xA0\x82\xA0", 21},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TempFolder folder;
        Journaled j(folder.Path);
        TEditorScreenStrings& s = *j.E.Store;
        if (c.Wrap > 0) {
            s.WrapOption().SetWrapByte(c.Wrap);
            s.SetWordWrap(true);
        }
        s.SetTextStr(c.Text);
        s.CharacterCount(); // counted whole once; the edits below only adjust it
        j.E.SetRowCol(s.Count() - 1, 1);
        j.Flush();
        const std::string replaced = plainReplace(c.Text, c.Pattern, c.By);
        ASSERT_NE(replaced, c.Text);
        uint64_t records = 0;
        const auto check = [&](const std::string& model) {
            EXPECT_EQ(CheckStoreInvariants(s, model), "");
            EXPECT_EQ(s.CharacterCount(), cp932::CountCharacters(model));
            j.Flush();
            const TJournalContent r = j.Replay();
            EXPECT_TRUE(r.Complete);
            EXPECT_EQ(r.Text, model);
            EXPECT_EQ(r.EditCount, ++records);
        };
        replaceAll(s, c.Pattern, c.By);
        check(replaced);
        j.E.SetRowCol(0, 0); // where the editor puts it after the last replacement
        s.Undo();
        EXPECT_EQ(j.E.Row(), s.Count() - 1);
        EXPECT_EQ(j.E.Col(), 1);
        check(c.Text);
        s.Redo();
        check(replaced);
        EXPECT_EQ(s.WholeTextCounts(), 1);
    }
}

// A large page's snapshot is copied a slice at a time between keys: the edits made meanwhile,
// anywhere in the rows (some not yet copied, some copied, some being copied), must not change
// the picture, and follow it as records.
TEST(Journal, APageEditedWhileItsSnapshotIsCopiedRecoversToItsText) {
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        TempFolder folder;
        Journaled j(folder.Path);
        std::mt19937 rng(seed);
        j.WrapAt20(seed % 2 == 0);
        std::string text;
        for (int i = 0; i < 30; ++i) text += randomText(rng) + "line " + std::to_string(i) + "\r\n";
        j.E.Store->SetTextStr(text);
        // The first snapshot, or (odd seeds) a fresh one after some records.
        if (seed % 2) {
            j.Flush();
            for (int k = 0; k < 5; ++k) randomStep(rng, *j.E.Store, false);
            j.E.Store->SetTextStr(j.E.Store->GetTextStr() + "anew\r\n");
        }
        j.Journal.Flush(*j.E.Store, true, j.Page, TPageJournal::TSnapshotPace::InSteps);
        ASSERT_TRUE(j.Journal.Copying());
        int slices = 0;
        for (; j.Journal.Copying(); ++slices) {
            for (unsigned n = rng() % 3; n > 0; --n) randomStep(rng, *j.E.Store, false);
            j.Journal.ContinueSnapshot(*j.E.Store, 1 + rng() % 40);
        }
        EXPECT_GT(slices, 5) << "seed " << seed;
        j.Flush();
        const TJournalContent c = j.Replay();
        ASSERT_TRUE(c.Complete) << "seed " << seed;
        EXPECT_EQ(c.Text, j.E.Store->GetTextStr()) << "seed " << seed;
        EXPECT_GT(c.EditCount, 0u) << "seed " << seed;
        EXPECT_EQ(j.Journal.Generation(), seed % 2 ? 2u : 1u) << "seed " << seed;
    }
}

// A replace-all that splits the rows still to copy into more pieces than the bound finishes the
// copy at once instead of splitting further, and the journal still replays to the text.
TEST(Journal, AReplaceAllOfManyHitsDuringASnapshotFinishesTheCopy) {
    TempFolder folder;
    Journaled j(folder.Path);
    std::string text;
    for (std::size_t i = 0; i < 3 * TPageJournal::kMaxCopyPieces; ++i) text += "row hit " + std::to_string(i) + "\r\n";
    j.E.Store->SetTextStr(text);
    j.Journal.Flush(*j.E.Store, true, j.Page, TPageJournal::TSnapshotPace::InSteps);
    j.Journal.ContinueSnapshot(*j.E.Store, 100);
    ASSERT_TRUE(j.Journal.Copying());
    replaceAll(*j.E.Store, "hit", "HIT!");
    EXPECT_FALSE(j.Journal.Copying());
    j.Flush();
    const TJournalContent c = j.Replay();
    ASSERT_TRUE(c.Complete);
    EXPECT_EQ(c.Text, j.E.Store->GetTextStr());
    EXPECT_NE(c.Text.find("row HIT! 3071"), std::string::npos);
}

TEST(Journal, ASnapshotBeingCopiedGivesWayToNewRowsAndToASave) {
    TempFolder folder;
    Journaled j(folder.Path);
    j.E.Store->SetTextStr(std::string(2000, 'a') + "\r\nb\r\n");
    j.Journal.Flush(*j.E.Store, true, j.Page, TPageJournal::TSnapshotPace::InSteps);
    j.Journal.ContinueSnapshot(*j.E.Store, 100);
    ASSERT_TRUE(j.Journal.Copying());
    // Rows made anew: the picture is dropped, and the next flush takes one of the new rows.
    j.E.Store->SetTextStr("new text\r\n");
    EXPECT_FALSE(j.Journal.Copying());
    j.Flush();
    EXPECT_EQ(j.Replay().Text, "new text\r\n");
    // Saved while a snapshot is copied: nothing more is written, and the journal goes.
    j.E.Store->ReplaceRows(0, 1, std::string(3000, 'c') + "\r\n");
    j.E.Store->SetTextStr(j.E.Store->GetTextStr());
    j.Journal.Flush(*j.E.Store, true, j.Page, TPageJournal::TSnapshotPace::InSteps);
    ASSERT_TRUE(j.Journal.Copying());
    j.Journal.Forget();
    EXPECT_FALSE(j.Journal.Copying());
    j.Writer.WaitIdle();
    EXPECT_TRUE(journalFiles(folder.Path).empty());
}

TEST(Journal, ASnapshotWhoseRowsChangedUnannouncedIsGivenUp) {
    FakeEditor e;
    e.Store->SetTextStr("one\r\ntwo\r\nthree\r\nfour");
    TSnapshotCopy copy(*e.Store, "");
    ASSERT_FALSE(copy.Step(*e.Store, 1)); // "one" copied
    EXPECT_TRUE(copy.RowsReplaced(1, 0, 2)) << "rows inserted: the runs move";
    copy.RowsChanging(*e.Store, 3, 1);
    EXPECT_TRUE(copy.RowsReplaced(3, 1, 1)) << "announced: the old row is kept";
    EXPECT_FALSE(copy.RowsReplaced(4, 1, 1)) << "a row of the picture replaced without notice";
}

TEST(Journal, TypingIntoALineIsOneRecordPerFlushAndCostsLittleMoreThanTheTypedBytes) {
    TempFolder folder;
    Journaled j(folder.Path);
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "line " + std::to_string(i) + " of the text\r\n";
    j.E.Store->SetTextStr(text);
    j.Flush();
    const auto snapshot = fs::file_size(j.File());
    // 50 flushes of 20 characters each, typed into the middle of one line.
    int col = 3;
    for (int flush = 0; flush < 50; ++flush) {
        for (int k = 0; k < 20; ++k) {
            std::string row(j.E.Store->Get(1000));
            row.insert(static_cast<std::size_t>(col++), k % 2 ? "x" : "\x82\xA0");
            j.E.Store->ReplaceRows(1000, 1, row + "\r\n");
        }
        j.Flush();
    }
    const uint64_t typed = 50 * (10 * 1 + 10 * 2);
    const uint64_t log = fs::file_size(j.File()) - snapshot;
    // Each flush's record costs its frame and numbers: a few dozen bytes, not the line.
    EXPECT_LE(log, typed + 50 * 40) << "log " << log << " typed " << typed;
    EXPECT_EQ(j.Replay().Text, j.E.Store->GetTextStr());
    EXPECT_EQ(j.Journal.Generation(), 1u); // no fresh snapshot for so little
}

TEST(Journal, AFreshSnapshotOnlyOnceTheLogOutgrowsTheTextAndTheOldFileGoesOnceSynced) {
    TempFolder folder;
    Journaled j(folder.Path);
    std::string text;
    for (int i = 0; i < 1000; ++i) text += std::string(98, 'a') + "\r\n";
    j.E.Store->SetTextStr(text);
    j.Flush();
    ASSERT_EQ(j.Journal.Generation(), 1u);
    const std::string first = j.File();
    const uint64_t textBytes = j.Journal.TextBytes(); // as the snapshot holds it: LF for CR LF
    uint64_t logged = 0;
    for (int step = 0; j.Journal.Generation() == 1; ++step) {
        // Ten lines rewritten a flush: the text keeps its size, each record costs its lines.
        std::string lines;
        for (int k = 0; k < 10; ++k) lines += std::string(98, step % 2 ? 'b' : 'c') + "\r\n";
        j.E.Store->ReplaceRows(step * 10 % 1000, 10, lines);
        j.Flush();
        if (j.Journal.Generation() == 1) logged = j.Journal.LogBytes();
        ASSERT_LT(logged, 200000u);
    }
    // The new generation came only once the log had passed the text's size.
    EXPECT_GT(logged, textBytes);
    EXPECT_LT(logged, textBytes + 1100);
    // The new file was synced at once, and the one it replaces is gone.
    EXPECT_EQ(journalFiles(folder.Path), std::vector<std::string>{j.File()});
    EXPECT_NE(j.File(), first);
    EXPECT_EQ(j.Replay().Text, j.E.Store->GetTextStr());
}

// Typing into a long line, a short record a flush: replaying a record builds the line's new
// rows whole, so the journal starts afresh before replaying would build more than a few times
// the text (60 pauses in a 4 MB line once needed 312 MB to recover).
TEST(Journal, ReplayingWhatWasTypedIntoALongLineBuildsAFewTimesTheTextAtMost) {
    TempFolder folder;
    Journaled j(folder.Path);
    const std::string line(1 << 20, 'a');
    j.E.Store->SetTextStr("first\r\n" + line + "\r\nlast");
    j.Flush();
    for (int k = 0; k < 40; ++k) {
        std::string row(j.E.Store->Get(1));
        row.insert(row.size() / 2, "\x82\xA0");
        j.E.Store->ReplaceRows(1, 1, row + "\r\n");
        j.Flush();
    }
    const TJournalContent c = j.Replay();
    ASSERT_EQ(c.Text, j.E.Store->GetTextStr());
    const uint64_t text = c.Text.size();
    EXPECT_LE(c.BuiltBytes, (TPageJournal::kBuiltFactor + 1) * text) << "built " << c.BuiltBytes;
    EXPECT_LE(c.HeldBytes, 8 * text) << "held " << c.HeldBytes;
    EXPECT_GT(j.Journal.Generation(), 1u);
}

// However many records rewrite a long line, rebuilding the text holds a small multiple of it:
// a crafted journal of a 1 MB line and 200 one-byte insertions into it.
TEST(Journal, ReplayingManyRecordsOfALongLineHoldsASmallMultipleOfTheText) {
    std::string model(1 << 20, 'a');
    std::string file(kMagic);
    AppendFrame(file, TFrameKind::Header, EncodeHeader(TJournalHeader{"x", 1, 1, 0}));
    AppendFrame(file, TFrameKind::Page, EncodePage(TJournalPage{}));
    std::string snapshot;
    PutVarint(snapshot, 1);
    snapshot += model;
    AppendFrame(file, TFrameKind::Snapshot, snapshot);
    for (int k = 0; k < 200; ++k) {
        TEditRecord r;
        r.Start = 0;
        r.Deleted = r.Inserted = 1;
        r.Prefix = model.size() / 2;
        r.Suffix = model.size() - r.Prefix;
        r.Middle = "x";
        r.LastAttribute = TRowAttribute::EndOfFile;
        r.OldCrc = Crc32(model);
        std::string edit;
        EncodeEdit(edit, r);
        AppendFrame(file, TFrameKind::Edits, edit);
        model.insert(model.size() / 2, "x");
    }
    const TJournalContent c = TJournalReader::Replay(file);
    ASSERT_TRUE(c.Complete);
    ASSERT_EQ(c.Text, model);
    EXPECT_EQ(c.EditCount, 200u);
    EXPECT_GE(c.BuiltBytes, 200 * model.size() - 200 * 200) << "every record built the line";
    EXPECT_LE(c.HeldBytes, 8 * model.size()) << "held " << c.HeldBytes;
}

TEST(Journal, APageThatIsNotModifiedKeepsNoJournal) {
    TempFolder folder;
    Journaled j(folder.Path);
    j.E.Store->SetTextStr("loaded\r\n"); // as a file is read into a page
    j.Flush(false);
    EXPECT_TRUE(journalFiles(folder.Path).empty());
    j.E.Store->ReplaceRows(0, 1, "typed\r\n");
    j.Flush();
    EXPECT_EQ(journalFiles(folder.Path).size(), 1u);
    j.Journal.Forget(); // saved
    j.Writer.WaitIdle();
    EXPECT_TRUE(journalFiles(folder.Path).empty());
}

// Flushes at known states; then every cut of the file, and every damaged byte of its last
// frame, must give one of those states, never anything in between.
TEST(Journal, ATornOrDamagedEndGivesTheStateAfterTheLastWholeRecord) {
    TempFolder folder;
    std::vector<std::string> states;
    std::vector<uint64_t> ends;
    std::string file;
    {
        Journaled j(folder.Path);
        j.E.Store->SetTextStr("one\r\ntwo\r\nthree");
        for (int i = 0; i < 6; ++i) {
            j.E.Store->ReplaceRows(i % 3, 1, "edit " + std::to_string(i) + (i % 3 < 2 ? "\r\n" : ""));
            j.Flush();
            states.push_back(j.E.Store->GetTextStr());
            ends.push_back(fs::file_size(j.File()));
        }
        file = readFile(j.File());
    }
    ASSERT_EQ(ends.back(), file.size());
    for (std::size_t cut = ends.front(); cut <= file.size(); ++cut) {
        const TJournalContent c = TJournalReader::Replay(std::string_view(file).substr(0, cut));
        const std::size_t whole =
            static_cast<std::size_t>(std::upper_bound(ends.begin(), ends.end(), cut) - ends.begin());
        ASSERT_TRUE(c.Usable);
        ASSERT_EQ(c.Text, states[whole - 1]) << "cut at " << cut;
        EXPECT_EQ(c.Complete, cut == ends[whole - 1]) << "cut at " << cut;
        EXPECT_EQ(c.LostBytes, cut - ends[whole - 1]);
    }
    for (std::size_t at = ends[ends.size() - 2]; at < file.size(); ++at) {
        std::string damaged = file;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x20);
        const TJournalContent c = TJournalReader::Replay(damaged);
        ASSERT_EQ(c.Text, states[states.size() - 2]) << "byte " << at;
        EXPECT_FALSE(c.Complete);
    }
    // Cut inside the snapshot: nothing to give back.
    EXPECT_FALSE(TJournalReader::Replay(std::string_view(file).substr(0, 30)).Usable);
    EXPECT_FALSE(TJournalReader::Replay("").Usable);
}

// A journal file of a header, a page and a snapshot of Rows rows in Serial.
std::string fileWithSnapshot(uint64_t Rows, std::string_view Serial) {
    std::string file(kMagic);
    AppendFrame(file, TFrameKind::Header, EncodeHeader(TJournalHeader{"x", 1, 1, 0}));
    AppendFrame(file, TFrameKind::Page, EncodePage(TJournalPage{}));
    std::string snapshot;
    PutVarint(snapshot, Rows);
    snapshot += Serial;
    AppendFrame(file, TFrameKind::Snapshot, snapshot);
    return file;
}

TEST(Journal, ARecordThatDoesNotFitItsRowsIsNotApplied) {
    std::string file = fileWithSnapshot(2, "ab\ncd");
    auto edit = [](uint64_t start, uint64_t deleted, std::string_view oldText, std::string_view middle) {
        TEditRecord r;
        r.Start = start;
        r.Deleted = deleted;
        r.Inserted = 1;
        r.Prefix = 0;
        r.Suffix = 0;
        r.Middle = middle;
        r.LastAttribute = TRowAttribute::LineEnd;
        r.OldCrc = Crc32(oldText);
        std::string out;
        EncodeEdit(out, r);
        return out;
    };
    AppendFrame(file, TFrameKind::Edits, edit(0, 1, "ab\r\n", "AB\r\n"));
    const std::string good = file;
    AppendFrame(file, TFrameKind::Edits, edit(1, 1, "not the row\r\n", "XX\r\n")); // made for other rows
    TJournalContent c = TJournalReader::Replay(file);
    EXPECT_EQ(c.Text, "AB\r\ncd");
    EXPECT_FALSE(c.Complete);
    EXPECT_EQ(c.LostBytes, file.size() - good.size());
    file = good;
    AppendFrame(file, TFrameKind::Edits, edit(5, 1, "", "XX\r\n")); // rows that are not there
    EXPECT_EQ(TJournalReader::Replay(file).Text, "AB\r\ncd");
    file = good;
    AppendFrame(file, TFrameKind::Edits, edit(1, 1, "cd", "two\r\nrows\r\n")); // two rows, one recorded
    EXPECT_EQ(TJournalReader::Replay(file).Text, "AB\r\ncd");
}

// A set of edits applies whole or not at all: a part that does not fit, or a check of the
// old text that fails, leaves the rows as they were before the set.
TEST(Journal, ASetOfEditsIsAppliedWholeOrNotAtAll) {
    std::string file = fileWithSnapshot(3, "ab\ncd\nef");
    const auto part = [](uint64_t start, std::string_view middle, TRowAttribute last) {
        TEditRecord r;
        r.Start = start;
        r.Deleted = 1;
        r.Inserted = 1;
        r.Middle = middle;
        r.LastAttribute = last;
        return r;
    };
    const std::string good = file;
    struct Row {
        const char* Name;
        uint64_t SecondStart;
        std::string OldText; // of both parts, as checked
        const char* Text;
    };
    for (const Row& row :
         {Row{"applied", 2, "ab\r\nef", "AB\r\ncd\r\nEF"}, Row{"a part past the rows", 3, "ab\r\nef", "ab\r\ncd\r\nef"},
          Row{"a failing check", 2, "ab\r\ncd", "ab\r\ncd\r\nef"}}) {
        TEditRecord set;
        set.Parts = {part(0, "AB\r\n", TRowAttribute::LineEnd), part(row.SecondStart, "EF", TRowAttribute::EndOfFile)};
        set.OldCrc = Crc32(row.OldText);
        std::string edits;
        EncodeEdit(edits, set);
        file = good;
        AppendFrame(file, TFrameKind::Edits, edits);
        const TJournalContent c = TJournalReader::Replay(file);
        EXPECT_EQ(c.Text, row.Text) << row.Name;
        EXPECT_EQ(c.Complete, c.Text != "ab\r\ncd\r\nef") << row.Name;
    }
}

TEST(Journal, NumbersStringsAndPagesRoundTrip) {
    for (uint64_t v : {0ull, 1ull, 127ull, 128ull, 300ull, 1ull << 35, ~0ull}) {
        std::string s;
        PutVarint(s, v);
        std::string_view in = s;
        uint64_t back = 0;
        ASSERT_TRUE(GetVarint(in, back));
        EXPECT_EQ(back, v);
        EXPECT_TRUE(in.empty());
        std::string_view cut = std::string_view(s).substr(0, s.size() - 1);
        EXPECT_FALSE(GetVarint(cut, back)) << v;
    }
    const std::string eleven(11, '\xFF');
    std::string_view tooLong = eleven;
    uint64_t v = 0;
    EXPECT_FALSE(GetVarint(tooLong, v));
    // A page with a table of outside characters, and one without (as older journals have it).
    TJournalPage withTable = somePage();
    withTable.HasCharTable = true;
    withTable.ExactUnicode = false;
    withTable.CharTable = {{0xF040, 0}, {0xF9FB, U'é'}, {0xF9FC, U'😀'}};
    for (const TJournalPage& page : {somePage(), withTable}) {
        TJournalPage back = withTable;
        ASSERT_TRUE(DecodePage(EncodePage(page), back));
        EXPECT_EQ(back, page);
        const std::string encoded = EncodePage(page);
        EXPECT_FALSE(DecodePage(std::string_view(encoded).substr(0, encoded.size() - 1), back));
        EXPECT_FALSE(DecodePage(encoded + "x", back));
    }
    TJournalPage back;
    TJournalHeader h;
    ASSERT_TRUE(DecodeHeader(EncodeHeader(TJournalHeader{"id-1", 7, 4242, -5}), h));
    EXPECT_EQ(h.Id, "id-1");
    EXPECT_EQ(h.Generation, 7u);
    EXPECT_EQ(h.Pid, 4242u);
    EXPECT_EQ(h.CreatedMs, -5);
}

TEST(JournalWriter, FilesAreTheUsersAloneAndLockedWhileWritten) {
    TempFolder folder;
    const mode_t old = ::umask(0);
    std::string path;
    {
        Journaled j(folder.Path);
        j.E.Store->SetTextStr("secret\r\n");
        j.Flush();
        path = j.File();
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        // Another open of the file cannot take its lock while the writer lives.
        const int fd = ::open(path.c_str(), O_RDONLY);
        EXPECT_NE(::flock(fd, LOCK_EX | LOCK_NB), 0);
        ::close(fd);
    }
    ::umask(old);
    const int fd = ::open(path.c_str(), O_RDONLY);
    EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0) << "the writer is gone";
    ::close(fd);
    EXPECT_EQ(TJournalReader::Replay(readFile(path)).Text, "secret\r\n");
}

TEST(JournalWriter, SyncsAtMostOncePerIntervalHoweverOftenItWrites) {
    TempFolder folder;
    Journaled j(folder.Path, std::chrono::milliseconds(400));
    j.E.Store->SetTextStr("x\r\n");
    j.Flush();
    const auto t0 = std::chrono::steady_clock::now();
    int flushes = 0;
    while (std::chrono::steady_clock::now() - t0 < std::chrono::milliseconds(1200)) {
        j.E.Store->ReplaceRows(0, 1, std::string(j.E.Store->Get(0)) + "y\r\n");
        j.Flush();
        ++flushes;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const int syncs = j.Writer.SyncCount();
    EXPECT_GE(flushes, 40);
    EXPECT_GE(syncs, 2); // durable every interval while writing goes on
    EXPECT_LE(syncs, 5); // the snapshot's own, then one per 400 ms
}

TEST(JournalWriter, AFailedWriteIsReportedAndTheNextFlushStartsAfresh) {
    TempFolder folder;
    const std::string inner = folder.Path + "/inner";
    fs::create_directory(inner);
    Journaled j(inner);
    fs::remove_all(inner); // the folder is gone: the snapshot cannot be written
    j.E.Store->SetTextStr("text\r\n");
    j.Flush();
    EXPECT_TRUE(j.Writer.Failed("page-1"));
    const TJournalWriter::TError error = j.Writer.TakeError();
    EXPECT_NE(error.Path.find("inner"), std::string::npos) << error.Path;
    EXPECT_NE(error.Errno, 0);
    EXPECT_TRUE(j.Writer.TakeError().Path.empty()); // told once
    j.E.Store->ReplaceRows(0, 1, "more\r\n");
    j.Flush(); // no crash, no record that would build on the missing file
    EXPECT_FALSE(fs::exists(inner));
}
