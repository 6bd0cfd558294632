#pragma once
// veltrane-gwsim --serial as a child process: started with the given options, its pseudo-terminal
// path read from its first line, stopped by its pid when the test ends.

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

namespace veltrane::testing {

class SerialSimulatorProcess {
public:
    SerialSimulatorProcess(const std::string& program, std::vector<std::string> args) {
        args.insert(args.begin(), "--serial");
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        int out[2];
        if (::pipe(out) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        m_out = out[0];
        readPath();
    }
    ~SerialSimulatorProcess() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0)
            ::close(m_out);
    }
    SerialSimulatorProcess(const SerialSimulatorProcess&) = delete;
    SerialSimulatorProcess& operator=(const SerialSimulatorProcess&) = delete;

    // The pseudo-terminal to open; empty when the simulator did not start within five seconds.
    const std::string& path() const { return m_path; }

private:
    void readPath() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        std::string text;
        while (text.find('\n') == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  deadline - std::chrono::steady_clock::now())
                                  .count();
            pollfd p{m_out, POLLIN, 0};
            if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0)
                return;
            char buffer[256];
            const ssize_t n = ::read(m_out, buffer, sizeof buffer);
            if (n <= 0)
                return;
            text.append(buffer, static_cast<std::size_t>(n));
        }
        const std::string prefix = "serial ";
        if (text.rfind(prefix, 0) == 0)
            m_path = text.substr(prefix.size(), text.find('\n') - prefix.size());
    }

    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_path;
};

}  // namespace veltrane::testing
