#include "support/editor_fixture.h"

using namespace veltrane;
using veltrane::testing::EditorFixture;

namespace {

class Grid : public EditorFixture {};

TEST(GridBeforeSelection, ClicksDoNothingUntilRowsWereShown) {
    ScriptedPrompter prompter;
    Project project;
    ProjectState state;
    Editor editor(project, state, prompter);
    int helpShown = 0;
    editor.onHelpShown = [&] { ++helpShown; };
    editor.onGridClick(0, 1);
    EXPECT_EQ(helpShown, 0);
    EXPECT_FALSE(editor.view().editBoxVisible);
    EXPECT_FALSE(editor.view().optionListVisible);
}

TEST_F(Grid, CancelledEditKeepsTheStoredValueAndLeavesTheProjectUnmodified) {
    addNodeWithCommands("Subnet 1", {3});
    select("Subnet 1/Node-1/03 Read Holding Register");
    editor().state().ProjectModified = false;
    ASSERT_TRUE(editor().isEditableRow(2));
    editor().onGridClick(2, 1);
    const std::string stored = editor().grid().text(2, 1);
    editor().setEditBoxText("555");
    editor().cancelEdit();
    EXPECT_FALSE(editor().view().editBoxVisible);
    EXPECT_EQ(editor().view().editBoxText, stored);
    // A later commit (focus loss, resize) finds nothing open and stores nothing.
    editor().commitEdit();
    EXPECT_EQ(editor().grid().text(2, 1), stored);
    EXPECT_FALSE(editor().state().ProjectModified);
}

TEST_F(Grid, TitleClicksAndReadOnlyRowsShowHelpButOpenNothing) {
    addNodeWithCommands("Subnet 1", {3});
    select("Subnet 1/Node-1/03 Read Holding Register");
    int helpShown = 0;
    editor().onHelpShown = [&] { ++helpShown; };

    editor().onGridClick(2, 0);
    EXPECT_EQ(helpShown, 1);
    EXPECT_EQ(editor().helpText(), "Modbus slave register or coils starting address.\r\nThe range of the "
                                   "parameter value is 0 to 65535.");
    EXPECT_FALSE(editor().view().editBoxVisible);

    // Row 5 is grey for a register command; rows 0 and 1 are never editable, whatever the colour.
    for (int row : {0, 1, 5, 6, 8, 10, 99}) {
        EXPECT_FALSE(editor().isEditableRow(row)) << row;
        editor().onGridClick(row, 1);
        EXPECT_FALSE(editor().view().editBoxVisible) << row;
        EXPECT_FALSE(editor().view().optionListVisible) << row;
    }
    editor().onGridClick(1, 1);
    EXPECT_EQ(editor().helpText(), "Modbus Function");
    editor().onGridClick(8, 1);
    EXPECT_EQ(editor().helpText(), "");
    editor().onGridClick(100, 1); // outside the grid
}

TEST_F(Grid, OptionListOpensOnTheFirstOptionAndStoresOnlyAPick) {
    addNodeWithCommands("Subnet 1", {3});
    select("Subnet 1/Node-1/03 Read Holding Register");
    INSTRUCTION& command = subnet(0).commands[0];
    editor().onGridClick(9, 1);
    ASSERT_TRUE(editor().view().optionListVisible);
    EXPECT_EQ(editor().view().options, (std::vector<std::string>{"Fast Scan", "Slow Scan"}));
    EXPECT_EQ(editor().view().currentOption, 0);
    EXPECT_EQ(editor().view().editorRow, 9);
    state().ProjectModified = false;
    editor().closeOptionList();
    EXPECT_EQ(command.scanType, "Fast Scan");
    EXPECT_FALSE(state().ProjectModified);

    pick(9, "Slow Scan");
    EXPECT_EQ(command.scanType, "Slow Scan");
    EXPECT_EQ(editor().grid().text(9, 1), "Slow Scan");
    EXPECT_FALSE(editor().view().optionListVisible);
    EXPECT_TRUE(state().ProjectModified);
}

TEST_F(Grid, EditBoxCommitsOnSelectionChangeResizeAndAnotherClick) {
    addNodeWithCommands("Subnet 1", {3, 4});
    select("Subnet 1/Node-1/03 Read Holding Register");
    editor().onGridClick(2, 1);
    EXPECT_EQ(editor().view().editBoxText, "");
    editor().setEditBoxText("12");
    select("Subnet 1/Node-1/04 Read Input Register"); // the tree takes the focus
    EXPECT_EQ(subnet(0).commands[0].startAddress, "12");
    EXPECT_FALSE(editor().view().editBoxVisible);
    EXPECT_EQ(editor().grid().text(2, 1), ""); // the new selection's rows, untouched by the commit

    editor().onGridClick(2, 1);
    editor().setEditBoxText("13");
    editor().viewResized();
    EXPECT_EQ(subnet(0).commands[1].startAddress, "13");
    EXPECT_EQ(editor().grid().text(2, 1), "13");

    editor().onGridClick(3, 1);
    editor().setEditBoxText("4");
    editor().onGridClick(2, 1); // the click on another cell commits first
    EXPECT_EQ(subnet(0).commands[1].dataCount, "4");
    EXPECT_EQ(editor().grid().text(6, 1), "8");
    EXPECT_TRUE(editor().view().editBoxVisible);
    EXPECT_EQ(editor().view().editBoxText, "13");
}

TEST_F(Grid, EveryCommitMarksTheProjectEvenWhenTheInputIsDropped) {
    addNodeWithCommands("Subnet 1", {3});
    select("Subnet 1/Node-1/03 Read Holding Register");
    state().ProjectModified = false;
    EXPECT_EQ(type(2, "abc"), "");
    EXPECT_TRUE(state().ProjectModified);
    EXPECT_EQ(subnet(0).commands[0].startAddress, "");
}

TEST_F(Grid, AnItemOfNoKindLeavesTheGridAsItWas) {
    addNodeWithCommands("Subnet 1", {3});
    select("Subnet 1/Node-1/03 Read Holding Register");
    const ItemId device = tree().insert(kNoItem, "Device");
    const EditFlags flags = editor().editFlags();
    editor().selectItem(device);
    EXPECT_EQ(editor().grid().text(1, 1), "3");
    EXPECT_EQ(editor().editFlags(), flags);
    editor().onGridClick(2, 1);
    EXPECT_FALSE(editor().view().editBoxVisible);
}

TEST_F(Grid, RebuildingUnderAnOpenEditBoxDropsTheEdit) {
    addNodeWithCommands("Subnet 1", {3});
    select("Subnet 1/Node-1/03 Read Holding Register");
    editor().onGridClick(2, 1);
    editor().setEditBoxText("5");
    editor().buildTopItems(); // the shown item is gone
    state().ProjectModified = false;
    editor().commitEdit();
    EXPECT_FALSE(editor().view().editBoxVisible);
    EXPECT_FALSE(state().ProjectModified);
}

// Typed values a rule puts back without a message get a note naming the row and what it takes;
// accepted, normalised and unchanged values get none.
TEST_F(Grid, SilentlyRefusedValuesGetANoteOfWhatTheRowTakes) {
    addNodeWithCommands("Subnet 1", {1});
    struct Case {
        std::string item;
        int row;
        std::string typed;
        std::string takes; // empty: no note
    };
    const Case cases[] = {
        {"Subnet 1/Node-1/01 Read Coil Status", 5, "9", "0 to 7"},
        {"Subnet 1/Node-1/01 Read Coil Status", 5, "3", ""},
        {"Subnet 1/Node-1/01 Read Coil Status", 5, "3", ""}, // the stored value again
        {"Subnet 1/Node-1/01 Read Coil Status", 2, "70000", "0 to 65535"},
        {"Subnet 1/Node-1/01 Read Coil Status", 2, "0x10", "0 to 65535"},
        {"Subnet 1/Node-1/01 Read Coil Status", 2, "0100", "0 to 65535"}, // not a canonical number
        {"Subnet 1/Node-1/01 Read Coil Status", 3, "0", "1 to "},
        {"Subnet 1/Node-1/01 Read Coil Status", 4, "10h", ""},
        {"Subnet 1/Node-1/01 Read Coil Status", 4, "zz", "H to "},
        {"Subnet 1/Node-1", 0, "300", " to 247"},
        {"Subnet 1/Node-1", 0, "12", ""},
        {"Subnet 1", 7, "-5", " to "},
    };
    std::string note;
    editor().onInputRefused = [&](const std::string& text) { note = text; };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item + " row " + std::to_string(c.row) + " typed " + c.typed);
        select(c.item);
        note.clear();
        editor().onGridClick(c.row, 1);
        ASSERT_TRUE(editor().view().editBoxVisible);
        const std::string title = editor().grid().text(c.row, 0);
        editor().setEditBoxText(c.typed);
        editor().commitEdit();
        if (c.takes.empty()) {
            EXPECT_EQ(note, "");
        } else {
            EXPECT_EQ(note.rfind("\"" + c.typed + "\" was not accepted: " + title + " takes ", 0), 0u) << note;
            EXPECT_NE(note.find(c.takes), std::string::npos) << note;
        }
    }
    EXPECT_TRUE(prompter.shown().empty());
}

} // namespace

namespace {

// The edit box holds a stored text as its characters; a typed character that a project file cannot
// hold is refused with a message, and the stored value, the cell and the modified flag stay.
TEST_F(Grid, TypedTextsAreStoredAsTheFileHoldsThem) {
    addNodeWithCommands("Subnet 1", {3});
    select("Subnet 1/Node-1/03 Read Holding Register");
    std::string& stored = subnet(0).commands[0].startAddress;
    stored = "40\xb9";
    editor().showSelection();
    editor().state().ProjectModified = false;
    prompter.clearShown();

    editor().onGridClick(2, 1);
    EXPECT_EQ(editor().view().editBoxText, "40\u00b9");
    editor().setEditBoxText("40\u4e2d");
    editor().commitEdit();
    EXPECT_FALSE(editor().view().editBoxVisible);
    EXPECT_EQ(stored, "40\xb9");
    EXPECT_EQ(editor().grid().text(2, 1), "40\xb9");
    EXPECT_FALSE(editor().state().ProjectModified);
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0], "\"40\u4e2d\" cannot be stored in the project.\nProject files hold Windows-1252 "
                                   "(Western European) characters only, which have no \"\u4e2d\" (U+4E2D). The "
                                   "value stays as it was.");
}

TEST_F(Grid, HelpGoesWithTheSelection) {
    select("Subnet 1");
    int cleared = 0;
    editor().onHelpCleared = [&] { ++cleared; };
    editor().onGridClick(1, 0);
    ASSERT_FALSE(editor().helpText().empty());
    select("Ethernet");
    EXPECT_EQ(editor().helpText(), "");
    EXPECT_EQ(cleared, 1);
    editor().onGridClick(0, 0);
    document.newDocument();
    EXPECT_EQ(editor().helpText(), "");
}

} // namespace
