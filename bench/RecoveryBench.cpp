// Benchmarks of the recovery journal on the generated 100 MB document: the cost per keystroke
// of typing 10 000 characters into its middle with and without the journal (same run), the
// journal's size after them, the first snapshot and each flush, and recovering the page
// against opening its file.
#include "FakeEditor.h"
#include "JournalReader.h"
#include "JournalWriter.h"
#include "KanjiFile.h"
#include "PageJournal.h"
#include "TextGenerator.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace quire;
using namespace quire::test;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

constexpr int kKeystrokes = 10000;
// A flush per this many keystrokes: a quarter second of brisk typing.
constexpr int kKeysPerFlush = 50;

double seconds(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

double median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// The characters typed: Japanese text with its line ends (each CR LF is one press of Enter).
std::vector<std::string> keystrokes() {
    const std::string text = bench::GenerateShiftJis(64 * 1024, 2);
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < text.size() && keys.size() < kKeystrokes;) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t n = text.compare(i, 2, "\r\n") == 0 || (c >= 0x81 && c <= 0x9F) || c >= 0xE0 ? 2 : 1;
        keys.push_back(text.substr(i, n));
        i += n;
    }
    return keys;
}

// Types Key at the caret (Row, Offset) as the editor does: the row is replaced by itself with
// the character in it; Enter splits it. Returns the time the store took.
double typeKey(TEditorScreenStrings& s, int& row, std::size_t& offset, const std::string& key) {
    std::string text(s.Get(row));
    text.insert(offset, key);
    const auto t0 = Clock::now();
    s.ReplaceRows(row, 1, text + "\r\n");
    const double t = seconds(t0);
    if (key == "\r\n") {
        ++row;
        offset = 0;
    } else {
        offset += key.size();
    }
    return t;
}

void BM_JournalWhileTyping100MB(benchmark::State& state) {
    const std::string folder =
        (fs::temp_directory_path() / ("quire-bench-recovery-" + std::to_string(::getpid()))).string();
    const std::string file = folder + "/page.txt";
    fs::create_directories(folder);
    const std::vector<std::string> keys = keystrokes();
    std::size_t typedBytes = 0;
    for (const std::string& k : keys) typedBytes += k.size();
    for (auto _ : state) {
        {
            const std::string text = bench::GenerateShiftJis(100u << 20);
            std::ofstream(file, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
        }
        FakeEditor e;
        e.Lines.LoadFromFile(file);
        TEditorScreenStrings& s = *e.Store;
        // Without the journal, in the middle of the text.
        std::vector<double> plain, journaled, flushes;
        int row = s.Count() / 2;
        std::size_t offset = 0;
        for (const std::string& k : keys) plain.push_back(typeKey(s, row, offset, k));
        // With it, further down: the page becomes modified, the first flush writes the snapshot.
        TJournalWriter writer(folder);
        TPageJournal journal(writer, "bench");
        s.SetObserver(&journal);
        journal::TJournalPage page;
        page.FileName = file;
        row = s.Count() / 2 + 20000;
        offset = 0;
        journaled.push_back(typeKey(s, row, offset, keys.front()));
        auto t0 = Clock::now();
        journal.Flush(s, true, page);
        const double snapshotSeconds = seconds(t0);
        t0 = Clock::now();
        writer.WaitIdle();
        const double writtenSeconds = seconds(t0);
        const auto snapshotBytes = fs::file_size(folder + "/" + TJournalWriter::FileName("bench", 1));
        for (std::size_t i = 1; i < keys.size(); ++i) {
            journaled.push_back(typeKey(s, row, offset, keys[i]));
            if (i % kKeysPerFlush == 0) {
                t0 = Clock::now();
                journal.Flush(s, true, page);
                flushes.push_back(seconds(t0));
            }
        }
        journal.Flush(s, true, page);
        writer.WaitIdle();
        s.SetObserver(nullptr);
        const std::string journalFile = folder + "/" + TJournalWriter::FileName("bench", journal.Generation());
        const auto logBytes = fs::file_size(journalFile) - snapshotBytes;

        state.counters["keystroke_us"] = median(plain) * 1e6;
        state.counters["journaled_us"] = median(journaled) * 1e6;
        state.counters["added_us"] = (median(journaled) - median(plain)) * 1e6;
        state.counters["flush_us"] = median(flushes) * 1e6;
        state.counters["snapshot_ms"] = snapshotSeconds * 1e3;
        state.counters["snapshot_written_ms"] = writtenSeconds * 1e3;
        state.counters["typed_bytes"] = static_cast<double>(typedBytes);
        state.counters["log_bytes"] = static_cast<double>(logBytes);
        state.counters["log_per_flush"] =
            (static_cast<double>(logBytes) - static_cast<double>(typedBytes)) / static_cast<double>(flushes.size() + 1);
        state.counters["generations"] = static_cast<double>(journal.Generation());

        // Recovering the page against opening its file: both end with the text in a store.
        t0 = Clock::now();
        {
            FakeEditor opened;
            const TKanjiText t = ReadKanjiFile(QString::fromStdString(file));
            opened.Store->SetTextStr(t.Text);
        }
        const double openSeconds = seconds(t0);
        t0 = Clock::now();
        bool same = false;
        {
            // Read whole in one call, as the window reads a journal it recovers.
            std::string bytes(fs::file_size(journalFile), '\0');
            std::ifstream(journalFile, std::ios::binary).read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            const TJournalContent c = TJournalReader::Replay(bytes);
            FakeEditor recovered;
            recovered.Store->SetTextStr(c.Text);
            same = c.Complete && recovered.Store->Count() == s.Count();
        }
        const double recoverSeconds = seconds(t0);
        state.counters["open_ms"] = openSeconds * 1e3;
        state.counters["recover_ms"] = recoverSeconds * 1e3;
        state.counters["recover_x_open"] = recoverSeconds / openSeconds;
        state.counters["recovered_whole"] = same ? 1 : 0;
        state.SetIterationTime(recoverSeconds);
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_JournalWhileTyping100MB)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
