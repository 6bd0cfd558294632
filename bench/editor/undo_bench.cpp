// Undo and redo of the largest single step there is: Calculate Mapping Address over both subnets
// with 48 commands each, and what a step of each size keeps in memory.
#include "full_project.h"
#include "core/mapping/mapping_calculator.h"

#include <benchmark/benchmark.h>

using namespace veltrane;

namespace {

// A document of type EtherNet/IP whose last step is the mapping of 2 x 48 commands.
struct MappedDocument {
    ScriptedPrompter prompter{{Answer::Ok}};
    Document document{prompter};

    MappedDocument() {
        document.state().DeviceType = device::EtherNetIP;
        document.newDocument();
        bench::fillFullProject(document);
        document.editor().startNewHistory(true);
        document.editor().rebuildTree();
        runCalculateMappingAddress(document.editor());
    }
};

// A history of its own that starts from the mapped records.
UndoHistory historyFrom(const Project& project) {
    UndoHistory history;
    history.reset(project, false);
    return history;
}

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
    Project project = mapped.document.project();
    UndoHistory history = historyFrom(project);
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
    Project project = mapped.document.project();
    UndoHistory history = historyFrom(project);
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
