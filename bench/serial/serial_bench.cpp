// A serial download of 2 x 48 commands at 19200 baud against the simulated gateway, which paces its
// bytes as the line would. Reported as the ratio of the elapsed time to the wire time of the bytes
// exchanged (10 bits a byte); 1.0 would be a line that never idles.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <chrono>

#include "core/link/serial/serial_download.h"
#include "core/link/serial/serial_transfer.h"
#include "core/model/project_defaults.h"
#include "link/serial_port_stream.h"
#include "link/steady_clock.h"
#include "support/project_builder.h"
#include "support/pty_gateway_thread.h"

namespace {

using namespace veltrane;

constexpr int kBaud = 19200;

testing::ProjectBuilder fourSubnetProject() {
    testing::ProjectBuilder b;
    b.state.DeviceType = device::FourSubnets;
    applyProjectDefaults(b.project, b.state);
    for (int k = 1; k <= 2; ++k) {
        b.project.subnets[static_cast<std::size_t>(k - 1)].protocolType = "Modbus Master";
        const int node = b.node(k, "7");
        for (int i = 0; i < kMaxCommands; ++i)
            b.command(k, node, {.functionCode = "3", .dataCount = "1", .mappingAddress = "0", .mappingBit = "0",
                                .startAddress = std::to_string(i)});
    }
    return b;
}

void BM_SerialDownload96Commands(benchmark::State& state) {
    static int argc = 1;
    static char name[] = "serial_bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    (void)app;

    const testing::ProjectBuilder b = fourSubnetProject();
    testing::PtyGatewayThread gateway({.deviceCode = 3}, kBaud);
    SerialPortStream port;
    SerialLineSettings settings;
    settings.baudRate = kBaud;
    if (!gateway.problem().empty() || !port.open(gateway.path(), settings)) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    SteadyClock clock;
    double ratio = 0;
    std::size_t bytes = 0;
    int exchanges = 0;
    for (auto _ : state) {
        serial::SerialDownload download(b.project, b.state);
        serial::SerialTransferObserver quiet;
        const auto start = std::chrono::steady_clock::now();
        const auto result = serial::runSerialTransfer(download, port, clock, quiet);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!result.status) {
            state.SkipWithError(result.status.message().c_str());
            return;
        }
        bytes = result.bytesOut + result.bytesIn;
        exchanges = result.exchanges;
        ratio = seconds / (static_cast<double>(bytes) * 10.0 / kBaud);
    }
    state.counters["exchanges"] = exchanges;
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["wire_ratio"] = ratio;
}
BENCHMARK(BM_SerialDownload96Commands)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
