// Undo and redo in the window: the Edit menu's entries, their keys, what the tree and the grid
// show afterwards and the caption's unsaved mark.
#include "support/gui_test_support.h"

#include "app/editor/editor_view.h"
#include "app/grid/parameter_grid_widget.h"
#include "core/editor/select_command.h"

#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace veltrane;

namespace {

TEST(WindowUndo, CtrlZBringsADeletedNodeBackAndTheSavedStateClearsTheMark) {
    test::WindowHarness h;
    MainWindow& w = *h.window;
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    Editor& editor = w.document().editor();
    CommandRouter& r = w.router();
    QAction* undo = r.action(CommandId::Undo);
    QAction* redo = r.action(CommandId::Redo);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_EQ(undo->text(), "Undo(&U)");
    EXPECT_EQ(undo->shortcuts(), QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Z"))});
    using K = QKeySequence;
    EXPECT_EQ(redo->shortcuts(), (QList<K>{K(QStringLiteral("Ctrl+Y")), K(QStringLiteral("Ctrl+Shift+Z"))}));

    // A node with two commands, saved.
    editor.selectItem(editor.tree().topLevel()[1]);
    r.trigger(CommandId::AddNode);
    const ItemId node = editor.tree().children(editor.tree().topLevel()[1])[0];
    editor.selectItem(node);
    selectCommandActivated(editor, 2);
    selectCommandActivated(editor, 13);
    h.chooser.saveAnswers.push_back(h.stdPath(QStringLiteral("undo.chg")));
    r.trigger(CommandId::FileSave);
    ASSERT_FALSE(w.isWindowModified());
    EXPECT_EQ(undo->text(), "Undo Add Command(&U)");

    editor.selectItem(node);
    r.trigger(CommandId::DeleteNode);
    ASSERT_EQ(w.document().project().subnets[0].nodeCount, 0);
    EXPECT_TRUE(w.isWindowModified());
    EXPECT_EQ(undo->text(), "Undo Delete Node(&U)");

    QTreeWidget* tree = w.editorView().treeWidget();
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Z, Qt::ControlModifier);
    QApplication::processEvents();
    const CONFIG& subnet = w.document().project().subnets[0];
    EXPECT_EQ(subnet.nodeCount, 1);
    EXPECT_EQ(subnet.commandCount, 2);
    ASSERT_NE(tree->currentItem(), nullptr);
    EXPECT_EQ(tree->currentItem()->text(0), "Node-1");
    EXPECT_EQ(tree->currentItem()->childCount(), 2);
    EXPECT_EQ(editor.view().selectionKind, ItemKind::Node);
    auto* grid = w.findChild<ParameterGridWidget*>();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->table()->item(0, 1)->text().toStdString(), editor.grid().text(0, 1));
    EXPECT_FALSE(w.isWindowModified());
    EXPECT_EQ(redo->text(), "Redo Delete Node(&R)");

    // Both redo keys apply it again.
    QTest::keyClick(tree, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(subnet.nodeCount, 0);
    EXPECT_TRUE(w.isWindowModified());
    QTest::keyClick(tree, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(tree, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(subnet.nodeCount, 0);
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_EQ(redo->text(), "Redo(&R)");

    QTest::keyClick(tree, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(tree, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(subnet.commandCount, 1);
    EXPECT_TRUE(w.isWindowModified());
    EXPECT_EQ(undo->text(), "Undo Add Command(&U)");
    EXPECT_EQ(redo->text(), "Redo Add Command(&R)");

    // The Edit menu as it shows now.
    QMenu* edit = w.menuBar()->actions()[1]->menu();
    edit->popup(w.mapToGlobal(QPoint(40, 40)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(edit));
    QDir().mkpath(QStringLiteral(VELTRANE_BINARY_DIR "/screenshots"));
    EXPECT_TRUE(edit->grab().save(QStringLiteral(VELTRANE_BINARY_DIR "/screenshots/edit_menu_undo.png")));
    edit->close();
}

}  // namespace
