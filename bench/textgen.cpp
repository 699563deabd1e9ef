// quire-textgen: writes generated Japanese test text in Shift_JIS, EUC and JIS.
#include "TextGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

void usage() {
    std::fprintf(stderr, "usage: quire-textgen SIZE[K|M|G] OUTDIR [SEED]\n"
                         "writes OUTDIR/ja-SIZE.sjis.txt, .euc.txt and .jis.txt\n");
}

bool write(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!f) {
        std::fprintf(stderr, "quire-textgen: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        usage();
        return 2;
    }
    char* end = nullptr;
    unsigned long long size = std::strtoull(argv[1], &end, 10);
    if (end == argv[1]) {
        usage();
        return 2;
    }
    if (*end == 'K' || *end == 'k')
        size *= 1024, ++end;
    else if (*end == 'M' || *end == 'm')
        size *= 1024 * 1024, ++end;
    else if (*end == 'G' || *end == 'g')
        size *= 1024 * 1024 * 1024, ++end;
    if (*end != '\0') {
        usage();
        return 2;
    }
    const uint32_t seed = argc == 4 ? static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10)) : 1;
    const auto text = quire::bench::GenerateJapaneseText(size, seed);
    const std::string base = std::string(argv[2]) + "/ja-" + argv[1];
    const bool ok = write(base + ".sjis.txt", text.ShiftJis) && write(base + ".euc.txt", text.Euc) &&
                    write(base + ".jis.txt", text.Jis);
    if (ok) std::printf("%s.{sjis,euc,jis}.txt: %zu bytes of Shift_JIS\n", base.c_str(), text.ShiftJis.size());
    return ok ? 0 : 1;
}
