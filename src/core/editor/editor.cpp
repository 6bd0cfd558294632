#include "editor/editor.h"

#include "editor/tree_items.h"
#include "model/project_defaults.h"
#include "strings/strings.h"

#include <algorithm>

namespace veltrane {

namespace {
bool isModbusMaster(const CONFIG& subnet) { return subnet.protocolType == tr(Str::ProtocolModbusMaster); }
}  // namespace

Editor::Editor(Project& project, ProjectState& state, Prompter& prompter)
    : m_project(project), m_state(state), m_prompter(prompter) {}

void Editor::initialUpdate() {
    if (!m_state.ProjectPrepared) {
        InitializeNewProject(m_project, m_state);
        BuildTopItems();
    }
    m_flags = EditFlags{};
    ExpandAll();
    m_state.UploadedProjectPending = false;
    m_copy = NodeCopyBuffer{};
}

void Editor::BuildTopItems() {
    m_tree.clear();
    switch (m_state.DeviceType) {
    case device::DeviceNet:
    case device::Profibus:
    case device::ProfibusFilter:
    case device::ProfibusSlave:
    case device::ProfibusUserConfig:
    case device::Profibus7:
        m_tree.insert(kNoItem, tr(Str::TreeFieldbus));
        m_tree.insert(kNoItem, tr(Str::TreeSubnet));
        break;
    case device::FourSubnets:
        for (Str text : {Str::TreeSubnet1, Str::TreeSubnet2, Str::TreeSubnet3, Str::TreeSubnet4})
            m_tree.insert(kNoItem, tr(text));
        break;
    case device::EtherNetIP:
        m_tree.insert(kNoItem, tr(Str::TreeEthernet));
        m_tree.insert(kNoItem, tr(Str::TreeSubnet1));
        if (!m_state.flags.singleSubnetModel)
            m_tree.insert(kNoItem, tr(Str::TreeSubnet2));
        break;
    default:
        break;
    }
}

void Editor::addSubnetContent(ItemId subnetItem, int subnetIndex) {
    const CONFIG& subnet = m_project.subnets[static_cast<std::size_t>(subnetIndex)];
    const int nodes = std::clamp(subnet.nodeCount, 0, kMaxNodes);
    const int commands = std::clamp(subnet.commandCount, 0, kMaxCommands);
    for (int n = 1; n <= nodes; ++n)
        m_tree.insert(subnetItem, subnet.nodes[static_cast<std::size_t>(n - 1)].name, n);
    for (int c = 1; c <= commands; ++c) {
        const INSTRUCTION& command = subnet.commands[static_cast<std::size_t>(c - 1)];
        const std::string& label = commandLabel(command.functionCode);
        if (label.empty())
            continue;
        // A command whose node is missing has nowhere to go; it keeps its slot but shows no item.
        for (ItemId nodeItem : m_tree.children(subnetItem)) {
            if (m_tree.data(nodeItem) == command.nodeIndex) {
                m_tree.insert(nodeItem, label, c);
                break;
            }
        }
    }
}

void Editor::RebuildTree() {
    const std::int32_t type = m_state.DeviceType;
    // Type 5 shares layout 1 with the other single-subnet fieldbus types, so a rebuild shows
    // what a new project of that type shows.
    if (type == device::DeviceNet || type == device::Profibus || type == device::ProfibusFilter ||
        type == device::ProfibusSlave || type == device::ProfibusUserConfig || type == device::Profibus7) {
        BuildTopItems();
        if (isModbusMaster(m_project.subnets[0]))
            addSubnetContent(m_tree.topLevel()[1], 0);
    } else if (type == device::FourSubnets) {
        BuildTopItems();
        for (int k = 0; k < kSubnetSlots; ++k)
            if (isModbusMaster(m_project.subnets[static_cast<std::size_t>(k)]))
                addSubnetContent(m_tree.topLevel()[static_cast<std::size_t>(k)], k);
    } else if (type == device::EtherNetIP) {
        BuildTopItems();
        if (isModbusMaster(m_project.subnets[0])) {
            addSubnetContent(m_tree.topLevel()[1], 0);
            if (!m_state.flags.singleSubnetModel)
                addSubnetContent(m_tree.topLevel()[2], 1);
        }
    }
    if (!m_tree.topLevel().empty())
        selectItem(m_tree.topLevel().front());
}

void Editor::ExpandAll() {
    for (ItemId id : m_tree.allItems())
        if (!m_tree.children(id).empty())
            m_tree.setExpanded(id, true);
    if (!m_tree.topLevel().empty())
        selectItem(m_tree.topLevel().front());
}

void Editor::selectItem(ItemId id) {
    m_tree.select(id);
    onSelectionChanged(id);
}

void Editor::onSelectionChanged(ItemId id) {
    const ItemKind kind = kindOf(m_tree, id);
    m_flags = EditFlags{};
    switch (kind) {
    case ItemKind::Subnet: {
        const int k = subnetOf(m_tree, id);
        m_flags.addNode = k >= 1 && isModbusMaster(m_project.subnets[static_cast<std::size_t>(k - 1)]);
        break;
    }
    case ItemKind::Node:
        m_flags.addNode = m_flags.addCommand = m_flags.deleteNode = true;
        break;
    case ItemKind::Command:
        m_flags.deleteCommand = true;
        break;
    default:
        break;
    }
}

}  // namespace veltrane
