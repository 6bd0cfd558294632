#include "core/mapping/mapping_calculator.h"

#include "core/editor/editor.h"
#include "support/project_builder.h"

#include <gtest/gtest.h>

using namespace veltrane;
using veltrane::testing::ProjectBuilder;

namespace {

const std::string kQuestion = "Really want to recalculate the mapping address?";

struct Placed {
    std::string mappingAddress;
    std::string byteCount;
};

Placed placed(ProjectBuilder& b, int k, int i) {
    return {b.at(k, i).mappingAddress, b.at(k, i).byteCount};
}

bool operator==(const Placed& a, const Placed& b) {
    return a.mappingAddress == b.mappingAddress && a.byteCount == b.byteCount;
}
std::ostream& operator<<(std::ostream& os, const Placed& p) {
    return os << "{" << p.mappingAddress << ", " << p.byteCount << "}";
}

MappingOutcome calculate(ProjectBuilder& b, ScriptedPrompter& prompter) {
    return calculateMappingAddresses(b.project, b.state, prompter);
}

}  // namespace

TEST(CalculateMapping, CancelAtTheQuestionChangesNothing) {
    ProjectBuilder b;
    b.node(1, "1");
    b.command(1, 1, {"3", "10", "77"});
    const Project before = b.project;
    ScriptedPrompter prompter({Answer::Cancel});
    EXPECT_EQ(calculate(b, prompter), MappingOutcome::Cancelled);
    EXPECT_EQ(b.project, before);
    EXPECT_EQ(prompter.shown(), std::vector<std::string>{kQuestion});
}

TEST(CalculateMapping, GroupsByNodeInNodeSlotOrder) {
    ProjectBuilder b;
    const int nodeA = b.node(1, "5");
    const int nodeB = b.node(1, "9");
    b.command(1, nodeB, {"3", "2"});  // B1
    b.command(1, nodeA, {"3", "1"});  // A1
    b.command(1, nodeB, {"4", "1"});  // B2
    b.command(1, nodeA, {"6", "3"});  // A2, output buffer
    ScriptedPrompter prompter({Answer::Ok});
    ASSERT_EQ(calculate(b, prompter), MappingOutcome::Done);
    EXPECT_EQ(placed(b, 1, 2), (Placed{"0", "2"}));    // A1
    EXPECT_EQ(placed(b, 1, 1), (Placed{"2", "4"}));    // B1
    EXPECT_EQ(placed(b, 1, 3), (Placed{"6", "2"}));    // B2
    EXPECT_EQ(placed(b, 1, 4), (Placed{"4000", "6"}));  // A2
    EXPECT_EQ(prompter.shown().size(), 1u);
}

TEST(CalculateMapping, CursorsAreSharedByTheModbusMasterSubnetsOnly) {
    ProjectBuilder b;
    // Status bytes are not skipped by the calculation.
    b.state.flags.commandStatusModel = true;
    b.project.subnets[0].commandStatus = "2";
    b.node(1, "1");
    b.command(1, 1, {"3", "10"});
    b.command(1, 1, {"15", "9", "", "2"});
    b.node(2, "1");
    b.command(2, 1, {"4", "1"});
    b.command(2, 1, {"16", "1"});
    ScriptedPrompter prompter({Answer::Ok});
    ASSERT_EQ(calculate(b, prompter), MappingOutcome::Done);
    EXPECT_EQ(placed(b, 1, 1), (Placed{"0", "20"}));
    EXPECT_EQ(placed(b, 1, 2), (Placed{"4000", "2"}));  // (9 + 2 + 7) / 8
    EXPECT_EQ(placed(b, 2, 1), (Placed{"14", "2"}));
    EXPECT_EQ(placed(b, 2, 2), (Placed{"4002", "2"}));

    // Subnet 1 no longer a Modbus master: neither validated nor mapped nor moving the cursors.
    ProjectBuilder c = b;
    c.project.subnets[0].protocolType = "User Config";
    c.at(1, 1).dataCount = "";
    c.at(1, 1).mappingAddress = "77";
    ScriptedPrompter again({Answer::Ok});
    ASSERT_EQ(calculate(c, again), MappingOutcome::Done);
    EXPECT_EQ(placed(c, 1, 1), (Placed{"77", "20"}));
    EXPECT_EQ(placed(c, 2, 1), (Placed{"0", "2"}));
    EXPECT_EQ(placed(c, 2, 2), (Placed{"4000", "2"}));
}

TEST(CalculateMapping, FootprintsByFunctionCode) {
    struct Case {
        std::string functionCode, dataCount, mappingBit;
        std::string expectBytes, expectBit;
    };
    const Case cases[] = {
        {"3", "10", "", "20", ""}, {"4", "1", "", "2", ""},     {"6", "1", "", "2", ""},
        {"16", "4", "", "8", ""},  {"1", "10", "3", "2", "3"},  {"2", "8", "", "1", "0"},
        {"5", "1", "", "1", "0"},  {"15", "16", "7", "3", "7"}, {"3", "abc", "", "0", ""},
    };
    for (const Case& c : cases) {
        ProjectBuilder b;
        b.node(1, "1");
        b.command(1, 1, {c.functionCode, c.dataCount, "", c.mappingBit});
        ScriptedPrompter prompter({Answer::Ok});
        ASSERT_EQ(calculate(b, prompter), MappingOutcome::Done) << c.functionCode;
        EXPECT_EQ(b.at(1, 1).byteCount, c.expectBytes) << c.functionCode << " x " << c.dataCount;
        EXPECT_EQ(b.at(1, 1).mappingBit, c.expectBit) << c.functionCode;
    }
}

TEST(CalculateMapping, UnknownCodesAndUnmatchedCommandsKeepTheirValues) {
    ProjectBuilder b;
    b.node(1, "1");
    b.node(1, "1");  // a second node with the same address
    b.command(1, 1, {"7", "4", "33"});
    b.command(1, 1, {"3", "2", "55"});
    b.at(1, 1).byteCount = "9";
    b.at(1, 2).byteCount = "9";
    const int stray = b.command(1, 1, {"4", "1", "66"});
    b.at(1, stray).slaveAddress = "12";  // matches no node
    b.at(1, stray).byteCount = "8";
    b.command(1, 1, {"4", "1"});
    ScriptedPrompter prompter({Answer::Ok});
    ASSERT_EQ(calculate(b, prompter), MappingOutcome::Done);
    EXPECT_EQ(placed(b, 1, 1), (Placed{"33", "9"}));
    EXPECT_EQ(placed(b, 1, stray), (Placed{"66", "8"}));
    // Placed once per matching node: the second placement wins, the first one's space stays used.
    EXPECT_EQ(placed(b, 1, 2), (Placed{"6", "4"}));
    EXPECT_EQ(placed(b, 1, 4), (Placed{"A", "2"}));
}

TEST(CalculateMapping, IncompleteCommandsStopBeforeAnythingIsWritten) {
    ProjectBuilder b;
    b.node(1, "1");
    b.command(1, 1, {"3", "1"});
    b.node(2, "1");
    b.command(2, 1, {"4", "1"});
    b.command(2, 1, {"7", ""});  // never mapped, still validated
    Project before = b.project;
    ScriptedPrompter prompter({Answer::Ok});
    EXPECT_EQ(calculate(b, prompter), MappingOutcome::Incomplete);
    EXPECT_EQ(b.project, before);
    ASSERT_EQ(prompter.shown().size(), 2u);
    EXPECT_EQ(
        prompter.shown()[1],
        "Please properly configure the No.2 command of subnet 2 (function code is 7)  the number of data "
        "options!");

    b.at(2, 2).dataCount = "1";
    b.at(1, 1).startAddress = "";
    before = b.project;
    ScriptedPrompter second({Answer::Ok});
    EXPECT_EQ(calculate(b, second), MappingOutcome::Incomplete);
    EXPECT_EQ(b.project, before);
    ASSERT_EQ(second.shown().size(), 2u);
    EXPECT_EQ(second.shown()[1],
              "Please properly configure the No.1 command of subnet 1 (function code is 3) Modbus register "
              "starting address option!");
}

TEST(CalculateMapping, ExactFillPassesAndTheNextCommandFailsTheStartCheck) {
    for (const bool input : {true, false}) {
        ProjectBuilder b;
        b.node(1, "1");
        b.command(1, 1, {input ? "3" : "16", "200"});
        b.command(1, 1, {input ? "4" : "6", "46"});  // ends exactly at 0x1EB / 0x41EB
        b.command(1, 1, {input ? "1" : "5", "1", "99", ""});
        b.command(1, 1, {input ? "3" : "16", "1", "98"});
        b.at(1, 3).byteCount = "7";
        ScriptedPrompter prompter({Answer::Ok});
        EXPECT_EQ(calculate(b, prompter), MappingOutcome::OutOfRange);
        EXPECT_EQ(placed(b, 1, 2), (Placed{input ? "190" : "4190", "92"}));
        EXPECT_EQ(placed(b, 1, 3), (Placed{"99", "7"}));  // not touched at all
        EXPECT_EQ(b.at(1, 3).mappingBit, "");
        EXPECT_EQ(placed(b, 1, 4), (Placed{"98", ""}));
        ASSERT_EQ(prompter.shown().size(), 2u);
        EXPECT_EQ(prompter.shown()[1],
                  std::string("Subnet1 3th command is mapped starting address out of range!\r\nAutomatic mapping "
                              "process is terminated. Please amended, re-use auto-mapping function!\n") +
                      (input ? "The input buffer holds 492 bytes, 0000 to 01EB; this command would start at 01EC."
                             : "The output buffer holds 492 bytes, 4000 to 41EB; this command would start at 41EC."));
    }
}

TEST(CalculateMapping, AFootprintCrossingTheEndIsWrittenThenReported) {
    ProjectBuilder b;
    b.node(1, "1");
    b.node(1, "2");
    b.command(1, 2, {"4", "1", "50"});   // node 2: after the stop, keeps its value
    b.command(1, 1, {"3", "240"});       // 0x000 .. 0x1DF
    b.command(1, 1, {"1", "100", "70"});  // 0x1E0, 13 bytes: crosses 0x1EB
    ScriptedPrompter prompter({Answer::Ok});
    EXPECT_EQ(calculate(b, prompter), MappingOutcome::OutOfRange);
    EXPECT_EQ(placed(b, 1, 2), (Placed{"0", "480"}));
    EXPECT_EQ(placed(b, 1, 3), (Placed{"1E0", "13"}));
    EXPECT_EQ(b.at(1, 3).mappingBit, "0");
    EXPECT_EQ(placed(b, 1, 1), (Placed{"50", ""}));
    ASSERT_EQ(prompter.shown().size(), 2u);
    EXPECT_EQ(
        prompter.shown()[1],
        "Subnet1 3th command data number is too large, resulting in the start address mapping out of "
        "range!\r\nAutomatic mapping process is terminated. Please amended, re-use auto-mapping function!\n"
        "The input buffer holds 492 bytes, 0000 to 01EB; this command would end at 01EC.");
}

TEST(CalculateMapping, NegativeOrHugeCountsNeverMoveTheCursorBackOrWrap) {
    ProjectBuilder b;
    b.node(1, "1");
    b.command(1, 1, {"3", "4"});
    b.command(1, 1, {"3", "-100"});
    b.command(1, 1, {"3", "1"});
    ScriptedPrompter prompter({Answer::Ok});
    ASSERT_EQ(calculate(b, prompter), MappingOutcome::Done);
    EXPECT_EQ(placed(b, 1, 2), (Placed{"8", "0"}));
    EXPECT_EQ(placed(b, 1, 3), (Placed{"8", "2"}));

    b.at(1, 2).dataCount = "99999999999";
    ScriptedPrompter again({Answer::Ok});
    EXPECT_EQ(calculate(b, again), MappingOutcome::OutOfRange);
    EXPECT_EQ(placed(b, 1, 2), (Placed{"8", "4294967294"}));
}

TEST(CalculateMapping, TheEditorCommandRebuildsTheTreeOnlyOnSuccess) {
    ScriptedPrompter prompter;
    Project project;
    ProjectState state;
    Editor editor(project, state, prompter);
    editor.initialUpdate();
    ASSERT_EQ(editor.tree().topLevel().size(), 3u);
    CONFIG& subnet = project.subnets[0];
    subnet.nodeCount = 1;
    subnet.nodes[0] = {"1", "Node-1"};
    subnet.commandCount = 1;
    subnet.commands[0] = {"1", "3", "0", "600", "", "", "", "No Swap", "CRC", "Fast Scan", 1};

    prompter.addAnswer(Answer::Ok);
    EXPECT_EQ(runCalculateMappingAddress(editor), MappingOutcome::OutOfRange);
    EXPECT_TRUE(editor.tree().children(editor.tree().topLevel()[1]).empty());

    subnet.commands[0].dataCount = "6";
    prompter.addAnswer(Answer::Ok);
    EXPECT_EQ(runCalculateMappingAddress(editor), MappingOutcome::Done);
    const ItemId subnetItem = editor.tree().topLevel()[1];
    ASSERT_EQ(editor.tree().children(subnetItem).size(), 1u);
    const ItemId nodeItem = editor.tree().children(subnetItem)[0];
    EXPECT_EQ(editor.tree().children(nodeItem).size(), 1u);
    EXPECT_TRUE(editor.tree().isExpanded(subnetItem));
    EXPECT_EQ(editor.tree().selected(), editor.tree().topLevel()[0]);
    EXPECT_EQ(subnet.commands[0].byteCount, "12");
}

// New addresses are an edit: closing without saving asks first. A run that changes nothing, or
// that is cancelled, leaves the flag as it was.
TEST(CalculateMapping, ChangedAddressesMarkTheProjectModified) {
    ScriptedPrompter prompter;
    Project project;
    ProjectState state;
    Editor editor(project, state, prompter);
    editor.initialUpdate();
    CONFIG& subnet = project.subnets[0];
    subnet.nodeCount = 1;
    subnet.nodes[0] = {"1", "Node-1"};
    subnet.commandCount = 1;
    subnet.commands[0] = {"1", "3", "0", "6", "", "", "", "No Swap", "CRC", "Fast Scan", 1};

    prompter.addAnswer(Answer::Cancel);
    EXPECT_EQ(runCalculateMappingAddress(editor), MappingOutcome::Cancelled);
    EXPECT_FALSE(state.ProjectModified);

    prompter.addAnswer(Answer::Ok);
    EXPECT_EQ(runCalculateMappingAddress(editor), MappingOutcome::Done);
    EXPECT_TRUE(state.ProjectModified);

    state.ProjectModified = false;
    prompter.addAnswer(Answer::Ok);
    EXPECT_EQ(runCalculateMappingAddress(editor), MappingOutcome::Done);
    EXPECT_FALSE(state.ProjectModified);

    // A stop at a command out of range keeps what was rewritten before it, and says so.
    subnet.commandCount = 2;
    subnet.commands[0].mappingAddress = "77";
    subnet.commands[1] = {"1", "3", "0", "600", "", "", "", "No Swap", "CRC", "Fast Scan", 1};
    prompter.addAnswer(Answer::Ok);
    EXPECT_EQ(runCalculateMappingAddress(editor), MappingOutcome::OutOfRange);
    EXPECT_TRUE(state.ProjectModified);
}

TEST(CalculateMapping, WarnsWhenThePackedCommandsNeedMoreThanTheFieldbusSizes) {
    struct Case {
        const char* name;
        std::int32_t deviceType;
        std::string inputSize, outputSize;
        bool hardwareSized;
        std::vector<std::string> detailLines;  // empty: no warning
    };
    // The commands need 20 input bytes and 4 output bytes.
    const Case cases[] = {
        {"input past 8", device::DeviceNet, "8", "8", false,
         {"Input: the read commands need 20 bytes; the input size set is 8 bytes."}},
        {"both past", device::Profibus, "16", "2", false,
         {"Input: the read commands need 20 bytes; the input size set is 16 bytes.",
          "Output: the write commands need 4 bytes; the output size set is 2 bytes."}},
        {"exact fit", device::DeviceNet, "20", "4", false, {}},
        {"model's fixed sizes", device::DeviceNet, "8", "8", true, {}},
        {"no fieldbus sizes", device::EtherNetIP, "8", "8", false, {}},
    };
    for (const Case& c : cases) {
        ProjectBuilder b;
        b.state.DeviceType = c.deviceType;
        b.state.flags.hardwareSizedModel = c.hardwareSized;
        b.project.fieldbus.inputSize = c.inputSize;
        b.project.fieldbus.outputSize = c.outputSize;
        b.node(1, "1");
        b.command(1, 1, {"3", "10"});
        b.command(1, 1, {"16", "2"});
        ScriptedPrompter prompter({Answer::Ok});
        ASSERT_EQ(calculate(b, prompter), MappingOutcome::Done) << c.name;
        // The addresses are written whatever the sizes.
        EXPECT_EQ(placed(b, 1, 1), (Placed{"0", "20"})) << c.name;
        EXPECT_EQ(placed(b, 1, 2), (Placed{"4000", "4"})) << c.name;
        if (c.detailLines.empty()) {
            EXPECT_EQ(prompter.shown().size(), 1u) << c.name << ": " << prompter.shown().back();
            continue;
        }
        std::string expected = "The mapped commands need more bytes than the fieldbus buffer sizes set.";
        for (const std::string& line : c.detailLines)
            expected += "\n" + line;
        expected += "\nThe mapping addresses were written. Raise the fieldbus sizes or remove commands before downloading.";
        ASSERT_EQ(prompter.shown().size(), 2u) << c.name;
        EXPECT_EQ(prompter.shown()[1], expected) << c.name;
    }
}
