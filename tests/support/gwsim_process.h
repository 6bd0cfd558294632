#pragma once
// veltrane-gwsim as a child process whose standard output the test reads line by line; it is
// stopped by its pid when the object goes.

#include <chrono>
#include <string>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace veltrane::testing {

class GwsimProcess {
public:
    GwsimProcess(const std::string& program, std::vector<std::string> args) {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0)
            return;
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        m_out = out[0];
    }
    ~GwsimProcess() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0)
            ::close(m_out);
    }
    GwsimProcess(const GwsimProcess&) = delete;
    GwsimProcess& operator=(const GwsimProcess&) = delete;

    // Reads output until `text` has appeared `times` times in all of it, within the time-out.
    bool waitFor(const std::string& text, int times = 1, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            if (count(text) >= times)
                return true;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || m_out < 0)
                return false;
            pollfd p{m_out, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) <= 0)
                return false;
            char buffer[1024];
            const ssize_t n = ::read(m_out, buffer, sizeof buffer);
            if (n <= 0)
                return false;
            m_text.append(buffer, static_cast<std::size_t>(n));
        }
    }

    int count(const std::string& text) const {
        int found = 0;
        for (std::size_t at = 0; (at = m_text.find(text, at)) != std::string::npos; at += text.size())
            ++found;
        return found;
    }
    const std::string& output() const { return m_text; }

private:
    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_text;
};

}  // namespace veltrane::testing
