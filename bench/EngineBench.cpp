// Benchmarks of the text engine: loading, wrapping, edits in the middle of a long document,
// undo and redo, and re-parsing after an edit. Each prints its figure with a baseline
// measured in the same run, since these machines are noisy.
#include "FakeEditor.h"
#include "PeakMemory.h"
#include "TextGenerator.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace quire;
using namespace quire::test;
using quire::bench::ResetPeak;
using quire::bench::StatusBytes;
using Clock = std::chrono::steady_clock;

namespace {

// The generated 100 MB Shift_JIS file, written once per run.
const std::string& file100MB() {
    static const std::string path = [] {
        const std::string p = "/tmp/quire-bench-100MB-" + std::to_string(::getpid()) + ".txt";
        const std::string text = bench::GenerateShiftJis(100u << 20);
        std::ofstream(p, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
        std::atexit([] { std::remove(("/tmp/quire-bench-100MB-" + std::to_string(::getpid()) + ".txt").c_str()); });
        return p;
    }();
    return path;
}

std::size_t fileSize(const std::string& path) {
    std::ifstream f(path, std::ios::binary | std::ios::ate);
    return static_cast<std::size_t>(f.tellg());
}

// The file's bytes, read whole with one call.
std::string readWhole(const std::string& path) {
    std::string bytes(fileSize(path), '\0');
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f) {
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
        std::fclose(f);
    }
    return bytes;
}

// Baseline: reading the file whole and counting its lines with memchr.
double readAndCountSeconds(const std::string& path) {
    const auto t0 = Clock::now();
    const std::string bytes = readWhole(path);
    std::size_t lines = 0;
    for (const char* p = bytes.data();
         (p = static_cast<const char*>(std::memchr(p, '\n', bytes.data() + bytes.size() - p))); ++p)
        ++lines;
    benchmark::DoNotOptimize(lines);
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

void BM_LoadFromFile100MB(benchmark::State& state) {
    const std::string& path = file100MB();
    const double size = static_cast<double>(fileSize(path));
    double baseline = 0, loadSeconds = 0, peak = 0, held = 0;
    for (auto _ : state) {
        baseline = readAndCountSeconds(path);
        ResetPeak();
        const long long before = StatusBytes("VmRSS:");
        const auto t0 = Clock::now();
        {
            FakeEditor e;
            e.Lines.LoadFromFile(path);
            loadSeconds = std::chrono::duration<double>(Clock::now() - t0).count();
            held = static_cast<double>(StatusBytes("VmRSS:") - before);
            peak = static_cast<double>(StatusBytes("VmHWM:") - before);
            state.counters["rows"] = e.Store->Count();
        }
        state.SetIterationTime(loadSeconds);
    }
    state.counters["MB_per_s"] = size / loadSeconds / 1e6;
    state.counters["x_read_count"] = loadSeconds / baseline;
    state.counters["held_x_file"] = held / size;
    state.counters["peak_x_file"] = peak / size;
}
BENCHMARK(BM_LoadFromFile100MB)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_SetTextStr100MB(benchmark::State& state) {
    const std::string& path = file100MB();
    const double size = static_cast<double>(fileSize(path));
    double baseline = 0, seconds = 0, held = 0;
    for (auto _ : state) {
        baseline = readAndCountSeconds(path);
        std::string text = readWhole(path);
        ResetPeak();
        const long long before = StatusBytes("VmRSS:");
        const auto t0 = Clock::now();
        FakeEditor e;
        e.Store->SetTextStr(text);
        seconds = std::chrono::duration<double>(Clock::now() - t0).count();
        held = static_cast<double>(StatusBytes("VmRSS:") - before);
        state.SetIterationTime(seconds);
    }
    // The read of the text is part of the baseline, not of the figure.
    state.counters["x_read_count"] = seconds / baseline;
    state.counters["held_x_file"] = held / size;
}
BENCHMARK(BM_SetTextStr100MB)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_WrapAll100MB(benchmark::State& state) {
    FakeEditor e;
    e.Lines.LoadFromFile(file100MB());
    TEditorWrapOption& w = e.Store->WrapOption();
    w.SetWrapByte(80);
    w.SetLeading(true);
    w.SetFollowPunctuation(true);
    w.SetWordBreak(true);
    double seconds = 0;
    int rows = 0;
    for (auto _ : state) {
        e.Store->SetWordWrap(false);
        const auto t0 = Clock::now();
        e.Store->SetWordWrap(true);
        seconds = std::chrono::duration<double>(Clock::now() - t0).count();
        rows = e.Store->Count();
        state.SetIterationTime(seconds);
    }
    state.counters["rows"] = rows;
    state.counters["rows_per_s"] = rows / seconds;
}
BENCHMARK(BM_WrapAll100MB)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

constexpr int kRows = 1'500'000;

// A document of 1.5 million short rows.
FakeEditor& longDocument() {
    static FakeEditor* e = [] {
        auto* editor = new FakeEditor;
        editor->Screen = 60;
        std::string text;
        text.reserve(static_cast<std::size_t>(kRows) * 40);
        for (int i = 0; i < kRows; ++i) text += "row " + std::to_string(i) + " \x82\xA0\x82\xA2\x82\xA4 some text\r\n";
        editor->Store->SetTextStr(text);
        return editor;
    }();
    return *e;
}

double median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// Times Op on nearby rows in the middle of the long document, then the undo and the redo
// of each; reports the medians in µs and the ratio of the edit to inserting one row record
// into the middle of a std::vector of as many rows.
template <typename Op>
void timeMiddleEdit(benchmark::State& state, Op op) {
    FakeEditor& e = longDocument();
    TEditorScreenStrings& s = *e.Store;
    std::vector<double> edits, undos, redos;
    auto timed = [](auto f) {
        const auto t0 = Clock::now();
        f();
        return std::chrono::duration<double>(Clock::now() - t0).count();
    };
    for (auto _ : state) {
        const int row = kRows / 2 + static_cast<int>(edits.size() % 512);
        edits.push_back(timed([&] { op(s, row); }));
        undos.push_back(timed([&] { s.Undo(); }));
        redos.push_back(timed([&] { s.Redo(); }));
        state.SetIterationTime(edits.back());
    }
    struct Rec {
        char bytes[24];
    };
    std::vector<Rec> v(kRows);
    std::vector<double> base;
    for (int i = 0; i < 50; ++i) {
        base.push_back(timed([&] { v.insert(v.begin() + kRows / 2 + i, Rec{}); }));
        v.pop_back();
    }
    state.counters["median_us"] = median(edits) * 1e6;
    state.counters["undo_us"] = median(undos) * 1e6;
    state.counters["redo_us"] = median(redos) * 1e6;
    state.counters["vector_insert_us"] = median(base) * 1e6;
    state.counters["x_faster"] = median(base) / median(edits);
}

void BM_TypeOneCharacter(benchmark::State& state) {
    timeMiddleEdit(state, [](TEditorScreenStrings& s, int row) {
        std::string text(s.Get(row));
        text.insert(std::min<std::size_t>(3, text.size()), "x");
        s.ReplaceRows(row, 1, text + "\r\n");
    });
}
BENCHMARK(BM_TypeOneCharacter)->UseManualTime()->Iterations(2000);

void BM_SplitRow(benchmark::State& state) {
    timeMiddleEdit(state, [](TEditorScreenStrings& s, int row) {
        std::string text(s.Get(row));
        text.insert(std::min<std::size_t>(5, text.size()), "\r\n");
        s.ReplaceRows(row, 1, text + "\r\n");
    });
}
BENCHMARK(BM_SplitRow)->UseManualTime()->Iterations(2000);

void BM_JoinRows(benchmark::State& state) {
    timeMiddleEdit(state, [](TEditorScreenStrings& s, int row) {
        s.ReplaceRows(row, 2, std::string(s.Get(row)) + std::string(s.Get(row + 1)) + "\r\n");
    });
}
BENCHMARK(BM_JoinRows)->UseManualTime()->Iterations(2000);

// Opening a bracket near the top of the long document: rows the re-parse visits.
void BM_ReparseAfterOpeningABracket(benchmark::State& state) {
    FakeEditor& e = longDocument();
    e.Store->Reparse(kRows - 1, false); // everything parsed, as after scrolling to the end
    int visited = 0;
    for (auto _ : state) {
        e.Store->ReplaceRows(10, 1, "(* opened\r\n");
        visited = e.Store->LastReparseVisited();
        e.Store->Undo();
    }
    state.counters["rows_visited"] = visited;
    state.counters["two_screens"] = 2 * e.Screen;
}
BENCHMARK(BM_ReparseAfterOpeningABracket)->Iterations(50)->Unit(benchmark::kMicrosecond);

// The first edit in the middle of a freshly loaded 1.5M-row document, whose rows have no
// state yet beyond the first screens: as the editor does it (the rows above the edit are left
// to the background parse), and, for comparison, with the states parsed from the top first.
void BM_FirstEditFarDown(benchmark::State& state) {
    std::string text;
    text.reserve(static_cast<std::size_t>(kRows) * 40);
    for (int i = 0; i < kRows; ++i) text += "row " + std::to_string(i) + " \x82\xA0\x82\xA2\x82\xA4 some text\r\n";
    std::vector<double> fresh, parsed;
    auto timed = [](auto f) {
        const auto t0 = Clock::now();
        f();
        return std::chrono::duration<double>(Clock::now() - t0).count();
    };
    for (auto _ : state) {
        FakeEditor e;
        e.Screen = 60;
        e.Background = true;
        e.Store->SetTextStr(text);
        fresh.push_back(timed([&] { e.Store->ReplaceRows(kRows / 2, 1, "typed\r\n"); }));
        while (e.Store->ParseAhead(std::chrono::milliseconds(50))) {
        }
        parsed.push_back(timed([&] { e.Store->ReplaceRows(kRows / 2 + 1, 1, "typed\r\n"); }));
        state.SetIterationTime(fresh.back());
    }
    state.counters["fresh_ms"] = median(fresh) * 1e3;
    state.counters["after_background_ms"] = median(parsed) * 1e3;
}
BENCHMARK(BM_FirstEditFarDown)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// The background parse of the generated 100 MB text from the top to the end, in slices.
void BM_BackgroundParse100MB(benchmark::State& state) {
    FakeEditor e;
    e.Background = true;
    e.Lines.LoadFromFile(file100MB());
    double seconds = 0;
    int slices = 0;
    for (auto _ : state) {
        e.Store->ReparseAll();
        const auto t0 = Clock::now();
        for (slices = 1; e.Store->ParseAhead(std::chrono::milliseconds(4)); ++slices) {
        }
        seconds = std::chrono::duration<double>(Clock::now() - t0).count();
        state.SetIterationTime(seconds);
    }
    state.counters["rows"] = e.Store->Count();
    state.counters["slices"] = slices;
    state.counters["MB_per_s"] = static_cast<double>(fileSize(file100MB())) / seconds / 1e6;
}
BENCHMARK(BM_BackgroundParse100MB)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
