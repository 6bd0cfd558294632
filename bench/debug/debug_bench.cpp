// Reports per second through the monitor and the live table, the work done for each received report
// apart from the socket and the view. The gateway can report up to 2000 times a second.
#include "core/debug/debug_monitor.h"
#include "core/debug/live_table.h"
#include "sim/engine/debug/debug_report_generator.h"

#include <benchmark/benchmark.h>

using namespace veltrane;

namespace {

const Ipv4Endpoint kGateway{0x7F000002, kDebugGatewayPort};

// 96 commands on two subnets, reading 1 to 48 registers, as pre-encoded reports.
std::vector<Bytes> sampleReports(DebugTransport transport, std::size_t count) {
    std::vector<sim::PolledCommand> commands;
    for (int i = 0; i < 96; ++i)
        commands.push_back({static_cast<std::uint8_t>(i % 2), static_cast<std::uint8_t>(1 + i % 16),
                            static_cast<std::uint16_t>(i * 100), 3, 1 + i % 48, std::nullopt});
    sim::ReportGeneratorOptions options;
    options.transport = transport;
    options.waitForAcknowledge = false;
    sim::DebugReportGenerator generator(std::move(commands), options);
    if (transport == DebugTransport::Ethernet)
        generator.receive(DebugCommand::start().encodeEthernet());
    std::vector<Bytes> reports;
    while (reports.size() < count) {
        std::optional<Bytes> report = generator.nextReport();
        if (!report)
            break;
        reports.push_back(std::move(*report));
    }
    return reports;
}

void run(benchmark::State& bench, DebugTransport transport) {
    const std::vector<Bytes> reports = sampleReports(transport, 4096);
    if (reports.empty()) {
        bench.SkipWithError("the generator made no reports");
        return;
    }
    DebugMonitor monitor = transport == DebugTransport::Ethernet ? DebugMonitor::ethernet(kGateway)
                                                                 : DebugMonitor::serial();
    LiveTable table;
    const auto now = LiveRow::Clock::now();
    std::size_t i = 0;
    for (auto _ : bench) {
        const Bytes& report = reports[i++ % reports.size()];
        if (transport == DebugTransport::Ethernet) {
            MonitorStep step = monitor.receiveDatagram(report, kGateway);
            if (step.report)
                table.record(*step.report, transport, now);
            benchmark::DoNotOptimize(step);
        } else {
            for (MonitorStep& step : monitor.receiveSerial(report)) {
                if (step.report)
                    table.record(*step.report, transport, now);
                benchmark::DoNotOptimize(step);
            }
        }
    }
    bench.SetItemsProcessed(bench.iterations());
    bench.counters["history"] = static_cast<double>(monitor.rows().size());
}

void BM_EthernetReports(benchmark::State& bench) { run(bench, DebugTransport::Ethernet); }
void BM_SerialReports(benchmark::State& bench) { run(bench, DebugTransport::Serial); }

BENCHMARK(BM_EthernetReports);
BENCHMARK(BM_SerialReports);

}  // namespace
