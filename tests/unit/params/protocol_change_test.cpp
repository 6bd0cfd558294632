#include "core/document/document.h"
#include "core/editor/tree_items.h"
#include "core/model/project_defaults.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace veltrane;

namespace {
const std::string kAskDelete =
    "If you continue, all nodes and commands configurations under the Modbus Master will be deleted, whether to "
    "continue?";
const std::string kAskMaster = "Are you sure you want to change the protocol type to Modbus Master?";

// A gateway whose subnet protocol can be changed in the grid, driven the way the widgets drive it.
class ProtocolChange : public ::testing::Test {
protected:
    void open(std::int32_t deviceType) {
        document.newDocument();
        document.state().DeviceType = deviceType;
        applyProjectDefaults(document.project(), document.state());
        editor().rebuildTree();
    }
    Editor& editor() { return document.editor(); }
    TreeModel& tree() { return editor().tree(); }
    CONFIG& subnet(int index) { return document.project().subnets[static_cast<std::size_t>(index)]; }
    ItemId top(const std::string& text) {
        for (ItemId id : tree().topLevel())
            if (tree().text(id) == text)
                return id;
        ADD_FAILURE() << text;
        return kNoItem;
    }
    void addNodeWithCommands(const std::string& subnetText, int commands) {
        editor().selectItem(top(subnetText));
        ASSERT_TRUE(editor().addNode());
        editor().selectItem(tree().children(top(subnetText)).back());
        for (int c = 0; c < commands; ++c)
            ASSERT_TRUE(editor().addCommand(2));
    }
    void pick(int row, const std::string& option) {
        editor().onGridClick(row, 1);
        const auto& options = editor().view().options;
        const auto at = std::find(options.begin(), options.end(), option);
        ASSERT_NE(at, options.end()) << option;
        editor().commitOption(static_cast<int>(at - options.begin()));
    }

    ScriptedPrompter prompter;
    Document document{prompter};
};
}  // namespace

TEST_F(ProtocolChange, AwayFromMasterAskedAndCancelledKeepsEverything) {
    open(device::ProfibusFilter);
    addNodeWithCommands("Subnet", 2);
    addNodeWithCommands("Subnet", 1);
    editor().selectItem(top("Subnet"));
    document.state().ProjectModified = false;
    prompter.addAnswer(Answer::Cancel);

    pick(0, "User Config");

    EXPECT_EQ(prompter.shown(), std::vector<std::string>{kAskDelete});
    EXPECT_EQ(subnet(0).protocolType, "Modbus Master");
    EXPECT_EQ(subnet(0).nodeCount, 2);
    EXPECT_EQ(subnet(0).commandCount, 3);
    EXPECT_EQ(tree().children(top("Subnet")).size(), 2u);
    EXPECT_EQ(editor().grid().text(0, 1), "Modbus Master");
    EXPECT_FALSE(document.state().ProjectModified);
    EXPECT_TRUE(editor().editFlags().addNode);
}

TEST_F(ProtocolChange, AwayFromMasterConfirmedDropsNodesAndCommands) {
    open(device::ProfibusFilter);
    addNodeWithCommands("Subnet", 2);
    editor().selectItem(top("Subnet"));
    document.state().ProjectModified = false;
    prompter.addAnswer(Answer::Ok);

    pick(0, "User Config");

    EXPECT_EQ(prompter.shown(), std::vector<std::string>{kAskDelete});
    EXPECT_EQ(subnet(0).protocolType, "User Config");
    EXPECT_EQ(subnet(0).nodeCount, 0);
    EXPECT_EQ(subnet(0).commandCount, 0);
    EXPECT_EQ(subnet(0).nodes[0].name, "Node-1");  // the slots are free, not wiped
    EXPECT_TRUE(tree().children(top("Subnet")).empty());
    EXPECT_EQ(tree().selected(), top("Subnet"));
    EXPECT_TRUE(document.state().ProjectModified);
    EXPECT_FALSE(editor().editFlags().addNode);
    // The grid shows the user-config layout at once.
    EXPECT_EQ(editor().grid().text(0, 1), "User Config");
    EXPECT_EQ(editor().grid().text(12, 0), "Frame Type");
    EXPECT_EQ(editor().grid().text(12, 1), "Time Interval between Characters");

    // Back to master: question 183, and the subnet starts without nodes.
    prompter.clearShown();
    prompter.addAnswer(Answer::Cancel);
    pick(0, "Modbus Master");
    EXPECT_EQ(prompter.shown(), std::vector<std::string>{kAskMaster});
    EXPECT_EQ(subnet(0).protocolType, "User Config");
    EXPECT_EQ(editor().grid().text(0, 1), "User Config");

    prompter.clearShown();
    prompter.addAnswer(Answer::Ok);
    pick(0, "Modbus Master");
    EXPECT_EQ(prompter.shown(), std::vector<std::string>{kAskMaster});
    EXPECT_EQ(subnet(0).protocolType, "Modbus Master");
    EXPECT_TRUE(tree().children(top("Subnet")).empty());
    EXPECT_TRUE(editor().editFlags().addNode);
    EXPECT_TRUE(editor().addNode());
}

TEST_F(ProtocolChange, OnlyTheChangedSubnetLosesItsItems) {
    open(device::FourSubnets);
    addNodeWithCommands("Subnet 2", 1);
    addNodeWithCommands("Subnet 3", 2);
    editor().selectItem(top("Subnet 3"));
    prompter.addAnswer(Answer::Ok);

    pick(0, "Custom protocol");

    EXPECT_EQ(subnet(2).protocolType, "Custom protocol");
    EXPECT_TRUE(tree().children(top("Subnet 3")).empty());
    ASSERT_EQ(tree().children(top("Subnet 2")).size(), 1u);
    EXPECT_EQ(tree().children(tree().children(top("Subnet 2")).front()).size(), 1u);
    EXPECT_EQ(editor().editFlags(), EditFlags{});
    EXPECT_EQ(editor().grid().text(1, 1), "300");  // the custom set's own baud rate
}

TEST_F(ProtocolChange, BetweenTwoOtherProtocolsNothingIsAsked) {
    open(device::ProfibusFilter);
    editor().selectItem(top("Subnet"));
    prompter.addAnswer(Answer::Ok);
    pick(0, "Modbus Slave");
    ASSERT_EQ(subnet(0).protocolType, "Modbus Slave");
    prompter.clearShown();

    pick(0, "User Config");

    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(subnet(0).protocolType, "User Config");
}

TEST_F(ProtocolChange, PickingTheSameProtocolAsksNothing) {
    open(device::DeviceNet);
    addNodeWithCommands("Subnet", 1);
    editor().selectItem(top("Subnet"));
    pick(0, "Modbus Master");
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(subnet(0).nodeCount, 1);
}
