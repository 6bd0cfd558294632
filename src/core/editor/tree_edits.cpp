// The structural edits of the tree: nodes and commands added, deleted, copied and pasted.
#include "core/editor/editor.h"
#include "core/model/subnet_protocol.h"
#include "core/editor/function_codes.h"
#include "core/editor/tree_items.h"
#include "core/model/project_defaults.h"
#include "core/model/text_value.h"
#include "core/strings/strings.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

namespace veltrane {

namespace {

std::size_t slot(int oneBased) {
    return static_cast<std::size_t>(oneBased - 1);
}

// The number a new node gets, which is also its slave address: one below the smallest when there
// is room, else one above the largest. A number outside the slave addresses, or one a node already
// has, gives way to the lowest free address (1 first, 0 last: 0 is the broadcast address); nothing
// when every address is taken.
std::optional<std::int64_t> newNodeNumber(const TreeModel& tree, ItemId subnetItem, const CONFIG& config) {
    const auto& children = tree.children(subnetItem);
    std::set<std::int64_t> used;
    for (ItemId child : children)
        used.insert(nodeNumberOfText(tree.text(child)));
    for (int n = 0; n < std::clamp(config.nodeCount, 0, kMaxNodes); ++n)
        used.insert(decimalValue(config.nodes[static_cast<std::size_t>(n)].address));
    std::int64_t number = 1;
    if (!children.empty()) {
        std::int64_t smallest = nodeNumberOfText(tree.text(children.front()));
        std::int64_t largest = smallest;
        for (ItemId child : children) {
            const std::int64_t value = nodeNumberOfText(tree.text(child));
            smallest = std::min(smallest, value);
            largest = std::max(largest, value);
        }
        number = smallest > 1 ? smallest - 1 : largest + 1;
    }
    const auto usable = [&](std::int64_t value) {
        return value >= kMinSlaveAddress && value <= kMaxSlaveAddress && !used.contains(value);
    };
    if (usable(number))
        return number;
    for (std::int64_t value = 1; value <= kMaxSlaveAddress; ++value)
        if (usable(value))
            return value;
    if (usable(kMinSlaveAddress))
        return kMinSlaveAddress;
    return std::nullopt;
}
} // namespace

ItemId Editor::selectedSubnetItem() const {
    const ItemId selected = m_tree.selected();
    switch (kindOf(m_tree, selected)) {
    case ItemKind::Subnet:
        return selected;
    case ItemKind::Node:
        return m_tree.parent(selected);
    default:
        return kNoItem;
    }
}

bool Editor::addNode() {
    const ItemId subnetItem = selectedSubnetItem();
    if (subnetItem == kNoItem)
        return false;
    EditStep step(*this, tr(Str::StepAddNode));
    CONFIG& config = subnet(m_tree.subnet(subnetItem) - 1);
    config.nodeCount = std::clamp(config.nodeCount, 0, kMaxNodes);
    if (config.nodeCount >= kMaxNodes) {
        m_prompter.message(tr(Str::MsgNodesOverrun));
        return false;
    }
    const std::optional<std::int64_t> free = newNodeNumber(m_tree, subnetItem, config);
    if (!free) {
        m_prompter.message(tr(Str::MsgNoFreeSlaveAddress));
        return false;
    }
    const std::string number = decimalText(*free);
    const int position = config.nodeCount + 1;
    NodeEntry& node = config.nodes[slot(position)];
    node.address = number;
    node.name = tr(Str::NodeNamePrefix) + number;
    config.nodeCount = position;
    step.showAfterRedo(m_tree.insert(subnetItem, node.name, position));
    m_tree.setExpanded(subnetItem, true);
    markModified();
    return true;
}

bool Editor::deleteNode(EditOrigin origin) {
    CommandStateWatch watch(*this);
    const ItemId nodeItem = m_tree.selected();
    if (kindOf(m_tree, nodeItem) != ItemKind::Node)
        return false;
    const ItemId subnetItem = m_tree.parent(nodeItem);
    CONFIG& config = subnet(m_tree.subnet(subnetItem) - 1);
    const int n = m_tree.data(nodeItem);
    const int nodeCount = std::clamp(config.nodeCount, 0, kMaxNodes);
    if (n < 1 || n > nodeCount)
        return false;
    EditStep step(*this, tr(Str::StepDeleteNode));

    // Commands: drop the node's own, close the gaps in order, and point the later nodes' commands
    // at their new slots. oldToNew remembers where each kept command went, for the tree.
    std::map<int, int> oldToNew;
    const int commandCount = std::clamp(config.commandCount, 0, kMaxCommands);
    int kept = 0;
    for (int c = 1; c <= commandCount; ++c) {
        INSTRUCTION command = config.commands[slot(c)];
        if (command.nodeIndex == n)
            continue;
        if (command.nodeIndex > n)
            --command.nodeIndex;
        config.commands[static_cast<std::size_t>(kept)] = std::move(command);
        oldToNew[c] = ++kept;
    }
    config.commandCount = kept;
    for (int k = n; k < nodeCount; ++k)
        config.nodes[slot(k)] = config.nodes[slot(k + 1)];
    config.nodeCount = nodeCount - 1;

    for (ItemId sibling : m_tree.children(subnetItem)) {
        if (sibling == nodeItem)
            continue;
        if (m_tree.data(sibling) > n)
            m_tree.setData(sibling, m_tree.data(sibling) - 1);
        for (ItemId commandItem : m_tree.children(sibling)) {
            const auto moved = oldToNew.find(m_tree.data(commandItem));
            if (moved != oldToNew.end())
                m_tree.setData(commandItem, moved->second);
        }
    }
    m_tree.remove(nodeItem);
    markModified();

    if (origin == EditOrigin::Menu) {
        rebuildTree();
        if (m_tree.topLevel().size() > 1)
            m_tree.setExpanded(m_tree.topLevel()[1], true);
        m_flags.deleteNode = false;
    } else {
        expandAll();
    }
    return true;
}

bool Editor::addCommand(int index) {
    const ItemId nodeItem = m_tree.selected();
    if (kindOf(m_tree, nodeItem) != ItemKind::Node)
        return false;
    const FunctionCode code = functionCodeForEntry(index);
    if (code == FunctionCode::None)
        return false;
    EditStep step(*this, tr(Str::StepAddCommand));
    CONFIG& config = subnet(subnetOf(m_tree, nodeItem) - 1);
    config.commandCount = std::clamp(config.commandCount, 0, kMaxCommands);
    if (config.commandCount >= kMaxCommands) {
        m_prompter.message(tr(Str::MsgCommandsOverrun));
        return false;
    }
    const int n = m_tree.data(nodeItem);
    INSTRUCTION command;
    command.nodeIndex = n;
    if (n >= 1 && n <= kMaxNodes)
        command.slaveAddress = config.nodes[slot(n)].address;
    command.functionCode = functionCodeText(code);
    if (const std::int32_t bytes = functionCodeInfo(code).fixedBytes; bytes > 0) {
        command.dataCount = "1";
        command.byteCount = decimalText(bytes);
    }
    command.filterOrSwap = defaultFilterOrSwap(m_state);
    command.checkType = tr(Str::CheckCRC);
    command.scanType = tr(Str::ScanFast);
    const int position = config.commandCount + 1;
    config.commands[slot(position)] = command;
    config.commandCount = position;
    step.showAfterRedo(m_tree.insert(nodeItem, commandLabel(command.functionCode), position));
    m_tree.setExpanded(nodeItem, true);
    return true;
}

bool Editor::deleteCommand(EditOrigin origin) {
    const ItemId commandItem = m_tree.selected();
    if (kindOf(m_tree, commandItem) != ItemKind::Command)
        return false;
    const ItemId nodeItem = m_tree.parent(commandItem);
    const ItemId subnetItem = m_tree.parent(nodeItem);
    CONFIG& config = subnet(m_tree.subnet(subnetItem) - 1);
    const int k = m_tree.data(commandItem);
    const int commandCount = std::clamp(config.commandCount, 0, kMaxCommands);
    if (k < 1 || k > commandCount)
        return false;
    EditStep step(*this, tr(Str::StepDeleteCommand));
    for (int c = k; c < commandCount; ++c)
        config.commands[slot(c)] = config.commands[slot(c + 1)];
    config.commandCount = commandCount - 1;

    const auto& siblings = m_tree.children(nodeItem);
    const std::size_t position =
        static_cast<std::size_t>(std::find(siblings.begin(), siblings.end(), commandItem) - siblings.begin());
    m_tree.remove(commandItem);
    for (ItemId node : m_tree.children(subnetItem))
        for (ItemId item : m_tree.children(node))
            if (m_tree.data(item) > k)
                m_tree.setData(item, m_tree.data(item) - 1);
    markModified();

    if (origin == EditOrigin::ContextMenu)
        expandAll();
    else
        selectAfterRemoval(nodeItem, position);
    return true;
}

bool Editor::canCopyNode() const {
    const ItemId selected = m_tree.selected();
    return m_tree.contains(selected) &&
           m_tree.text(selected).rfind(tr(Str::NodeNamePrefix).substr(0, 2), 0) == 0;
}

bool Editor::copyNode() {
    CommandStateWatch watch(*this);
    if (!canCopyNode())
        return false;
    const ItemId selected = m_tree.selected();
    const std::string& text = m_tree.text(selected);
    const std::size_t prefix = tr(Str::NodeNamePrefix).size();
    const bool numbered = text.size() > prefix && text[prefix] >= '0' && text[prefix] <= '9';
    const ItemId parent = m_tree.parent(selected);
    m_copy.sourceSubnet = m_tree.kind(parent) == ItemKind::Subnet ? m_tree.subnet(parent) : 0;
    m_copy.sourceNode = numbered ? nodeNumberOfText(text) : -1;
    m_copy.valid = m_copy.sourceSubnet != 0 && m_copy.sourceNode >= 0;
    return m_copy.valid;
}

bool Editor::canPasteNode() const {
    const ItemKind kind = kindOf(m_tree, m_tree.selected());
    return m_copy.valid && (kind == ItemKind::Subnet || kind == ItemKind::Node);
}

bool Editor::pasteNode() {
    if (!canPasteNode())
        return false;
    // The source is read as it is now; its count is taken first because a paste into the same
    // subnet appends behind it.
    const CONFIG& source = subnet(m_copy.sourceSubnet - 1);
    const int sourceCount = std::clamp(source.commandCount, 0, kMaxCommands);
    const std::string sourceAddress = decimalText(m_copy.sourceNode);
    EditStep step(*this, tr(Str::StepPasteNode));
    if (!addNode())
        return false;

    const ItemId subnetItem = selectedSubnetItem();
    CONFIG& target = subnet(m_tree.subnet(subnetItem) - 1);
    const ItemId newNodeItem = m_tree.children(subnetItem).back();
    const int newPosition = m_tree.data(newNodeItem);
    step.showAfterRedo(newNodeItem);
    const std::string newAddress = target.nodes[slot(newPosition)].address;
    for (int c = 1; c <= sourceCount; ++c) {
        INSTRUCTION command = source.commands[slot(c)];
        if (command.slaveAddress != sourceAddress)
            continue;
        if (target.commandCount >= kMaxCommands) {
            m_prompter.message(tr(Str::MsgCommandsOverrun));
            return true;
        }
        command.slaveAddress = newAddress;
        command.nodeIndex = newPosition;
        const int position = target.commandCount + 1;
        target.commands[slot(position)] = command;
        target.commandCount = position;
        const std::string& label = commandLabel(command.functionCode);
        if (!label.empty())
            m_tree.insert(newNodeItem, label, position);
        m_tree.setExpanded(newNodeItem, true);
    }
    expandAll();
    return true;
}

bool Editor::contextMenu(ItemId hit) {
    CommandStateWatch watch(*this);
    if (!m_tree.contains(hit))
        return false;
    selectItem(hit);
    const ItemKind kind = kindOf(m_tree, hit);
    if (kind == ItemKind::None)
        return false;
    m_flags = EditFlags{};
    if (kind == ItemKind::Fieldbus)
        return false;
    if (!isModbusMaster(subnet(subnetOf(m_tree, hit) - 1)))
        return false;
    switch (kind) {
    case ItemKind::Subnet:
        m_flags.addNode = true;
        break;
    case ItemKind::Node:
        m_flags.addNode = m_flags.addCommand = m_flags.deleteNode = true;
        break;
    default:
        m_flags.deleteCommand = true;
        break;
    }
    return true;
}

} // namespace veltrane
