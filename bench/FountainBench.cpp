// Benchmarks of the editor parser: tokens over 100 MB of generated text, ReparseAll of the
// first two screens, and Reparse after typing inside an open bracket near the top of a long
// document.
#include "EditorFountain.h"
#include "FakeEditor.h"
#include "TextGenerator.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <string>

using namespace quire;
using namespace quire::test;
using Clock = std::chrono::steady_clock;

namespace {

std::unique_ptr<TEditorFountain> makeFountain() {
    auto f = TFountain::Create<TEditorFountain>();
    f->Brackets().AddBracket("(*", "*)");
    f->SetMail(true);
    f->SetUrl(true);
    f->SetQuotation("\"");
    f->SetCommenter(">");
    return f;
}

void BM_TokenizeEditorParser100MB(benchmark::State& state) {
    static const std::string text = bench::GenerateShiftJis(100u << 20);
    auto f = makeFountain();
    auto p = f->CreateParser();
    long long tokens = 0;
    double seconds = 0;
    for (auto _ : state) {
        tokens = 0;
        const auto t0 = Clock::now();
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\r', start);
            if (end == std::string::npos) end = text.size();
            p->StartRow(std::string_view(text).substr(start, end - start), TRowState::Initial());
            while (p->NextToken() != kindEnd) ++tokens;
            start = end + 2;
        }
        seconds = std::chrono::duration<double>(Clock::now() - t0).count();
        state.SetIterationTime(seconds);
    }
    state.counters["MB_per_s"] = static_cast<double>(text.size()) / seconds / 1e6;
    state.counters["Mtokens_per_s"] = static_cast<double>(tokens) / seconds / 1e6;
}
BENCHMARK(BM_TokenizeEditorParser100MB)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

struct LongDocument {
    std::unique_ptr<TEditorFountain> Fountain = makeFountain();
    FakeEditor Editor;
    LongDocument() {
        Editor.Screen = 60;
        Editor.ParserFactory = [this] { return std::unique_ptr<TRowStateParser>(Fountain->CreateParser()); };
        Editor.Store->WrapOption().SetWrapByte(80);
        Editor.Store->SetWordWrap(true);
        Editor.Store->SetTextStr(bench::GenerateShiftJis(20u << 20, 3));
    }
};

LongDocument& longDocument() {
    static LongDocument* d = new LongDocument;
    return *d;
}

void BM_ReparseAllTwoScreens(benchmark::State& state) {
    LongDocument& d = longDocument();
    for (auto _ : state) d.Editor.Store->ReparseAll();
    state.counters["rows"] = d.Editor.Store->Count();
}
BENCHMARK(BM_ReparseAllTwoScreens)->Unit(benchmark::kMicrosecond);

// Typing inside an open bracket near the top: the states below stay open, so the walk stops
// at the first row whose stored state already matches.
void BM_ReparseTypingInsideABracket(benchmark::State& state) {
    LongDocument& d = longDocument();
    TEditorScreenStrings& s = *d.Editor.Store;
    s.ReplaceRows(5, 0, "(* an open bracket\r\n");
    s.Reparse(s.Count() / 2, false); // half the document parsed, as after scrolling there
    int visited = 0;
    for (auto _ : state) {
        const std::string row(s.Get(8));
        s.ReplaceRows(8, 1, "x" + row + (s.RowAttribute(8) == TRowAttribute::LineEnd ? "\r\n" : ""));
        visited = s.LastReparseVisited();
        s.Undo();
    }
    state.counters["rows_visited"] = visited;
}
BENCHMARK(BM_ReparseTypingInsideABracket)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
