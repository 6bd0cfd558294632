// The grid widget driven by real mouse and keyboard events, offscreen: a click in the tree shows
// the item's rows, a click on a value cell opens the edit box or the option list over it, and
// typing or picking changes the project.
#include "app/editor/editor_view.h"
#include "app/grid/parameter_grid_widget.h"
#include "app/grid/select_command_dialog.h"
#include "app/shell/qt_prompter.h"

#include "core/document/document.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace veltrane;

namespace {

int argc = 1;
char arg0[] = "editor_gui_tests";
char* argv[] = {arg0, nullptr};

class GridWidget : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }

    GridWidget() : document(prompter) {
        document.newDocument();
        view = std::make_unique<EditorView>(document.editor());
        grid = new ParameterGridWidget(document.editor());
        grid->onHelpText = [this](const QString& text) { helpText = text; };
        view->setGridWidget(grid);
        view->resize(1000, 560);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }

    void clickTree(const QString& path) {
        QTreeWidgetItem* item = nullptr;
        for (QTreeWidgetItemIterator it(view->treeWidget()); *it; ++it) {
            QString itemPath;
            for (QTreeWidgetItem* at = *it; at; at = at->parent())
                itemPath = itemPath.isEmpty() ? at->text(0) : at->text(0) + "/" + itemPath;
            if (itemPath == path)
                item = *it;
        }
        ASSERT_NE(item, nullptr) << path.toStdString();
        QTreeWidget* tree = view->treeWidget();
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
        QApplication::processEvents();
    }

    void clickCell(int row, int column) {
        QTableWidget* table = grid->table();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                          table->visualItemRect(table->item(row, column)).center());
        QApplication::processEvents();
    }

    QString cell(int row, int column) { return grid->table()->item(row, column)->text(); }

    // Selects a new read-holding-register command, clicking as a user does; returns its editable rows.
    std::vector<int> selectReadHoldingRegister() {
        Editor& editor = document.editor();
        clickTree("Subnet 1");
        editor.addNode();
        QApplication::processEvents();
        clickTree("Subnet 1/Node-1");
        editor.addCommand(2);
        QApplication::processEvents();
        clickTree("Subnet 1/Node-1/03 Read Holding Register");
        std::vector<int> editable;
        for (int row = 0; row < ParameterGrid::kRows; ++row)
            if (editor.isEditableRow(row))
                editable.push_back(row);
        return editable;
    }

    void grab(QWidget* widget, const QString& name) {
        const QString dir = QStringLiteral(VELTRANE_BINARY_DIR) + "/screenshots";
        QDir().mkpath(dir);
        EXPECT_TRUE(widget->grab().save(dir + "/" + name));
    }

    ScriptedPrompter prompter;
    QString helpText; // what the "Info" tab would show
    Document document;
    std::unique_ptr<EditorView> view;
    ParameterGridWidget* grid = nullptr;
};

TEST_F(GridWidget, ClickTypeAndPickChangeTheProject) {
    Editor& editor = document.editor();
    clickTree("Subnet 1");
    editor.addNode();
    QApplication::processEvents();
    clickTree("Subnet 1/Node-1");
    SelectCommandDialog dialog(editor);
    dialog.activate(2);  // 03 Read Holding Register
    dialog.activate(7);  // 08 Diagnostics: ignored
    dialog.activate(12); // 15 Force Multiple Coils
    QApplication::processEvents();
    EXPECT_EQ(document.project().subnets[0].commandCount, 2);

    // The node's slave address through the edit box: the node is renamed in the tree.
    clickTree("Subnet 1/Node-1");
    EXPECT_EQ(cell(0, 0), "Slave Address (0~247)");
    clickCell(0, 1);
    ASSERT_TRUE(grid->editBox()->isVisible());
    EXPECT_EQ(grid->editBox()->geometry(), grid->table()->visualItemRect(grid->table()->item(0, 1)));
    grid->editBox()->selectAll();
    QTest::keyClicks(grid->editBox(), "12");
    QTest::keyClick(grid->editBox(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_FALSE(grid->editBox()->isVisible());
    EXPECT_EQ(document.project().subnets[0].nodes[0].name, "Node-12");
    EXPECT_TRUE(document.state().ProjectModified);
    EXPECT_EQ(helpText, "Modbus Slave Address");
    grab(view.get(), "editor_node.png");

    // The command: type a starting address, leave it by clicking the next cell (focus loss).
    clickTree("Subnet 1/Node-12/03 Read Holding Register");
    EXPECT_EQ(cell(0, 1), "12");
    EXPECT_EQ(grid->table()->item(1, 1)->background().color(), QColor(200, 200, 200));
    clickCell(2, 1);
    ASSERT_TRUE(grid->editBox()->isVisible());
    QTest::keyClicks(grid->editBox(), "100");
    clickCell(3, 1);
    EXPECT_EQ(document.project().subnets[0].commands[0].startAddress, "100");
    ASSERT_TRUE(grid->editBox()->isVisible());
    QTest::keyClicks(grid->editBox(), "8");
    clickCell(4, 1);
    QTest::keyClicks(grid->editBox(), "1A0");
    QTest::keyClick(grid->editBox(), Qt::Key_Return);
    QApplication::processEvents();
    const INSTRUCTION& command = document.project().subnets[0].commands[0];
    EXPECT_EQ(command.dataCount, "8");
    EXPECT_EQ(command.byteCount, "16");
    EXPECT_EQ(command.mappingAddress, "1a0");
    EXPECT_EQ(cell(4, 1), "1a0H");
    EXPECT_EQ(cell(6, 1), "16");

    // The option list opens over the cell on its first option; a pick stores it.
    clickCell(9, 1);
    QComboBox* options = grid->optionList();
    ASSERT_TRUE(options->isVisible());
    EXPECT_EQ(options->currentText(), "Fast Scan");
    EXPECT_EQ(options->geometry(), grid->table()->visualItemRect(grid->table()->item(9, 1)));
    QAbstractItemView* popup = options->view();
    QTest::mouseClick(popup->viewport(), Qt::LeftButton, {},
                      popup->visualRect(popup->model()->index(1, 0)).center());
    QApplication::processEvents();
    EXPECT_EQ(command.scanType, "Slow Scan");
    EXPECT_EQ(cell(9, 1), "Slow Scan");
    EXPECT_FALSE(options->isVisible());

    clickCell(4, 0); // a title: help only
    EXPECT_FALSE(grid->editBox()->isVisible());
    EXPECT_TRUE(helpText.startsWith("There are two buffers in the gateway"));
    grab(view.get(), "editor_command.png");
    grab(&dialog, "select_command.png");
}

TEST_F(GridWidget, ResizeAndTreeClicksCommitTheOpenEditBox) {
    Editor& editor = document.editor();
    clickTree("Subnet 1");
    editor.addNode();
    QApplication::processEvents();
    clickTree("Subnet 1/Node-1");
    editor.addCommand(0);
    QApplication::processEvents();
    clickTree("Subnet 1/Node-1/01 Read Coil Status");
    clickCell(5, 1);
    QTest::keyClicks(grid->editBox(), "3");
    view->resize(900, 500);
    QApplication::processEvents();
    EXPECT_EQ(document.project().subnets[0].commands[0].mappingBit, "3");
    EXPECT_FALSE(grid->editBox()->isVisible());
    EXPECT_NEAR(grid->table()->columnWidth(0), grid->table()->columnWidth(1), 1);
    EXPECT_EQ(grid->table()->columnWidth(0) + grid->table()->columnWidth(1),
              grid->table()->viewport()->width());

    clickCell(3, 1);
    QTest::keyClicks(grid->editBox(), "5");
    clickTree("Subnet 1/Node-1");
    EXPECT_EQ(document.project().subnets[0].commands[0].dataCount, "5");
    EXPECT_EQ(cell(0, 0), "Slave Address (0~247)");
    EXPECT_EQ(cell(1, 0), "");
}

TEST_F(GridWidget, TabShiftTabAndEscapeWorkLikeAQtItemEditor) {
    const std::vector<int> editable = selectReadHoldingRegister();
    // Starting address and number of data follow each other; slave address and code are fixed.
    ASSERT_GE(editable.size(), 3u);
    ASSERT_EQ(editable[0], 2);
    ASSERT_EQ(editable[1], 3);
    QLineEdit* box = grid->editBox();
    const auto boxIsOver = [&](int row) {
        return box->isVisible() && box->geometry() == grid->table()->visualItemRect(grid->table()->item(row, 1));
    };

    clickCell(2, 1);
    QTest::keyClicks(box, "100");
    QTest::keyClick(box, Qt::Key_Tab);
    const INSTRUCTION& command = document.project().subnets[0].commands[0];
    EXPECT_EQ(command.startAddress, "100");
    EXPECT_TRUE(boxIsOver(3));
    QTest::keyClicks(box, "4");
    QTest::keyClick(box, Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(command.dataCount, "4");
    EXPECT_TRUE(boxIsOver(2));
    EXPECT_EQ(box->text(), "100");

    // Escape puts the stored value back and commits nothing.
    document.state().ProjectModified = false;
    box->selectAll();
    QTest::keyClicks(box, "555");
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(command.startAddress, "100");
    EXPECT_EQ(cell(2, 1), "100");
    EXPECT_FALSE(document.state().ProjectModified);

    // Shift+Tab on the first editable row wraps to the last one, as a Qt table does.
    clickCell(2, 1);
    QTest::keyClick(box, Qt::Key_Backtab);
    const int last = editable.back();
    EXPECT_TRUE(boxIsOver(last) || (grid->optionList()->isVisible() &&
                                    grid->optionList()->geometry() ==
                                        grid->table()->visualItemRect(grid->table()->item(last, 1))));
}

// Tab goes on through every kind of row, an option list whose drop-down is open included, as the
// keys reach whatever has the focus.
TEST_F(GridWidget, TabWalksEveryEditableRowThroughOpenDropDowns) {
    Editor& editor = document.editor();
    const std::vector<int> editable = selectReadHoldingRegister();
    const auto openRow = [&] { return editor.view().editorRow; };
    const auto pressWhereTheFocusIs = [](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* popup = QApplication::activePopupWidget();
        QWidget* target = popup ? popup->focusWidget() : QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, key, modifiers);
        QApplication::processEvents();
    };

    clickCell(editable.front(), 1);
    bool sawOpenDropDown = false;
    for (std::size_t i = 1; i <= editable.size(); ++i) {
        sawOpenDropDown = sawOpenDropDown || grid->optionList()->view()->isVisible();
        pressWhereTheFocusIs(Qt::Key_Tab);
        EXPECT_EQ(openRow(), editable[i % editable.size()]) << "Tab " << i;
    }
    EXPECT_TRUE(sawOpenDropDown);
    for (std::size_t i = 1; i <= editable.size(); ++i) {
        pressWhereTheFocusIs(Qt::Key_Tab, Qt::ShiftModifier);
        EXPECT_EQ(openRow(), editable[(2 * editable.size() - i) % editable.size()]) << "Shift+Tab " << i;
    }
}

TEST_F(GridWidget, ArrowsMoveTheCurrentRowAndEnterOrF2OpenItsEditor) {
    selectReadHoldingRegister();
    QTableWidget* table = grid->table();
    QLineEdit* box = grid->editBox();

    clickCell(1, 0); // the function code's title: help only, the row becomes current
    EXPECT_EQ(table->currentRow(), 1);
    EXPECT_TRUE(table->selectionModel()->isRowSelected(1, {}));
    QTest::keyClick(table, Qt::Key_Return); // a fixed row opens nothing
    EXPECT_FALSE(box->isVisible());

    QTest::keyClick(table, Qt::Key_Down);
    EXPECT_EQ(table->currentRow(), 2);
    EXPECT_TRUE(helpText.startsWith("Modbus slave register or coils starting address"));
    QTest::keyClick(table, Qt::Key_F2);
    ASSERT_TRUE(box->isVisible());
    EXPECT_EQ(box->geometry(), table->visualItemRect(table->item(2, 1)));
    // Arrows belong to the open box; Enter commits it and hands the keys back to the grid.
    QTest::keyClicks(box, "7");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(document.project().subnets[0].commands[0].startAddress, "7");

    QTest::keyClick(table, Qt::Key_Down);
    QTest::keyClick(table, Qt::Key_Up);
    QTest::keyClick(table, Qt::Key_Up);
    EXPECT_EQ(table->currentRow(), 1);
    QTest::keyClick(table, Qt::Key_Down);
    QTest::keyClick(table, Qt::Key_Enter);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->text(), "7");
}

// A character typed on the grid starts editing the current row with it, as in a Qt table; it never
// searches the titles for a row to jump to.
TEST_F(GridWidget, TypingOnARowStartsEditingWithTheCharacter) {
    selectReadHoldingRegister();
    QTableWidget* table = grid->table();
    QLineEdit* box = grid->editBox();

    clickCell(1, 0); // the function code: fixed
    QTest::keyClicks(table, "S");
    EXPECT_EQ(table->currentRow(), 1);
    EXPECT_FALSE(box->isVisible());

    clickCell(2, 0); // the starting address
    QTest::keyClicks(table, "7");
    ASSERT_TRUE(box->isVisible());
    EXPECT_EQ(box->geometry(), table->visualItemRect(table->item(2, 1)));
    EXPECT_EQ(box->text(), "7");
    QTest::keyClicks(box, "5");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(document.project().subnets[0].commands[0].startAddress, "75");
    EXPECT_EQ(QApplication::focusWidget(), table);

    // The next character replaces the stored value, as a Qt item editor does.
    QTest::keyClicks(table, "9");
    EXPECT_EQ(box->text(), "9");
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_EQ(document.project().subnets[0].commands[0].startAddress, "75");
}

// A stored text shows as the file's characters: the tree names the node, the grid shows the value.
TEST_F(GridWidget, StoredTextsShowTheirCharacters) {
    selectReadHoldingRegister();
    CONFIG& subnet = document.project().subnets[0];
    subnet.nodes[0].name = "Pumpe S\xfc" "d";
    subnet.commands[0].checkType = "Pumpe S\xfc" "d \x80\x9d";
    document.editor().rebuildTree();
    document.editor().expandAll();
    QApplication::processEvents();
    clickTree(QString::fromUtf8("Subnet 1/Pumpe S\u00fcd/03 Read Holding Register"));
    const int row = document.editor().grid().findRow("Type of Check");
    ASSERT_GE(row, 0);
    EXPECT_EQ(cell(row, 1), QString::fromUtf8("Pumpe S\u00fcd \u20ac\u009d"));
}

// After a question the grid keeps the keys: the next character starts editing again.
TEST_F(GridWidget, AfterAQuestionTheKeysStayWithTheGrid) {
    QtPrompter boxes(view.get());
    Document asking(boxes);
    asking.newDocument();
    EditorView askingView(asking.editor());
    auto* askingGrid = new ParameterGridWidget(asking.editor());
    askingView.setGridWidget(askingGrid);
    askingView.resize(1000, 560);
    askingView.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&askingView));
    askingView.activateWindow();
    Editor& editor = asking.editor();
    // A gateway of four subnets, whose protocol can change; Subnet 1 has a node to lose.
    asking.state().DeviceType = device::FourSubnets;
    editor.rebuildTree();
    editor.selectItem(editor.tree().topLevel()[0]);
    editor.addNode();
    editor.selectItem(editor.tree().topLevel()[0]);
    QApplication::processEvents();

    QTableWidget* table = askingGrid->table();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(0, 1)).center());
    QApplication::processEvents();
    ASSERT_TRUE(askingGrid->optionList()->isVisible());
    QString asked;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        asked = box->text();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    // "Custom protocol": the subnet's nodes would go, so the change is asked about first.
    QWidget* list = askingGrid->optionList()->view();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_FALSE(asked.isEmpty());
    EXPECT_FALSE(askingGrid->optionList()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), table);
    EXPECT_EQ(asking.project().subnets[0].nodeCount, 1);

    // The keys reach the grid: a character on an editable row opens its editor.
    int editableRow = -1;
    for (int row = 1; row < ParameterGrid::kRows && editableRow < 0; ++row)
        if (editor.isEditableRow(row) && editor.grid().text(row, 0) == "Response Timeout (10~60000ms)")
            editableRow = row;
    ASSERT_GE(editableRow, 0);
    table->setCurrentCell(editableRow, 0);
    QTest::keyClicks(QApplication::focusWidget(), "4");
    ASSERT_TRUE(askingGrid->editBox()->isVisible());
    EXPECT_EQ(askingGrid->editBox()->text(), "4");
}

TEST_F(GridWidget, SelectCommandFromTheKeyboardAndItsButtons) {
    Editor& editor = document.editor();
    clickTree("Subnet 1");
    editor.addNode();
    QApplication::processEvents();
    clickTree("Subnet 1/Node-1");
    SelectCommandDialog dialog(editor, view.get());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_FALSE(dialog.isModal());
    QListWidget* list = dialog.list();
    // "08 Diagnostics" sends nothing: shown disabled; "03 Read Holding Register" is a command.
    EXPECT_FALSE(list->item(7)->flags() & Qt::ItemIsEnabled);
    EXPECT_TRUE(list->item(2)->flags() & Qt::ItemIsEnabled);
    const int& count = document.project().subnets[0].commandCount;

    list->setCurrentRow(2);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(dialog.isVisible()) << "Enter adds and leaves the list open";
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(count, 2);

    QTest::mouseClick(dialog.addButton(), Qt::LeftButton);
    EXPECT_EQ(count, 3);
    // A click on a disabled heading neither selects it nor adds anything.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(7)).center());
    EXPECT_EQ(list->currentRow(), 2);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(7)).center());
    EXPECT_EQ(count, 3);
    grab(&dialog, "select_command_dialog.png");

    QTest::mouseClick(dialog.closeButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
}

} // namespace
