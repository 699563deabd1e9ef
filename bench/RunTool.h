// Running another program as a benchmark's baseline: its arguments as they are (no shell),
// its output into a file, its time.
#pragma once

#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace quire::bench {

// Runs Argv (the program found on the PATH) with its standard output going to OutPath; the
// seconds it took, or -1 when it could not be started or was killed. ExitCode gets its exit
// status.
inline double RunTool(const std::vector<std::string>& Argv, const std::string& OutPath, int& ExitCode) {
    std::vector<char*> args;
    for (const std::string& a : Argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, OutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const auto t0 = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int failed = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (failed || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    ExitCode = WEXITSTATUS(status);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

} // namespace quire::bench
