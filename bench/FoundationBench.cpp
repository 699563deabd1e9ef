// Benchmarks of the foundation: the text generator, the code page 932 codec, line
// splitting, and the row list's edits in the middle against a std::vector of row records.
#include "Cp932Codec.h"
#include "PointerStringList.h"
#include "ShiftJis.h"
#include "TextGenerator.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <vector>

using namespace quire;

namespace {

const std::string& text10MB() {
    static const std::string text = bench::GenerateShiftJis(10u << 20);
    return text;
}

void BM_GenerateAllCodes(benchmark::State& state) {
    for (auto _ : state) {
        auto t = bench::GenerateJapaneseText(static_cast<size_t>(state.range(0)) << 20);
        benchmark::DoNotOptimize(t.Jis.data());
    }
    state.SetBytesProcessed(state.iterations() * (state.range(0) << 20));
}
BENCHMARK(BM_GenerateAllCodes)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

// Baseline: counting line ends with memchr over the same bytes.
void BM_MemchrLineCount(benchmark::State& state) {
    const std::string& t = text10MB();
    for (auto _ : state) {
        size_t lines = 0;
        const char* p = t.data();
        const char* end = p + t.size();
        while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p))))) {
            ++lines;
            ++p;
        }
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(t.size()));
}
BENCHMARK(BM_MemchrLineCount)->Unit(benchmark::kMillisecond);

void BM_SplitLines(benchmark::State& state) {
    const std::string& t = text10MB();
    for (auto _ : state) {
        auto lines = sjis::SplitLines(t);
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(t.size()));
}
BENCHMARK(BM_SplitLines)->Unit(benchmark::kMillisecond);

void BM_Cp932ToUnicode(benchmark::State& state) {
    const std::string& t = text10MB();
    cp932::ToUnicode("warm up the tables");
    for (auto _ : state) {
        QString u = cp932::ToUnicode(t);
        benchmark::DoNotOptimize(u.constData());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(t.size()));
}
BENCHMARK(BM_Cp932ToUnicode)->Unit(benchmark::kMillisecond);

void BM_Cp932FromUnicode(benchmark::State& state) {
    const QString u = cp932::ToUnicode(text10MB());
    for (auto _ : state) {
        std::string s = cp932::FromUnicode(u);
        benchmark::DoNotOptimize(s.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text10MB().size()));
}
BENCHMARK(BM_Cp932FromUnicode)->Unit(benchmark::kMillisecond);

constexpr int kRows = 1'500'000;

// Inserting and deleting one row in the middle of 1.5 million rows, repeatedly at nearby
// places, as typing does.
void BM_RowListMiddleInsertDelete(benchmark::State& state) {
    TPointerStringList list;
    list.InsertEmpty(0, kRows);
    int step = 0;
    for (auto _ : state) {
        const int at = kRows / 2 + (step++ & 1023);
        list.Insert(at, "typed text in a row");
        list.Delete(at + 1);
    }
}
BENCHMARK(BM_RowListMiddleInsertDelete);

// Baseline: the same edit on a std::vector of 24-byte row records.
void BM_VectorMiddleInsertDelete(benchmark::State& state) {
    struct Rec {
        char bytes[24];
    };
    std::vector<Rec> v(kRows);
    size_t step = 0;
    for (auto _ : state) {
        const size_t at = kRows / 2 + (step++ & 1023);
        v.insert(v.begin() + static_cast<long>(at), Rec{});
        v.erase(v.begin() + static_cast<long>(at + 1));
    }
}
BENCHMARK(BM_VectorMiddleInsertDelete);

} // namespace

BENCHMARK_MAIN();
