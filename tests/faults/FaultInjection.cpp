// A library preloaded into a test process (LD_PRELOAD) that makes one chosen call of the
// functions that put bytes on a disk fail, as a full or failing disk would.
//
// While armed it counts the calls of write, pwrite, ftruncate, fsync, fdatasync (on regular
// files and folders: pipes, sockets, event descriptors and standard streams are not counted,
// so the event loop's own wake-ups go on) and of rename, and the call whose number was given
// fails with the error number given, doing nothing. The test process reaches the controls
// through dlsym:
//   QuireFaultArm(FailAt, Errno)  counts from now on; call FailAt fails (0: none does)
//   QuireFaultDisarm()            stops counting; returns how many calls were counted
//   QuireFaultFailed()            the function whose call failed since the arming, or null
// The headers that declare the wrapped functions are left out: they are defined here anew.
#include <atomic>
#include <cerrno>
#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/types.h>

namespace {

std::atomic<bool> armed{false};
std::atomic<long> calls{0};
std::atomic<long> failAt{0};
std::atomic<int> failWith{0};
std::atomic<const char*> failed{nullptr};

// The next function of that name after this library (the C library's).
template <typename F>
F next(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

// Whether FD is a file or a folder on a disk (not a standard stream, pipe, socket or device).
bool onDisk(int fd) {
    struct stat st {};
    return fd > 2 && ::fstat(fd, &st) == 0 && (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode));
}

// Counts one call of What; true (errno set) when it is the one to fail.
bool failNow(const char* what) {
    if (!armed.load()) return false;
    if (calls.fetch_add(1) + 1 != failAt.load()) return false;
    failed.store(what);
    errno = failWith.load();
    return true;
}

bool failOnDisk(int fd, const char* what) { return armed.load() && onDisk(fd) && failNow(what); }

} // namespace

extern "C" {

__attribute__((visibility("default"))) void QuireFaultArm(long FailAt, int Errno) {
    calls.store(0);
    failAt.store(FailAt);
    failWith.store(Errno);
    failed.store(nullptr);
    armed.store(true);
}

__attribute__((visibility("default"))) long QuireFaultDisarm() {
    armed.store(false);
    return calls.load();
}

__attribute__((visibility("default"))) const char* QuireFaultFailed() { return failed.load(); }

__attribute__((visibility("default"))) ssize_t write(int fd, const void* buf, size_t n) {
    static const auto real = next<ssize_t (*)(int, const void*, size_t)>("write");
    return failOnDisk(fd, "write") ? -1 : real(fd, buf, n);
}

__attribute__((visibility("default"))) ssize_t pwrite(int fd, const void* buf, size_t n, off_t at) {
    static const auto real = next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
    return failOnDisk(fd, "pwrite") ? -1 : real(fd, buf, n, at);
}

__attribute__((visibility("default"))) ssize_t pwrite64(int fd, const void* buf, size_t n, off64_t at) {
    static const auto real = next<ssize_t (*)(int, const void*, size_t, off64_t)>("pwrite64");
    return failOnDisk(fd, "pwrite") ? -1 : real(fd, buf, n, at);
}

__attribute__((visibility("default"))) int ftruncate(int fd, off_t size) {
    static const auto real = next<int (*)(int, off_t)>("ftruncate");
    return failOnDisk(fd, "ftruncate") ? -1 : real(fd, size);
}

__attribute__((visibility("default"))) int ftruncate64(int fd, off64_t size) {
    static const auto real = next<int (*)(int, off64_t)>("ftruncate64");
    return failOnDisk(fd, "ftruncate") ? -1 : real(fd, size);
}

__attribute__((visibility("default"))) int fsync(int fd) {
    static const auto real = next<int (*)(int)>("fsync");
    return failOnDisk(fd, "fsync") ? -1 : real(fd);
}

__attribute__((visibility("default"))) int fdatasync(int fd) {
    static const auto real = next<int (*)(int)>("fdatasync");
    return failOnDisk(fd, "fdatasync") ? -1 : real(fd);
}

__attribute__((visibility("default"))) int rename(const char* from, const char* to) {
    static const auto real = next<int (*)(const char*, const char*)>("rename");
    return failNow("rename") ? -1 : real(from, to);
}

__attribute__((visibility("default"))) int renameat(int fromDir, const char* from, int toDir, const char* to) {
    static const auto real = next<int (*)(int, const char*, int, const char*)>("renameat");
    return failNow("rename") ? -1 : real(fromDir, from, toDir, to);
}

__attribute__((visibility("default"))) int renameat2(int fromDir, const char* from, int toDir, const char* to,
                                                     unsigned flags) {
    static const auto real = next<int (*)(int, const char*, int, const char*, unsigned)>("renameat2");
    return failNow("rename") ? -1 : real(fromDir, from, toDir, to, flags);
}

} // extern "C"
