#pragma once
// The configuration editor: the tree of the project, the parameter grid of the selected item and
// the state that goes with them. It works on the project records and the process-wide values it is
// given and talks to the user only through the prompter; widgets only mirror tree() and grid() and
// forward clicks, picks and typed text to the operations below.

#include "core/common/change_signal.h"
#include "core/common/windows1252.h"
#include "core/editor/grid_state.h"
#include "core/editor/parameter_grid.h"
#include "core/editor/row_provider.h"
#include "core/editor/tree_model.h"
#include "core/editor/undo_history.h"
#include "core/interaction/prompter.h"
#include "core/model/project_kind.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace veltrane {

// The four flags that enable the Edit commands.
struct EditFlags {
    bool addNode = false;
    bool addCommand = false;
    bool deleteNode = false;
    bool deleteCommand = false;

    bool operator==(const EditFlags&) const = default;
};

// Where a paste takes its node from; empty after every initial update.
struct NodeCopyBuffer {
    int sourceSubnet = 0; // 1..4, 0 for none
    int sourceNode = -1;  // node number (0 is a valid slave address), -1 for none
    bool valid = false;

    bool operator==(const NodeCopyBuffer&) const = default;
};

// What happened to the project, for whoever listens (views, the command enabling, a transfer).
enum class ProjectChange {
    Replaced,         // a new project, an opened file or an upload took the place of the records
    Edited,           // an edit, undo or redo changed the records; ProjectModified says whether
                      // they differ from the state last saved
    Saved,            // the records went to their file; ProjectModified is clear
    ModifiedCleared,  // ProjectModified was cleared without a save (the question before an open answered it)
};

// Delete Node and Delete Command end differently when chosen from the tree's context menu.
enum class EditOrigin { Menu, ContextMenu };

class Editor {
public:
    Editor(Project& project, ProjectState& state, Prompter& prompter);
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    Project& project() { return m_project; }
    const Project& project() const { return m_project; }
    ProjectState& state() { return m_state; }
    const ProjectState& state() const { return m_state; }
    Prompter& prompter() { return m_prompter; }
    TreeModel& tree() { return m_tree; }
    const TreeModel& tree() const { return m_tree; }
    ParameterGrid& grid() { return m_grid; }
    const ParameterGrid& grid() const { return m_grid; }
    GridState& view() { return m_view; }
    const GridState& view() const { return m_view; }
    const EditFlags& editFlags() const { return m_flags; }
    void setEditFlags(const EditFlags& flags);
    const NodeCopyBuffer& copyBuffer() const { return m_copy; }

    // Notified after every change of the records or of their modified state.
    ChangeSignal<ProjectChange>& projectChanges() { return m_projectChanges; }
    void notifyProjectChanged(ProjectChange change) { m_projectChanges.notify(change); }
    // Sets ProjectModified after an edit and tells the listeners.
    void markModified();
    // Notified when the edit flags or the copy buffer changed (what the Edit commands follow).
    ChangeSignal<>& commandStateChanges() { return m_commandStateChanges; }

    // A subnet record by 0-based index (0..3).
    CONFIG& subnet(int index);
    const CONFIG& subnet(int index) const;

    // A typed value that a rule put back without a message: the note says what was typed and what
    // the row accepts (shown briefly in the status bar).
    std::function<void(const std::string& note)> onInputRefused;
    // Called by a row rule where it puts typed text back silently; `accepted` describes what the
    // row takes ("0 to 7").
    void refuseInput(std::string accepted) { m_refusal = std::move(accepted); }
    // A later rule showed a message for the same value: that message says it, so no note besides.
    void withdrawRefusal() { m_refusal.reset(); }

    // The help pane's text and a notification that the "Info" tab should come to the front.
    const std::string& helpText() const { return m_helpText; }
    std::function<void()> onHelpShown;
    // The help went with the row it belonged to: another item was selected or another project
    // came. The pane empties without coming to the front.
    std::function<void()> onHelpCleared;

    // Runs after every new project, opened file or upload: the new-project initialisation unless
    // the records are prepared (as the kind given), then the steps common to every project.
    void initialUpdate(const NewProjectKind& kind = {});

    void buildTopItems();
    void rebuildTree();
    void expandAll();
    // Replaces a subnet item's children by the subnet's nodes and commands.
    void rebuildSubnetItems(ItemId subnetItem, int subnetIndex);

    // A tree item was selected (by a click, the keyboard or the rules). An open edit box is
    // committed first, under the old selection, as when the tree takes the focus.
    void selectItem(ItemId id);

    // Structural edits; each returns true when it changed the project.
    bool addNode();
    bool deleteNode(EditOrigin origin = EditOrigin::Menu);
    // index: the 0-based entry of the "Select Command" list.
    bool addCommand(int index);
    bool deleteCommand(EditOrigin origin = EditOrigin::Menu);
    bool canCopyNode() const;
    bool copyNode();
    bool canPasteNode() const;
    bool pasteNode();
    // A right click on an item (kNoItem: on no item). Selects it, sets the edit flags and tells
    // whether the context menu is shown.
    bool contextMenu(ItemId hit);

    // Undo and redo. Each applies one step of the history, shows the tree again with the changed
    // item selected, and sets ProjectModified unless it landed on the state last saved. An open
    // edit box is committed first, as leaving it would. False when there was nothing to do.
    bool undo();
    bool redo();
    bool canUndo() const;
    bool canRedo() const;
    // The step an undo or redo would take back or apply ("Add Node"); empty when there is none.
    std::string undoName() const;
    std::string redoName() const;
    // Forgets every step (a new, opened or uploaded project); `saved`: the records are the file's.
    void startNewHistory(bool saved);
    // The records went to their file.
    void markHistorySaved();
    const UndoHistory& history() const { return m_history; }

    // Every change to the records made while one lives becomes one undo step, named `name`
    // ("Add Node"), recorded when the outermost one ends and only when a record changed. Steps
    // nest: an edit made of other edits (Paste Node adds a node) is one step. An undo shows the
    // item selected when the step began (or `shown`); a redo the item selected when it ended,
    // unless showAfterRedo names another.
    class EditStep {
    public:
        EditStep(Editor& editor, std::string name, ItemId shown = kNoItem);
        ~EditStep();
        EditStep(const EditStep&) = delete;
        EditStep& operator=(const EditStep&) = delete;
        void showAfterRedo(ItemId item);
        void showRow(int row);

    private:
        Editor& m_editor;
        bool m_outermost;
        std::string m_name;
        ItemLocator m_undoFocus;
        std::optional<ItemLocator> m_redoFocus;
    };

    // The parameter grid.
    void showSelection();
    void onGridClick(int row, int column);
    // The user picked option `index` of the open option list.
    void commitOption(int index);
    // The option list closed without a pick: nothing is stored.
    void closeOptionList();
    // The edit box's content changed (typing). The edit box holds UTF-8 as it is shown; the
    // commit stores it as project files hold texts and refuses a character they cannot hold.
    void setEditBoxText(std::string text);
    void commitEdit();
    // Escape in the edit box: it closes and keeps the stored value; nothing is committed.
    void cancelEdit();
    // Whether a click on the value cell of `row` opens an editor for the item shown now.
    bool isEditableRow(int row) const;
    void showRowHelp(int subnetIndex);
    // The view was resized: an open edit box is committed.
    void viewResized();
    // True while the tree's selection is still the item whose rows the grid shows.
    bool selectionUnchanged() const;

private:
    // Tells the listeners of commandStateChanges() when the operation it guards changed the edit
    // flags or the copy buffer, once, after the operation.
    class CommandStateWatch {
    public:
        explicit CommandStateWatch(Editor& editor);
        ~CommandStateWatch();
        CommandStateWatch(const CommandStateWatch&) = delete;
        CommandStateWatch& operator=(const CommandStateWatch&) = delete;

    private:
        Editor& m_editor;
        EditFlags m_flags;
        NodeCopyBuffer m_copy;
    };

    struct Selection {
        ItemKind kind = ItemKind::None;
        int subnetIndex = 0;
        bool inFieldbusBranch = false;
    };
    Selection describe(ItemId id) const;
    RowProvider* providerFor(ItemKind kind) const;
    void addSubnetContent(ItemId subnetItem, int subnetIndex);
    void selectAfterRemoval(ItemId parent, std::size_t position);
    ItemId selectedSubnetItem() const;
    ItemLocator locate(ItemId id) const;
    bool moveInHistory(std::optional<ItemLocator> (UndoHistory::*move)(Project&));
    void showStep(const ItemLocator& focus);
    // Starts the history again when something outside it changed the records.
    void followOutsideChange();
    void refuseUnstorable(const std::string& typed, const Windows1252Refusal& why);

    Project& m_project;
    ProjectState& m_state;
    Prompter& m_prompter;
    TreeModel m_tree;
    ParameterGrid m_grid;
    GridState m_view;
    EditFlags m_flags;
    NodeCopyBuffer m_copy;
    std::string m_helpText;
    std::optional<std::string> m_refusal;
    std::unique_ptr<RowProvider> m_fieldbusRows;
    std::unique_ptr<RowProvider> m_subnetRows;
    std::unique_ptr<RowProvider> m_nodeRows;
    std::unique_ptr<RowProvider> m_commandRows;
    UndoHistory m_history;
    int m_openSteps = 0;
    ChangeSignal<ProjectChange> m_projectChanges;
    ChangeSignal<> m_commandStateChanges;
};

} // namespace veltrane
