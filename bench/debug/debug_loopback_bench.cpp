// Reports per second that the debug monitor takes over loopback UDP without losing any: the link
// alone (DebugReceiver), the window (offscreen) and veltrane-cli (its CSV trace), against
// veltrane-gwsim. Runs in a network namespace of its own (it must run as root), so nothing leaves
// the machine.
//
//   debug_loopback_bench [SECONDS] [RATE...]
//
// Paced: the simulator waits for each acknowledgement, so the rate is the round trip's. Flood: the
// simulator sends at a fixed rate without waiting. Received: reports that reached the window or
// the output; answered: reports the link acknowledged; dropped: answered but not taken in time
// (counted by the link); lost: sent but never answered (the kernel's buffer drops are the part
// of them that overflowed the socket, the rest were in flight when the monitor stopped).

#include "app/debug/debug_dialog.h"
#include "app/debug/live_table_model.h"
#include "core/debug/debug_monitor.h"
#include "core/debug/trend_series.h"
#include "core/interaction/file_chooser.h"
#include "core/interaction/prompter.h"
#include "core/link/ethernet/configuration_image.h"
#include "core/model/project_defaults.h"
#include "link/debug_receiver.h"
#include "sim/engine/gateway_state_file.h"
#include "support/cli_runner.h"
#include "support/private_network.h"
#include "support/simulator_process.h"

#include <QApplication>
#include <QTableView>
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

struct Tally {
    std::uint64_t received = 0;
    std::uint64_t answered = 0;
    std::uint64_t dropped = 0;
};

void report(const char* where, const std::string& mode, double seconds, const Tally& tally, std::uint64_t sent) {
    const std::uint64_t lost = sent > tally.answered ? sent - tally.answered : 0;
    const std::uint64_t drops = receiveBufferDrops() - g_dropsBefore;
    std::printf("%-8s %-12s sent %8llu  received %8llu  answered %8llu  dropped %6llu  lost %6llu "
                "(buffer drops %llu)  %8.0f reports/s\n",
                where, mode.c_str(), static_cast<unsigned long long>(sent),
                static_cast<unsigned long long>(tally.received), static_cast<unsigned long long>(tally.answered),
                static_cast<unsigned long long>(tally.dropped), static_cast<unsigned long long>(lost),
                static_cast<unsigned long long>(drops), static_cast<double>(tally.received) / seconds);
    std::fflush(stdout);
}

std::string modeName(const std::string& rate, bool ack) { return ack ? "paced" : "flood " + rate; }

// The link as the CLI uses it, without any output: what it costs to receive and answer.
void runReceiver(const std::string& rate, bool ack, double seconds) {
    g_dropsBefore = receiveBufferDrops();
    SimulatorProcess sim(VELTRANE_GWSIM, simArgs(rate, ack));
    if (!sim.waitFor("listening"))
        return;
    DebugEndpoint endpoint;
    endpoint.transport = DebugTransport::Ethernet;
    endpoint.gatewayAddress = "127.0.0.2";
    auto opened = DebugReceiver::open(endpoint);
    if (!opened)
        return;
    Tally tally;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(static_cast<int>(seconds * 1000));
    while (std::chrono::steady_clock::now() < until)
        for (const MonitorStep& step : (*opened)->take(256, std::chrono::milliseconds(100)))
            tally.received += step.row ? 1 : 0;
    (*opened)->stop();
    for (const MonitorStep& step : (*opened)->take(SIZE_MAX, std::chrono::milliseconds(0)))
        tally.received += step.row ? 1 : 0;
    tally.answered = (*opened)->counts().acknowledged;
    tally.dropped = (*opened)->dropped();
    sim.waitFor("reports ", 1, std::chrono::seconds(2));
    report("receiver", modeName(rate, ack), seconds, tally, reportedSent(sim));
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
    Tally tally;
    {
        DebugDialog dialog(connection, prompter, files);
        dialog.show();
        // With the plot shown: once the commands are in the live table, all of them are plotted.
        QTimer::singleShot(300, &dialog, [&dialog] { dialog.liveView()->selectAll(); });
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
        loop.exec();
        dialog.flushViews();
        std::printf("window: %zu commands plotted\n", dialog.trend().tracks().size());
        dialog.exitDialog();
        tally.answered = dialog.counts().acknowledged;
        tally.dropped = dialog.droppedReports();
        // The live table counts every report the window took.
        for (const LiveRow& row : dialog.liveTable().table().rows())
            tally.received += row.count(0) + row.count(1) + row.count(2) + row.count(3);
    }
    sim.waitFor("reports ", 1, std::chrono::seconds(2));
    report("window", modeName(rate, ack), seconds, tally, reportedSent(sim));
}

// "N reports came faster ..." on standard error; 0 without the line.
std::uint64_t droppedOnStandardError(const std::string& err) {
    const std::string marker = tr(Str::DebugReportsDropped).substr(2);
    const std::size_t at = err.find(marker);
    if (at == std::string::npos)
        return 0;
    const std::size_t start = err.rfind('\n', at) == std::string::npos ? 0 : err.rfind('\n', at) + 1;
    return std::stoull(err.substr(start, at - start));
}

void runCli(const std::string& rate, bool ack, double seconds) {
    g_dropsBefore = receiveBufferDrops();
    SimulatorProcess sim(VELTRANE_GWSIM, simArgs(rate, ack));
    if (!sim.waitFor("listening"))
        return;
    const RunResult run =
        runProgram(VELTRANE_CLI, {"monitor", "--to", "127.0.0.2", "--seconds", std::to_string(seconds), "--csv"});
    Tally tally;
    for (char c : run.out)
        tally.received += c == '\n';
    tally.received -= tally.received > 0 ? 1 : 0;  // the header
    tally.dropped = droppedOnStandardError(run.err);
    // Every report the CLI shows or drops was answered; it prints no count of its own.
    tally.answered = tally.received + tally.dropped;
    sim.waitFor("reports ", 1, std::chrono::seconds(2));
    report("cli csv", modeName(rate, ack), seconds, tally, reportedSent(sim));
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

    std::vector<std::string> rates;
    for (int i = 2; i < argc; ++i)
        rates.emplace_back(argv[i]);
    if (rates.empty()) {
        rates = {"2000", "5000", "10000", "20000"};
        runReceiver("0", true, seconds);
        runWindow("0", true, seconds);
        runCli("0", true, seconds);
    }
    for (const std::string& rate : rates) {
        runReceiver(rate, false, seconds);
        runWindow(rate, false, seconds);
        runCli(rate, false, seconds);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
