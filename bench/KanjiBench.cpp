// Benchmarks of kanji code detection and the built-in converters over 100 MB of generated text,
// each with the system's iconv converting the same bytes in the same run as the baseline.
#include "BenchTiming.h"
#include "TextGenerator.h"
#include "jconvert.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <string>

using namespace quire;

namespace {

const bench::GeneratedText& text100MB() {
    static const bench::GeneratedText t = bench::GenerateJapaneseText(100u << 20);
    return t;
}

void BM_DetectKanjiCode(benchmark::State& state) {
    // Detection stops once it is sure; a long ASCII text makes it read everything.
    static const std::string ascii = std::string(100u << 20, 'a') + text100MB().ShiftJis.substr(0, 4096);
    const double s = bench::TimeIterations(state, [] { benchmark::DoNotOptimize(jconvert::DetectKanjiCode(ascii)); });
    state.counters["MB_per_s"] = static_cast<double>(ascii.size()) / s / 1e6;
}
BENCHMARK(BM_DetectKanjiCode)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_JisToSjis(benchmark::State& state) {
    bench::TimeAgainstIconv(state, text100MB().Jis, jconvert::JisToSjis, "SHIFT_JIS", "ISO-2022-JP");
}
BENCHMARK(BM_JisToSjis)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_EucToSjis(benchmark::State& state) {
    bench::TimeAgainstIconv(state, text100MB().Euc, jconvert::EucToSjis, "SHIFT_JIS", "EUC-JP");
}
BENCHMARK(BM_EucToSjis)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_SjisToJis(benchmark::State& state) {
    bench::TimeAgainstIconv(state, text100MB().ShiftJis, jconvert::SjisToJis, "ISO-2022-JP", "SHIFT_JIS");
}
BENCHMARK(BM_SjisToJis)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_SjisToEuc(benchmark::State& state) {
    bench::TimeAgainstIconv(state, text100MB().ShiftJis, jconvert::SjisToEuc, "EUC-JP", "SHIFT_JIS");
}
BENCHMARK(BM_SjisToEuc)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// The converters in the pieces the editor and quire-kanji use, into one buffer used again for
// every piece: their own speed, without the cost of touching new memory for the output.
void BM_ConvertInPieces(benchmark::State& state) {
    const auto conversion = static_cast<jconvert::TConversion>(state.range(0));
    const bench::GeneratedText& t = text100MB();
    const std::string& in = conversion == jconvert::TConversion::EucToSjis   ? t.Euc
                            : conversion == jconvert::TConversion::JisToSjis ? t.Jis
                                                                             : t.ShiftJis;
    constexpr std::size_t kPiece = std::size_t(1) << 20;
    std::unique_ptr<char[]> out(new char[jconvert::MaxConvertedSize(conversion, kPiece)]);
    const double s = bench::TimeIterations(state, [&] {
        bool kanji = false;
        std::string_view rest = in;
        while (!rest.empty()) {
            const std::string_view piece = rest.substr(0, kPiece);
            const jconvert::TConvertStep step =
                jconvert::ConvertPiece(conversion, piece, piece.size() == rest.size(), kanji, out.get());
            benchmark::DoNotOptimize(out.get());
            rest.remove_prefix(step.Read);
        }
    });
    state.counters["MB_per_s"] = static_cast<double>(in.size()) / s / 1e6;
}
BENCHMARK(BM_ConvertInPieces)->DenseRange(0, 3)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
