#include "sim/serial_host.h"

#include <atomic>
#include <csignal>
#include <cstdio>

#include "sim/engine/serial/pty_gateway.h"
#include "sim/engine/serial/serial_command_line.h"
#include "sim/engine/serial/serial_state_file.h"

namespace veltrane::sim {

namespace {
std::atomic<bool> g_stop{false};
void requestStop(int) { g_stop = true; }
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

    SerialGatewayMemory saved = engine.memory();
    gateway.serve(g_stop, [&] {
        if (options->statePath.empty() || engine.memory() == saved)
            return;
        saved = engine.memory();
        if (auto written = saveSerialGatewayMemory(options->statePath, saved); !written)
            std::fprintf(stderr, "veltrane-gwsim: %s\n", written.message().c_str());
    });
    return 0;
}

}  // namespace veltrane::sim
