// e2e_bench: times the real programs on the generated 100 MB text, side by side with the read
// floor and iconv, every program once per round and the rounds interleaved, and reports the
// ratios that the editor's speed goals are stated in.
//
//   e2e_bench [--rounds N] [--size SIZE[K|M|G]] [--dir DIR] [--baseline BINDIR] [--display :N] [--xvfb-from N]
//
// --size sets the size of the generated text (100M by default). The same text is written in the three codes; where
// one of them would pass the editor's open limit the text is made smaller to fit, and a Shift_JIS text of exactly the
// limit is opened as well.
// The programs are those beside this one (../bin): quire, quire-kanji. The editor runs on an
// X server (a private Xvfb on the first free display from --xvfb-from on, default 100, or the
// one --display names; the offscreen platform when there is none) and measures itself through QUIRE_TIMING (see
// app/TimingProbe.h): "open" is the time from the start of the process to the end of the first paint of the opened
// file's screen. Every other figure is the wall time of the whole process, and peaks are the largest resident size of
// the process (ru_maxrss). --baseline adds the same measurements for the programs of another build, for a before and
// after in one run.
#include "TextGenerator.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace {

double monotonic() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

long long monotonicNs() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

// The read floor: the file read whole with one call and its lines counted with memchr.
int readFloor(const char* path) {
    const int fd = ::open(path, O_RDONLY);
    if (fd < 0) return 1;
    struct stat st {};
    ::fstat(fd, &st);
    const std::size_t size = static_cast<std::size_t>(st.st_size);
    const std::unique_ptr<char[]> bytes(new char[size]); // not filled beforehand
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, bytes.get() + got, size - got);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    std::size_t lines = 0;
    for (const char* p = bytes.get(); (p = static_cast<const char*>(std::memchr(p, '\n', bytes.get() + got - p))); ++p)
        ++lines;
    std::printf("%zu\n", lines);
    return 0;
}

// No program measured here should take this long.
constexpr double kTimeout = 60;

struct Result {
    double Seconds = 0;    // the figure: the probe's time when it reported one, else the wall time
    double KeySeconds = 0; // the editor's handling of the key alone, when it reported that
    double PeakMiB = 0;
    double AfterSeconds = 0; // "keys": the longest wait after the journal was written
    bool Ok = false;
    std::string Error;
};

// Runs Args with Env added, output to /dev/null, and measures it.
Result run(const std::vector<std::string>& args, const std::vector<std::string>& env) {
    int err[2];
    if (::pipe(err) != 0) return {0, 0, 0, 0, false, "pipe"};
    const double t0 = monotonic();
    const long long t0ns = monotonicNs();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(err[1], 2);
        ::close(err[0]);
        for (const std::string& e : env) ::putenv(const_cast<char*>(e.c_str()));
        const std::string start = "QUIRE_TIMING_T0=" + std::to_string(t0ns);
        ::putenv(const_cast<char*>(start.c_str()));
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        std::_Exit(127);
    }
    ::close(err[1]);
    // The output on standard error until the program ends; one that takes too long is ended.
    std::string stderrText;
    char buffer[4096];
    pollfd pfd{err[0], POLLIN, 0};
    for (;;) {
        const int left = static_cast<int>((t0 + kTimeout - monotonic()) * 1000);
        if (left <= 0 || ::poll(&pfd, 1, left) <= 0) {
            ::kill(pid, SIGKILL);
            stderrText += "(ended after " + std::to_string(static_cast<int>(kTimeout)) + " s)";
            break;
        }
        const ssize_t n = ::read(err[0], buffer, sizeof buffer);
        if (n <= 0) break;
        stderrText.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(err[0]);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    Result r;
    r.Seconds = monotonic() - t0;
    r.PeakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    r.Ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    const std::size_t probe = stderrText.find("quire-timing: ");
    if (probe != std::string::npos) {
        const std::size_t ms = stderrText.find(' ', probe + 14);
        r.Seconds = std::atof(stderrText.c_str() + ms + 1) / 1000.0;
        const std::size_t key = stderrText.find(" key ", probe);
        if (key != std::string::npos) r.KeySeconds = std::atof(stderrText.c_str() + key + 5) / 1000.0;
        const std::size_t after = stderrText.find(" after ", probe);
        if (after != std::string::npos) r.AfterSeconds = std::atof(stderrText.c_str() + after + 7) / 1000.0;
    } else if (args[0].find("quire") != std::string::npos && !env.empty()) {
        r.Ok = false; // the editor did not report
    }
    if (!r.Ok) r.Error = stderrText.substr(0, 300);
    return r;
}

struct Case {
    std::string Name;
    std::vector<std::string> Args;
    std::vector<std::string> Env;
    std::vector<Result> Results;
};

double median(std::vector<double> v) {
    if (v.empty()) return std::nan(""); // no run gave the figure: its goal is missed
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The editor's open limit (the largest file it opens).
constexpr std::size_t kOpenLimit = std::size_t(1) << 30;

// "100M", "1G": bytes, or 0 when the text is no size.
std::size_t parseSize(const std::string& text) {
    char* end = nullptr;
    std::size_t size = std::strtoull(text.c_str(), &end, 10);
    if (end == text.c_str()) return 0;
    if (*end == 'K' || *end == 'k') size <<= 10, ++end;
    if (*end == 'M' || *end == 'm') size <<= 20, ++end;
    if (*end == 'G' || *end == 'g') size <<= 30, ++end;
    return *end == '\0' ? size : 0;
}

bool write(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

// The EUC text as a dictionary has it: a JIS X 0212 character (three bytes, read through the
// page's table) at the start of every 20th line.
std::string withJisX0212(const std::string& euc) {
    static const char* const chars[] = {"\x8F\xAB\xD7", "\x8F\xAB\xE4", "\x8F\xAB\xB1", "\x8F\xAA\xF1"}; // ō ū é ñ
    std::string out;
    out.reserve(euc.size() + euc.size() / 200);
    std::size_t lines = 0, from = 0;
    for (std::size_t nl; (nl = euc.find('\n', from)) != std::string::npos; from = nl + 1) {
        out.append(euc, from, nl + 1 - from);
        if (++lines % 20 == 0) out += chars[lines / 20 % 4];
    }
    out.append(euc, from, std::string::npos);
    return out;
}

// A private X server for the editor on the first free display from First on (low numbers
// are other people's), or empty when none could be started.
std::string startXvfb(int first, pid_t& pid) {
    for (int n = first; n < first + 40; ++n) {
        const std::string number = std::to_string(n);
        const std::string socket = "/tmp/.X11-unix/X" + number;
        struct stat st {};
        if (::stat(socket.c_str(), &st) == 0 || ::stat(("/tmp/.X" + number + "-lock").c_str(), &st) == 0) continue;
        pid = ::fork();
        if (pid == 0) {
            const int null = ::open("/dev/null", O_RDWR);
            ::dup2(null, 1);
            ::dup2(null, 2);
            const std::string display = ":" + number;
            ::execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                     static_cast<char*>(nullptr));
            std::_Exit(127);
        }
        // Ready once its socket is there; a server that ended lost the display to another.
        for (int wait = 0; wait < 100; ++wait) {
            if (::stat(socket.c_str(), &st) == 0) return ":" + number;
            if (::waitpid(pid, nullptr, WNOHANG) == pid) break;
            ::usleep(50000);
        }
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
        pid = 0;
    }
    return {};
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--read-floor") == 0) return readFloor(argv[2]);
    int rounds = 5;
    int firstDisplay = 100;
    std::size_t size = 100u << 20;
    std::string dir, baseline, display, sizeName = "100M";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--rounds" && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (a == "--size" && i + 1 < argc && parseSize(argv[i + 1]) > 0)
            size = parseSize(sizeName = argv[++i]);
        else if (a == "--dir" && i + 1 < argc)
            dir = argv[++i];
        else if (a == "--baseline" && i + 1 < argc)
            baseline = argv[++i];
        else if (a == "--display" && i + 1 < argc)
            display = argv[++i];
        else if (a == "--xvfb-from" && i + 1 < argc)
            firstDisplay = std::atoi(argv[++i]);
        // Options meant for the other benchmarks (scripts/bench passes them to all) are ignored.
    }
    char self[4096] = {};
    if (::readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return 1;
    const std::string selfPath = self;
    const std::string bin = selfPath.substr(0, selfPath.rfind('/')) + "/../bin";
    // The generated text, and a document of 1.5 million short rows for the edit far down.
    const bool ownDir = dir.empty();
    if (ownDir) {
        char templ[] = "/tmp/quire-e2e-XXXXXX";
        dir = ::mkdtemp(templ);
    }
    const std::string base = dir + "/ja-" + sizeName;
    const std::string sjis = base + ".sjis.txt", euc = base + ".euc.txt", jis = base + ".jis.txt";
    // The editor opens the EUC text with JIS X 0212 characters; the converters and iconv (which
    // cannot write them in Shift_JIS) take the same text without them.
    const std::string euc0212 = base + ".euc0212.txt";
    const std::string rows = dir + "/rows-1.5M.txt";
    // One line of 10 MB, and a Shift_JIS text of exactly the open limit when the size reaches it.
    const std::string longLine = dir + "/line-10M.txt", atLimit = dir + "/ja-limit.sjis.txt";
    const bool limitCase = size >= kOpenLimit;
    std::printf("generating the %s text in %s ...\n", sizeName.c_str(), dir.c_str());
    std::fflush(stdout);
    double fileMiB = 0;
    {
        auto t = quire::bench::GenerateJapaneseText(size);
        const std::size_t largest = std::max(t.Jis.size(), t.Euc.size() + t.Euc.size() / 200);
        if (largest > kOpenLimit) { // every code must open: the text is made smaller to fit
            t = {};
            t = quire::bench::GenerateJapaneseText(
                static_cast<std::size_t>(static_cast<double>(size) * kOpenLimit / largest) - (1u << 20));
        }
        fileMiB = static_cast<double>(t.ShiftJis.size()) / (1 << 20);
        if (!write(sjis, t.ShiftJis) || !write(euc, t.Euc) || !write(euc0212, withJisX0212(t.Euc)) ||
            !write(jis, t.Jis))
            return 1;
    }
    {
        std::string many;
        many.reserve(1500000u * 40);
        for (int i = 0; i < 1500000; ++i)
            many += "row " + std::to_string(i) + " \x82\xA0\x82\xA2\x82\xA4 some text\r\n";
        std::string line = quire::bench::GenerateShiftJis(10u << 20, 3);
        line.erase(std::remove_if(line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }), line.end());
        if (!write(rows, many) || !write(longLine, line + "\r\n")) return 1;
        if (limitCase && !write(atLimit, quire::bench::GenerateShiftJis(kOpenLimit, 5))) return 1;
    }
    // A private X server (another one may be anybody's), unless --display names one.
    pid_t xvfb = 0;
    if (display.empty()) display = startXvfb(firstDisplay, xvfb);
    std::printf("editor on %s\n", display.empty() ? "the offscreen platform" : display.c_str());

    int serial = 0;
    // Word wrap at 80 columns with the line-breaking rules on.
    const std::string wrapSettings = "[Col]\r\nCheck=1\r\nInt=80\r\n[WordWrap]\r\nLeading=1\r\nFollowPunc=1\r\n";
    auto editorEnv = [&](const std::string& timing, const std::string& settings = {}) {
        // A fresh program folder and runtime folder per start: no other instance, and no
        // settings but those given.
        const std::string home = dir + "/home-" + std::to_string(++serial);
        const std::string runtime = dir + "/run-" + std::to_string(serial);
        ::mkdir(home.c_str(), 0700);
        ::mkdir(runtime.c_str(), 0700);
        if (!settings.empty()) write(home + "/quire.ini", settings);
        std::vector<std::string> env = {"QUIRE_TIMING=" + timing, "QUIRE_HOME=" + home, "XDG_RUNTIME_DIR=" + runtime};
        if (display.empty())
            env.push_back("QT_QPA_PLATFORM=offscreen");
        else
            env.insert(env.end(), {"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb"});
        return env;
    };
    std::vector<Case> cases;
    auto add = [&](const std::string& name, std::vector<std::string> args, std::vector<std::string> env = {}) {
        cases.push_back({name, std::move(args), std::move(env), {}});
    };
    auto addPrograms = [&](const std::string& tag, const std::string& binDir) {
        const std::string quire = binDir + "/quire", kanji = binDir + "/quire-kanji";
        add(tag + "open empty", {quire}, editorEnv("open"));
        add(tag + "open S-JIS", {quire, sjis}, editorEnv("open"));
        add(tag + "open EUC", {quire, euc0212}, editorEnv("open"));
        add(tag + "open JIS", {quire, jis}, editorEnv("open"));
        add(tag + "open S-JIS wrap 80", {quire, sjis}, editorEnv("open", wrapSettings));
        if (limitCase) add(tag + "open S-JIS at the limit", {quire, atLimit}, editorEnv("open"));
        // (A build from before the "keys" measurement would wait for it until the timeout.)
        if (tag.empty()) add(tag + "keys, first journal", {quire, sjis}, editorEnv("keys:300"));
        add(tag + "edit in a 10 MB line", {quire, longLine}, editorEnv("edit:0:0"));
        add(tag + "edit in a 10 MB line wrap 80", {quire, longLine}, editorEnv("edit:0:0", wrapSettings));
        add(tag + "Ctrl+End at once", {quire, sjis}, editorEnv("end:0"));
        add(tag + "Ctrl+End after 1 s", {quire, sjis}, editorEnv("end:1000"));
        add(tag + "edit row 750000 at once", {quire, rows}, editorEnv("edit:750000:0"));
        add(tag + "edit row 750000 after 2 s", {quire, rows}, editorEnv("edit:750000:2000"));
        for (const char* lib : {"", "--no-library"}) {
            const std::string l = *lib ? " built-in" : " library";
            auto k = [&](std::vector<std::string> a) {
                std::vector<std::string> args = {kanji};
                if (*lib) args.push_back(lib);
                args.insert(args.end(), a.begin(), a.end());
                return args;
            };
            add(tag + "kanji EUC>S-JIS" + l, k({"--code", "S-JIS", euc}));
            add(tag + "kanji JIS>S-JIS" + l, k({"--code", "S-JIS", jis}));
            add(tag + "kanji S-JIS>EUC" + l, k({"--code", "EUC", sjis}));
            add(tag + "kanji S-JIS>JIS" + l, k({"--code", "JIS", sjis}));
        }
        add(tag + "kanji --guess EUC", {kanji, "--guess", euc});
        add(tag + "kanji --detect EUC", {kanji, "--detect", euc});
    };
    add("read floor", {selfPath, "--read-floor", sjis});
    add("iconv EUC>S-JIS", {"/usr/bin/iconv", "-f", "EUC-JP", "-t", "SHIFT_JIS", euc});
    add("iconv JIS>S-JIS", {"/usr/bin/iconv", "-f", "ISO-2022-JP", "-t", "SHIFT_JIS", jis});
    add("iconv S-JIS>EUC", {"/usr/bin/iconv", "-f", "SHIFT_JIS", "-t", "EUC-JP", sjis});
    add("iconv S-JIS>JIS", {"/usr/bin/iconv", "-f", "SHIFT_JIS", "-t", "ISO-2022-JP", sjis});
    // A peer editor, where it is installed: vim reading each file in its code, without a screen.
    if (::access("/usr/bin/vim", X_OK) == 0) {
        for (const auto& [name, path, code] : {std::tuple{"S-JIS", sjis, "cp932"}, std::tuple{"EUC", euc, "euc-jp"},
                                               std::tuple{"JIS", jis, "iso-2022-jp"}})
            add(std::string("vim open ") + name, {"/usr/bin/vim", "-u", "NONE", "-i", "NONE", "-N", "-es", "--cmd",
                                                  std::string("set fencs=") + code, "-c", "q!", path});
    }
    addPrograms("", bin);
    if (!baseline.empty()) addPrograms("baseline ", baseline);

    for (int round = 0; round < rounds; ++round) {
        std::printf("round %d of %d\n", round + 1, rounds);
        std::fflush(stdout);
        // Each round starts one case further on, so that no program always follows the same one.
        for (std::size_t i = 0; i < cases.size(); ++i) {
            Case& c = cases[(i + static_cast<std::size_t>(round)) % cases.size()];
            // The journals a run left (the editor ends without saving) would be offered to the next start of the case.
            for (const std::string& e : c.Env)
                if (e.rfind("QUIRE_HOME=", 0) == 0) std::filesystem::remove_all(e.substr(11) + "/recovery");
            Result r = run(c.Args, c.Env);
            if (!r.Ok) std::fprintf(stderr, "%s failed: %s\n", c.Name.c_str(), r.Error.c_str());
            c.Results.push_back(r);
        }
    }
    if (xvfb > 0) {
        ::kill(xvfb, SIGTERM);
        ::waitpid(xvfb, nullptr, 0);
    }

    std::map<std::string, double> time, key, peak, after;
    std::map<std::string, bool> ok;
    std::printf("\n%-34s %10s %10s %10s   (medians of %d rounds)\n", "program", "seconds", "key ms", "peak MiB",
                rounds);
    for (const Case& c : cases) {
        std::vector<double> s, k, m, a;
        ok[c.Name] = true;
        for (const Result& r : c.Results) {
            ok[c.Name] = ok[c.Name] && r.Ok;
            if (!r.Ok && !c.Env.empty()) continue; // the editor's figures count only from runs that made them
            s.push_back(r.Seconds);
            k.push_back(r.KeySeconds);
            m.push_back(r.PeakMiB);
            a.push_back(r.AfterSeconds);
        }
        after[c.Name] = median(a);
        time[c.Name] = median(s);
        key[c.Name] = median(k);
        peak[c.Name] = median(m);
        std::printf("%-34s %10.3f %10.3f %10.1f\n", c.Name.c_str(), time[c.Name], key[c.Name] * 1000, peak[c.Name]);
    }
    auto goal = [](const char* what, double value, double limit, const char* unit) {
        std::printf("%-58s %8.3f%-3s goal <= %.2f%s  %s\n", what, value, unit, limit, unit,
                    value <= limit ? "met" : "MISSED");
    };
    auto report = [&](const std::string& tag) {
        std::printf("\n%sgoals (file %.1f MiB):\n", tag.c_str(), fileMiB);
        const double empty = peak[tag + "open empty"];
        goal("open S-JIS / read floor", time[tag + "open S-JIS"] / time["read floor"], 3.0, "x");
        goal("open S-JIS peak beyond the empty editor / file", (peak[tag + "open S-JIS"] - empty) / fileMiB, 1.3, "x");
        for (const char* code : {"EUC", "JIS"}) {
            const std::string c = code;
            goal(("open " + c + " / open S-JIS").c_str(), time[tag + "open " + c] / time[tag + "open S-JIS"], 1.3, "x");
            goal(("open " + c + " peak beyond the empty editor / file").c_str(),
                 (peak[tag + "open " + c] - empty) / fileMiB, 1.5, "x");
        }
        goal("open S-JIS with word wrap at 80 (kinsoku on) / open S-JIS",
             time[tag + "open S-JIS wrap 80"] / time[tag + "open S-JIS"], 2.0, "x");
        if (limitCase)
            std::printf("%-58s %8.3fs  %s\n", "open S-JIS of exactly the open limit (1 GiB)",
                        time[tag + "open S-JIS at the limit"],
                        ok[tag + "open S-JIS at the limit"] ? "opened" : "FAILED");
        if (time.count(tag + "keys, first journal")) {
            goal("longest key wait while the first journal snapshot is taken", time[tag + "keys, first journal"] * 1000,
                 16, "ms");
            std::printf("%-58s %8.3fms (the keys in the second after it)\n", "  baseline: longest key wait after it",
                        after[tag + "keys, first journal"] * 1000);
        }
        goal("a key in a 10 MB line (the key)", key[tag + "edit in a 10 MB line"] * 1000, 5, "ms");
        goal("a key in a 10 MB line, wrap 80 (the key)", key[tag + "edit in a 10 MB line wrap 80"] * 1000, 5, "ms");
        std::printf("%-58s %8.3fms (wrap 80: %.3f ms; a short row: %.3f ms)\n", "a key in a 10 MB line, key to screen",
                    time[tag + "edit in a 10 MB line"] * 1000, time[tag + "edit in a 10 MB line wrap 80"] * 1000,
                    time[tag + "edit row 750000 at once"] * 1000);
        goal("Ctrl+End pressed at once after opening", time[tag + "Ctrl+End at once"] * 1000, 50, "ms");
        goal("Ctrl+End pressed 1 s after opening", time[tag + "Ctrl+End after 1 s"] * 1000, 50, "ms");
        // The edit itself (the key's handling); its repaint is the editor's usual one.
        goal("edit at row 750000 of 1.5M rows, at once (the key)", key[tag + "edit row 750000 at once"] * 1000, 1,
             "ms");
        goal("edit at row 750000 of 1.5M rows, after 2 s (the key)", key[tag + "edit row 750000 after 2 s"] * 1000, 1,
             "ms");
        std::printf("%-58s %8.3fms (with its repaint; after 2 s %.3f ms)\n", "edit at row 750000, key to screen",
                    time[tag + "edit row 750000 at once"] * 1000, time[tag + "edit row 750000 after 2 s"] * 1000);
        for (const char* l : {" library", " built-in"}) {
            for (const char* d : {"EUC>S-JIS", "JIS>S-JIS", "S-JIS>EUC", "S-JIS>JIS"}) {
                const std::string name = tag + "kanji " + d + l;
                const double limit = std::string(d).rfind("S-JIS", 0) == 0 ? 0.5 : 0.7;
                goal((std::string("quire-kanji ") + d + l + " / iconv").c_str(),
                     time[name] / time[std::string("iconv ") + d], limit, "x");
                goal((std::string("quire-kanji ") + d + l + " peak / file").c_str(), peak[name] / fileMiB, 2.0, "x");
            }
        }
        goal("quire-kanji --guess / --detect (EUC)", time[tag + "kanji --guess EUC"] / time[tag + "kanji --detect EUC"],
             1.5, "x");
    };
    report("");
    if (!baseline.empty()) report("baseline ");
    if (ownDir) {
        const std::string rm = "rm -rf '" + dir + "'";
        if (std::system(rm.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", dir.c_str());
    }
    return 0;
}
