#include "bench/frame/PeerRun.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <sstream>

extern char** environ;

namespace valmere::bench {
namespace {

// This process's environment without the two variables the peer is given.
std::vector<std::string> PeerEnvironment(const char* threads) {
    std::vector<std::string> env;
    for (char** entry = environ; *entry; ++entry)
        if (std::strncmp(*entry, "LP_NUM_THREADS=", 15) != 0 && std::strncmp(*entry, "GALLIUM_DRIVER=", 15) != 0)
            env.emplace_back(*entry);
    env.emplace_back("GALLIUM_DRIVER=llvmpipe");
    if (threads) env.push_back(std::string("LP_NUM_THREADS=") + threads);
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

void Parse(const std::string& output, PeerResult& result) {
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        BoxMean mean;
        if (ParseBoxMean(line.c_str(), mean)) result.means.push_back(mean);
        else if (line.rfind("renderer=", 0) == 0) result.renderer = line;
        else std::sscanf(line.c_str(), "frames=%d seconds=%lf", &result.frames, &result.seconds);
    }
}

}  // namespace

PeerResult RunPeer(const std::string& program, const SceneSize& size, int frames, const char* threads,
                   const char* png) {
    PeerResult result;
    int fds[2];
    if (pipe(fds) != 0) {
        result.why = "no pipe to the peer";
        return result;
    }
    std::vector<std::string> args = {program};
    if (!size.Default()) {
        args.emplace_back("--size");
        args.push_back(std::to_string(size.width) + "x" + std::to_string(size.height));
    }
    args.push_back(std::to_string(frames));
    if (png) args.emplace_back(png);
    std::vector<std::string> env = PeerEnvironment(threads);
    std::vector<char*> argv = Pointers(args), envp = Pointers(env);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string output;
    char buffer[4096];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) output.append(buffer, static_cast<std::size_t>(n));
    close(fds[0]);
    if (spawned != 0) {
        result.why = program + " cannot be started: " + std::strerror(spawned);
        return result;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    Parse(output, result);
    if (result.exitCode == 77) result.why = "OSMesa cannot make an RGB565 context with a 16-bit depth buffer";
    else if (result.exitCode != 0) result.why = program + " failed with exit code " + std::to_string(result.exitCode);
    else if (result.frames <= 0 || result.seconds <= 0.0) result.why = program + " printed no timing";
    return result;
}

}  // namespace valmere::bench
