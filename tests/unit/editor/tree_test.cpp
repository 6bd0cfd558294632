#include "core/document/document.h"
#include "core/editor/tree_items.h"

#include <gtest/gtest.h>

using namespace veltrane;

namespace {
std::vector<std::string> topTexts(const TreeModel& tree) {
    std::vector<std::string> out;
    for (ItemId id : tree.topLevel())
        out.push_back(tree.text(id));
    return out;
}
}  // namespace

TEST(Tree, NewProjectShowsEthernetAndTwoSubnets) {
    ScriptedPrompter prompter;
    Document document(prompter);
    document.newDocument();
    const TreeModel& tree = document.editor().tree();
    EXPECT_EQ(topTexts(tree), (std::vector<std::string>{"Ethernet", "Subnet 1", "Subnet 2"}));
    EXPECT_EQ(tree.selected(), tree.topLevel().front());
    EXPECT_EQ(document.editor().editFlags(), EditFlags{});
}

TEST(Tree, TopItemsPerLayout) {
    struct Case {
        std::int32_t deviceType;
        bool single;
        std::vector<std::string> texts;
    };
    const std::vector<Case> cases = {
        {0, false, {"Fieldbus", "Subnet"}},
        {2, false, {"Subnet 1", "Subnet 2", "Subnet 3", "Subnet 4"}},
        {4, false, {"Ethernet", "Subnet 1", "Subnet 2"}},
        {4, true, {"Ethernet", "Subnet 1"}},
        {5, false, {"Fieldbus", "Subnet"}},
        {8, false, {}},
    };
    for (const Case& c : cases) {
        ScriptedPrompter prompter;
        Project project;
        ProjectState state;
        state.DeviceType = c.deviceType;
        state.flags.singleSubnetModel = c.single;
        Editor editor(project, state, prompter);
        editor.buildTopItems();
        EXPECT_EQ(topTexts(editor.tree()), c.texts) << c.deviceType;
    }
}

TEST(Tree, RebuildPlacesCommandsUnderTheirNodes) {
    ScriptedPrompter prompter;
    Document document(prompter);
    document.newDocument();
    CONFIG& subnet = document.project().subnets[0];
    subnet.nodeCount = 2;
    subnet.nodes[0].name = "Node-1";
    subnet.nodes[1].name = "Node-2";
    subnet.commandCount = 3;
    subnet.commands[0].functionCode = "3";
    subnet.commands[0].nodeIndex = 2;
    subnet.commands[1].functionCode = "7";  // keeps its slot, shows no item
    subnet.commands[1].nodeIndex = 1;
    subnet.commands[2].functionCode = "16";
    subnet.commands[2].nodeIndex = 9;  // no such node: no item
    Editor& editor = document.editor();
    editor.rebuildTree();
    const TreeModel& tree = editor.tree();
    const ItemId subnet1 = tree.topLevel()[1];
    ASSERT_EQ(tree.children(subnet1).size(), 2u);
    const ItemId node2 = tree.children(subnet1)[1];
    EXPECT_EQ(tree.path(tree.children(node2).at(0)), "Subnet 1/Node-2/03 Read Holding Register");
    EXPECT_EQ(tree.data(tree.children(node2).at(0)), 1);
    EXPECT_TRUE(tree.children(tree.children(subnet1)[0]).empty());
    EXPECT_EQ(kindOf(tree, node2), ItemKind::Node);
    EXPECT_EQ(subnetOf(tree, node2), 1);

    // Subnet 2's nodes are shown only while subnet 1 is a Modbus master.
    document.project().subnets[1].nodeCount = 1;
    document.project().subnets[1].nodes[0].name = "Node-5";
    subnet.protocolType = "User Config";
    editor.rebuildTree();
    EXPECT_TRUE(tree.children(tree.topLevel()[2]).empty());
}
