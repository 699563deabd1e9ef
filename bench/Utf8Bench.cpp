// Benchmarks of UTF-8 and UTF-16 files: detection, reading into Shift_JIS rows and writing
// back, over the 100 MB generated text, each conversion with the system's iconv converting the
// same bytes in the same run as the baseline.
#include "BenchTiming.h"
#include "OutsideCharTable.h"
#include "TextGenerator.h"
#include "Utf16Codec.h"
#include "Utf8Codec.h"

#include <benchmark/benchmark.h>
#include <string>

using namespace quire;

namespace {

// The generated Japanese text in UTF-8 (about 100 MB of Shift_JIS, so somewhat more).
const std::string& utf8Text() {
    static const std::string t = bench::IconvConvert("UTF-8", "CP932", bench::GenerateShiftJis(100u << 20));
    return t;
}

// The same text in Shift_JIS as a UTF-8 page holds it (no table codes: every character of
// the generated text is in JIS X 0208, so iconv gets the same work).
const std::string& sjisText() {
    static const std::string t = bench::IconvConvert("CP932", "UTF-8", utf8Text());
    return t;
}

void BM_DetectUtf8(benchmark::State& state) {
    const std::string& t = utf8Text();
    const double s = bench::TimeIterations(state, [&t] { benchmark::DoNotOptimize(utf8::IsUtf8File(t)); });
    bench::ReportAgainstIconv(state, t.size(), s, 0);
}
BENCHMARK(BM_DetectUtf8)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_ReadUtf8(benchmark::State& state) {
    bench::TimeAgainstIconv(
        state, utf8Text(),
        [](const std::string& t) {
            TOutsideCharTable table;
            std::string out;
            utf8::ToShiftJis(t, table, out);
            return out;
        },
        "CP932", "UTF-8");
}
BENCHMARK(BM_ReadUtf8)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_WriteUtf8(benchmark::State& state) {
    TOutsideCharTable table;
    bench::TimeAgainstIconv(
        state, sjisText(),
        [&table](const std::string& t) {
            std::string out;
            utf8::FromShiftJis(t, &table, out);
            return out;
        },
        "UTF-8", "CP932");
}
BENCHMARK(BM_WriteUtf8)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// The generated text in UTF-16LE, without a byte order mark.
const std::string& utf16Text() {
    static const std::string t = bench::IconvConvert("UTF-16LE", "UTF-8", utf8Text());
    return t;
}

void BM_ReadUtf16(benchmark::State& state) {
    bench::TimeAgainstIconv(
        state, utf16Text(),
        [](const std::string& t) {
            TOutsideCharTable table;
            utf16::TToShiftJis r;
            std::string out(utf16::MaxShiftJisSize(t.size()), '\0');
            out.resize(utf16::ConvertPiece(t, false, table, out.data(), r));
            return out;
        },
        "CP932", "UTF-16LE");
}
BENCHMARK(BM_ReadUtf16)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_WriteUtf16(benchmark::State& state) {
    TOutsideCharTable table;
    bench::TimeAgainstIconv(
        state, sjisText(),
        [&table](const std::string& t) {
            std::string out;
            utf16::FromShiftJis(t, &table, false, out);
            return out;
        },
        "UTF-16LE", "CP932");
}
BENCHMARK(BM_WriteUtf16)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
