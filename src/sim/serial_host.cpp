#include "sim/serial_host.h"

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>

#include "core/model/project_file.h"
#include "sim/engine/debug/debug_report_generator.h"
#include "sim/engine/serial/pty_gateway.h"
#include "sim/engine/serial/serial_command_line.h"
#include "sim/engine/serial/serial_state_file.h"

namespace veltrane::sim {

namespace {
std::atomic<bool> g_stop{false};
void requestStop(int) { g_stop = true; }

// Reports on the line at the chosen rate; whatever the tool sends (acknowledgements, writes) goes to
// the generator as it arrives. When answers are awaited, a report nobody answered within a second
// (the tool opened the port afterwards and discarded it) does not hold the line up for good.
void serveDebugReports(PtyGateway& line, DebugReportGenerator& generator, int ratePerSecond, bool awaitAnswers) {
    using Steady = std::chrono::steady_clock;
    constexpr auto kAnswerWait = std::chrono::seconds(1);
    const auto period = ratePerSecond > 0 ? std::chrono::microseconds(1'000'000 / ratePerSecond)
                                          : std::chrono::microseconds(0);
    auto due = Steady::now();
    auto lastReport = Steady::now();
    bool awaiting = false;
    std::size_t writesShown = 0;
    while (!g_stop.load()) {
        pollfd p{line.masterFd(), POLLIN, 0};
        if (::poll(&p, 1, 2) > 0 && (p.revents & POLLIN)) {
            std::uint8_t buffer[512];
            const ssize_t n = ::read(line.masterFd(), buffer, sizeof buffer);
            if (n > 0) {
                generator.receive(ByteView(buffer, static_cast<std::size_t>(n)));
                awaiting = false;
            }
        }
        for (; writesShown < generator.writes().size(); ++writesShown) {
            const WritePayload& write = generator.writes()[writesShown];
            std::printf("debug write %04x %zu bytes\n", static_cast<unsigned>(write.address), write.data.size());
            std::fflush(stdout);
        }
        const auto now = Steady::now();
        if (now < due || (awaitAnswers && awaiting && now - lastReport < kAnswerWait))
            continue;
        if (auto report = generator.nextReport()) {
            line.writePaced(*report);
            lastReport = Steady::now();
            awaiting = true;
            due = ratePerSecond > 0 ? std::max(due + period, lastReport - period) : lastReport;
        }
    }
}

int runSerialDebug(const SerialSimOptions& options, PtyGateway& line) {
    const Result<LoadedProject> loaded = readProjectFile(options.debugProject, ProjectState{});
    if (!loaded) {
        std::fprintf(stderr, "veltrane-gwsim: %s\n", loaded.message().c_str());
        return 1;
    }
    Project project;
    ProjectState state;
    adoptLoadedProject(*loaded, project, state);
    ReportGeneratorOptions generatorOptions;
    generatorOptions.transport = DebugTransport::Serial;
    generatorOptions.exceptionPercent = options.debugExceptions;
    generatorOptions.timeoutPercent = options.debugTimeouts;
    // The line above waits for answers itself, with a time-out the generator does not have.
    generatorOptions.waitForAcknowledge = false;
    DebugReportGenerator generator(polledCommands(project, state), generatorOptions);
    serveDebugReports(line, generator, options.debugRate, !options.debugNoAck);
    return 0;
}
}  // namespace

int runSerialHost(const std::vector<std::string>& args) {
    auto options = parseSerialCommandLine(args);
    if (!options) {
        std::fprintf(stderr, "veltrane-gwsim: %s\n(see --help)\n", options.message().c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(serialUsageText().c_str(), stdout);
        return 0;
    }
    SerialGatewayEngine engine(options->gateway);
    if (!options->statePath.empty()) {
        auto memory = loadSerialGatewayMemory(options->statePath);
        if (!memory) {
            std::fprintf(stderr, "veltrane-gwsim: %s\n", memory.message().c_str());
            return 1;
        }
        engine.restore(*memory);
    }
    PtyGateway gateway(engine, options->baudRate);
    if (auto opened = gateway.open(); !opened) {
        std::fprintf(stderr, "veltrane-gwsim: %s\n", opened.message().c_str());
        return 1;
    }
    // The pseudo-terminal disappears with the process: stop the loop cleanly so it is closed.
    std::signal(SIGTERM, requestStop);
    std::signal(SIGINT, requestStop);
    std::printf("serial %s\n", gateway.slavePath().c_str());
    std::fflush(stdout);
    if (!options->debugProject.empty())
        return runSerialDebug(*options, gateway);

    SerialGatewayMemory saved = engine.memory();
    gateway.serve(g_stop, [&] {
        if (options->logRequests) {
            std::printf("request %02x\n", static_cast<unsigned>(engine.lastRequestCode()));
            std::fflush(stdout);
        }
        if (options->statePath.empty() || engine.memory() == saved)
            return;
        saved = engine.memory();
        if (auto written = saveSerialGatewayMemory(options->statePath, saved); !written)
            std::fprintf(stderr, "veltrane-gwsim: %s\n", written.message().c_str());
    });
    return 0;
}

}  // namespace veltrane::sim
