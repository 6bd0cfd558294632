#pragma once
// The configuration editor's widgets: the project tree on the left under the heading "Device",
// mirrored from the editor's headless tree, and on the right under "Configuration" the parameter
// grid, which takes the whole column: the selected row's help is read in the main window's "Info"
// tab, so no second help box competes with it. The widget only shows the model and forwards clicks;
// every rule stays in the core editor.

#include "core/editor/editor.h"

#include <QWidget>

class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;

namespace veltrane {

class EditorView : public QWidget {
    Q_OBJECT
public:
    // Splitter limits: the tree keeps at least this width and leaves the right side this much.
    static constexpr int kMinTreeWidth = 100;
    static constexpr int kMinRightWidth = 200;
    static constexpr int kHandleWidth = 5;

    explicit EditorView(Editor& editor, QWidget* parent = nullptr);
    ~EditorView() override;

    // Places the parameter grid in the right column; the view takes ownership.
    void setGridWidget(QWidget* grid);
    QWidget* gridWidget() const { return m_grid; }

    QTreeWidget* treeWidget() const { return m_tree; }
    QSplitter* horizontalSplitter() const { return m_columns; }
    QWidget* gridColumn() const { return m_gridArea; }
    QTreeWidgetItem* itemFor(ItemId id) const;

    // Rebuilds the tree widget from the model now.
    void rebuildTree();

signals:
    // The model changed (structure, texts, expansion or selection).
    void treeChanged();
    // A right click on an item that has a context menu; global position.
    void contextMenuRequested(const QPoint& globalPos);

private:
    void onModelChanged();
    void onCurrentItemChanged(QTreeWidgetItem* current);
    void onItemExpansion(QTreeWidgetItem* item, bool expanded);
    void onContextMenu(const QPoint& pos);
    void addItems(QTreeWidgetItem* parentItem, ItemId parentId);
    static ItemId idOf(const QTreeWidgetItem* item);

    Editor& m_editor;
    ChangeSignal<>::Subscription m_treeSubscription;
    QSplitter* m_columns = nullptr;
    QTreeWidget* m_tree = nullptr;
    QWidget* m_gridArea = nullptr;
    QVBoxLayout* m_gridLayout = nullptr;
    QWidget* m_grid = nullptr;
    // Set while a change comes from the widget itself: the widget already shows it, and rebuilding
    // the items inside the widget's own signal would delete the item being handled.
    bool m_fromWidget = false;
    bool m_rebuilding = false;
    bool m_rebuildQueued = false;
};

} // namespace veltrane
