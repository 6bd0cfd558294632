#include "support/editor_fixture.h"

using namespace veltrane;
using veltrane::testing::EditorFixture;

namespace {

class NodeRows : public EditorFixture {};

TEST_F(NodeRows, SlaveAddressRenamesTheNodeAndItsCommands) {
    struct Case {
        std::string typed;
        std::string stored; // the node's address afterwards ("3" means refused)
    };
    const Case cases[] = {
        {"7", "7"},   {"0", "0"},  {"247", "247"}, {"248", "3"}, {"-1", "3"},
        {"007", "3"}, {"+7", "3"}, {"", "3"},      {"7x", "3"},
    };
    for (const Case& c : cases) {
        document.newDocument();
        addNodeWithCommands("Subnet 1", {});
        addNodeWithCommands("Subnet 1", {});
        const std::string node = addNodeWithCommands("Subnet 1", {3, 16}); // Node-3
        select(node);
        EXPECT_EQ(editor().grid().text(0, 0), "Slave Address (0~247)");
        EXPECT_EQ(type(0, c.typed), c.stored) << c.typed;
        const NodeEntry& entry = subnet(0).nodes[2];
        EXPECT_EQ(entry.address, c.stored) << c.typed;
        EXPECT_EQ(entry.name, "Node-" + c.stored);
        EXPECT_EQ(tree().text(tree().selected()), "Node-" + c.stored);
        // The commands follow their node; a refused text leaves them alone.
        EXPECT_EQ(subnet(0).commands[0].slaveAddress, c.stored) << c.typed;
        EXPECT_EQ(subnet(0).commands[1].slaveAddress, c.stored) << c.typed;
        EXPECT_TRUE(prompter.shown().empty());
    }
}

TEST_F(NodeRows, AnAddressUsedByAnotherNodeIsRefusedWithAMessage) {
    addNodeWithCommands("Subnet 1", {});
    addNodeWithCommands("Subnet 1", {});
    select("Subnet 1/Node-2");
    EXPECT_EQ(type(0, "1"), "2");
    EXPECT_EQ(prompter.shown(), std::vector<std::string>{"The node name can not have a repeat!"});
    EXPECT_EQ(subnet(0).nodes[1].address, "2");
    prompter.clearShown();
    EXPECT_EQ(type(0, "2"), "2"); // its own address is no repeat
    EXPECT_TRUE(prompter.shown().empty());
    // Nodes of the other subnet do not count.
    addNodeWithCommands("Subnet 2", {});
    select("Subnet 2/Node-1");
    EXPECT_EQ(type(0, "2"), "2");
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(NodeRows, HelpAndEditability) {
    addNodeWithCommands("Subnet 1", {});
    select("Subnet 1/Node-1");
    editor().onGridClick(0, 1);
    EXPECT_EQ(editor().helpText(), "Modbus Slave Address");
    EXPECT_TRUE(editor().view().editBoxVisible);
    editor().commitEdit();
    editor().onGridClick(1, 1);
    EXPECT_FALSE(editor().view().editBoxVisible);
    EXPECT_EQ(editor().helpText(), "Modbus Slave Address"); // other rows leave the pane alone
}

TEST_F(NodeRows, ACommandShowsItsNodesCurrentAddress) {
    addNodeWithCommands("Subnet 1", {3});
    subnet(0).nodes[0].address = "42";
    select("Subnet 1/Node-1/03 Read Holding Register");
    EXPECT_EQ(editor().grid().text(0, 1), "42");
    EXPECT_EQ(subnet(0).commands[0].slaveAddress, "42");
}

} // namespace
