// Benchmarks of the everyday actions whose cost should follow the change, not the document: a
// key with the counts shown, select all, Shift+Up over everything selected, copying it all, F3
// to the next line, a find that passes the whole text, replace all and its undo. Each is timed
// beside its peer or baseline in the same iteration, on generated Shift_JIS text of
// QUIRE_BENCH_MB megabytes (100 unless set).
#include "Editor.h"
#include "EditorScreenStrings.h"
#include "FindReplace.h"
#include "TextGenerator.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <cstring>

using namespace quire;
using Clock = std::chrono::steady_clock;

namespace {

double seconds(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

std::size_t benchBytes() {
    const char* mb = std::getenv("QUIRE_BENCH_MB");
    return static_cast<std::size_t>(mb ? std::atoi(mb) : 100) << 20;
}

const std::string& text() {
    static const std::string t = bench::GenerateShiftJis(benchBytes(), 7);
    return t;
}

// One editor holding the text, made once (loading is not what is measured here).
TEditor& editor() {
    static TEditor* e = [] {
        auto* ed = new TEditor;
        ed->resize(800, 600);
        ed->Lines().SetText(text());
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
    double ours = 0, peer = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        e.TypeText("a");
        peer += seconds(t0);
        t0 = Clock::now();
        e.TypeText("b");
        benchmark::DoNotOptimize(e.ScreenStrings().CharacterCount());
        benchmark::DoNotOptimize(e.TextLength());
        const double t = seconds(t0);
        ours += t;
        state.SetIterationTime(t);
    }
    report(state, ours, peer, "key_alone_ms");
}
BENCHMARK(BM_KeyWithCounts)->Iterations(50)->UseManualTime()->Unit(benchmark::kMillisecond);

// Ctrl+A, then Shift+Up with everything selected; the peer is a key that moves the caret.
void BM_SelectAllAndShiftUp(benchmark::State& state) {
    TEditor& e = editor();
    double all = 0, up = 0, peer = 0;
    for (auto _ : state) {
        e.SetSelStart(static_cast<int>(text().size() / 2));
        auto t0 = Clock::now();
        press(e, Qt::Key_Down);
        peer += seconds(t0);
        t0 = Clock::now();
        e.SelectAll();
        all += seconds(t0);
        t0 = Clock::now();
        press(e, Qt::Key_Up, Qt::ShiftModifier);
        const double t = seconds(t0);
        up += t;
        state.SetIterationTime(t);
    }
    report(state, all, peer, "caret_key_ms");
    state.counters["shift_up_ms"] = benchmark::Counter(up * 1000 / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_SelectAllAndShiftUp)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// Ctrl+C of the whole text, and what a program that pastes it makes the editor do (the text
// for it, with LF line ends); the baseline is a copy of the same bytes.
void BM_CopyAll(benchmark::State& state) {
    TEditor& e = editor();
    double copy = 0, asked = 0, baseline = 0;
    for (auto _ : state) {
        e.SelectAll();
        auto t0 = Clock::now();
        std::string bytes = text();
        benchmark::DoNotOptimize(bytes.data());
        baseline += seconds(t0);
        t0 = Clock::now();
        e.CopyToClipboard();
        const double t = seconds(t0);
        copy += t;
        state.SetIterationTime(t);
        t0 = Clock::now();
        const QByteArray utf8 = QApplication::clipboard()->mimeData()->data(QStringLiteral("text/plain"));
        asked += seconds(t0);
        if (utf8.isEmpty()) state.SkipWithError("the clipboard holds no text");
    }
    report(state, copy, baseline, "byte_copy_ms");
    state.counters["pasted_elsewhere_ms"] = benchmark::Counter(asked * 1000 / static_cast<double>(state.iterations()));
    e.ClearSelection();
}
BENCHMARK(BM_CopyAll)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// F3 to a word on the next line, and a find of a word the text does not hold (the whole text
// scanned), beside memmem over the same bytes.
void BM_FindNextLineAndWholeScan(benchmark::State& state) {
    TEditor& e = editor();
    TFindReplace find;
    find.Options.Set(TSearchOption::Forward, true);
    find.Options.Set(TSearchOption::MatchCase, true);
    const int middle = e.ScreenStrings().Count() / 2;
    double next = 0, scan = 0, baseline = 0;
    for (auto _ : state) {
        e.ClearSelection();
        e.SetRowCol(middle, 0);
        e.TypeText("\r\nQzebra");
        e.SetRowCol(middle, 0);
        find.SearchText = QStringLiteral("Qzebra");
        auto t0 = Clock::now();
        const bool found = find.FindOnce(e);
        const double t = seconds(t0);
        next += t;
        state.SetIterationTime(t);
        e.Undo();
        e.ClearSelection();
        e.SetSelStart(0);
        find.SearchText = QStringLiteral("Qzebrb");
        t0 = Clock::now();
        const bool none = find.FindOnce(e);
        scan += seconds(t0);
        t0 = Clock::now();
        benchmark::DoNotOptimize(memmem(text().data(), text().size(), "Qzebrb", 6));
        baseline += seconds(t0);
        if (!found || none) state.SkipWithError("the planted word was not found, or a missing one was");
    }
    report(state, next, baseline, "memmem_ms");
    state.counters["scan_ms"] = benchmark::Counter(scan * 1000 / static_cast<double>(state.iterations()));
    state.counters["scan_x_memmem"] = benchmark::Counter(baseline > 0 ? scan / baseline : 0);
}
BENCHMARK(BM_FindNextLineAndWholeScan)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// Replace all of "editor" by "エディタ" without questions, and its undo; the baseline is one
// pass that builds the replaced text, as a stream editor does.
void BM_ReplaceAllAndUndo(benchmark::State& state) {
    TEditor& e = editor();
    TFindReplace find;
    find.SearchText = QStringLiteral("editor");
    find.ReplaceText = QStringLiteral("エディタ");
    find.Options.Set(TSearchOption::Forward, true);
    find.Options.Set(TSearchOption::ReplaceAll, true);
    const std::string with = "\x83\x47\x83\x66\x83\x42\x83\x5E";
    double ours = 0, undo = 0, baseline = 0, hits = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        std::string out;
        out.reserve(text().size() + text().size() / 8);
        std::size_t from = 0, n = 0;
        for (std::size_t at = text().find("editor"); at != std::string::npos; at = text().find("editor", from)) {
            out.append(text(), from, at - from).append(with);
            from = at + 6;
            ++n;
        }
        out.append(text(), from);
        benchmark::DoNotOptimize(out.data());
        baseline += seconds(t0);
        hits = static_cast<double>(n);
        const int before = e.TextLength();
        e.ClearSelection();
        e.SetSelStart(0);
        t0 = Clock::now();
        find.ReplaceLoop(e, [](TEditor&) { return TReplaceAnswer::Cancel; });
        const double t = seconds(t0);
        ours += t;
        state.SetIterationTime(t);
        if (e.TextLength() != before + static_cast<int>(n * (with.size() - 6)))
            state.SkipWithError("not every word was replaced");
        t0 = Clock::now();
        e.Undo();
        undo += seconds(t0);
        if (e.TextLength() != before) state.SkipWithError("the undo did not restore the length");
    }
    report(state, ours, baseline, "one_pass_ms");
    state.counters["undo_ms"] = benchmark::Counter(undo * 1000 / static_cast<double>(state.iterations()));
    state.counters["hits"] = benchmark::Counter(hits);
}
BENCHMARK(BM_ReplaceAllAndUndo)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
