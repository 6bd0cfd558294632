#include "core/editor/select_command.h"
#include "core/mapping/mapping_calculator.h"
#include "core/model/project_file.h"
#include "core/transfer/download_checks.h"
#include "support/editor_fixture.h"

#include <random>

using namespace veltrane;
using veltrane::testing::EditorFixture;

namespace {

class Undo : public EditorFixture {
protected:
    std::vector<std::uint8_t> fileBytes() { return encodeProjectFile(document.project(), state()); }

    // One edit of a random kind, through the operations the window and the CLI call.
    void randomEdit(std::mt19937& random) {
        const auto pick = [&](int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); };
        const std::vector<ItemId> items = tree().allItems();
        editor().selectItem(items[static_cast<std::size_t>(pick(static_cast<int>(items.size())))]);
        prompter.addAnswer(std::array{Answer::Ok, Answer::Yes, Answer::No, Answer::Cancel}[pick(4)]);
        switch (pick(9)) {
        case 0:
            editor().addNode();
            break;
        case 1:
            editor().deleteNode(pick(2) == 0 ? EditOrigin::Menu : EditOrigin::ContextMenu);
            break;
        case 2:
            selectCommandActivated(editor(), pick(12));
            break;
        case 3:
            editor().deleteCommand(pick(2) == 0 ? EditOrigin::Menu : EditOrigin::ContextMenu);
            break;
        case 4:
            if (editor().copyNode()) {
                editor().selectItem(items[static_cast<std::size_t>(pick(static_cast<int>(items.size())))]);
                editor().pasteNode();
            }
            break;
        case 5:
            runCalculateMappingAddress(editor());
            break;
        default: {
            // A value cell: an option picked or a value typed, valid or not.
            editor().onGridClick(pick(std::max(1, editor().grid().usedRows())), 1);
            const GridState& view = editor().view();
            if (view.optionListVisible) {
                editor().commitOption(pick(static_cast<int>(view.options.size())));
            } else if (view.editBoxVisible) {
                static const char* const typed[] = {"", "0", "1", "2", "7", "16", "300", "65535", "1A", "abc",
                                                    "Pump room", "192.168.1.20"};
                editor().setEditBoxText(typed[pick(12)]);
                editor().commitEdit();
            }
        }
        }
    }
};

TEST_F(Undo, RandomEditsUndoToTheOriginalBytesAndRedoToTheEditedBytes) {
    for (const std::int32_t type : {device::DeviceNet, device::FourSubnets, device::EtherNetIP}) {
        for (unsigned seed = 1; seed <= 4; ++seed) {
            SCOPED_TRACE("type " + std::to_string(type) + " seed " + std::to_string(seed));
            state().DeviceType = type;
            document.newDocument();
            std::mt19937 random(seed * 7919 + static_cast<unsigned>(type));
            const std::vector<std::uint8_t> original = fileBytes();
            const Project originalRecords = document.project();
            for (int i = 0; i < 150; ++i)
                randomEdit(random);
            const std::vector<std::uint8_t> edited = fileBytes();
            const Project editedRecords = document.project();
            ASSERT_GT(editor().history().stepCount(), 20u);

            while (editor().canUndo())
                ASSERT_TRUE(editor().undo());
            EXPECT_EQ(fileBytes(), original);
            EXPECT_TRUE(document.project() == originalRecords);
            EXPECT_FALSE(state().ProjectModified);
            EXPECT_FALSE(editor().undo());

            while (editor().canRedo())
                ASSERT_TRUE(editor().redo());
            EXPECT_EQ(fileBytes(), edited);
            EXPECT_TRUE(document.project() == editedRecords);
            EXPECT_TRUE(state().ProjectModified);
        }
    }
}

TEST_F(Undo, StepsAreNamedAndShowTheItemThatChanged) {
    const std::string node = addNodeWithCommands("Subnet 1", {3, 16});
    select(node + "/03 Read Holding Register");
    type(2, "12");
    EXPECT_EQ(editor().undoName(), "Edit Starting Address");
    select("Subnet 1");
    editor().deleteNode();  // nothing: a subnet is selected
    select(node);
    ASSERT_TRUE(editor().deleteNode());
    EXPECT_EQ(editor().undoName(), "Delete Node");
    EXPECT_TRUE(tree().children(find("Subnet 1")).empty());

    // The node comes back with its commands, selected.
    ASSERT_TRUE(editor().undo());
    EXPECT_EQ(tree().path(tree().selected()), node);
    EXPECT_EQ(tree().children(tree().selected()).size(), 2u);
    EXPECT_EQ(editor().redoName(), "Delete Node");

    // Undoing the typed value shows its command and row.
    ASSERT_TRUE(editor().undo());
    EXPECT_EQ(tree().path(tree().selected()), node + "/03 Read Holding Register");
    EXPECT_EQ(editor().grid().currentRow(), 2);
    EXPECT_EQ(editor().undoName(), "Add Command");

    // A new change drops what could be redone.
    select(node);
    editor().addNode();
    EXPECT_EQ(editor().undoName(), "Add Node");
    EXPECT_FALSE(editor().canRedo());
    ASSERT_TRUE(editor().undo());
    ASSERT_TRUE(editor().redo());
    EXPECT_EQ(tree().text(tree().selected()), "Node-2");  // a redo shows what the step added
}

TEST_F(Undo, ModifiedFollowsTheSavedState) {
    addNodeWithCommands("Subnet 1", {3});
    ASSERT_TRUE(document.saveDocument(::testing::TempDir() + "undo_saved.chg"));
    select("Subnet 1");
    editor().addNode();
    EXPECT_TRUE(state().ProjectModified);
    editor().undo();
    EXPECT_FALSE(state().ProjectModified);
    editor().undo();
    EXPECT_TRUE(state().ProjectModified);
    editor().redo();
    EXPECT_FALSE(state().ProjectModified);

    // Once a change replaced the steps after the saved state, no undo or redo lands on it again.
    editor().undo();
    select("Subnet 1");
    editor().addNode();
    while (editor().undo())
        EXPECT_TRUE(state().ProjectModified);

    // Opening a file starts a new history on the saved state.
    ASSERT_TRUE(document.openDocument(::testing::TempDir() + "undo_saved.chg"));
    EXPECT_FALSE(editor().canUndo());
    EXPECT_FALSE(editor().canRedo());
}

TEST_F(Undo, ByteCountsADownloadRecomputedAreNeverUndone) {
    state().DeviceType = device::EtherNetIP;
    document.newDocument();
    const std::string node = addNodeWithCommands("Subnet 1", {3});
    select(node + "/03 Read Holding Register");
    type(3, "10");  // Data Count; the byte count follows it
    subnet(0).commands[0].byteCount = "7";  // as a hand-made file may hold it
    select(node);
    editor().addNode();  // a history that knows the stale count

    ASSERT_TRUE(prepareEthernetDownload(document.project(), prompter));
    ASSERT_EQ(subnet(0).commands[0].byteCount, "20");
    EXPECT_FALSE(editor().canUndo());
    EXPECT_FALSE(editor().undo());
    EXPECT_EQ(subnet(0).commands[0].byteCount, "20");

    select("Subnet 1");
    editor().addNode();
    ASSERT_TRUE(editor().undo());
    EXPECT_EQ(subnet(0).commands[0].byteCount, "20");
    EXPECT_FALSE(editor().canUndo());
}

TEST(UndoHistoryBudget, OldestStepsGoFirstAndTheNewestStays) {
    Project project;
    UndoHistory history(3 * sizeof(CONFIG));
    history.reset(project, true);
    for (int i = 1; i <= 10; ++i) {
        project.subnets[0].nodeCount = i;
        ASSERT_TRUE(history.record("step", project, {}, {}));
    }
    EXPECT_LE(history.bytes(), 3 * sizeof(CONFIG));
    EXPECT_LT(history.stepCount(), 10u);
    EXPECT_GE(history.stepCount(), 1u);
    std::size_t undone = 0;
    while (history.undo(project))
        ++undone;
    EXPECT_EQ(undone, history.stepCount());
    EXPECT_EQ(project.subnets[0].nodeCount, 10 - static_cast<int>(undone));
    EXPECT_FALSE(history.atSavedState());  // the saved state fell out of the history

    // A step larger than the whole budget is still kept.
    UndoHistory tiny(1);
    tiny.reset(project, false);
    project.fieldbus.ipAddress = "10.0.0.1";
    ASSERT_TRUE(tiny.record("big", project, {}, {}));
    EXPECT_TRUE(tiny.canUndo());
    EXPECT_FALSE(tiny.record("same", project, {}, {}));  // nothing changed, nothing recorded
}

}  // namespace
