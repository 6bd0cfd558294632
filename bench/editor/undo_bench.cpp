// Undo and redo of the largest single step there is: Calculate Mapping Address over both subnets
// with 48 commands each, and what a step of each size keeps in memory.
#include "core/document/document.h"
#include "core/mapping/mapping_calculator.h"

#include <benchmark/benchmark.h>

using namespace veltrane;

namespace {

void fill(Document& document) {
    for (int k = 0; k < 2; ++k) {
        CONFIG& subnet = document.project().subnets[static_cast<std::size_t>(k)];
        subnet.nodeCount = kMaxNodes;
        subnet.commandCount = kMaxCommands;
        for (int n = 0; n < kMaxNodes; ++n) {
            const auto slot = static_cast<std::size_t>(n);
            subnet.nodes[slot].name = "Node-" + std::to_string(n + 1);
            subnet.nodes[slot].address = std::to_string(n + 1);
            INSTRUCTION& command = subnet.commands[slot];
            command.functionCode = n % 2 == 0 ? "3" : "16";
            command.slaveAddress = subnet.nodes[slot].address;
            command.startAddress = "0";
            command.dataCount = "2";
            command.nodeIndex = n + 1;
        }
    }
}

// A document of type EtherNet/IP whose last step is the mapping of 2 x 48 commands.
struct MappedDocument {
    ScriptedPrompter prompter{{Answer::Ok}};
    Document document{prompter};

    MappedDocument() {
        document.state().DeviceType = device::EtherNetIP;
        document.newDocument();
        fill(document);
        document.editor().startNewHistory(true);
        document.editor().rebuildTree();
        runCalculateMappingAddress(document.editor());
    }
};

// The whole command as the window runs it: records put back, tree rebuilt, the item selected.
void UndoRedoMappingInEditor(benchmark::State& state) {
    MappedDocument mapped;
    Editor& editor = mapped.document.editor();
    if (editor.undoName() != "Calculate Mapping Address")
        state.SkipWithError("the mapping recorded no step");
    for (auto _ : state) {
        editor.undo();
        editor.redo();
    }
    state.counters["step_bytes"] = static_cast<double>(editor.history().bytes());
}
BENCHMARK(UndoRedoMappingInEditor)->Unit(benchmark::kMicrosecond);

// The history alone: the two subnet records copied back.
void UndoRedoMappingRecords(benchmark::State& state) {
    MappedDocument mapped;
    UndoHistory history;
    Project project = mapped.document.project();
    history.reset(project, false);
    for (auto& subnet : project.subnets)
        for (auto& command : subnet.commands)
            command.mappingAddress = "10";
    history.record("Calculate Mapping Address", project, {}, {});
    for (auto _ : state) {
        history.undo(project);
        history.redo(project);
    }
}
BENCHMARK(UndoRedoMappingRecords)->Unit(benchmark::kMicrosecond);

// What one typed value costs to record on a full project (one subnet record before and after).
void RecordOneValue(benchmark::State& state) {
    MappedDocument mapped;
    UndoHistory history;
    Project project = mapped.document.project();
    history.reset(project, false);
    int value = 0;
    for (auto _ : state) {
        project.subnets[0].commands[0].startAddress = std::to_string(++value % 1000);
        history.record("Edit Starting Address", project, {}, {});
    }
    state.counters["steps_kept"] = static_cast<double>(history.stepCount());
    state.counters["bytes_kept"] = static_cast<double>(history.bytes());
}
BENCHMARK(RecordOneValue)->Unit(benchmark::kMicrosecond);

}  // namespace
