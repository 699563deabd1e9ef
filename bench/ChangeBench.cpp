// Benchmarks of the everyday actions whose cost should follow the change, not the document: a
// key with the counts shown, select all, Shift+Up over everything selected, copying it all, F3
// to the next line, a find that passes the whole text, replace all and its undo. Each is timed
// beside its peer or baseline in the same iteration (the real grep and sed, with LC_ALL=C, over
// the same bytes in a file), on generated Shift_JIS text of QUIRE_BENCH_MB megabytes (100 unless
// set; "1G" for a gigabyte). Each action's peak memory beyond what was in use before it is
// reported as a multiple of the text's size (of the copied text for Ctrl+C): *_peak_x. The
// page keeps a recovery journal, as a modified page does, flushed after each replace and undo.
#include "Editor.h"
#include "EditorScreenStrings.h"
#include "FindReplace.h"
#include "JournalWriter.h"
#include "PageJournal.h"
#include "PeakMemory.h"
#include "RunTool.h"
#include "TextGenerator.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

using namespace quire;
using Clock = std::chrono::steady_clock;

namespace {

double seconds(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

std::size_t benchBytes() {
    const char* mb = std::getenv("QUIRE_BENCH_MB");
    char* unit = nullptr;
    const std::size_t n = mb ? std::strtoul(mb, &unit, 10) : 100;
    return n << (unit && (*unit == 'G' || *unit == 'g') ? 30 : 20);
}

const std::string& text() {
    static const std::string t = bench::GenerateShiftJis(benchBytes(), 7);
    return t;
}

// A file of this run's own in the temporary folder, removed when the run ends.
std::string tempFile(const char* Name) {
    static const std::string prefix = "/tmp/quire-change-bench-" + std::to_string(::getpid()) + "-";
    static const bool removeAtExit = [] {
        std::atexit([] {
            for (const char* n : {"text", "out", "back", "count"}) std::remove((prefix + n).c_str());
        });
        return true;
    }();
    (void)removeAtExit;
    return prefix + Name;
}

// The text in a file, for the programs that are the baselines (written once).
const std::string& textFile() {
    static const std::string path = [] {
        const std::string p = tempFile("text");
        std::ofstream(p, std::ios::binary).write(text().data(), static_cast<std::streamsize>(text().size()));
        return p;
    }();
    return path;
}

// Runs a baseline program with LC_ALL=C (bytes, not characters) and its output in Out; its
// seconds, or the benchmark ends with an error when it fails (an exit status above Allowed).
double runBaseline(benchmark::State& State, std::vector<std::string> Argv, const std::string& Out, int Allowed = 0) {
    Argv.insert(Argv.begin(), {"env", "LC_ALL=C"});
    int code = 0;
    const double s = bench::RunTool(Argv, Out, code);
    if (s < 0 || code > Allowed) State.SkipWithError(("the baseline failed: " + Argv[2]).c_str());
    return s;
}

double textBytes() { return static_cast<double>(text().size()); }

// The largest peak of an action over the iterations, as a multiple of Size.
void keepPeak(double& Largest, const bench::TPeakMemory& Peak, double Size = textBytes()) {
    Largest = std::max(Largest, static_cast<double>(Peak.Peak()) / Size);
}

// The recovery journal of the editor's page, as a modified page has one: its first snapshot
// written, so that every change after it becomes a record (in a folder removed at the end).
struct TBenchJournal {
    std::string Folder = tempFile("journal");
    TJournalWriter Writer{(std::filesystem::create_directory(Folder), Folder)};
    TPageJournal Journal{Writer, "bench"};
    ~TBenchJournal() { std::filesystem::remove_all(Folder); }
    void Flush(const TEditorScreenStrings& Rows) {
        Journal.Flush(Rows, true, journal::TJournalPage{});
        Writer.WaitIdle();
    }
};

TBenchJournal& benchJournal() {
    static TBenchJournal j;
    return j;
}

// One editor holding the text, made once (loading is not what is measured here), with the
// journal listening.
TEditor& editor() {
    static TEditor* e = [] {
        auto* ed = new TEditor;
        ed->resize(800, 600);
        ed->Lines().SetText(text());
        ed->ScreenStrings().SetObserver(&benchJournal().Journal);
        benchJournal().Flush(ed->ScreenStrings());
        return ed;
    }();
    return *e;
}

void press(TEditor& E, int Key, Qt::KeyboardModifiers Mods = Qt::NoModifier) {
    QKeyEvent down(QEvent::KeyPress, Key, Mods);
    QApplication::sendEvent(&E, &down);
}

void report(benchmark::State& State, double Ours, double Peer, const char* PeerName) {
    const double n = static_cast<double>(State.iterations());
    State.counters["ms"] = benchmark::Counter(Ours * 1000 / n);
    State.counters[PeerName] = benchmark::Counter(Peer * 1000 / n);
    State.counters["ratio"] = benchmark::Counter(Peer > 0 ? Ours / Peer : 0);
}

// A key in the middle of the text, then the character count and the byte size the status bar
// shows; its peer is the same key without them.
void BM_KeyWithCounts(benchmark::State& state) {
    TEditor& e = editor();
    e.SetSelStart(static_cast<int>(text().size() / 2));
    e.ScreenStrings().CharacterCount(); // the first count of a new text is made whole
    double ours = 0, peer = 0, peak = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        e.TypeText("a");
        peer += seconds(t0);
        const bench::TPeakMemory memory;
        t0 = Clock::now();
        e.TypeText("b");
        benchmark::DoNotOptimize(e.ScreenStrings().CharacterCount());
        benchmark::DoNotOptimize(e.TextLength());
        const double t = seconds(t0);
        keepPeak(peak, memory);
        ours += t;
        state.SetIterationTime(t);
    }
    report(state, ours, peer, "key_alone_ms");
    state.counters["peak_x"] = peak;
}
BENCHMARK(BM_KeyWithCounts)->Iterations(50)->UseManualTime()->Unit(benchmark::kMillisecond);

// Ctrl+A, then Shift+Up with everything selected; the peer is a key that moves the caret.
void BM_SelectAllAndShiftUp(benchmark::State& state) {
    TEditor& e = editor();
    double all = 0, up = 0, peer = 0, allPeak = 0, upPeak = 0;
    for (auto _ : state) {
        e.SetSelStart(static_cast<int>(text().size() / 2));
        auto t0 = Clock::now();
        press(e, Qt::Key_Down);
        peer += seconds(t0);
        const bench::TPeakMemory allMemory;
        t0 = Clock::now();
        e.SelectAll();
        all += seconds(t0);
        keepPeak(allPeak, allMemory);
        const bench::TPeakMemory upMemory;
        t0 = Clock::now();
        press(e, Qt::Key_Up, Qt::ShiftModifier);
        const double t = seconds(t0);
        keepPeak(upPeak, upMemory);
        up += t;
        state.SetIterationTime(t);
    }
    report(state, all, peer, "caret_key_ms");
    state.counters["shift_up_ms"] = benchmark::Counter(up * 1000 / static_cast<double>(state.iterations()));
    state.counters["peak_x"] = allPeak;
    state.counters["shift_up_peak_x"] = upPeak;
}
BENCHMARK(BM_SelectAllAndShiftUp)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// Ctrl+C of the whole text, and what a program that pastes it makes the editor do (the text
// for it, with LF line ends); the baseline is a copy of the same bytes.
void BM_CopyAll(benchmark::State& state) {
    TEditor& e = editor();
    double copy = 0, asked = 0, baseline = 0, copyPeak = 0, askedPeak = 0;
    for (auto _ : state) {
        e.SelectAll();
        auto t0 = Clock::now();
        std::string bytes = text();
        benchmark::DoNotOptimize(bytes.data());
        baseline += seconds(t0);
        bytes = std::string();
        const bench::TPeakMemory copyMemory;
        t0 = Clock::now();
        e.CopyToClipboard();
        const double t = seconds(t0);
        keepPeak(copyPeak, copyMemory);
        copy += t;
        state.SetIterationTime(t);
        const bench::TPeakMemory askedMemory;
        t0 = Clock::now();
        const QByteArray utf8 = QApplication::clipboard()->mimeData()->data(QStringLiteral("text/plain"));
        asked += seconds(t0);
        keepPeak(askedPeak, askedMemory);
        if (utf8.isEmpty()) state.SkipWithError("the clipboard holds no text");
    }
    report(state, copy, baseline, "byte_copy_ms");
    state.counters["pasted_elsewhere_ms"] = benchmark::Counter(asked * 1000 / static_cast<double>(state.iterations()));
    state.counters["peak_x"] = copyPeak;
    state.counters["pasted_elsewhere_peak_x"] = askedPeak;
    e.ClearSelection();
}
BENCHMARK(BM_CopyAll)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// F3 to a word on the next line, and a find of a word the text does not hold (the whole text
// scanned), beside grep -c of that word over the same bytes in a file.
void BM_FindNextLineAndWholeScan(benchmark::State& state) {
    TEditor& e = editor();
    TFindReplace find;
    find.Options.Set(TSearchOption::Forward, true);
    find.Options.Set(TSearchOption::MatchCase, true);
    const int middle = e.ScreenStrings().Count() / 2;
    const std::string& file = textFile();
    double next = 0, scan = 0, baseline = 0, nextPeak = 0, scanPeak = 0;
    for (auto _ : state) {
        e.ClearSelection();
        e.SetRowCol(middle, 0);
        e.TypeText("\r\nQzebra");
        e.SetRowCol(middle, 0);
        find.SearchText = QStringLiteral("Qzebra");
        const bench::TPeakMemory nextMemory;
        auto t0 = Clock::now();
        const bool found = find.FindOnce(e);
        const double t = seconds(t0);
        keepPeak(nextPeak, nextMemory);
        next += t;
        state.SetIterationTime(t);
        e.Undo();
        e.ClearSelection();
        e.SetSelStart(0);
        find.SearchText = QStringLiteral("Qzebrb");
        const bench::TPeakMemory scanMemory;
        t0 = Clock::now();
        const bool none = find.FindOnce(e);
        scan += seconds(t0);
        keepPeak(scanPeak, scanMemory);
        baseline += runBaseline(state, {"grep", "-c", "Qzebrb", file}, tempFile("count"), 1);
        if (!found || none) state.SkipWithError("the planted word was not found, or a missing one was");
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["ms"] = benchmark::Counter(next * 1000 / n);
    state.counters["peak_x"] = nextPeak;
    state.counters["scan_ms"] = benchmark::Counter(scan * 1000 / n);
    state.counters["grep_c_ms"] = benchmark::Counter(baseline * 1000 / n);
    state.counters["scan_x_grep"] = benchmark::Counter(baseline > 0 ? scan / baseline : 0);
    state.counters["scan_peak_x"] = scanPeak;
}
BENCHMARK(BM_FindNextLineAndWholeScan)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// Replace all of "editor" by "エディタ" without questions, and its undo; the baselines are sed
// making the same replacement over the same bytes, and the reverse one over its output.
void BM_ReplaceAllAndUndo(benchmark::State& state) {
    TEditor& e = editor();
    TFindReplace find;
    find.SearchText = QStringLiteral("editor");
    find.ReplaceText = QStringLiteral("エディタ");
    find.Options.Set(TSearchOption::Forward, true);
    find.Options.Set(TSearchOption::ReplaceAll, true);
    const std::string with = "\x83\x47\x83\x66\x83\x42\x83\x5E";
    const std::size_t hits = [] {
        std::size_t n = 0;
        for (std::size_t at = text().find("editor"); at != std::string::npos; at = text().find("editor", at + 6)) ++n;
        return n;
    }();
    const std::string& file = textFile();
    double ours = 0, undo = 0, sed = 0, sedBack = 0, peak = 0, undoPeak = 0;
    for (auto _ : state) {
        sed += runBaseline(state, {"sed", "s/editor/" + with + "/g", file}, tempFile("out"));
        sedBack += runBaseline(state, {"sed", "s/" + with + "/editor/g", tempFile("out")}, tempFile("back"));
        const int before = e.TextLength();
        e.ClearSelection();
        e.SetSelStart(0);
        const bench::TPeakMemory memory;
        auto t0 = Clock::now();
        find.ReplaceLoop(e, [](TEditor&) { return TReplaceAnswer::Cancel; });
        const double t = seconds(t0);
        keepPeak(peak, memory);
        ours += t;
        state.SetIterationTime(t);
        if (e.TextLength() != before + static_cast<int>(hits * (with.size() - 6)))
            state.SkipWithError("not every word was replaced");
        benchJournal().Flush(e.ScreenStrings());
        const bench::TPeakMemory undoMemory;
        t0 = Clock::now();
        e.Undo();
        undo += seconds(t0);
        keepPeak(undoPeak, undoMemory);
        if (e.TextLength() != before) state.SkipWithError("the undo did not restore the length");
        benchJournal().Flush(e.ScreenStrings());
    }
    report(state, ours, sed, "sed_ms");
    state.counters["peak_x"] = peak;
    state.counters["undo_ms"] = benchmark::Counter(undo * 1000 / static_cast<double>(state.iterations()));
    state.counters["sed_back_ms"] = benchmark::Counter(sedBack * 1000 / static_cast<double>(state.iterations()));
    state.counters["undo_ratio"] = benchmark::Counter(sedBack > 0 ? undo / sedBack : 0);
    state.counters["undo_peak_x"] = undoPeak;
    state.counters["hits"] = benchmark::Counter(static_cast<double>(hits));
}
BENCHMARK(BM_ReplaceAllAndUndo)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
