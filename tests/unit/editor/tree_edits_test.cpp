#include "core/editor/editor_layout.h"
#include "core/editor/select_command.h"
#include "support/editor_fixture.h"
#include "core/strings/strings.h"

using namespace veltrane;
using veltrane::testing::EditorFixture;

namespace {

class TreeEdits : public EditorFixture {
protected:
    // Puts nodes with the given names into subnet 1 and rebuilds the tree.
    void setNodes(std::initializer_list<const char*> names) {
        CONFIG& s = subnet(0);
        s.nodeCount = 0;
        for (const char* name : names) {
            NodeEntry& node = s.nodes[static_cast<std::size_t>(s.nodeCount++)];
            node.name = name;
            node.address = std::to_string(nodeNumberOfText(name));
        }
        editor().rebuildTree();
    }

    // Every command item sits under the node its record names, at the slot its data names.
    void expectTreeMatchesRecords(const std::string& subnetPath, int subnetIndex) {
        const CONFIG& s = subnet(subnetIndex);
        int shown = 0;
        for (ItemId nodeItem : tree().children(find(subnetPath))) {
            const int n = tree().data(nodeItem);
            ASSERT_GE(n, 1);
            ASSERT_LE(n, s.nodeCount);
            EXPECT_EQ(tree().text(nodeItem), s.nodes[static_cast<std::size_t>(n - 1)].name);
            for (ItemId commandItem : tree().children(nodeItem)) {
                const int c = tree().data(commandItem);
                ASSERT_GE(c, 1);
                ASSERT_LE(c, s.commandCount);
                const INSTRUCTION& command = s.commands[static_cast<std::size_t>(c - 1)];
                EXPECT_EQ(command.nodeIndex, n);
                EXPECT_EQ(tree().text(commandItem), commandLabel(command.functionCode));
                ++shown;
            }
        }
        EXPECT_EQ(shown, s.commandCount);
    }
};

TEST_F(TreeEdits, AddNodeNumbersBelowTheSmallestOrAboveTheLargest) {
    struct Case {
        std::initializer_list<const char*> existing;
        std::string expected;
    };
    const Case cases[] = {
        {{}, "Node-1"},
        {{"Node-2", "Node-3"}, "Node-1"},
        {{"Node-1", "Node-3"}, "Node-4"},
        {{"Node-7", "Node-5"}, "Node-4"},
        {{"Node-0"}, "Node-1"},
        {{"Node-x"}, "Node-1"},
        // Past the highest slave address the lowest free one is taken.
        {{"Node-1", "Node-247"}, "Node-2"},
        {{"Node-1", "Node-2", "Node-247"}, "Node-3"},
        {{"Node-0", "Node-247"}, "Node-1"},
        {{"Node-1", "Node-300"}, "Node-2"},
    };
    for (const Case& c : cases) {
        setNodes(c.existing);
        select("Subnet 1");
        state().ProjectModified = false;
        ASSERT_TRUE(editor().addNode());
        const ItemId added = tree().children(find("Subnet 1")).back();
        EXPECT_EQ(tree().text(added), c.expected);
        const NodeEntry& node = subnet(0).nodes[static_cast<std::size_t>(subnet(0).nodeCount - 1)];
        EXPECT_EQ(node.name, c.expected);
        EXPECT_EQ("Node-" + node.address, c.expected);
        EXPECT_EQ(tree().data(added), subnet(0).nodeCount);
        EXPECT_TRUE(tree().isExpanded(find("Subnet 1")));
        EXPECT_TRUE(state().ProjectModified);
    }
}

TEST_F(TreeEdits, LimitsRefuseTheFortyNinthNodeAndCommand) {
    select("Subnet 1");
    for (int i = 0; i < kMaxNodes; ++i)
        ASSERT_TRUE(editor().addNode());
    EXPECT_FALSE(editor().addNode());
    EXPECT_EQ(prompter.shown(), std::vector<std::string>{"Number of nodes overrun!"});
    EXPECT_EQ(subnet(0).nodeCount, kMaxNodes);
    EXPECT_EQ(tree().children(find("Subnet 1")).size(), 48u);

    // Commands are counted per subnet: two nodes share the 48 slots.
    prompter.clearShown();
    select("Subnet 1/Node-1");
    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE(editor().addCommand(2));
    select("Subnet 1/Node-2");
    for (int i = 0; i < 18; ++i)
        ASSERT_TRUE(editor().addCommand(0));
    EXPECT_FALSE(editor().addCommand(0));
    EXPECT_EQ(prompter.shown(), std::vector<std::string>{"Number of commands overrun!"});
    EXPECT_EQ(subnet(0).commandCount, kMaxCommands);
    EXPECT_EQ(tree().children(find("Subnet 1/Node-2")).size(), 18u);
}

TEST_F(TreeEdits, AddCommandFillsTheNewSlotByFunctionCode) {
    struct Case {
        int entry;
        std::string code, dataCount, byteCount;
    };
    const Case cases[] = {
        {0, "1", "", ""},   {2, "3", "", ""},   {4, "5", "1", "1"},
        {5, "6", "1", "2"}, {12, "15", "", ""}, {13, "16", "", ""},
    };
    const std::string node = addNodeWithCommands("Subnet 2", {});
    subnet(1).nodes[0].address = "9";
    for (const Case& c : cases) {
        select(node);
        // A stale slot (a deleted command's leftovers) must not leak into the new command.
        subnet(1).commands[static_cast<std::size_t>(subnet(1).commandCount)].mappingAddress = "77";
        ASSERT_TRUE(editor().addCommand(c.entry));
        const INSTRUCTION& command = subnet(1).commands[static_cast<std::size_t>(subnet(1).commandCount - 1)];
        EXPECT_EQ(command.functionCode, c.code);
        EXPECT_EQ(command.dataCount, c.dataCount);
        EXPECT_EQ(command.byteCount, c.byteCount);
        EXPECT_EQ(command.slaveAddress, "9");
        EXPECT_EQ(command.nodeIndex, 1);
        EXPECT_EQ(command.mappingAddress, "");
        EXPECT_EQ(command.filterOrSwap, "No Swap");
        EXPECT_EQ(command.checkType, "CRC");
        EXPECT_EQ(command.scanType, "Fast Scan");
    }
    expectTreeMatchesRecords("Subnet 2", 1);
    for (int entry = 6; entry <= 11; ++entry)
        EXPECT_FALSE(editor().addCommand(entry));

    state().flags.dataFilterModel = true;
    ASSERT_TRUE(editor().addCommand(2));
    EXPECT_EQ(subnet(1).commands[static_cast<std::size_t>(subnet(1).commandCount - 1)].filterOrSwap, "Word");
}

TEST_F(TreeEdits, SelectCommandIgnoresEntriesSevenToTwelveAndStaysUsable) {
    const std::vector<std::string> texts = selectCommandTexts();
    ASSERT_EQ(texts.size(), 14u);
    EXPECT_EQ(texts[7], "08 Diagnostics");
    EXPECT_EQ(texts[13], "16 Preset Multiple Registers");
    const std::string node = addNodeWithCommands("Subnet 1", {});
    state().ProjectModified = false;
    EXPECT_FALSE(selectCommandActivated(editor(), 7));
    EXPECT_FALSE(state().ProjectModified);
    EXPECT_EQ(subnet(0).commandCount, 0);
    EXPECT_TRUE(selectCommandActivated(editor(), 13));
    EXPECT_TRUE(selectCommandActivated(editor(), 0));
    EXPECT_TRUE(state().ProjectModified);
    EXPECT_EQ(tree().children(find(node)).size(), 2u);

    // The list stays open when the selection leaves the node: nothing is added or marked.
    select("Subnet 1");
    state().ProjectModified = false;
    EXPECT_FALSE(selectCommandActivated(editor(), 0));
    EXPECT_FALSE(state().ProjectModified);
    EXPECT_EQ(subnet(0).commandCount, 2);
}

TEST_F(TreeEdits, DeleteNodeRemovesItsCommandsAndRenumbersTheRest) {
    for (EditOrigin origin : {EditOrigin::Menu, EditOrigin::ContextMenu}) {
        document.newDocument();
        addNodeWithCommands("Subnet 1", {3, 1});
        addNodeWithCommands("Subnet 1", {4, 5});
        addNodeWithCommands("Subnet 1", {16});
        select("Subnet 1/Node-1");
        editor().addCommand(5); // node 1's commands need not be contiguous
        select("Subnet 1/Node-2");
        state().ProjectModified = false;
        ASSERT_TRUE(editor().deleteNode(origin));

        const CONFIG& s = subnet(0);
        EXPECT_TRUE(state().ProjectModified);
        ASSERT_EQ(s.nodeCount, 2);
        EXPECT_EQ(s.nodes[1].name, "Node-3"); // moved to slot 2, keeps its name
        ASSERT_EQ(s.commandCount, 4);
        const std::vector<std::pair<std::string, int>> expected = {{"3", 1}, {"1", 1}, {"16", 2}, {"6", 1}};
        for (std::size_t c = 0; c < expected.size(); ++c) {
            EXPECT_EQ(s.commands[c].functionCode, expected[c].first);
            EXPECT_EQ(s.commands[c].nodeIndex, expected[c].second);
        }
        expectTreeMatchesRecords("Subnet 1", 0);
        EXPECT_EQ(tree().selected(), tree().topLevel().front());
        EXPECT_TRUE(tree().isExpanded(find("Subnet 1")));
        EXPECT_EQ(tree().isExpanded(find("Subnet 1/Node-1")), origin == EditOrigin::ContextMenu);
        EXPECT_FALSE(editor().editFlags().deleteNode);
    }
}

TEST_F(TreeEdits, DeleteCommandClosesTheGapInRecordsAndItems) {
    addNodeWithCommands("Subnet 1", {1, 2});
    addNodeWithCommands("Subnet 1", {3});
    select("Subnet 1/Node-1");
    editor().addCommand(3);
    select("Subnet 1/Node-1/02 Read Input Status");
    state().ProjectModified = false;
    ASSERT_TRUE(editor().deleteCommand());
    EXPECT_TRUE(state().ProjectModified);
    const CONFIG& s = subnet(0);
    ASSERT_EQ(s.commandCount, 3);
    EXPECT_EQ(s.commands[1].functionCode, "3");
    EXPECT_EQ(s.commands[2].functionCode, "4");
    expectTreeMatchesRecords("Subnet 1", 0);
    // The menu variant leaves the neighbour selected and shown.
    EXPECT_EQ(tree().path(tree().selected()), "Subnet 1/Node-1/04 Read Input Register");
    EXPECT_EQ(editor().view().selectedCommandIndex, 3);

    select("Subnet 1/Node-2/03 Read Holding Register");
    ASSERT_TRUE(editor().deleteCommand(EditOrigin::ContextMenu));
    EXPECT_EQ(tree().selected(), tree().topLevel().front());
    expectTreeMatchesRecords("Subnet 1", 0);

    select("Subnet 1/Node-1");
    EXPECT_FALSE(editor().deleteCommand()); // a node is no command
}

TEST_F(TreeEdits, PasteCopiesTheSourceNodesCommandsAsTheyAreAtPasteTime) {
    addNodeWithCommands("Subnet 1", {3, 15});
    addNodeWithCommands("Subnet 1", {4});
    subnet(0).commands[0].mappingAddress = "10";
    subnet(0).commands[0].byteCount = "4";
    subnet(0).commands[2].slaveAddress = "1"; // another node's command with the same address text
    select("Subnet 1/Node-1");
    ASSERT_TRUE(editor().canCopyNode());
    ASSERT_TRUE(editor().copyNode());
    subnet(0).commands[1].scanType = "Slow Scan"; // changed after the copy: the paste sees it

    select("Subnet 1");
    ASSERT_TRUE(editor().canPasteNode());
    ASSERT_TRUE(editor().pasteNode());
    const CONFIG& s = subnet(0);
    ASSERT_EQ(s.nodeCount, 3);
    EXPECT_EQ(s.nodes[2].name, "Node-3");
    ASSERT_EQ(s.commandCount, 6);
    for (int c = 3; c < 6; ++c) {
        INSTRUCTION expected = s.commands[static_cast<std::size_t>(c - 3)];
        expected.slaveAddress = "3";
        expected.nodeIndex = 3;
        EXPECT_EQ(s.commands[static_cast<std::size_t>(c)], expected) << c;
    }
    EXPECT_EQ(s.commands[3].mappingAddress, "10");
    EXPECT_EQ(s.commands[4].scanType, "Slow Scan");
    expectTreeMatchesRecords("Subnet 1", 0);
    EXPECT_EQ(tree().selected(), tree().topLevel().front());

    // Across subnets: onto a node of subnet 2 the new node lands in subnet 2.
    addNodeWithCommands("Subnet 2", {});
    select("Subnet 2/Node-1");
    ASSERT_TRUE(editor().pasteNode());
    EXPECT_EQ(subnet(1).nodeCount, 2);
    EXPECT_EQ(subnet(1).commandCount, 3);
    EXPECT_EQ(subnet(1).commands[0].nodeIndex, 2);
    EXPECT_EQ(subnet(1).commands[0].slaveAddress, "2");
    expectTreeMatchesRecords("Subnet 2", 1);
}

TEST_F(TreeEdits, PasteStopsAtTheCommandLimitKeepingWhatWasCopied) {
    addNodeWithCommands("Subnet 1", {3, 3, 3});
    select("Subnet 1/Node-1");
    for (int i = 0; i < 44; ++i)
        editor().addCommand(0); // 47 commands in all
    select("Subnet 1/Node-1");
    editor().copyNode();
    select("Subnet 1");
    ASSERT_TRUE(editor().pasteNode());
    EXPECT_EQ(prompter.shown(), std::vector<std::string>{"Number of commands overrun!"});
    EXPECT_EQ(subnet(0).nodeCount, 2);
    EXPECT_EQ(subnet(0).commandCount, 48);
    EXPECT_EQ(tree().children(find("Subnet 1/Node-2")).size(), 1u);
    EXPECT_EQ(tree().selected(), find("Subnet 1")); // no expandAll after the refusal
}

TEST_F(TreeEdits, CopyAndPasteEnabling) {
    select("Subnet 1");
    EXPECT_FALSE(editor().canCopyNode());
    EXPECT_FALSE(editor().canPasteNode()); // nothing copied yet
    addNodeWithCommands("Subnet 1", {});
    subnet(0).nodes[0].name = "Node-0";
    subnet(0).nodes[0].address = "0";
    editor().rebuildTree();
    select("Subnet 1/Node-0");
    EXPECT_TRUE(editor().copyNode()); // 0 is a valid slave address
    EXPECT_EQ(editor().copyBuffer().sourceNode, 0);
    select("Ethernet");
    EXPECT_FALSE(editor().canPasteNode());
    select("Subnet 2");
    EXPECT_TRUE(editor().canPasteNode());
    document.newDocument();
    EXPECT_FALSE(editor().copyBuffer().valid);
}

TEST_F(TreeEdits, SelectionAndContextMenuSetTheEditFlags) {
    addNodeWithCommands("Subnet 1", {3});
    subnet(1).protocolType = "User Config";
    subnet(1).nodeCount = 1;
    subnet(1).nodes[0].name = "Node-1";
    editor().rebuildTree(); // subnet 2's node shows: subnet 1 is still a master
    struct Case {
        std::string path;
        EditFlags onSelect;
        bool menu;
        EditFlags onMenu;
    };
    const Case cases[] = {
        {"Ethernet", {}, false, {}},
        {"Subnet 1", {true, false, false, false}, true, {true, false, false, false}},
        {"Subnet 1/Node-1", {true, true, true, false}, true, {true, true, true, false}},
        {"Subnet 1/Node-1/03 Read Holding Register",
         {false, false, false, true},
         true,
         {false, false, false, true}},
        {"Subnet 2", {}, false, {}},
        {"Subnet 2/Node-1", {true, true, true, false}, false, {}},
    };
    for (const Case& c : cases) {
        select(c.path);
        EXPECT_EQ(editor().editFlags(), c.onSelect) << c.path;
        EXPECT_EQ(editor().contextMenu(find(c.path)), c.menu) << c.path;
        EXPECT_EQ(editor().editFlags(), c.onMenu) << c.path;
        EXPECT_EQ(tree().selected(), find(c.path));
    }
    EXPECT_FALSE(editor().contextMenu(kNoItem));
}

TEST(EditorLayout, SplittersAcceptOnlyTheirRange) {
    EXPECT_FALSE(treeSplitAccepted(99, 1000));
    EXPECT_TRUE(treeSplitAccepted(100, 1000));
    EXPECT_TRUE(treeSplitAccepted(800, 1000));
    EXPECT_FALSE(treeSplitAccepted(801, 1000));
    EXPECT_FALSE(gridSplitAccepted(99, 600));
    EXPECT_TRUE(gridSplitAccepted(550, 600));
    EXPECT_FALSE(gridSplitAccepted(551, 600));
    EXPECT_EQ(gridRowHeight(96), 20);
}

} // namespace

namespace {

TEST(RebuildTree, TypeFiveShowsLayoutOneAndUnknownTypesKeepTheTree) {
    ScriptedPrompter prompter;
    Document document(prompter);
    document.newDocument();
    Editor& editor = document.editor();
    CONFIG& subnet = document.project().subnets[0];
    subnet.nodeCount = 1;
    subnet.nodes[0].name = "Node-1";
    document.state().DeviceType = device::ProfibusSlave;
    editor.rebuildTree();
    ASSERT_EQ(editor.tree().topLevel().size(), 2u);
    EXPECT_EQ(editor.tree().path(editor.tree().children(editor.tree().topLevel()[1]).at(0)), "Subnet/Node-1");

    document.state().DeviceType = 9;
    const std::vector<ItemId> before = editor.tree().allItems();
    editor.rebuildTree();
    EXPECT_EQ(editor.tree().allItems(), before);
    EXPECT_EQ(editor.tree().selected(), editor.tree().topLevel().front());
}

}  // namespace
