// Benchmarks of the search of files. A generated tree of 2,000 files and over 200 MB, a
// quarter each in Shift_JIS, EUC, JIS and UTF-8, is searched by quire-grep for a literal kanji
// word and for a regular expression; in the same iteration ripgrep searches a Shift_JIS-only
// copy of the same tree (told the one code, "-E shift_jis") and grep -r the same bytes (it
// finds the word only where the bytes are the pattern's UTF-8). The window's search of the
// tree is timed to its first result line, with the longest wait of its event loop meanwhile.
// And regular-expression find in 100 MB of text, against the plain search of the same word.
#include "Cp932Codec.h"
#include "Editor.h"
#include "GrepResults.h"
#include "RegexFind.h"
#include "Search.h"
#include "TextGenerator.h"
#include "Unit1.h"
#include "jconvert.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <fstream>

using namespace quire;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kFiles = 2000;
constexpr std::size_t kFileSize = 105 * 1024; // of Shift_JIS; the other codes are larger
// A line planted now and then among the generated ones: the literal and the expression find it.
const QString kPlanted = QStringLiteral("2024年5月の文字コードを確かめる");
const char* const kWord = "文字コード";
const char* const kExpression = R"(\d{4}年\d{1,2}月)";

double seconds(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

std::string withPlantedLines(const std::string& Text, const std::string& Planted) {
    std::string out;
    out.reserve(Text.size() + Text.size() / 50);
    int line = 0;
    for (std::size_t at = 0; at < Text.size();) {
        const std::size_t end = std::min(Text.find("\r\n", at), Text.size());
        out.append(Text, at, end + 2 - at);
        if (++line % 150 == 7) out += Planted + "\r\n";
        at = end + 2;
    }
    return out;
}

void writeFile(const QString& Path, const std::string& Bytes) {
    std::ofstream f(Path.toStdString(), std::ios::binary);
    f.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
}

// The two trees, made once and removed when the run ends; with QUIRE_GREP_TREE set, made in
// that folder and kept there, to be searched again by hand or by a profiler.
struct Trees {
    QTemporaryDir Dir;
    QString Mixed, Sjis;
    std::size_t MixedBytes = 0;
    Trees() {
        const QString kept = qEnvironmentVariable("QUIRE_GREP_TREE");
        Dir.setAutoRemove(kept.isEmpty());
        const QString root = kept.isEmpty() ? Dir.path() : kept;
        Mixed = root + QStringLiteral("/mixed");
        Sjis = root + QStringLiteral("/sjis");
        const std::string planted = cp932::FromUnicode(kPlanted);
        for (int i = 0; i < kFiles; ++i) {
            const QString rel =
                QStringLiteral("d%1/f%2.txt").arg(i / 100, 2, 10, QChar(u'0')).arg(i, 4, 10, QChar(u'0'));
            const std::string sjis =
                withPlantedLines(bench::GenerateShiftJis(kFileSize, static_cast<uint32_t>(i + 1)), planted);
            std::string bytes;
            switch (i % 4) {
            case 0: bytes = sjis; break;
            case 1: bytes = jconvert::ConvertLineEnd(jconvert::SjisToEuc(sjis), jconvert::leLf); break;
            case 2: bytes = jconvert::SjisToJis(sjis); break;
            default: bytes = jconvert::ConvertLineEnd(cp932::ToUnicode(sjis).toStdString(), jconvert::leLf); break;
            }
            for (const QString& root : {Mixed, Sjis}) QDir().mkpath(QFileInfo(root + u'/' + rel).absolutePath());
            writeFile(Mixed + u'/' + rel, bytes);
            writeFile(Sjis + u'/' + rel, sjis);
            MixedBytes += bytes.size();
        }
    }
};

const Trees& trees() {
    static const Trees t;
    return t;
}

QString quoted(const QString& S) { return u'\'' + QString(S).replace(u'\'', QStringLiteral("'\\''")) + u'\''; }

// Runs a shell command with its output counted in lines; the time it took.
double runCounted(const QString& Command, long& Lines) {
    const auto t0 = Clock::now();
    FILE* p = ::popen((Command + QStringLiteral(" | wc -l")).toUtf8().constData(), "r");
    Lines = -1;
    if (p) {
        if (std::fscanf(p, "%ld", &Lines) != 1) Lines = -1;
        ::pclose(p);
    }
    return seconds(t0);
}

// Arguments: 0 the literal word, 1 the expression.
void BM_GrepTree(benchmark::State& state) {
    const Trees& t = trees();
    const bool regex = state.range(0) != 0;
    const QString pattern = QString::fromUtf8(regex ? kExpression : kWord);
    const QString ours = QStringLiteral(QUIRE_BIN_DIR "/quire-grep -r %1 %2 %3")
                             .arg(regex ? QStringLiteral("-e") : QString(), quoted(pattern), quoted(t.Mixed));
    const QString rg = QStringLiteral("rg -E shift_jis --vimgrep %1 %2").arg(quoted(pattern), quoted(t.Sjis));
    const QString grep = QStringLiteral("LC_ALL=C grep -rn %1 %2 %3")
                             .arg(regex ? QStringLiteral("-P") : QString(), quoted(pattern), quoted(t.Mixed));
    double oursS = 0, rgS = 0, grepS = 0;
    long oursLines = 0, rgLines = 0, grepLines = 0;
    for (auto _ : state) {
        const double s = runCounted(ours, oursLines);
        oursS += s;
        rgS += runCounted(rg, rgLines);
        grepS += runCounted(grep, grepLines);
        state.SetIterationTime(s);
    }
    if (oursLines <= 0 || oursLines != rgLines) state.SkipWithError("quire-grep and ripgrep found different matches");
    const auto n = static_cast<double>(state.iterations());
    state.counters["MB"] = benchmark::Counter(static_cast<double>(t.MixedBytes) / (1 << 20));
    state.counters["matches"] = benchmark::Counter(static_cast<double>(oursLines));
    state.counters["grep_found"] = benchmark::Counter(static_cast<double>(grepLines));
    state.counters["rg_ms"] = benchmark::Counter(rgS * 1000 / n);
    state.counters["grep_ms"] = benchmark::Counter(grepS * 1000 / n);
    state.counters["x_rg"] = benchmark::Counter(rgS > 0 ? oursS / rgS : 0);
}
BENCHMARK(BM_GrepTree)
    ->Arg(0)
    ->Arg(1)
    ->ArgNames({"regex"})
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The window's search of the tree: the time to its first result line, to its end, and the
// longest time the event loop went without turning meanwhile (a timer asks every 2 ms).
void BM_WindowGrep(benchmark::State& state) {
    const Trees& t = trees();
    TGrepOptions o;
    o.Pattern = QString::fromUtf8(kWord);
    o.MatchCase = true;
    double first = 0, total = 0, stall = 0;
    for (auto _ : state) {
        TMainForm form;
        QElapsedTimer since;
        qint64 last = 0, longest = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = since.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
        });
        const auto t0 = Clock::now();
        since.start();
        tick.start(2);
        const int page = form.StartGrep(o, {t.Mixed});
        TEditor* e = form.Page(page).Editor;
        double firstS = -1;
        while (form.GrepResults(page)->Running()) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            if (firstS < 0 && e->Lines().Count() > 1) firstS = seconds(t0);
        }
        const double s = seconds(t0);
        state.SetIterationTime(s);
        first += firstS;
        total += s;
        stall = std::max(stall, static_cast<double>(longest) / 1e6);
        if (form.GrepResults(page)->Counts().Hits == 0) state.SkipWithError("the window found nothing");
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["first_ms"] = benchmark::Counter(first * 1000 / n);
    state.counters["longest_stall_ms"] = benchmark::Counter(stall);
}
BENCHMARK(BM_WindowGrep)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// Find in 100 MB with a word at each end: forward from after the first finds the last, so the
// whole text is passed. The word as a regular expression (argument 1: with a class after it),
// timed against the plain search in the same iteration.
void BM_RegexFindIn100MB(benchmark::State& state) {
    static const std::string word = cp932::FromUnicode(QStringLiteral("検索語"));
    static const std::string text = word + " " + bench::GenerateShiftJis(100u << 20, 3) + " " + word;
    const QString pattern = state.range(0) ? QStringLiteral("検索[語文]") : QStringLiteral("検索語");
    const TRegexPattern compiled(pattern, true);
    TSearchOptions o;
    o.Set(TSearchOption::Forward, true);
    o.Set(TSearchOption::MatchCase, true);
    const int n = static_cast<int>(text.size()), w = static_cast<int>(word.size());
    double plain = 0, ours = 0;
    for (auto _ : state) {
        int s = 0, l = w;
        auto t0 = Clock::now();
        const bool plainFound = Search(text, s, l, word, o);
        plain += seconds(t0);
        int rs = 0, rl = w;
        TRegexMatcher matcher(compiled, false, nullptr);
        t0 = Clock::now();
        const bool found = RegexSearch(text, rs, rl, matcher, true);
        const double took = seconds(t0);
        ours += took;
        state.SetIterationTime(took);
        if (!plainFound || !found || rs != n - w || rl != w || s != rs) {
            state.SkipWithError("the planted word was not the one found");
            break;
        }
    }
    state.counters["plain_ms"] = benchmark::Counter(plain * 1000 / static_cast<double>(state.iterations()));
    state.counters["x_plain"] = benchmark::Counter(plain > 0 ? ours / plain : 0);
}
BENCHMARK(BM_RegexFindIn100MB)
    ->Arg(0)
    ->Arg(1)
    ->ArgNames({"class"})
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home; // the window's settings folder
    qputenv("QUIRE_HOME", home.path().toUtf8());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
