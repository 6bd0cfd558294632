// The editor's heaviest paths on a full project: both subnets with 48 nodes and 48 commands.
#include "core/document/document.h"

#include <benchmark/benchmark.h>

using namespace veltrane;

namespace {

void fill(Document& document) {
    for (int k = 0; k < 2; ++k) {
        CONFIG& subnet = document.project().subnets[static_cast<std::size_t>(k)];
        subnet.nodeCount = kMaxNodes;
        subnet.commandCount = kMaxCommands;
        for (int n = 0; n < kMaxNodes; ++n) {
            subnet.nodes[static_cast<std::size_t>(n)].name = "Node-" + std::to_string(n + 1);
            subnet.nodes[static_cast<std::size_t>(n)].address = std::to_string(n + 1);
            subnet.commands[static_cast<std::size_t>(n)].functionCode = "3";
            subnet.commands[static_cast<std::size_t>(n)].nodeIndex = n + 1;
        }
    }
}

void RebuildFullTree(benchmark::State& state) {
    ScriptedPrompter prompter;
    Document document(prompter);
    document.newDocument();
    fill(document);
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
        fill(document);
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
    fill(document);
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
