// Conflict detection and automatic mapping on a project whose 2 x 48 commands fill both buffers.

#include "app/mapping/buffer_grid_model.h"
#include "core/mapping/conflict_check.h"
#include "core/mapping/conflict_detection.h"
#include "app/mapping/conflict_detection_dialog.h"
#include "core/mapping/mapping_calculator.h"
#include "core/model/project_defaults.h"

#include <QApplication>

#include <benchmark/benchmark.h>

using namespace veltrane;

namespace {

struct FullProject {
    Project project;
    ProjectState state;
};

// Each subnet: 4 nodes, 24 read and 24 write register commands. 42 commands of 5 registers and 6
// of 6 registers per buffer make exactly 492 bytes once the addresses are calculated.
FullProject makeFullProject() {
    FullProject p;
    initializeNewProject(p.project, p.state);
    int reads = 0, writes = 0;
    for (int k = 0; k < 2; ++k) {
        CONFIG& subnet = p.project.subnets[static_cast<std::size_t>(k)];
        subnet.nodeCount = 4;
        for (int n = 0; n < 4; ++n)
            subnet.nodes[static_cast<std::size_t>(n)] = {std::to_string(n + 1),
                                                         "Node-" + std::to_string(n + 1)};
        subnet.commandCount = kMaxCommands;
        for (int i = 0; i < kMaxCommands; ++i) {
            INSTRUCTION& c = subnet.commands[static_cast<std::size_t>(i)];
            const bool read = i % 2 == 0;
            const int ordinal = read ? reads++ : writes++;
            c.nodeIndex = i % 4 + 1;
            c.slaveAddress = std::to_string(c.nodeIndex);
            c.functionCode = read ? "3" : "16";
            c.startAddress = "0";
            c.dataCount = ordinal < 42 ? "5" : "6";
            c.filterOrSwap = "No Swap";
        }
    }
    ScriptedPrompter prompter({Answer::Ok});
    if (calculateMappingAddresses(p.project, p.state, prompter) != MappingOutcome::Done)
        std::abort();
    return p;
}

const FullProject& fullProject() {
    static const FullProject project = makeFullProject();
    return project;
}

void BM_DetectionOpenAndColourEveryCell(benchmark::State& state) {
    const FullProject& p = fullProject();
    for (auto _ : state) {
        MappingConflictState conflicts;
        ConflictDetection detection(conflicts);
        detection.open(p.project, p.state);
        BufferGridModel input(detection, BufferGrid::Input);
        BufferGridModel output(detection, BufferGrid::Output);
        for (BufferGridModel* model : {&input, &output})
            for (int r = 0; r < BufferGridModel::kRows; ++r)
                for (int c = 0; c < BufferGridModel::kColumns; ++c)
                    benchmark::DoNotOptimize(model->data(model->index(r, c), Qt::BackgroundRole));
    }
}
BENCHMARK(BM_DetectionOpenAndColourEveryCell)->Unit(benchmark::kMillisecond);

void BM_ToggleCommandAndRecolour(benchmark::State& state) {
    const FullProject& p = fullProject();
    MappingConflictState conflicts;
    ConflictDetection detection(conflicts);
    detection.open(p.project, p.state);
    BufferGridModel input(detection, BufferGrid::Input);
    for (auto _ : state) {
        for (const GridRange& range : detection.toggleLine(0))
            input.refresh(range.first, range.end);
        benchmark::DoNotOptimize(input.data(input.index(0, 1), Qt::BackgroundRole));
    }
}
BENCHMARK(BM_ToggleCommandAndRecolour)->Unit(benchmark::kMicrosecond);

void BM_ConstructDialog(benchmark::State& state) {
    const FullProject& p = fullProject();
    for (auto _ : state) {
        MappingConflictState conflicts;
        ConflictDetectionDialog dialog(p.project, p.state, conflicts);
        benchmark::DoNotOptimize(dialog.commandList());
    }
}
BENCHMARK(BM_ConstructDialog)->Unit(benchmark::kMillisecond);

void BM_ConstructShowAndPaintDialog(benchmark::State& state) {
    const FullProject& p = fullProject();
    for (auto _ : state) {
        MappingConflictState conflicts;
        ConflictDetectionDialog dialog(p.project, p.state, conflicts);
        dialog.show();
        benchmark::DoNotOptimize(dialog.grab());
    }
}
BENCHMARK(BM_ConstructShowAndPaintDialog)->Unit(benchmark::kMillisecond);

void BM_CalculateMappingAddresses(benchmark::State& state) {
    FullProject p = fullProject();
    for (auto _ : state) {
        ScriptedPrompter prompter({Answer::Ok});
        benchmark::DoNotOptimize(calculateMappingAddresses(p.project, p.state, prompter));
    }
}
BENCHMARK(BM_CalculateMappingAddresses)->Unit(benchmark::kMicrosecond);

void BM_CheckMappingConflicts(benchmark::State& state) {
    const FullProject& p = fullProject();
    for (auto _ : state) {
        MappingConflictState conflicts;
        ScriptedPrompter prompter;
        benchmark::DoNotOptimize(checkMappingConflicts(p.project, p.state, prompter, conflicts));
    }
}
BENCHMARK(BM_CheckMappingConflicts)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
