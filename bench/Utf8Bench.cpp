// Benchmarks of UTF-8 files: detection, reading into Shift_JIS rows and writing back, over the
// 100 MB generated text in UTF-8, each conversion with the system's iconv converting the same
// bytes in the same run as the baseline.
#include "OutsideCharTable.h"
#include "TextGenerator.h"
#include "Utf8Codec.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <iconv.h>
#include <string>

using namespace quire;
using Clock = std::chrono::steady_clock;

namespace {

double seconds(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

// Converts In with iconv into a new string (the output buffer is part of the work); aborts
// the run if iconv stops early, so that the baseline is never a partial conversion.
std::string iconvConvert(const char* to, const char* from, const std::string& in, double* took = nullptr) {
    iconv_t cd = iconv_open(to, from);
    const auto t0 = Clock::now();
    std::string out(in.size() * 2 + 64, '\0');
    char* inp = const_cast<char*>(in.data());
    char* outp = out.data();
    size_t inLeft = in.size(), outLeft = out.size();
    iconv(cd, &inp, &inLeft, &outp, &outLeft);
    out.resize(out.size() - outLeft);
    if (took) *took = seconds(t0);
    iconv_close(cd);
    if (inLeft != 0) std::abort();
    return out;
}

// The generated Japanese text in UTF-8 (about 100 MB of Shift_JIS, so somewhat more).
const std::string& utf8Text() {
    static const std::string t = iconvConvert("UTF-8", "CP932", bench::GenerateShiftJis(100u << 20));
    return t;
}

// The same text in Shift_JIS as a UTF-8 page holds it (no table codes: every character of
// the generated text is in JIS X 0208, so iconv gets the same work).
const std::string& sjisText() {
    static const std::string t = iconvConvert("CP932", "UTF-8", utf8Text());
    return t;
}

void report(benchmark::State& state, std::size_t bytes, double ours, double theirs) {
    state.counters["MB_per_s"] = static_cast<double>(bytes) / ours / 1e6;
    if (theirs > 0) {
        state.counters["iconv_MB_per_s"] = static_cast<double>(bytes) / theirs / 1e6;
        state.counters["x_iconv"] = theirs / ours; // above 1: faster than iconv
    }
}

void BM_DetectUtf8(benchmark::State& state) {
    const std::string& t = utf8Text();
    double s = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(utf8::IsUtf8File(t));
        s = seconds(t0);
        state.SetIterationTime(s);
    }
    report(state, t.size(), s, 0);
}
BENCHMARK(BM_DetectUtf8)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_ReadUtf8(benchmark::State& state) {
    const std::string& t = utf8Text();
    double ours = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        TOutsideCharTable table;
        std::string out;
        utf8::ToShiftJis(t, table, out);
        ours = seconds(t0);
        benchmark::DoNotOptimize(out.data());
        state.SetIterationTime(ours);
    }
    double theirs = 0;
    iconvConvert("CP932", "UTF-8", t, &theirs);
    report(state, t.size(), ours, theirs);
}
BENCHMARK(BM_ReadUtf8)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_WriteUtf8(benchmark::State& state) {
    const std::string& t = sjisText();
    TOutsideCharTable table;
    double ours = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        std::string out;
        utf8::FromShiftJis(t, &table, out);
        ours = seconds(t0);
        benchmark::DoNotOptimize(out.data());
        state.SetIterationTime(ours);
    }
    double theirs = 0;
    iconvConvert("UTF-8", "CP932", t, &theirs);
    report(state, t.size(), ours, theirs);
}
BENCHMARK(BM_WriteUtf8)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
