#pragma once
// The configuration editor's widgets: the project tree on the left under the heading "Device",
// mirrored from the editor's headless tree, and on the right under "Configuration" the parameter
// grid above its help text box. The widget only shows the model and forwards clicks; every rule
// stays in the core editor.

#include "core/editor/editor.h"

#include <QWidget>

class QSplitter;
class QTextEdit;
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
    static constexpr int kMinGridHeight = 100;
    static constexpr int kMinHelpHeight = 50;
    static constexpr int kHandleWidth = 5;

    explicit EditorView(Editor& editor, QWidget* parent = nullptr);
    ~EditorView() override;

    // Places the parameter grid above the help text; the view takes ownership.
    void setGridWidget(QWidget* grid);
    QWidget* gridWidget() const { return m_grid; }
    void setHelpText(const QString& text);
    QString helpText() const;

    QTreeWidget* treeWidget() const { return m_tree; }
    QSplitter* horizontalSplitter() const { return m_columns; }
    QSplitter* verticalSplitter() const { return m_rightSide; }
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
    QSplitter* m_rightSide = nullptr;
    QTreeWidget* m_tree = nullptr;
    QWidget* m_gridArea = nullptr;
    QVBoxLayout* m_gridLayout = nullptr;
    QWidget* m_grid = nullptr;
    QTextEdit* m_help = nullptr;
    // Set while a change comes from the widget itself: the widget already shows it, and rebuilding
    // the items inside the widget's own signal would delete the item being handled.
    bool m_fromWidget = false;
    bool m_rebuilding = false;
    bool m_rebuildQueued = false;
};

} // namespace veltrane
