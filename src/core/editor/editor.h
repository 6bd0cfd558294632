#pragma once
// The configuration editor: the tree of the project and the state that goes with it. It works on
// the project records and the process-wide values it is given and talks to the user only through
// the prompter.

#include "editor/tree_model.h"
#include "interaction/prompter.h"
#include "model/project_state.h"
#include "model/records.h"

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
    int sourceSubnet = 0;  // 1..4, 0 for none
    int sourceNode = 0;    // node number, 0 for none
    bool valid = false;
};

class Editor {
public:
    Editor(Project& project, ProjectState& state, Prompter& prompter);

    Project& project() { return m_project; }
    const Project& project() const { return m_project; }
    ProjectState& state() { return m_state; }
    const ProjectState& state() const { return m_state; }
    Prompter& prompter() { return m_prompter; }
    TreeModel& tree() { return m_tree; }
    const TreeModel& tree() const { return m_tree; }
    const EditFlags& editFlags() const { return m_flags; }
    const NodeCopyBuffer& copyBuffer() const { return m_copy; }

    // Runs after every new project, opened file or upload: the new-project initialisation unless
    // the records are prepared, then the steps common to every project.
    void initialUpdate();

    void BuildTopItems();
    void RebuildTree();
    void ExpandAll();

    // A tree item was selected (by a click, the keyboard or the rules).
    void selectItem(ItemId id);

private:
    void addSubnetContent(ItemId subnetItem, int subnetIndex);
    void onSelectionChanged(ItemId id);

    Project& m_project;
    ProjectState& m_state;
    Prompter& m_prompter;
    TreeModel m_tree;
    EditFlags m_flags;
    NodeCopyBuffer m_copy;
};

}  // namespace veltrane
