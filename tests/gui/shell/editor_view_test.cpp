#include "app/editor/editor_view.h"
#include "support/gui_test_support.h"

#include <QLabel>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace veltrane;
using namespace veltrane::test;

namespace {
struct ViewFixture {
    ScriptedPrompter prompter;
    Document document{prompter};
    std::unique_ptr<EditorView> view;
    ItemId subnet1 = kNoItem;
    ItemId node = kNoItem;
    ItemId command = kNoItem;

    ViewFixture() {
        ensureApplication();
        document.newDocument();
        view = std::make_unique<EditorView>(document.editor());
        view->resize(1000, 600);
        TreeModel& tree = document.editor().tree();
        subnet1 = tree.topLevel()[1];
        node = tree.insert(subnet1, "Node-1", 1);
        command = tree.insert(node, "03 Read Holding Register", 1);
        tree.setExpanded(subnet1, true);
        tree.setExpanded(node, true);
    }
    TreeModel& tree() { return document.editor().tree(); }
};
} // namespace

TEST(EditorView, MirrorsTheModelBothWays) {
    ViewFixture f;
    QTreeWidget* widget = f.view->treeWidget();
    QTreeWidgetItem* nodeItem = f.view->itemFor(f.node);
    ASSERT_NE(nodeItem, nullptr);
    EXPECT_EQ(nodeItem->text(0), "Node-1");
    EXPECT_EQ(nodeItem->child(0)->text(0), "03 Read Holding Register");
    EXPECT_TRUE(nodeItem->isExpanded());

    // Model to widget.
    f.document.editor().selectItem(f.command);
    EXPECT_EQ(widget->currentItem(), f.view->itemFor(f.command));

    // Widget to model: the selection reaches the editor and its flags.
    widget->setCurrentItem(f.view->itemFor(f.node));
    EXPECT_EQ(f.tree().selected(), f.node);
    EXPECT_TRUE(f.document.editor().editFlags().addCommand);
    f.view->itemFor(f.node)->setExpanded(false);
    EXPECT_FALSE(f.tree().isExpanded(f.node));

    // The queued catch-up rebuild keeps what the user did.
    QCoreApplication::processEvents();
    EXPECT_EQ(widget->currentItem()->text(0), "Node-1");
    EXPECT_FALSE(f.view->itemFor(f.node)->isExpanded());

    // A structural change in the model shows at once.
    f.tree().remove(f.node);
    EXPECT_EQ(f.view->itemFor(f.node), nullptr);
    EXPECT_EQ(f.view->itemFor(f.subnet1)->childCount(), 0);
}

TEST(EditorView, GridPlaceHeadingsAndSplitterLimits) {
    ViewFixture f;
    f.view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.view.get()));
    auto* grid = new QLabel(QStringLiteral("grid"));
    f.view->setGridWidget(grid);
    EXPECT_EQ(f.view->gridWidget(), grid);
    EXPECT_TRUE(f.view->isAncestorOf(grid));

    // "Device" heads the tree and "Configuration" the grid, each over its own column.
    const auto headingOver = [&](QWidget* below) -> QLabel* {
        for (QLabel* label : f.view->findChildren<QLabel*>()) {
            if (label == grid || !label->isVisible())
                continue;
            const QRect l(label->mapTo(f.view.get(), QPoint(0, 0)), label->size());
            const QRect b(below->mapTo(f.view.get(), QPoint(0, 0)), below->size());
            if (l.bottom() < b.top() && l.left() == b.left() && l.width() == b.width())
                return label;
        }
        return nullptr;
    };
    QLabel* device = headingOver(f.view->treeWidget());
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->text(), "Device");
    QLabel* configuration = headingOver(f.view->gridColumn());
    ASSERT_NE(configuration, nullptr);
    EXPECT_EQ(configuration->text(), "Configuration");

    QSplitter* columns = f.view->horizontalSplitter();
    EXPECT_EQ(columns->handleWidth(), 5);
    // Dragging the boundary to the extremes stops at the limits.
    columns->setSizes({10, 2000});
    EXPECT_GE(columns->sizes()[0], EditorView::kMinTreeWidth);
    columns->setSizes({2000, 10});
    EXPECT_GE(columns->sizes()[1] + columns->handleWidth(), EditorView::kMinRightWidth);
    // The grid fills its whole column: there is no second help box under it.
    EXPECT_EQ(grid->height(), f.view->gridColumn()->height());
    EXPECT_TRUE(f.view->findChildren<QTextEdit*>().isEmpty());
}
