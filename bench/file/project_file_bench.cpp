// Encoding and decoding a project at full capacity: both subnets with 48 nodes and 48 commands.

#include "core/model/project_defaults.h"
#include "core/model/project_file.h"

#include <benchmark/benchmark.h>

using namespace veltrane;

namespace {
Project fullProject(ProjectState& state) {
    Project project;
    initializeNewProject(project, state);
    for (std::size_t k = 0; k < 2; ++k) {
        CONFIG& subnet = project.subnets[k];
        subnet.nodeCount = kMaxNodes;
        subnet.commandCount = kMaxCommands;
        for (std::size_t n = 0; n < kMaxNodes; ++n)
            subnet.nodes[n] = NodeEntry{std::to_string(n + 1), "Node-" + std::to_string(n + 1)};
        for (std::size_t c = 0; c < kMaxCommands; ++c) {
            INSTRUCTION& command = subnet.commands[c];
            command = INSTRUCTION{std::to_string(c + 1), "3", "0", "10", "0000", "0", "20", "No Swap", "CRC",
                                  "Fast Scan", static_cast<std::int32_t>(c + 1)};
        }
    }
    return project;
}

void encodeFullProject(benchmark::State& run) {
    ProjectState state;
    const Project project = fullProject(state);
    std::size_t bytes = 0;
    for (auto _ : run) {
        const std::vector<std::uint8_t> encoded = encodeProjectFile(project, state);
        bytes = encoded.size();
        benchmark::DoNotOptimize(encoded.data());
    }
    run.counters["file_bytes"] = static_cast<double>(bytes);
    run.SetBytesProcessed(static_cast<std::int64_t>(run.iterations() * bytes));
}
BENCHMARK(encodeFullProject);

void decodeFullProject(benchmark::State& run) {
    ProjectState state;
    const std::vector<std::uint8_t> encoded = encodeProjectFile(fullProject(state), state);
    for (auto _ : run) {
        Result<LoadedProject> outcome = decodeProjectFile(encoded, state);
        benchmark::DoNotOptimize(outcome);
    }
    run.SetBytesProcessed(static_cast<std::int64_t>(run.iterations() * encoded.size()));
}
BENCHMARK(decodeFullProject);
}  // namespace
