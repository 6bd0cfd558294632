// The Edit commands of the main window reach the editor: nodes and commands added and deleted
// through the router's actions, commands through the "Select Command" list, help in "Info".
#include "support/gui_test_support.h"

#include "app/shell/bottom_pane.h"
#include "app/editor/editor_view.h"
#include "app/grid/parameter_grid_widget.h"
#include "app/grid/select_command_dialog.h"

#include <QListWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace veltrane;

namespace {

TEST(WindowEditCommands, EditMenuAndSelectCommandChangeTheProject) {
    test::WindowHarness h;
    MainWindow& w = *h.window;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    Editor& editor = w.document().editor();
    CONFIG& subnet = w.document().project().subnets[0];

    editor.selectItem(editor.tree().topLevel()[1]);
    w.router().updateEnabling();
    w.router().trigger(CommandId::AddNode);
    w.router().trigger(CommandId::AddNode);
    ASSERT_EQ(subnet.nodeCount, 2);

    editor.selectItem(editor.tree().children(editor.tree().topLevel()[1])[0]);
    w.router().updateEnabling();
    w.router().trigger(CommandId::AddCommand);
    auto* dialog = w.findChild<SelectCommandDialog*>();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    QListWidget* list = dialog->list();
    for (int row : {2, 9, 13}) {
        const QPoint at = list->visualItemRect(list->item(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(subnet.commandCount, 2);
    EXPECT_EQ(subnet.commands[1].functionCode, "16");
    EXPECT_TRUE(w.document().state().ProjectModified);

    // A click on a command's value cell shows its help in the "Info" tab.
    editor.selectItem(editor.tree().children(editor.tree().children(editor.tree().topLevel()[1])[0])[0]);
    auto* grid = w.findChild<ParameterGridWidget*>();
    ASSERT_NE(grid, nullptr);
    QApplication::processEvents();
    w.bottomPane().tabs()->setCurrentIndex(1);
    QTableWidget* table = grid->table();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(1, 1)).center());
    EXPECT_EQ(w.bottomPane().tabs()->currentIndex(), 0);
    EXPECT_EQ(w.bottomPane().infoText(), "Modbus Function");

    w.router().updateEnabling();
    w.router().trigger(CommandId::DeleteCommand);
    EXPECT_EQ(subnet.commandCount, 1);
    editor.selectItem(editor.tree().children(editor.tree().topLevel()[1])[0]);
    w.router().updateEnabling();
    w.router().trigger(CommandId::ContextDeleteNode);
    EXPECT_EQ(subnet.nodeCount, 1);
    EXPECT_EQ(subnet.commandCount, 0);
    EXPECT_TRUE(h.prompter.shown().empty());
}

}  // namespace
