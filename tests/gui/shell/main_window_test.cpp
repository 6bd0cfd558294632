#include "app/shell/bottom_pane.h"
#include "app/shell/command_router.h"
#include "app/editor/editor_view.h"
#include "app/grid/parameter_grid_widget.h"
#include "support/gui_test_support.h"
#include "app/shell/lock_indicators.h"
#include "app/mapping/conflict_detection_dialog.h"
#include "core/model/project_defaults.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace veltrane;
using namespace veltrane::test;

namespace {
QStringList topLevelTexts(QTreeWidget* tree) {
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts << tree->topLevelItem(i)->text(0);
    return texts;
}

QStringList menuTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* action : menu->actions())
        if (!action->isSeparator())
            texts << action->text();
    return texts;
}
} // namespace

TEST(MainWindow, LayoutAndScreenshot) {
    WindowHarness h;
    MainWindow& w = *h.window;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    EXPECT_EQ(w.windowTitle(), "Gateway Configuration Software Veltrane[*]");
    // The sizes give way to a small screen (the offscreen one is small).
    const QRect screen = w.screen()->availableGeometry();
    EXPECT_EQ(w.minimumSize(), QSize(qMin(760, screen.width()), qMin(480, screen.height())));
    // A screen smaller than the initial size gets the window maximized instead of cut off.
    EXPECT_EQ(w.isMaximized(), screen.width() < 1440 || screen.height() < 768);
    EXPECT_LE(w.frameGeometry().width(), screen.width());

    QStringList tools;
    for (QAction* action : w.toolBar()->actions())
        tools << action->iconText();
    EXPECT_EQ(tools,
              (QStringList{"  New  ", "  Save  ", "  Open  ", " Add Node ", " Del Node ", " Add Cmd ",
                           " Del Cmd ", "Upload", "Download", " AutoMap ", " Confilct", " Export", "Debug"}));
    auto* button =
        qobject_cast<QToolButton*>(w.toolBar()->widgetForAction(w.router().action(CommandId::AddNode)));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    EXPECT_EQ(w.router().action(CommandId::AddNode)->toolTip(), "Add Node");
    EXPECT_EQ(w.router().action(CommandId::AddNode)->statusTip(), "Add Node");

    EXPECT_EQ(topLevelTexts(w.editorView().treeWidget()), (QStringList{"Ethernet", "Subnet 1", "Subnet 2"}));
    EXPECT_EQ(w.statusBar()->currentMessage(), "Ready");
    EXPECT_EQ(w.lockIndicators()->capsLabel()->text(), "CAP");
    EXPECT_EQ(w.lockIndicators()->numLabel()->text(), "NUM");
    EXPECT_EQ(w.lockIndicators()->scrollLabel()->text(), "SCRL");

    QTabWidget* tabs = w.bottomPane().tabs();
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), "Info");
    EXPECT_EQ(tabs->tabText(1), "News");
    EXPECT_TRUE(w.bottomPane().infoBox()->isReadOnly());
    EXPECT_EQ(w.bottomPane().infoBox()->font().family(), "Times New Roman");
    EXPECT_EQ(w.bottomPane().infoBox()->font().pointSize(), 12);
    w.setHelpText(QStringLiteral("Baud rate of the serial line."));
    EXPECT_EQ(w.bottomPane().infoText(), "Baud rate of the serial line.");

    w.resize(1440, 780);
    QDir().mkpath(QStringLiteral(VELTRANE_BINARY_DIR "/screenshots"));
    const QString shot = QStringLiteral(VELTRANE_BINARY_DIR "/screenshots/main_window.png");
    EXPECT_TRUE(w.grab().save(shot));
}

TEST(MainWindow, MenusHoldTheItemsAndKeys) {
    WindowHarness h;
    MainWindow& w = *h.window;
    QStringList titles;
    QList<QMenu*> menus;
    for (QAction* action : w.menuBar()->actions()) {
        titles << action->text();
        menus << action->menu();
    }
    ASSERT_EQ(titles, (QStringList{"File(&F)", "Edit(&E)", "Tools(&T)", "Help(&H)"}));
    EXPECT_EQ(menuTexts(menus[0]), (QStringList{"New(&N)", "New for Gateway(&G)...", "Open(&O)...", "Save(&S)", "Save as(&A)...",
                                                "Export Commands...", "Import Commands...", "Recent Files(&R)",
                                                "Exit(&X)"}));
    EXPECT_EQ(menuTexts(menus[1]), (QStringList{"Undo(&U)", "Redo(&R)", "Add Node(&N)", "Delete Node(&D)", "Add Command(&I)",
                                                "Delete Command(&E)", "Copy Node(&C)", "Paste Node(&P)"}));
    EXPECT_EQ(menuTexts(menus[2]),
              (QStringList{"Serial Connection(&P)", "Ethernet Connection(&E)", "Upload(&U)", "Download(&D)",
                           "Compare with Gateway...", "Calculate Mapping Address(&M)", "Mapping Address Conflict Detection(&C)",
                           "Export EXCEL(&L)", "Debug(&S)"}));
    EXPECT_EQ(menuTexts(menus[3]), (QStringList{"Content(&C)", "About(&A)..."}));

    CommandRouter& r = w.router();
    using K = QKeySequence;
    EXPECT_EQ(r.action(CommandId::FileNew)->shortcut(), K("Ctrl+N"));
    EXPECT_EQ(r.action(CommandId::FileOpen)->shortcut(), K("Ctrl+O"));
    EXPECT_EQ(r.action(CommandId::FileSave)->shortcut(), K("Ctrl+S"));
    EXPECT_EQ(r.action(CommandId::CalculateMapping)->shortcut(), K("Ctrl+M"));
    EXPECT_EQ(r.action(CommandId::CopyNode)->shortcuts(), (QList<K>{K("Ctrl+C"), K("Ctrl+Ins")}));
    EXPECT_EQ(r.action(CommandId::PasteNode)->shortcuts(), (QList<K>{K("Ctrl+V"), K("Shift+Ins")}));
    EXPECT_TRUE(r.action(CommandId::Content)->shortcuts().isEmpty());
}

TEST(MainWindow, CtrlCCopiesANodeAndNeverOpensContent) {
    WindowHarness h;
    MainWindow& w = *h.window;
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

    // A node to select, so that Copy Node is enabled.
    Editor& editor = w.document().editor();
    const ItemId subnet1 = editor.tree().topLevel()[1];
    const ItemId node = editor.tree().insert(subnet1, "Node-1", 1);
    editor.selectItem(node);
    w.editorView().treeWidget()->setFocus();
    w.router().updateEnabling();
    ASSERT_TRUE(w.router().action(CommandId::CopyNode)->isEnabled());

    QSignalSpy spy(&w.router(), &CommandRouter::commandTriggered);
    QTest::keyClick(w.editorView().treeWidget(), Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).value<CommandId>(), CommandId::CopyNode);
    EXPECT_TRUE(h.openedUrls.empty());
    // Copy Node is wired to the editor now: it copies silently.
    EXPECT_TRUE(h.prompter.shown().empty());
    EXPECT_TRUE(editor.copyBuffer().valid);
}

TEST(MainWindow, DisabledCommandsDoNothing) {
    WindowHarness h;
    MainWindow& w = *h.window;
    // A disabled command does nothing at all.
    w.document().state().DeviceType = device::EtherNetIP;
    w.router().updateEnabling();
    h.prompter.clearShown();
    w.router().trigger(CommandId::SerialConnection);
    EXPECT_TRUE(h.prompter.shown().empty());
}

TEST(MainWindow, ConnectionCommandsFollowTheDeviceType) {
    WindowHarness h;
    MainWindow& w = *h.window;
    CommandRouter& r = w.router();
    EXPECT_FALSE(r.action(CommandId::SerialConnection)->isEnabled());
    EXPECT_TRUE(r.action(CommandId::EthernetConnection)->isEnabled());
    EXPECT_TRUE(r.action(CommandId::ConflictDetection)->isEnabled());

    // A file of another device type, saved and opened again through the window's commands.
    w.document().state().DeviceType = device::Profibus;
    h.chooser.saveAnswers.push_back(h.stdPath("profibus.chg"));
    r.trigger(CommandId::FileSaveAs);
    r.trigger(CommandId::FileNew);
    EXPECT_TRUE(r.action(CommandId::EthernetConnection)->isEnabled());
    h.chooser.openAnswers.push_back(h.stdPath("profibus.chg"));
    r.trigger(CommandId::FileOpen);
    ASSERT_EQ(w.document().state().DeviceType, device::Profibus)
        << testing::PrintToString(h.prompter.shown());
    EXPECT_TRUE(r.action(CommandId::SerialConnection)->isEnabled());
    EXPECT_FALSE(r.action(CommandId::EthernetConnection)->isEnabled());
    EXPECT_FALSE(r.action(CommandId::ConflictDetection)->isEnabled());
    EXPECT_EQ(topLevelTexts(w.editorView().treeWidget()), (QStringList{"Fieldbus", "Subnet"}));
    EXPECT_EQ(w.windowTitle(), "profibus.chg[*] - Veltrane");
}

TEST(MainWindow, TreeContextMenuOnlyWhereTheRulesAllowIt) {
    WindowHarness h;
    MainWindow& w = *h.window;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QTreeWidget* tree = w.editorView().treeWidget();
    auto rightClick = [&](int row) {
        const QRect rect = tree->visualItemRect(tree->topLevelItem(row));
        emit tree->customContextMenuRequested(rect.center());
    };

    rightClick(0); // "Ethernet"
    EXPECT_FALSE(w.treeContextMenu()->isVisible());
    EXPECT_EQ(tree->currentItem()->text(0), "Ethernet");

    rightClick(1); // "Subnet 1", a Modbus master
    EXPECT_TRUE(w.treeContextMenu()->isVisible());
    EXPECT_EQ(w.document().editor().tree().text(w.document().editor().tree().selected()), "Subnet 1");
    EXPECT_TRUE(w.router().action(CommandId::ContextAddNode)->isEnabled());
    EXPECT_FALSE(w.router().action(CommandId::ContextDeleteNode)->isEnabled());
    w.treeContextMenu()->close();

    w.document().project().subnets[1].protocolType = "Modbus Slave";
    rightClick(2);
    EXPECT_FALSE(w.treeContextMenu()->isVisible());

    // A click beside every item does nothing.
    const int selectedBefore = w.document().editor().tree().selected();
    emit tree->customContextMenuRequested(QPoint(5, tree->viewport()->height() - 2));
    EXPECT_FALSE(w.treeContextMenu()->isVisible());
    EXPECT_EQ(w.document().editor().tree().selected(), selectedBefore);
}

TEST(MainWindow, LockIndicatorsFollowTheKeyboardLeds) {
    ensureApplication();
    QTemporaryDir leds;
    auto led = [&](const QString& name, const char* value) {
        QDir(leds.path()).mkpath(name);
        QFile file(leds.filePath(name + "/brightness"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(value);
    };
    led("input3::capslock", "1\n");
    led("input3::numlock", "0\n");
    LockIndicators indicators(nullptr, leds.path());
    EXPECT_TRUE(indicators.capsLabel()->isEnabled());
    EXPECT_FALSE(indicators.numLabel()->isEnabled());
    EXPECT_TRUE(indicators.scrollLabel()->isEnabled()) << "no LED to read: the label stays shown";

    led("input3::capslock", "0\n");
    indicators.refresh();
    EXPECT_FALSE(indicators.capsLabel()->isEnabled());
}

TEST(MainWindow, ToolsCommandsReachMappingConflictsAndExport) {
    WindowHarness h;
    MainWindow& w = *h.window;
    CommandRouter& r = w.router();

    // Ctrl+M asks before it recalculates; Cancel leaves the project alone.
    h.prompter.clearShown();
    r.trigger(CommandId::CalculateMapping);
    EXPECT_EQ(h.prompter.shown(), (std::vector<std::string>{"Really want to recalculate the mapping address?"}));
    EXPECT_FALSE(w.document().state().ProjectModified);

    // Conflict Detection opens its dialog without blocking the caller.
    r.trigger(CommandId::ConflictDetection);
    auto* dialog = w.findChild<ConflictDetectionDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    dialog->close();

    // Export writes the workbook chosen in the (fake) save dialog.
    h.prompter.clearShown();
    r.trigger(CommandId::ExportExcel);
    EXPECT_TRUE(QFileInfo::exists(h.path(QStringLiteral("export.xlsx"))))
        << testing::PrintToString(h.prompter.shown());
}

TEST(MainWindow, AGridEditUpdatesTheEnablingAtOnce) {
    WindowHarness h;
    MainWindow& w = *h.window;
    Editor& editor = w.document().editor();
    CommandRouter& r = w.router();
    auto topItem = [&](const std::string& text) {
        for (ItemId id : editor.tree().topLevel())
            if (editor.tree().text(id) == text)
                return id;
        return kNoItem;
    };

    // A gateway whose subnet protocol is chosen in the grid.
    w.document().state().DeviceType = device::ProfibusFilter;
    applyProjectDefaults(w.document().project(), w.document().state());
    editor.rebuildTree();
    editor.selectItem(topItem("Subnet"));
    EXPECT_TRUE(r.action(CommandId::AddNode)->isEnabled());
    EXPECT_TRUE(r.action(CommandId::ContextAddNode)->isEnabled());

    // The protocol row: a Modbus slave subnet takes no nodes. No event loop runs in between, so
    // only the change notification can have disabled the commands.
    const auto& options = editor.view().options;
    editor.onGridClick(0, 1);
    const auto slave = std::find(options.begin(), options.end(), "Modbus Slave");
    ASSERT_NE(slave, options.end()) << testing::PrintToString(options);
    h.prompter.addAnswer(Answer::Ok);
    editor.commitOption(static_cast<int>(slave - options.begin()));
    ASSERT_EQ(w.document().project().subnets[0].protocolType, "Modbus Slave");
    EXPECT_FALSE(r.action(CommandId::AddNode)->isEnabled());
    EXPECT_FALSE(r.action(CommandId::ContextAddNode)->isEnabled());
}

// The "Info" help belongs to the row clicked: another tree item or another project empties it,
// without bringing the tab to the front.
TEST(MainWindow, InfoHelpGoesWithTheSelectionAndTheProject) {
    WindowHarness h;
    MainWindow& w = *h.window;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    auto* grid = qobject_cast<ParameterGridWidget*>(w.editorView().gridWidget());
    ASSERT_NE(grid, nullptr);
    QTableWidget* table = grid->table();
    QTreeWidget* tree = w.editorView().treeWidget();
    const auto clickTitle = [&](int row) {
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(row, 0)).center());
        QApplication::processEvents();
    };
    const auto clickItem = [&](int topLevel) {
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(tree->topLevelItem(topLevel)).center());
        QApplication::processEvents();
    };

    clickItem(1); // Subnet 1
    clickTitle(1);
    ASSERT_FALSE(w.bottomPane().infoText().isEmpty());
    clickItem(0); // Ethernet
    EXPECT_EQ(w.bottomPane().infoText(), "");

    clickTitle(0);
    ASSERT_FALSE(w.bottomPane().infoText().isEmpty());
    w.bottomPane().tabs()->setCurrentIndex(1);
    w.router().trigger(CommandId::FileNew);
    QApplication::processEvents();
    EXPECT_EQ(w.bottomPane().infoText(), "");
    EXPECT_EQ(w.bottomPane().tabs()->currentIndex(), 1);
}
