#include "core/editor/editor.h"
#include "core/model/subnet_protocol.h"

#include "core/editor/tree_items.h"
#include "core/model/project_defaults.h"
#include "core/strings/strings.h"

#include <algorithm>

namespace veltrane {

namespace {

bool hasLayoutOne(std::int32_t type) {
    return type == device::DeviceNet || type == device::Profibus || type == device::ProfibusFilter ||
           type == device::ProfibusSlave || type == device::ProfibusUserConfig || type == device::Profibus7;
}
} // namespace

Editor::Editor(Project& project, ProjectState& state, Prompter& prompter)
    : m_project(project), m_state(state), m_prompter(prompter), m_fieldbusRows(makeFieldbusRows()),
      m_subnetRows(makeSubnetRows()), m_nodeRows(makeNodeRows()), m_commandRows(makeCommandRows()) {}

Editor::~Editor() = default;

Editor::CommandStateWatch::CommandStateWatch(Editor& editor)
    : m_editor(editor), m_flags(editor.m_flags), m_copy(editor.m_copy) {}

Editor::CommandStateWatch::~CommandStateWatch() {
    if (m_editor.m_flags != m_flags || !(m_editor.m_copy == m_copy))
        m_editor.m_commandStateChanges.notify();
}

void Editor::setEditFlags(const EditFlags& flags) {
    CommandStateWatch watch(*this);
    m_flags = flags;
}

void Editor::markModified() {
    m_state.ProjectModified = true;
    m_projectChanges.notify(ProjectChange::Edited);
}

CONFIG& Editor::subnet(int index) {
    return m_project.subnets[static_cast<std::size_t>(std::clamp(index, 0, kSubnetSlots - 1))];
}

const CONFIG& Editor::subnet(int index) const {
    return m_project.subnets[static_cast<std::size_t>(std::clamp(index, 0, kSubnetSlots - 1))];
}

void Editor::initialUpdate(const NewProjectKind& kind) {
    CommandStateWatch watch(*this);
    if (!m_state.ProjectPrepared) {
        initializeNewProject(m_project, m_state, kind);
        buildTopItems();
    }
    m_flags = EditFlags{};
    expandAll();
    m_state.UploadedProjectPending = false;
    m_copy = NodeCopyBuffer{};
}

void Editor::buildTopItems() {
    m_tree.clear();
    const std::int32_t type = m_state.DeviceType;
    if (hasLayoutOne(type)) {
        m_tree.insertTop(ItemKind::Fieldbus, tr(Str::TreeFieldbus));
        m_tree.insertTop(ItemKind::Subnet, tr(Str::TreeSubnet), 1);
    } else if (type == device::FourSubnets) {
        int number = 0;
        for (Str text : {Str::TreeSubnet1, Str::TreeSubnet2, Str::TreeSubnet3, Str::TreeSubnet4})
            m_tree.insertTop(ItemKind::Subnet, tr(text), ++number);
    } else if (type == device::EtherNetIP) {
        m_tree.insertTop(ItemKind::Fieldbus, tr(Str::TreeEthernet));
        m_tree.insertTop(ItemKind::Subnet, tr(Str::TreeSubnet1), 1);
        if (!m_state.flags.singleSubnetModel)
            m_tree.insertTop(ItemKind::Subnet, tr(Str::TreeSubnet2), 2);
    }
}

void Editor::addSubnetContent(ItemId subnetItem, int subnetIndex) {
    const CONFIG& config = subnet(subnetIndex);
    const int nodes = std::clamp(config.nodeCount, 0, kMaxNodes);
    const int commands = std::clamp(config.commandCount, 0, kMaxCommands);
    for (int n = 1; n <= nodes; ++n)
        m_tree.insert(subnetItem, config.nodes[static_cast<std::size_t>(n - 1)].name, n);
    for (int c = 1; c <= commands; ++c) {
        const INSTRUCTION& command = config.commands[static_cast<std::size_t>(c - 1)];
        const std::string& label = commandLabel(command.functionCode);
        if (label.empty())
            continue;
        // A command whose node is missing (only a hand-made file holds one) has nowhere to go: it
        // keeps its slot, is saved and downloaded as it is, but shows no item.
        for (ItemId nodeItem : m_tree.children(subnetItem)) {
            if (m_tree.data(nodeItem) == command.nodeIndex) {
                m_tree.insert(nodeItem, label, c);
                break;
            }
        }
    }
}

void Editor::rebuildSubnetItems(ItemId subnetItem, int subnetIndex) {
    if (!m_tree.contains(subnetItem))
        return;
    const std::vector<ItemId> children = m_tree.children(subnetItem);
    for (ItemId child : children)
        m_tree.remove(child);
    addSubnetContent(subnetItem, subnetIndex);
}

void Editor::rebuildTree() {
    const std::int32_t type = m_state.DeviceType;
    // Type 5 shares layout 1 with the other single-subnet fieldbus types, so a rebuild shows what
    // a new project of that type shows. Unknown types keep whatever the tree holds.
    if (hasLayoutOne(type)) {
        buildTopItems();
        if (isModbusMaster(m_project.subnets[0]))
            addSubnetContent(m_tree.topLevel()[1], 0);
    } else if (type == device::FourSubnets) {
        buildTopItems();
        for (int k = 0; k < kSubnetSlots; ++k)
            if (isModbusMaster(subnet(k)))
                addSubnetContent(m_tree.topLevel()[static_cast<std::size_t>(k)], k);
    } else if (type == device::EtherNetIP) {
        buildTopItems();
        if (isModbusMaster(m_project.subnets[0])) {
            addSubnetContent(m_tree.topLevel()[1], 0);
            if (!m_state.flags.singleSubnetModel)
                addSubnetContent(m_tree.topLevel()[2], 1);
        }
    }
    if (!m_tree.topLevel().empty())
        selectItem(m_tree.topLevel().front());
}

void Editor::expandAll() {
    for (ItemId id : m_tree.allItems())
        if (!m_tree.children(id).empty())
            m_tree.setExpanded(id, true);
    if (!m_tree.topLevel().empty())
        selectItem(m_tree.topLevel().front());
}

void Editor::selectItem(ItemId id) {
    CommandStateWatch watch(*this);
    commitEdit();
    closeOptionList();
    m_tree.select(id);
    m_helpText.clear();
    if (onHelpCleared)
        onHelpCleared();
    showSelection();
}

void Editor::selectAfterRemoval(ItemId parent, std::size_t position) {
    // As a tree control does when its selected item goes: the next sibling, else the previous
    // one, else the parent.
    const std::vector<ItemId>& siblings = m_tree.children(parent);
    if (position < siblings.size())
        selectItem(siblings[position]);
    else if (!siblings.empty())
        selectItem(siblings.back());
    else if (parent != kNoItem)
        selectItem(parent);
}

} // namespace veltrane
