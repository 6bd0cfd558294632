#pragma once
// A new project driven the way the widgets drive it: select items by path, click cells, type, pick.

#include "core/document/document.h"
#include "core/editor/tree_items.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrane::testing {

class EditorFixture : public ::testing::Test {
protected:
    EditorFixture() : document(prompter) { document.newDocument(); }

    Editor& editor() { return document.editor(); }
    TreeModel& tree() { return document.editor().tree(); }
    ProjectState& state() { return document.state(); }
    CONFIG& subnet(int index) { return document.project().subnets[static_cast<std::size_t>(index)]; }

    ItemId find(const std::string& path) {
        for (ItemId id : tree().allItems())
            if (tree().path(id) == path)
                return id;
        ADD_FAILURE() << "no item " << path;
        return kNoItem;
    }
    void select(const std::string& path) { editor().selectItem(find(path)); }

    // Adds a node under the subnet and commands (function codes) under it; returns the node's path.
    std::string addNodeWithCommands(const std::string& subnetPath, std::initializer_list<int> codes) {
        select(subnetPath);
        EXPECT_TRUE(editor().addNode());
        const ItemId nodeItem = tree().children(find(subnetPath)).back();
        editor().selectItem(nodeItem);
        for (int code : codes)
            EXPECT_TRUE(editor().addCommand(code <= 6 ? code - 1 : code - 3));
        return tree().path(nodeItem);
    }

    // Clicks a value cell, types and leaves the edit box; returns what the cell shows afterwards.
    std::string type(int row, const std::string& text) {
        editor().onGridClick(row, 1);
        EXPECT_TRUE(editor().view().editBoxVisible) << "row " << row;
        editor().setEditBoxText(text);
        editor().commitEdit();
        return editor().grid().text(row, 1);
    }

    void pick(int row, const std::string& option) {
        editor().onGridClick(row, 1);
        const auto& options = editor().view().options;
        const auto at = std::find(options.begin(), options.end(), option);
        ASSERT_NE(at, options.end()) << option;
        editor().commitOption(static_cast<int>(at - options.begin()));
    }

    ScriptedPrompter prompter;
    Document document;
};

} // namespace veltrane::testing
