// Reports per second that the debug monitor takes over loopback UDP without losing any, in the
// window (offscreen) and in veltrane-cli, against veltrane-gwsim. Runs in a network namespace of
// its own (it must run as root), so nothing leaves the machine.
//
//   debug_loopback_bench [SECONDS]
//
// Paced: the simulator waits for each acknowledgement, so the rate is the round trip's. Flood: the
// simulator sends at a fixed rate without waiting; received is compared with what it sent.

#include "app/debug/debug_dialog.h"
#include "core/debug/debug_monitor.h"
#include "core/interaction/file_chooser.h"
#include "core/interaction/prompter.h"
#include "core/link/ethernet/configuration_image.h"
#include "core/model/project_defaults.h"
#include "sim/engine/gateway_state_file.h"
#include "support/cli_runner.h"
#include "support/private_network.h"
#include "support/simulator_process.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

using namespace veltrane;
using namespace veltrane::testing;

namespace {

std::string g_state;

// Datagrams the kernel dropped for a full receive buffer in this namespace: true losses, as against
// reports still in flight when the monitor stopped.
std::uint64_t receiveBufferDrops() {
    std::ifstream snmp("/proc/net/snmp");
    std::string header, values;
    while (std::getline(snmp, header) && std::getline(snmp, values)) {
        if (header.rfind("Udp:", 0) != 0)
            continue;
        std::istringstream names(header), numbers(values);
        std::string name, number;
        while (names >> name && numbers >> number)
            if (name == "RcvbufErrors")
                return std::stoull(number);
    }
    return 0;
}
std::uint64_t g_dropsBefore = 0;

std::uint64_t reportedSent(const SimulatorProcess& sim) {
    const std::string& out = sim.output();
    const std::size_t at = out.rfind("reports ");
    return at == std::string::npos ? 0 : std::stoull(out.substr(at + 8));
}

std::vector<std::string> simArgs(const std::string& rate, bool ack) {
    std::vector<std::string> args{"--gateway", "ip=127.0.0.2", "--no-broadcast", "--state", g_state, "--debug-rate", rate,
                                  "--debug-exceptions", "5", "--debug-timeouts", "3"};
    if (!ack)
        args.push_back("--debug-no-ack");
    return args;
}

void report(const char* where, const std::string& mode, double seconds, std::uint64_t received, std::uint64_t sent) {
    const std::uint64_t lost = sent > received ? sent - received : 0;
    const std::uint64_t drops = receiveBufferDrops() - g_dropsBefore;
    std::printf("%-6s %-14s received %8llu  sent %8llu  not received %5llu (buffer drops %llu)  %9.0f reports/s\n",
                where, mode.c_str(), static_cast<unsigned long long>(received), static_cast<unsigned long long>(sent),
                static_cast<unsigned long long>(lost), static_cast<unsigned long long>(drops),
                static_cast<double>(received) / seconds);
    std::fflush(stdout);
}

void runWindow(const std::string& rate, bool ack, double seconds) {
    g_dropsBefore = receiveBufferDrops();
    SimulatorProcess sim(VELTRANE_GWSIM, simArgs(rate, ack));
    if (!sim.waitFor("listening"))
        return;
    ScriptedPrompter prompter;
    ScriptedFileChooser files;
    DebugConnection connection;
    connection.transport = DebugTransport::Ethernet;
    connection.gateway = QHostAddress(QStringLiteral("127.0.0.2"));
    std::uint64_t received = 0;
    {
        DebugDialog dialog(connection, prompter, files);
        dialog.show();
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
        loop.exec();
        dialog.exitDialog();
        received = dialog.counts().acknowledged;
    }
    sim.waitFor("reports ", 1, std::chrono::seconds(2));
    report("window", (ack ? "paced" : "flood ") + (ack ? std::string() : rate), seconds, received, reportedSent(sim));
}

void runCli(const std::string& rate, bool ack, double seconds) {
    g_dropsBefore = receiveBufferDrops();
    SimulatorProcess sim(VELTRANE_GWSIM, simArgs(rate, ack));
    if (!sim.waitFor("listening"))
        return;
    const RunResult run = runProgram(VELTRANE_CLI, {"monitor", "--to", "127.0.0.2", "--seconds", std::to_string(seconds)});
    std::uint64_t received = 0;
    for (char c : run.out)
        received += c == '\n';
    sim.waitFor("reports ", 1, std::chrono::seconds(2));
    // The CLI prints shown reports only; acknowledged time-outs and others are shown too, so the
    // lines are every report received.
    report("cli", (ack ? "paced" : "flood ") + (ack ? std::string() : rate), seconds, received, reportedSent(sim));
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::stod(argv[1]) : 3.0;
    if (const std::string why = enterPrivateNetwork(); !why.empty()) {
        std::fprintf(stderr, "debug_loopback_bench: %s\n", why.c_str());
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // Two subnets with a handful of commands each, as a small real configuration polls.
    Project project;
    ProjectState state;
    initializeNewProject(project, state);
    for (int s = 0; s < 2; ++s) {
        CONFIG& subnet = project.subnets[static_cast<std::size_t>(s)];
        subnet.nodes[0].address = "1";
        subnet.nodes[0].name = "Node-1";
        subnet.nodeCount = 1;
        for (int c = 0; c < 4; ++c) {
            INSTRUCTION& command = subnet.commands[static_cast<std::size_t>(c)];
            command.nodeIndex = 1;
            command.slaveAddress = "1";
            command.functionCode = "3";
            command.dataCount = std::to_string(4 * (c + 1));
            command.startAddress = std::to_string(100 * c);
            command.checkType = "CRC";
        }
        subnet.commandCount = 4;
    }
    const auto dir = std::filesystem::temp_directory_path() / ("veltrane-debug-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    g_state = (dir / "state.txt").string();
    sim::GatewayImages images;
    images["127.0.0.2"] = ethernet::buildConfigurationImage(project, state);
    if (!sim::saveGatewayImages(g_state, images))
        return 1;

    runWindow("0", true, seconds);
    runCli("0", true, seconds);
    for (const char* rate : {"2000", "5000", "10000", "20000"}) {
        runWindow(rate, false, seconds);
        runCli(rate, false, seconds);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
