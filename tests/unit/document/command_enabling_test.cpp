#include "core/document/command_enabling.h"
#include "core/document/document.h"
#include "core/strings/strings.h"

#include <gtest/gtest.h>

using namespace veltrane;

namespace {
struct DeviceCase {
    std::int32_t type;
    ModelFlags flags;
    const char* subnet1Protocol;
    bool serial, ethernet, mapping, conflict, debug;
};

ModelFlags userConfigOnly() {
    ModelFlags f;
    f.userConfigOnlyModel = true;
    return f;
}
ModelFlags extendedFrame() {
    ModelFlags f;
    f.extendedFrameModel = true;
    return f;
}
ModelFlags extendedFrameUserConfigOnly() {
    ModelFlags f = extendedFrame();
    f.userConfigOnlyModel = true;
    return f;
}
} // namespace

TEST(CommandEnabling, DeviceTypeAndModelRules) {
    const char* master = "Modbus Master";
    const char* slave = "Modbus Slave";
    const std::vector<DeviceCase> cases = {
        // type, flags, subnet 1, serial, ethernet, mapping, conflict, debug
        {4, {}, master, false, true, true, true, true},
        {4, {}, slave, false, true, true, true, false},
        {4, userConfigOnly(), master, false, true, false, true, false},
        {0, {}, master, true, false, true, false, false},
        {1, {}, master, true, false, true, false, false},
        {2, {}, master, true, false, false, false, false},
        {3, {}, slave, true, false, true, false, true},
        {3, userConfigOnly(), master, true, false, false, false, false},
        {5, {}, master, true, false, false, false, false},
        {6, {}, master, true, false, false, false, false},
        {7, {}, master, true, false, true, false, false},
        {0, extendedFrame(), slave, true, false, true, false, true},
        {2, extendedFrameUserConfigOnly(), master, true, false, false, false, false},
    };
    for (const DeviceCase& c : cases) {
        ProjectState state;
        state.DeviceType = c.type;
        state.flags = c.flags;
        Project project;
        project.subnets[0].protocolType = c.subnet1Protocol;
        const CommandEnabling e = evaluateCommandEnabling(state, project, EditFlags{}, TreeSelection{});
        SCOPED_TRACE(testing::Message() << "type " << c.type << " subnet 1 " << c.subnet1Protocol);
        EXPECT_EQ(e.serialConnection, c.serial);
        EXPECT_EQ(e.ethernetConnection, c.ethernet);
        EXPECT_EQ(e.calculateMapping, c.mapping);
        EXPECT_EQ(e.conflictDetection, c.conflict);
        EXPECT_EQ(e.debug, c.debug);
        // A command the project's kind switches off says why, and only then.
        for (bool CommandEnabling::*rule : {&CommandEnabling::serialConnection, &CommandEnabling::ethernetConnection,
                                            &CommandEnabling::calculateMapping, &CommandEnabling::conflictDetection,
                                            &CommandEnabling::debug})
            EXPECT_EQ(disabledReason(rule, state, project).empty(), e.*rule);
    }
    ProjectState ethernet;
    ethernet.DeviceType = 4;
    Project slaveFirst;
    slaveFirst.subnets[0].protocolType = slave;
    EXPECT_EQ(disabledReason(&CommandEnabling::debug, ethernet, slaveFirst),
              "Debug is off: subnet 1 is not a Modbus Master, so the gateway reports no command status.");
    EXPECT_EQ(disabledReason(&CommandEnabling::addNode, ethernet, slaveFirst), "");
}

TEST(CommandEnabling, EditCommandsFollowTheEditorFlagsAndSelection) {
    ProjectState state;
    Project project;
    const EditFlags flags{true, false, true, false}; // add node, add command, delete node, delete command
    CommandEnabling e = evaluateCommandEnabling(state, project, flags, TreeSelection{});
    EXPECT_TRUE(e.addNode);
    EXPECT_FALSE(e.addCommand);
    EXPECT_TRUE(e.deleteNode);
    EXPECT_FALSE(e.deleteCommand);
    EXPECT_FALSE(e.copyNode);
    EXPECT_FALSE(e.pasteNode);

    e = evaluateCommandEnabling(state, project, EditFlags{}, TreeSelection{true, true, false});
    EXPECT_TRUE(e.copyNode);
    EXPECT_FALSE(e.pasteNode) << "nothing copied yet";
    e = evaluateCommandEnabling(state, project, EditFlags{}, TreeSelection{false, false, true});
    EXPECT_FALSE(e.pasteNode) << "the fieldbus item takes no paste";
    e = evaluateCommandEnabling(state, project, EditFlags{}, TreeSelection{false, true, true});
    EXPECT_TRUE(e.pasteNode);
}

TEST(CommandEnabling, SelectionFactsAndContextMenuFromTheTree) {
    ScriptedPrompter prompter;
    Document document(prompter);
    document.newDocument();
    Editor& editor = document.editor();
    TreeModel& tree = editor.tree();
    const ItemId ethernet = tree.topLevel()[0];
    const ItemId subnet1 = tree.topLevel()[1];
    const ItemId subnet2 = tree.topLevel()[2];
    document.project().subnets[0].protocolType = tr(Str::ProtocolModbusMaster);
    document.project().subnets[1].protocolType = tr(Str::ProtocolModbusSlave);
    const ItemId node = tree.insert(subnet1, "Node-1", 1);
    const ItemId command = tree.insert(node, tr(Str::Fc03ReadHoldingRegister), 1);
    const ItemId slaveNode = tree.insert(subnet2, "Node-1", 1);

    editor.selectItem(node);
    TreeSelection s = treeSelectionOf(editor);
    EXPECT_TRUE(s.selectionIsNodeName);
    EXPECT_TRUE(s.selectionIsSubnetOrNode);
    EXPECT_FALSE(s.copyBufferValid);
    EXPECT_TRUE(evaluateCommandEnabling(editor).addCommand);

    editor.selectItem(command);
    s = treeSelectionOf(editor);
    EXPECT_FALSE(s.selectionIsNodeName);
    EXPECT_FALSE(s.selectionIsSubnetOrNode);
    EXPECT_TRUE(evaluateCommandEnabling(editor).deleteCommand);

    EXPECT_FALSE(treeContextMenuAllowed(tree, document.project(), kNoItem));
    EXPECT_FALSE(treeContextMenuAllowed(tree, document.project(), ethernet));
    EXPECT_TRUE(treeContextMenuAllowed(tree, document.project(), subnet1));
    EXPECT_TRUE(treeContextMenuAllowed(tree, document.project(), node));
    EXPECT_TRUE(treeContextMenuAllowed(tree, document.project(), command));
    EXPECT_FALSE(treeContextMenuAllowed(tree, document.project(), subnet2));
    EXPECT_FALSE(treeContextMenuAllowed(tree, document.project(), slaveNode));
}
