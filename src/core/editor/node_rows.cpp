// The rows of a node item: its slave address, which also names the node.
#include "core/editor/editor.h"
#include "core/editor/row_provider.h"
#include "core/model/text_value.h"
#include "core/strings/strings.h"

#include <algorithm>

namespace veltrane {

namespace {

constexpr int kAddressRow = 0;

bool inAddressRange(std::int32_t value) {
    return value >= kMinSlaveAddress && value <= kMaxSlaveAddress;
}

class NodeRows : public RowProvider {
public:
    void fillRows(Editor& editor) override {
        const NodeEntry* node = selectedNode(editor);
        editor.grid().setRow(kAddressRow, tr(Str::RowSlaveAddress),
                             node ? shownValue(node->address) : std::string(), GridCellColour::White);
    }

    bool isEditable(const Editor&, int row) const override { return row == kAddressRow; }

    std::vector<std::string> optionsFor(const Editor&, int) const override { return {}; }

    bool commitOption(Editor&, int, const std::string&) override { return true; }

    void commitEdit(Editor& editor, int row, std::string& editText) override {
        NodeEntry* node = selectedNode(editor);
        if (row != kAddressRow || node == nullptr)
            return;
        CONFIG& subnet = editor.subnet(editor.view().subnetIndex);
        const std::string stored = node->address;
        const int nodeCount = std::clamp(subnet.nodeCount, 0, kMaxNodes);
        for (int n = 0; n < nodeCount; ++n) {
            if (editText == subnet.nodes[static_cast<std::size_t>(n)].address && editText != stored) {
                editor.prompter().message(tr(Str::MsgNodeNameRepeat));
                editText = stored;
                break;
            }
        }
        const auto refuse = [&] {
            editText = stored;
            editor.refuseInput(acceptedRange(kMinSlaveAddress, kMaxSlaveAddress));
        };
        if (editText.empty() || !inAddressRange(decimalValue(editText)))
            refuse();
        if (!editor.selectionUnchanged() || editor.view().clickedColumn != 1)
            return;
        if (!isCanonical(editText)) {
            // The refused text leaves the node and its commands as they were.
            refuse();
            return;
        }
        node->address = editText;
        node->name = tr(Str::NodeNamePrefix) + editText;
        TreeModel& tree = editor.tree();
        const ItemId nodeItem = editor.view().selectedItem;
        tree.setText(nodeItem, node->name);
        for (ItemId commandItem : tree.children(nodeItem)) {
            const int c = tree.data(commandItem);
            if (c >= 1 && c <= kMaxCommands)
                subnet.commands[static_cast<std::size_t>(c - 1)].slaveAddress = editText;
        }
    }

    HelpText helpFor(const Editor&, int row) const override {
        return row == kAddressRow ? HelpText::replace(tr(Str::HelpNodeSlaveAddress)) : HelpText::unchanged();
    }

private:
    static NodeEntry* selectedNode(Editor& editor) {
        CONFIG& subnet = editor.subnet(editor.view().subnetIndex);
        const int n = editor.view().selectedNodeIndex;
        if (n < 1 || n > std::clamp(subnet.nodeCount, 0, kMaxNodes))
            return nullptr;
        return &subnet.nodes[static_cast<std::size_t>(n - 1)];
    }
};

} // namespace

std::unique_ptr<RowProvider> makeNodeRows() {
    return std::make_unique<NodeRows>();
}

} // namespace veltrane
