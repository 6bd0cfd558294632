// The main window as people work in it, driven by real key and mouse events offscreen: small
// screens and the remembered layout, the caption, where help is read, start-up and the save
// question behind Ctrl+N.
#include "app/editor/editor_view.h"
#include "app/grid/parameter_grid_widget.h"
#include "app/shell/bottom_pane.h"
#include "app/shell/command_router.h"
#include "app/shell/splash_screen.h"
#include "app/shell/startup.h"
#include "support/gui_test_support.h"

#include <QDir>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>
#include <QSplashScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace veltrane;
using namespace veltrane::test;

namespace {

const std::string kSaveQuestion = "Configuration has been changed, save it or not?";

void showActive(MainWindow& w) {
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}

// Selects "Subnet 1" in the tree with the mouse, adds a node there with the toolbar button and
// selects the new node.
void addNodeWithTheMouse(MainWindow& w) {
    QTreeWidget* tree = w.editorView().treeWidget();
    QTreeWidgetItem* subnet = tree->topLevelItem(1);
    ASSERT_EQ(subnet->text(0), "Subnet 1");
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(subnet).center());
    QWidget* button = w.toolBar()->widgetForAction(w.router().action(CommandId::AddNode));
    ASSERT_TRUE(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    QApplication::processEvents();
    subnet = tree->topLevelItem(1);
    ASSERT_EQ(subnet->childCount(), 1);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(subnet->child(0)).center());
    ASSERT_EQ(tree->currentItem()->text(0).left(5), "Node-");
}

ParameterGridWidget& gridOf(MainWindow& w) {
    return *static_cast<ParameterGridWidget*>(w.editorView().gridWidget());
}

void clickCell(MainWindow& w, int row, int column) {
    QTableWidget* table = gridOf(w).table();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualItemRect(table->item(row, column)).center());
    QApplication::processEvents();
}

void clickValueCell(MainWindow& w, int row) {
    clickCell(w, row, 1);
}

QRect rectIn(QWidget* widget, QWidget* window) {
    return QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
}

void saveScreenshot(QWidget* widget, const QString& name) {
    const QString dir = QStringLiteral(VELTRANE_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    EXPECT_TRUE(widget->grab().save(dir + "/" + name));
}

// A prompter that notes what was on screen when a message came.
class WitnessPrompter : public ScriptedPrompter {
public:
    std::function<void()> onMessage;
    void message(const std::string& text) override {
        if (onMessage)
            onMessage();
        ScriptedPrompter::message(text);
    }
};

} // namespace

TEST(WindowHabits, EveryPartStaysOnASmallScreenAndTheGridScrolls) {
    WindowHarness h;
    MainWindow& w = *h.window;
    // A 1024 x 600 screen less a panel and a title bar.
    const QSize small(1024, 540);
    EXPECT_LE(w.minimumSize().width(), small.width());
    EXPECT_LE(w.minimumSize().height(), small.height());
    EXPECT_LE(w.minimumSizeHint().width(), small.width());
    EXPECT_LE(w.minimumSizeHint().height(), small.height());

    w.setWindowState(Qt::WindowNoState);
    showActive(w);
    addNodeWithTheMouse(w);
    w.resize(small);
    QApplication::processEvents();
    ASSERT_EQ(w.size(), small);
    clickCell(w, 0, 0); // the row's help, in the shots

    QTableWidget* table = gridOf(w).table();
    const QList<QWidget*> parts = {w.menuBar(), w.toolBar(), w.editorView().treeWidget(), table,
                                   &w.bottomPane(), w.bottomPane().infoBox(), w.statusBar()};
    for (QWidget* part : parts) {
        SCOPED_TRACE(part->metaObject()->className());
        EXPECT_TRUE(part->isVisible());
        EXPECT_GT(part->height(), 0);
        EXPECT_TRUE(w.rect().contains(rectIn(part, &w)));
    }
    // The grid shows several rows and scrolls to the rest instead of being cut off.
    EXPECT_GE(table->viewport()->height(), 3 * table->rowHeight(0));
    EXPECT_TRUE(table->verticalScrollBar()->isVisible());

    w.resize(1024, 600);
    QApplication::processEvents();
    saveScreenshot(&w, QStringLiteral("main_window_1024x600.png"));

    w.resize(1920, 1080);
    QApplication::processEvents();
    saveScreenshot(&w, QStringLiteral("main_window_1920x1080.png"));
}

TEST(WindowHabits, SizeSplitterAndPaneHeightAreRememberedBetweenRuns) {
    WindowHarness h;
    int paneHeight = 0;
    {
        MainWindow& w = *h.window;
        w.setWindowState(Qt::WindowNoState);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.resize(780, 520);
        w.editorView().horizontalSplitter()->setSizes({333, 400});
        w.resizeDocks({&w.bottomPane()}, {130}, Qt::Vertical);
        QApplication::processEvents();
        paneHeight = w.bottomPane().height();
        ASSERT_TRUE(w.close());
    }
    MainWindow again(h.options());
    again.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
    QApplication::processEvents();
    EXPECT_EQ(again.size(), QSize(780, 520));
    EXPECT_EQ(again.editorView().horizontalSplitter()->sizes().at(0), 333);
    EXPECT_EQ(again.bottomPane().height(), paneHeight);
}

TEST(WindowHabits, CaptionNamesTheFileAndMarksUnsavedChanges) {
    WindowHarness h;
    MainWindow& w = *h.window;
    EXPECT_EQ(w.windowTitle(), "Gateway Configuration Software Veltrane[*]");
    EXPECT_FALSE(w.isWindowModified());

    // A file on the command line, by the same way the program starts.
    h.chooser.saveAnswers.push_back(h.stdPath("line.chg"));
    w.router().trigger(CommandId::FileSaveAs);
    WindowHarness started;
    startMainWindow(*started.window, nullptr, h.path("line.chg"));
    EXPECT_EQ(started.window->windowTitle(), "line.chg[*] - Veltrane");
    EXPECT_FALSE(started.window->isWindowModified());

    // An edit marks it, a save takes the mark away.
    showActive(w);
    addNodeWithTheMouse(w);
    EXPECT_TRUE(w.isWindowModified());
    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(w.isWindowModified());
    EXPECT_EQ(w.windowTitle(), "line.chg[*] - Veltrane");
    // The mapping calculation rewrites addresses: that is an edit too.
    w.document().editor().addCommand(2);
    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
    ASSERT_FALSE(w.isWindowModified());
    INSTRUCTION& command = w.document().project().subnets[0].commands[0];
    command.dataCount = "1";
    command.startAddress = "0";
    command.mappingAddress = "1e0";
    h.prompter.addAnswer(Answer::Ok); // "Really want to recalculate the mapping address?"
    QTest::keyClick(&w, Qt::Key_M, Qt::ControlModifier);
    ASSERT_NE(command.mappingAddress, "1e0") << testing::PrintToString(h.prompter.shown());
    EXPECT_TRUE(w.isWindowModified());

    // Qt's own mark in a file's name stays part of the name.
    h.chooser.saveAnswers.push_back(h.stdPath("odd[*].chg"));
    w.router().trigger(CommandId::FileSaveAs);
    EXPECT_EQ(w.windowTitle(), "odd[*][*].chg[*] - Veltrane");
}

TEST(WindowHabits, HelpIsReadInTheInfoTabWhoseNameHeadsThePane) {
    WindowHarness h;
    MainWindow& w = *h.window;
    showActive(w);
    BottomPane& pane = w.bottomPane();
    EXPECT_EQ(pane.windowTitle(), "Info");
    // The grid has no second help box under it.
    EXPECT_TRUE(w.editorView().findChildren<QTextEdit*>().isEmpty());

    QTabBar* tabs = pane.tabs()->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    EXPECT_EQ(pane.windowTitle(), "News");

    // A click on a row brings its help to the front, under the heading that names it.
    addNodeWithTheMouse(w);
    clickValueCell(w, 0);
    EXPECT_EQ(pane.tabs()->currentIndex(), 0);
    EXPECT_EQ(pane.windowTitle(), "Info");
    EXPECT_EQ(pane.infoText(), "Modbus Slave Address");
}

TEST(WindowHabits, StartUpShowsTheWindowAndThenTheFileMessageOverIt) {
    WindowHarness h;
    WitnessPrompter prompter;
    ShellOptions options = h.options();
    options.prompter = &prompter;

    auto splash = makeSplashScreen();
    splash->show();
    // A modifier held while starting reaches the start-up window; it must change nothing.
    QTest::keyPress(splash.get(), Qt::Key_Alt, Qt::AltModifier);
    MainWindow window(options);
    bool windowShownAtMessage = false;
    bool splashGoneAtMessage = false;
    prompter.onMessage = [&] {
        windowShownAtMessage = window.isVisible();
        splashGoneAtMessage = !splash->isVisible();
    };

    startMainWindow(window, splash.get(), h.path(QStringLiteral("missing.chg")));
    // Nothing waited for the window to be exposed: it is shown and the splash is gone at once.
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(splash->isVisible());
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_TRUE(windowShownAtMessage);
    EXPECT_TRUE(splashGoneAtMessage);
    QTest::keyRelease(splash.get(), Qt::Key_Alt, Qt::NoModifier);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
}

// New through its real shortcut asks the save question, also while the typed text that made the
// change still sits in the grid's open edit box.
TEST(WindowHabits, CtrlNAsksTheSaveQuestionOverUnsavedWork) {
    for (const bool typedButNotCommitted : {false, true}) {
        SCOPED_TRACE(typedButNotCommitted);
        WindowHarness h;
        MainWindow& w = *h.window;
        showActive(w);
        addNodeWithTheMouse(w);
        h.chooser.saveAnswers.push_back(h.stdPath("saved.chg"));
        QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
        ASSERT_FALSE(w.document().state().ProjectModified);

        clickValueCell(w, 0);
        QLineEdit* box = gridOf(w).editBox();
        ASSERT_TRUE(box->isVisible());
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, QStringLiteral("7"));
        if (!typedButNotCommitted)
            QTest::keyClick(box, Qt::Key_Return);
        ASSERT_EQ(w.document().state().ProjectModified, !typedButNotCommitted);

        h.prompter.clearShown();
        h.prompter.addAnswer(Answer::Cancel);
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &w;
        QTest::keyClick(focus, Qt::Key_N, Qt::ControlModifier);
        ASSERT_EQ(h.prompter.shown(), std::vector<std::string>{kSaveQuestion});
        // Cancel keeps the project and what was typed.
        EXPECT_EQ(w.document().project().subnets[0].nodes[0].address, "7");
        EXPECT_EQ(w.editorView().treeWidget()->currentItem()->text(0), "Node-7");
    }
}

// A value the grid puts back without a message says why in the status bar, and nothing else.
TEST(WindowHabits, ARefusedValueIsExplainedInTheStatusBar) {
    WindowHarness h;
    MainWindow& w = *h.window;
    showActive(w);
    addNodeWithTheMouse(w);
    h.prompter.clearShown();
    clickValueCell(w, 0);
    QLineEdit* box = gridOf(w).editBox();
    ASSERT_TRUE(box->isVisible());
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("300"));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(w.statusBar()->currentMessage(), "\"300\" was not accepted: Slave Address (0~247) takes 0 to 247.");
    EXPECT_EQ(w.document().project().subnets[0].nodes[0].address, "1");
    EXPECT_TRUE(h.prompter.shown().empty());
}
