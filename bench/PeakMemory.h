// The benchmark process's resident memory: now, and its peak beyond what was in use when a
// measurement began.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <malloc.h>

namespace quire::bench {

// Resident memory in bytes for a line of /proc/self/status ("VmRSS:", "VmHWM:").
inline long long StatusBytes(const char* Key) {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    long long value = 0;
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, Key, std::strlen(Key)) == 0) value = std::atoll(line + std::strlen(Key)) * 1024;
    }
    std::fclose(f);
    return value;
}

// Returns freed memory to the system and resets the peak, so that what follows is measured
// from the memory in use now.
inline void ResetPeak() {
    ::malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Made before an action: Peak() is how far the resident memory rose above its level then.
class TPeakMemory {
public:
    TPeakMemory() {
        ResetPeak();
        FBefore = StatusBytes("VmRSS:");
    }
    long long Peak() const { return StatusBytes("VmHWM:") - FBefore; }
    long long Held() const { return StatusBytes("VmRSS:") - FBefore; }

private:
    long long FBefore = 0;
};

} // namespace quire::bench
