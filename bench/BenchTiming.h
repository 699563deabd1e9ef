// The manual timing of the benchmarks, and the baseline of the conversion benchmarks: the
// system's iconv converting the same bytes in the same run, with the counters that set the
// built-in converters beside it.
#pragma once

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <iconv.h>
#include <string>

namespace quire::bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

// Times Run once an iteration as that iteration's time; returns the last iteration's seconds.
template <typename Run>
double TimeIterations(benchmark::State& state, Run run) {
    double s = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        run();
        s = Seconds(t0);
        state.SetIterationTime(s);
    }
    return s;
}

// Converts In with iconv into a new string (the output buffer is part of the work, as it is
// for the built-in converters); Took, when given, gets the time it took. Aborts the run if iconv
// stops early, so that the baseline is never a partial conversion.
inline std::string IconvConvert(const char* to, const char* from, const std::string& in, double* took = nullptr) {
    iconv_t cd = iconv_open(to, from);
    const auto t0 = Clock::now();
    std::string out(in.size() * 2 + 64, '\0');
    char* inp = const_cast<char*>(in.data());
    char* outp = out.data();
    size_t inLeft = in.size(), outLeft = out.size();
    iconv(cd, &inp, &inLeft, &outp, &outLeft);
    out.resize(out.size() - outLeft);
    if (took) *took = Seconds(t0);
    iconv_close(cd);
    if (inLeft != 0) std::abort();
    return out;
}

// The counters of a run over Bytes bytes: MB_per_s, and beside iconv's time Theirs (when
// above 0) iconv_MB_per_s and x_iconv (above 1: faster than iconv).
inline void ReportAgainstIconv(benchmark::State& state, std::size_t bytes, double ours, double theirs) {
    state.counters["MB_per_s"] = static_cast<double>(bytes) / ours / 1e6;
    if (theirs > 0) {
        state.counters["iconv_MB_per_s"] = static_cast<double>(bytes) / theirs / 1e6;
        state.counters["x_iconv"] = theirs / ours;
    }
}

// Times Convert(In), which returns the converted string, once an iteration, then iconv from
// code From to code To over the same bytes, and reports both.
template <typename Convert>
void TimeAgainstIconv(benchmark::State& state, const std::string& in, Convert convert, const char* to,
                      const char* from) {
    double ours = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        std::string out = convert(in);
        ours = Seconds(t0);
        benchmark::DoNotOptimize(out.data());
        state.SetIterationTime(ours);
    }
    double theirs = 0;
    IconvConvert(to, from, in, &theirs);
    ReportAgainstIconv(state, in.size(), ours, theirs);
}

} // namespace quire::bench
