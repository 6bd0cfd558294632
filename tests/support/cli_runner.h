#pragma once
// Runs a built program the way a user would from a shell, but without one: the arguments reach
// execv as they are, so no path or value can be mangled by quoting. Standard output and standard
// error come back apart, with the exit code, the time it ran and its peak memory; standard input is
// empty. A program can be interrupted (SIGINT, as Ctrl+C does) after a while.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace veltrane::testing {

struct RunResult {
    int exitCode = -1; // -1 when the program could not start, was killed or ran out of time
    std::string out;
    std::string err;
    std::chrono::milliseconds elapsed{0};
    long peakKilobytes = 0;  // the program's largest resident set
};

inline RunResult runProgram(const std::string& program, const std::vector<std::string>& args,
                            std::chrono::milliseconds timeout = std::chrono::seconds(60),
                            std::chrono::milliseconds interruptAfter = std::chrono::milliseconds(0)) {
    RunResult result;
    const auto started = std::chrono::steady_clock::now();
    // Built before the fork: the child may only make async-signal-safe calls.
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    int outPipe[2] = {-1, -1};
    int errPipe[2] = {-1, -1};
    if (::pipe2(outPipe, O_CLOEXEC) != 0)
        return result;
    if (::pipe2(errPipe, O_CLOEXEC) != 0) {
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        return result;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int empty = ::open("/dev/null", O_RDONLY);
        if (empty < 0 || ::dup2(empty, STDIN_FILENO) < 0 || ::dup2(outPipe[1], STDOUT_FILENO) < 0 ||
            ::dup2(errPipe[1], STDERR_FILENO) < 0)
            ::_exit(127);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    if (pid < 0) {
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        return result;
    }

    // Both pipes are drained together so that neither can fill up and stall the program.
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int openPipes = 2;
    bool abandoned = false;
    const auto deadline = started + timeout;
    bool interrupted = interruptAfter.count() == 0;
    while (openPipes > 0) {
        const auto now = std::chrono::steady_clock::now();
        if (!interrupted && now >= started + interruptAfter) {
            ::kill(pid, SIGINT);
            interrupted = true;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
        if (!interrupted)
            left = std::min(left, std::chrono::duration_cast<std::chrono::milliseconds>(started + interruptAfter - now) +
                                      std::chrono::milliseconds(1));
        const int ready = left.count() > 0 ? ::poll(fds, 2, static_cast<int>(left.count())) : 0;
        if ((ready < 0 && errno == EINTR) || (ready == 0 && !interrupted))
            continue;
        if (ready <= 0) {
            abandoned = true;
            break;
        }
        for (std::size_t i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            char buffer[4096];
            const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --openPipes;
            }
        }
    }
    if (abandoned)
        ::kill(pid, SIGKILL);
    for (const pollfd& fd : fds)
        if (fd.fd >= 0)
            ::close(fd.fd);
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    result.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    result.peakKilobytes = usage.ru_maxrss;
    result.exitCode = !abandoned && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

#ifdef VELTRANE_CLI
// The veltrane-cli built with the tests.
inline RunResult runCli(const std::vector<std::string>& args) {
    return runProgram(VELTRANE_CLI, args);
}
#endif

} // namespace veltrane::testing
