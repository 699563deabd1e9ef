// The real editor killed (SIGKILL) at random moments while keys are typed into it: what its
// journal gives back is exactly what was typed, minus at most the last second, a torn end is
// dropped whole, the user's file is byte for byte as before, and the journal folder and files
// are the user's alone. Then one whole round through a second start: Enter at the question
// recovers the page, Ctrl+S saves it, and no journal is left.
// QUIRE_SOAK_RUNS sets how many kills (scripts/soak runs several hundred).
#include "JournalReader.h"
#include "TextGenerator.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

using namespace quire;

namespace {

// The text of the page as the editor holds it (Shift_JIS, CR LF after each line) and the
// caret as a byte offset into it.
struct State {
    std::string Text;
    std::size_t Caret = 0;
};

bool isLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Keys typed, and what the editor does with them, kept on a string.
class TypingModel {
public:
    explicit TypingModel(std::string text) { FStates.push_back({std::move(text), 0}); }
    const State& Now() const { return FStates.back(); }
    // The state after step N (0: before the first).
    const State& After(std::size_t n) const { return FStates.at(n); }
    std::size_t Steps() const { return FStates.size() - 1; }
    // Steps From+1..To as the script said them.
    std::string Lines(std::size_t From, std::size_t To) const {
        std::string s;
        for (std::size_t i = From; i < To && i < FLines.size(); ++i) s += std::to_string(i + 1) + ":" + FLines[i] + " ";
        return s;
    }

    // The next step as a line for the key script, applied to the model.
    std::string Step(std::mt19937& rng) {
        static const std::pair<const char*, const char*> chars[] = {
            {"a", "a"},
            {"b", "b"},
            {"z", "z"},
            {"7", "7"},
            {"Q", "Q"},
            {"\xE3\x81\x82", "\x82\xA0"}, // あ
            {"\xE6\xBC\xA2", "\x8A\xBF"}, // 漢
            {"\xE3\x82\xA2", "\x83\x41"}, // ア: its second byte is "A"
            {"\xE8\xA1\xA8", "\x95\x5C"}, // 表: its second byte is "\"
        };
        State s = Now();
        const unsigned op = rng() % 100;
        std::string line;
        if (op < 4 && !FUndo.empty() && !FLastUndo) {
            // The last edit goes: the text and the caret are as they were just before it.
            s = FUndo.back();
            FUndo.pop_back();
            FLastUndo = true;
            line = "k Ctrl+Z";
        } else if (op < 12 && s.Caret > 0) {
            const std::size_t n = charBefore(s);
            s.Caret -= n;
            s.Text.erase(s.Caret, n);
            line = "k Backspace";
            edited();
        } else if (op < 20) {
            s.Text.insert(s.Caret, "\r\n");
            s.Caret += 2;
            line = "k Return";
            edited();
        } else if (op < 22) {
            s.Caret = 0;
            line = "k Ctrl+Home";
            FLastUndo = false;
        } else {
            const auto& [utf8, sjis] = chars[rng() % (sizeof chars / sizeof *chars)];
            s.Text.insert(s.Caret, sjis);
            s.Caret += std::strlen(sjis);
            line = std::string("t ") + utf8;
            edited();
        }
        FStates.push_back(std::move(s));
        FLines.push_back(line);
        return line + "\n";
    }

private:
    // The bytes of the character (or line end) before the caret.
    std::size_t charBefore(const State& s) const {
        const std::string& t = s.Text;
        if (s.Caret >= 2 && t.compare(s.Caret - 2, 2, "\r\n") == 0) return 2;
        std::size_t i = t.rfind('\n', s.Caret - 1);
        i = i == std::string::npos ? 0 : i + 1;
        std::size_t last = i;
        while (i < s.Caret) {
            last = i;
            i += isLead(static_cast<unsigned char>(t[i])) && i + 1 < s.Caret ? 2 : 1;
        }
        return s.Caret - last;
    }
    void edited() {
        FLastUndo = false;
        FUndo.push_back(Now());
    }

    std::vector<State> FStates;
    std::vector<std::string> FLines;
    std::vector<State> FUndo; // the state before each edit that can be undone
    bool FLastUndo = false;
};

QProcessEnvironment quireEnvironment(const QString& home, const QString& runtime) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUIRE_HOME", home);
    env.insert("HOME", home);
    env.insert("XDG_RUNTIME_DIR", runtime);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QUIRE_TEST_KEYS", "1");
    return env;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The newest journal file of the folder that can be read, and its content.
TJournalContent newestJournal(const QString& folder, QString* path = nullptr) {
    TJournalContent best;
    uint64_t generation = 0;
    for (const QString& name : QDir(folder).entryList({"*.journal"}, QDir::Files)) {
        const QByteArray bytes = readFile(folder + "/" + name);
        TJournalContent c =
            TJournalReader::Replay(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        if (c.Usable && (!best.Usable || c.Header.Generation > generation)) {
            generation = c.Header.Generation;
            best = std::move(c);
            if (path) *path = folder + "/" + name;
        }
    }
    return best;
}

std::string escaped(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7F)
            out += static_cast<char>(c);
        else
            out += "\\x" + std::string(1, "0123456789ABCDEF"[c >> 4]) + "0123456789ABCDEF"[c & 15];
    }
    return out.size() > 600 ? out.substr(0, 600) + "..." : out;
}

// One child typing until it is killed: how many steps it had handled by the kill, and how
// many a second before it.
struct Typed {
    std::size_t Acked = 0;
    std::size_t AckedSecondBefore = 0;
};

Typed typeUntilKilled(QProcess& child, TypingModel& model, std::mt19937& rng, int killAfterMs) {
    Typed t;
    std::vector<qint64> ackTimes;
    QElapsedTimer clock;
    clock.start();
    qint64 started = -1, nextKey = 0;
    QByteArray out;
    while (started < 0 || clock.elapsed() - started < killAfterMs) {
        if (clock.elapsed() >= nextKey && model.Steps() < ackTimes.size() + 50) {
            child.write(QByteArray::fromStdString(model.Step(rng)));
            nextKey = clock.elapsed() + 2 + static_cast<qint64>(rng() % 12);
        }
        child.waitForReadyRead(2);
        out += child.readAllStandardOutput();
        for (qsizetype end; (end = out.indexOf('\n')) >= 0; out.remove(0, end + 1))
            if (out.startsWith("ok ")) ackTimes.push_back(clock.elapsed());
        if (started < 0 && !ackTimes.empty()) started = ackTimes.front();
        if (started < 0 && clock.elapsed() > 60000) break; // never came up
    }
    child.kill();
    const qint64 killed = clock.elapsed();
    child.waitForFinished();
    out += child.readAllStandardOutput();
    // Lines read after the kill were written before it; they were handled, but when is not
    // known: they count as handled at the kill.
    for (qsizetype end; (end = out.indexOf('\n')) >= 0; out.remove(0, end + 1))
        if (out.startsWith("ok ")) ackTimes.push_back(killed);
    t.Acked = ackTimes.size();
    t.AckedSecondBefore =
        static_cast<std::size_t>(std::upper_bound(ackTimes.begin(), ackTimes.end(), killed - 1000) - ackTimes.begin());
    return t;
}

// The first step whose state is Text, at or after From; -1 when none is.
long stateIndex(const TypingModel& model, const std::string& text, std::size_t from, std::size_t to) {
    for (std::size_t j = from; j <= to && j <= model.Steps(); ++j)
        if (model.After(j).Text == text) return static_cast<long>(j);
    return -1;
}

void checkOwnership(const QString& folder, const std::string& where) {
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &st), 0) << where;
    EXPECT_EQ(st.st_mode & 0777, 0700u) << where;
    EXPECT_EQ(st.st_uid, ::getuid()) << where;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        ASSERT_EQ(::stat(QFile::encodeName(folder + "/" + name).constData(), &st), 0) << where;
        EXPECT_EQ(st.st_mode & 0777, 0600u) << where << " " << name.toStdString();
        EXPECT_EQ(st.st_uid, ::getuid()) << where;
    }
}

} // namespace

TEST(RecoverySoak, KilledWhileTypingTheJournalHoldsWhatWasTypedMinusAtMostTheLastSecond) {
    const int runs = qEnvironmentVariableIsSet("QUIRE_SOAK_RUNS") ? qEnvironmentVariableIntValue("QUIRE_SOAK_RUNS") : 5;
    std::mt19937 rng(20261208);
    const std::string large = bench::GenerateShiftJis(3u << 20, 7);
    int recovered = 0, torn = 0, nothingYet = 0, unnamed = 0;
    for (int run = 0; run < runs; ++run) {
        const std::string where = "run " + std::to_string(run);
        QTemporaryDir home, runtime, files;
        // Named pages in CR LF and LF, a large one now and then, and unnamed pages.
        const int kind = run % 5;
        const std::string fileBytes = kind == 4   ? large
                                      : kind == 1 ? "line one\nline two\n"
                                                  : "line one\r\nline two\r\n";
        const QString path = files.filePath("doc.txt");
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(fileBytes.data(), static_cast<qint64>(fileBytes.size()));
        }
        const bool named = kind != 3;
        // The page holds the text with CR LF after each line, whatever the file's line end.
        TypingModel model(!named ? std::string() : kind == 1 ? "line one\r\nline two\r\n" : fileBytes);
        QProcess child;
        child.setProcessEnvironment(quireEnvironment(home.path(), runtime.path()));
        child.start(QStringLiteral(QUIRE_BIN_DIR "/quire"), named ? QStringList{path} : QStringList{});
        ASSERT_TRUE(child.waitForStarted()) << where;
        const Typed typed = typeUntilKilled(child, model, rng, 200 + static_cast<int>(rng() % 3300));
        ASSERT_GT(typed.Acked, 0u) << where << ": the editor never handled a key";

        EXPECT_TRUE(readFile(path) == QByteArray::fromStdString(fileBytes)) << where << ": the user's file changed";
        const QString folder = home.path() + "/recovery";
        QString journalPath;
        TJournalContent c = newestJournal(folder, &journalPath);
        if (!c.Usable) {
            // Nothing was written yet: the text as it was must still be what was typed a
            // second before the kill.
            ASSERT_GE(stateIndex(model, model.After(0).Text, typed.AckedSecondBefore, typed.Acked), 0)
                << where << ": no journal, though text was typed from step " << typed.AckedSecondBefore;
            ++nothingYet;
            continue;
        }
        checkOwnership(folder, where);
        EXPECT_EQ(c.Page.FileName, named ? QFile::encodeName(path).toStdString() : std::string()) << where;
        EXPECT_EQ(c.Page.LineEndCode, kind == 1 ? "LF" : "CRLF") << where;
        ASSERT_TRUE(c.Complete) << where << ": a kill leaves whole records";
        // The text is the one after some step, no earlier than a second before the kill.
        const long j = stateIndex(model, c.Text, typed.AckedSecondBefore, typed.Acked);
        ASSERT_GE(j, 0) << where << ": the journal holds no state between step " << typed.AckedSecondBefore << " and "
                        << typed.Acked << "; it holds the state after step "
                        << stateIndex(model, c.Text, 0, model.Steps()) << "\njournal: " << escaped(c.Text)
                        << "\nexpected: " << escaped(model.After(typed.Acked).Text) << "\nsteps: "
                        << model.Lines(typed.AckedSecondBefore > 10 ? typed.AckedSecondBefore - 10 : 0, typed.Acked);
        ++recovered;
        unnamed += named ? 0 : 1;
        // A power cut that tears the last record: it is dropped whole.
        if (run % 3 == 0) {
            QFile f(journalPath);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            const qint64 cut = 1 + static_cast<qint64>(rng() % 30);
            const QByteArray bytes = f.readAll();
            const QByteArray kept = bytes.left(bytes.size() - cut);
            const TJournalContent t =
                TJournalReader::Replay(std::string_view(kept.constData(), static_cast<std::size_t>(kept.size())));
            if (t.Usable) {
                ASSERT_GE(stateIndex(model, t.Text, 0, static_cast<std::size_t>(j)), 0)
                    << where << ": half a record applied";
                torn += t.Complete ? 0 : 1;
            }
        }
    }
    RecordProperty("Recovered", recovered);
    std::printf("%d kills: %d journals replayed to a typed state (%d unnamed pages), %d killed before anything was "
                "due to be written, %d torn ends dropped whole\n",
                runs, recovered, unnamed, nothingYet, torn);
}

TEST(RecoverySoak, TheNextStartRecoversWithEnterAndCtrlSSavesIt) {
    QTemporaryDir home, runtime, files;
    const QString path = files.filePath("doc.txt");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("line one\r\nline two\r\n");
    }
    std::mt19937 rng(7);
    TypingModel model("line one\r\nline two\r\n");
    QProcess first;
    first.setProcessEnvironment(quireEnvironment(home.path(), runtime.path()));
    first.start(QStringLiteral(QUIRE_BIN_DIR "/quire"), {path});
    ASSERT_TRUE(first.waitForStarted());
    typeUntilKilled(first, model, rng, 2500);
    const TJournalContent c = newestJournal(home.path() + "/recovery");
    ASSERT_TRUE(c.Usable);
    EXPECT_EQ(readFile(path), QByteArray("line one\r\nline two\r\n"));

    QProcess second;
    second.setProcessEnvironment(quireEnvironment(home.path(), runtime.path()));
    second.start(QStringLiteral(QUIRE_BIN_DIR "/quire"), {});
    ASSERT_TRUE(second.waitForStarted());
    QByteArray out;
    QElapsedTimer clock;
    clock.start();
    for (const char* key : {"k Return\n", "k Ctrl+S\n"}) { // Enter at the question, then save
        second.write(key);
        const qsizetype acked = out.count("ok ");
        while (out.count("ok ") == acked && clock.elapsed() < 60000) {
            second.waitForReadyRead(100);
            out += second.readAllStandardOutput();
        }
    }
    EXPECT_EQ(out.count("ok "), 2) << second.readAllStandardError().toStdString();
    EXPECT_EQ(readFile(path), QByteArray::fromStdString(c.Text)) << "the recovered page was saved over its file";
    // The journal of the first start went once the second's was on the disk, and the save
    // removed that one.
    const auto left = [&] { return QDir(home.path() + "/recovery").entryList(QDir::Files | QDir::Hidden); };
    for (clock.restart(); !left().isEmpty() && clock.elapsed() < 10000;) second.waitForReadyRead(50);
    EXPECT_TRUE(left().isEmpty()) << left().join(" ").toStdString();
    second.kill();
    second.waitForFinished();
}
