// Benchmarks of find and replace: a word found once across 100 MB of generated text, forward
// and backward, with and without match case, each timed against memmem over the same bytes
// in the same iteration; and replace all of a frequent word in 10 MB held by an editor.
#include "Editor.h"
#include "FindReplace.h"
#include "Search.h"
#include "TextGenerator.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstring>

using namespace quire;
using Clock = std::chrono::steady_clock;

namespace {

// A word at each end of 100 MB: forward from after the first one finds the last, backward
// from before the last finds the first, so each search passes the whole text.
struct Planted {
    std::string Text;
    std::string Word;
};

const Planted& planted(int which) {
    static const std::string body = bench::GenerateShiftJis(100u << 20, 3);
    static Planted words[2];
    Planted& p = words[which];
    if (p.Text.empty()) {
        p.Word = which == 0 ? "Zebra" : "\x8C\x9F\x8D\xF5\x8C\xEA"; // 検索語
        p.Text = p.Word + " " + body + " " + p.Word;
    }
    return p;
}

double seconds(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

// Arguments: the word (0 ASCII, 1 kanji), the direction (1 forward), match case (1 on).
void BM_FindOnceIn100MB(benchmark::State& state) {
    const Planted& p = planted(static_cast<int>(state.range(0)));
    const bool forward = state.range(1) != 0;
    TSearchOptions o;
    o.Set(TSearchOption::Forward, forward);
    o.Set(TSearchOption::MatchCase, state.range(2) != 0);
    const int n = static_cast<int>(p.Text.size()), w = static_cast<int>(p.Word.size());
    const int expected = forward ? n - w : 0;
    double ours = 0, baseline = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        const void* hit =
            memmem(p.Text.data() + w, p.Text.size() - static_cast<size_t>(w), p.Word.data(), p.Word.size());
        benchmark::DoNotOptimize(hit);
        baseline += seconds(t0);
        int start = forward ? 0 : n - w, length = forward ? w : 0;
        t0 = Clock::now();
        const bool found = Search(p.Text, start, length, p.Word, o);
        const double t = seconds(t0);
        ours += t;
        state.SetIterationTime(t);
        if (!found || start != expected || hit != p.Text.data() + (n - w)) {
            state.SkipWithError("the planted word was not the one found");
            break;
        }
    }
    state.counters["memmem_ms"] = benchmark::Counter(baseline * 1000 / static_cast<double>(state.iterations()));
    state.counters["x_memmem"] = benchmark::Counter(baseline > 0 ? ours / baseline : 0);
}
BENCHMARK(BM_FindOnceIn100MB)
    ->ArgsProduct({{0, 1}, {1, 0}, {1, 0}})
    ->ArgNames({"kanji", "forward", "case"})
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Replace all of "editor" (about one word in 160) by "エディタ" in 10 MB, without questions,
// through the editor: the text is built once, the replacements are one edit. Argument: the
// direction (1 forward).
void BM_ReplaceAllIn10MB(benchmark::State& state) {
    const std::string text = bench::GenerateShiftJis(10u << 20, 5);
    TEditor editor;
    TFindReplace find;
    find.SearchText = QStringLiteral("editor");
    find.ReplaceText = QStringLiteral("エディタ");
    size_t count = 0;
    for (size_t at = text.find("editor"); at != std::string::npos; at = text.find("editor", at + 6)) ++count;
    for (auto _ : state) {
        editor.Lines().SetText(text);
        editor.SetSelStart(state.range(0) ? 0 : static_cast<int>(text.size()));
        find.Options = TSearchOptions();
        find.Options.Set(TSearchOption::Forward, state.range(0) != 0);
        find.Options.Set(TSearchOption::ReplaceAll, true);
        const auto t0 = Clock::now();
        find.ReplaceLoop(editor, [](TEditor&) { return TReplaceAnswer::Cancel; });
        state.SetIterationTime(seconds(t0));
        if (editor.TextLength() != static_cast<int>(text.size() + count * 2)) {
            std::fprintf(stderr, "length %d, expected %zu + %zu * 2\n", editor.TextLength(), text.size(), count);
            state.SkipWithError("not every word was replaced");
            break;
        }
    }
    state.counters["replaced"] = benchmark::Counter(static_cast<double>(count));
}
BENCHMARK(BM_ReplaceAllIn10MB)
    ->Arg(1)
    ->Arg(0)
    ->ArgNames({"forward"})
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
