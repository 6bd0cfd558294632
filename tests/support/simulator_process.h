#pragma once
// A program the test runs beside itself, usually veltrane-gwsim (Ethernet, or --serial on a
// pseudo-terminal): its standard output is read line by line with a bounded wait, its standard
// input can be written, and it is stopped when the object goes (SIGTERM, SIGKILL if it lingers).

#include <cerrno>
#include <chrono>
#include <csignal>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace veltrane::testing {

class SimulatorProcess {
public:
    using Timeout = std::chrono::milliseconds;
    static constexpr Timeout kWait{10000};

    SimulatorProcess(const std::string& program, std::vector<std::string> args) {
        // Built before the fork: the child may only make async-signal-safe calls.
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        // Close-on-exec, so that other children of the test (the CLI) do not hold them open. Standard
        // input is a socket so that a write after the program ended fails instead of raising SIGPIPE.
        int out[2];
        int in[2];
        if (::pipe2(out, O_CLOEXEC) != 0)
            return;
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, in) != 0) {
            ::close(out[0]);
            ::close(out[1]);
            return;
        }
        m_pid = ::fork();
        if (m_pid == 0) {
            if (::dup2(in[1], STDIN_FILENO) >= 0 && ::dup2(out[1], STDOUT_FILENO) >= 0)
                ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        ::close(in[1]);
        m_out = out[0];
        m_in = in[0];
    }
    ~SimulatorProcess() {
        stop();
        if (m_out >= 0)
            ::close(m_out);
        if (m_in >= 0)
            ::close(m_in);
    }
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    // Reads until `times` lines of the output so far hold `text`; false if that did not happen
    // within the time-out or the output ended first.
    bool waitFor(const std::string& text, int times = 1, Timeout timeout = kWait) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (count(text) < times)
            if (!readLine(deadline))
                return false;
        return true;
    }

    // The lines read so far that hold `text`.
    int count(const std::string& text) const {
        int found = 0;
        for (const std::string& line : m_lines)
            found += line.find(text) != std::string::npos ? 1 : 0;
        return found;
    }

    // Everything read so far, for failure messages.
    std::string output() const {
        std::string all;
        for (const std::string& line : m_lines)
            all += line + '\n';
        return all + m_partial;
    }

    // veltrane-gwsim --serial names its pseudo-terminal on its first line, "serial PATH"; empty when
    // that line did not come within the time-out.
    std::string serialPath(Timeout timeout = kWait) {
        if (m_lines.empty() && !readLine(std::chrono::steady_clock::now() + timeout))
            return {};
        const std::string_view prefix = "serial ";
        return m_lines.front().starts_with(prefix) ? m_lines.front().substr(prefix.size()) : std::string();
    }

    bool writeInput(std::string_view text) {
        return m_in >= 0 &&
               ::send(m_in, text.data(), text.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(text.size());
    }

    // SIGTERM, then SIGKILL if the program is still there after two seconds; reaped either way.
    void stop() {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGTERM);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (::waitpid(m_pid, nullptr, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() >= deadline) {
                ::kill(m_pid, SIGKILL);
                while (::waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
                }
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        m_pid = -1;
    }

private:
    // Adds the next complete line to m_lines; false at the deadline or the end of the output.
    bool readLine(std::chrono::steady_clock::time_point deadline) {
        for (;;) {
            if (const auto end = m_partial.find('\n'); end != std::string::npos) {
                m_lines.push_back(m_partial.substr(0, end));
                m_partial.erase(0, end + 1);
                return true;
            }
            const auto left =
                std::chrono::duration_cast<Timeout>(deadline - std::chrono::steady_clock::now()).count();
            if (m_out < 0 || left <= 0)
                return false;
            pollfd p{m_out, POLLIN, 0};
            const int ready = ::poll(&p, 1, static_cast<int>(left));
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready <= 0)
                return false;
            char buffer[1024];
            const ssize_t n = ::read(m_out, buffer, sizeof buffer);
            if (n <= 0)
                return false;
            m_partial.append(buffer, static_cast<std::size_t>(n));
        }
    }

    pid_t m_pid = -1;
    int m_out = -1;
    int m_in = -1;
    std::vector<std::string> m_lines;
    std::string m_partial;
};

} // namespace veltrane::testing
