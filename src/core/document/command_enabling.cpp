#include "core/document/command_enabling.h"
#include "core/model/subnet_protocol.h"

#include "core/editor/tree_items.h"
#include "core/model/text_value.h"
#include "core/strings/strings.h"

namespace veltrane {

namespace {
// The copy rule compares only the first two characters of the node name pattern.
bool startsLikeNodeName(const std::string& text) {
    const std::string& prefix = tr(Str::NodeNamePrefix);
    return text.size() >= 2 && prefix.size() >= 2 && text.compare(0, 2, prefix, 0, 2) == 0;
}
} // namespace

CommandEnabling evaluateCommandEnabling(const ProjectState& state, const Project& project,
                                        const EditFlags& flags, const TreeSelection& selection) {
    const std::int32_t type = state.DeviceType;
    const bool userConfigOnly = state.flags.userConfigOnlyModel;
    const bool subnet1IsMaster = protocolOf(project.subnets[0]) == SubnetProtocol::ModbusMaster;

    CommandEnabling e;
    e.addNode = flags.addNode;
    e.deleteNode = flags.deleteNode;
    e.addCommand = flags.addCommand;
    e.deleteCommand = flags.deleteCommand;
    e.copyNode = selection.selectionIsNodeName;
    e.pasteNode = selection.copyBufferValid && selection.selectionIsSubnetOrNode;
    e.serialConnection = type != device::EtherNetIP;
    e.ethernetConnection = type == device::EtherNetIP;
    e.calculateMapping = type != device::FourSubnets && type != device::ProfibusSlave &&
                         type != device::ProfibusUserConfig && !userConfigOnly;
    e.conflictDetection = type == device::EtherNetIP;
    e.debug = !userConfigOnly && (type == device::ProfibusFilter || state.flags.extendedFrameModel ||
                                  (type == device::EtherNetIP && subnet1IsMaster));
    return e;
}

std::string disabledReason(bool CommandEnabling::*rule, const ProjectState& state, const Project& project) {
    const CommandEnabling e = evaluateCommandEnabling(state, project, EditFlags{}, TreeSelection{});
    if (rule == nullptr || e.*rule)
        return {};
    const std::string type = decimalText(state.DeviceType);
    if (rule == &CommandEnabling::serialConnection)
        return tr(Str::WhyNoSerial);
    if (rule == &CommandEnabling::ethernetConnection)
        return tr(Str::WhyNoEthernet);
    if (rule == &CommandEnabling::conflictDetection)
        return tr(Str::WhyNoConflicts);
    if (rule == &CommandEnabling::calculateMapping)
        return state.flags.userConfigOnlyModel ? tr(Str::WhyUserConfigOnly) : format(Str::WhyNoMappingType, {type});
    if (rule == &CommandEnabling::debug) {
        if (state.flags.userConfigOnlyModel)
            return tr(Str::WhyUserConfigOnly);
        return state.DeviceType == device::EtherNetIP ? tr(Str::WhyNoDebugProtocol) : format(Str::WhyNoDebugType, {type});
    }
    return {};
}

TreeSelection treeSelectionOf(const Editor& editor) {
    TreeSelection s;
    const TreeModel& tree = editor.tree();
    const ItemId id = tree.selected();
    if (tree.contains(id)) {
        s.selectionIsNodeName = startsLikeNodeName(tree.text(id));
        const ItemKind kind = kindOf(tree, id);
        s.selectionIsSubnetOrNode = kind == ItemKind::Subnet || kind == ItemKind::Node;
    }
    s.copyBufferValid = editor.copyBuffer().valid;
    return s;
}

CommandEnabling evaluateCommandEnabling(const Editor& editor) {
    CommandEnabling e =
        evaluateCommandEnabling(editor.state(), editor.project(), editor.editFlags(), treeSelectionOf(editor));
    e.undo = editor.canUndo();
    e.redo = editor.canRedo();
    return e;
}

bool treeContextMenuAllowed(const TreeModel& tree, const Project& project, ItemId id) {
    if (!tree.contains(id))
        return false;
    const ItemKind kind = kindOf(tree, id);
    if (kind == ItemKind::None || kind == ItemKind::Fieldbus)
        return false;
    const int subnet = subnetOf(tree, id);
    if (subnet < 1 || subnet > kSubnetSlots)
        return false;
    return isModbusMaster(project.subnets[static_cast<std::size_t>(subnet - 1)]);
}

} // namespace veltrane
