// The editor's heaviest paths on a full project: both subnets with 48 nodes and 48 commands.
#include "full_project.h"

#include <benchmark/benchmark.h>

using namespace veltrane;

namespace {

void RebuildFullTree(benchmark::State& state) {
    ScriptedPrompter prompter;
    Document document(prompter);
    document.newDocument();
    bench::fillFullProject(document);
    for (auto _ : state)
        document.editor().rebuildTree();
}
BENCHMARK(RebuildFullTree);

// Delete Node from the Edit menu renumbers the records and rebuilds the whole tree.
void DeleteNodeFromFullSubnet(benchmark::State& state) {
    ScriptedPrompter prompter;
    Document document(prompter);
    document.newDocument();
    for (auto _ : state) {
        state.PauseTiming();
        bench::fillFullProject(document);
        Editor& editor = document.editor();
        editor.rebuildTree();
        editor.selectItem(editor.tree().children(editor.tree().topLevel()[1])[0]);
        state.ResumeTiming();
        editor.deleteNode();
    }
}
BENCHMARK(DeleteNodeFromFullSubnet);

// A click on a command, then an edit committed on it: what every grid edit costs.
void ShowAndCommitCommand(benchmark::State& state) {
    ScriptedPrompter prompter;
    Document document(prompter);
    document.newDocument();
    bench::fillFullProject(document);
    Editor& editor = document.editor();
    editor.rebuildTree();
    const ItemId node = editor.tree().children(editor.tree().topLevel()[1])[0];
    const ItemId command = editor.tree().children(node)[0];
    for (auto _ : state) {
        editor.selectItem(command);
        editor.onGridClick(3, 1);
        editor.setEditBoxText("10");
        editor.commitEdit();
    }
}
BENCHMARK(ShowAndCommitCommand);

} // namespace
