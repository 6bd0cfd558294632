#include "app/editor/editor_view.h"

#include "app/common/qt_text.h"
#include "core/document/command_enabling.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>

namespace veltrane {

namespace {
constexpr int kIdRole = Qt::UserRole + 1;
constexpr int kHeadingHeight = 20;

// A column of the view: its heading in a strip of fixed height, the content below it.
QWidget* withHeading(Str heading, QWidget* content) {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* label = new QLabel(qtr(heading), column);
    label->setFixedHeight(kHeadingHeight);
    layout->addWidget(label);
    layout->addWidget(content, 1);
    return column;
}
} // namespace

EditorView::EditorView(Editor& editor, QWidget* parent) : QWidget(parent), m_editor(editor) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    m_columns = new QSplitter(Qt::Horizontal, this);
    m_columns->setHandleWidth(kHandleWidth);
    m_columns->setChildrenCollapsible(false);
    layout->addWidget(m_columns);

    m_tree = new QTreeWidget;
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree->setMinimumWidth(kMinTreeWidth);

    m_gridArea = new QWidget;
    m_gridArea->setMinimumWidth(kMinRightWidth - kHandleWidth);
    m_gridArea->setAutoFillBackground(true);
    m_gridArea->setBackgroundRole(QPalette::Base);
    m_gridLayout = new QVBoxLayout(m_gridArea);
    m_gridLayout->setContentsMargins(0, 0, 0, 0);

    m_columns->addWidget(withHeading(Str::HeadingDevice, m_tree));
    m_columns->addWidget(withHeading(Str::HeadingConfiguration, m_gridArea));
    m_columns->setStretchFactor(0, 0);
    m_columns->setStretchFactor(1, 1);
    m_columns->setSizes({300, 900});

    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { onCurrentItemChanged(current); });
    connect(m_tree, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { onItemExpansion(item, true); });
    connect(m_tree, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* item) { onItemExpansion(item, false); });
    connect(m_tree, &QTreeWidget::customContextMenuRequested, this, &EditorView::onContextMenu);

    m_treeSubscription = m_editor.tree().changes().subscribe([this] { onModelChanged(); });
    rebuildTree();
}

EditorView::~EditorView() = default;

void EditorView::setGridWidget(QWidget* grid) {
    if (m_grid == grid)
        return;
    if (m_grid) {
        m_gridLayout->removeWidget(m_grid);
        m_grid->deleteLater();
    }
    m_grid = grid;
    if (m_grid) {
        m_grid->setParent(m_gridArea);
        m_gridLayout->addWidget(m_grid);
        m_grid->show();
    }
}

ItemId EditorView::idOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, kIdRole).toInt() : kNoItem;
}

QTreeWidgetItem* EditorView::itemFor(ItemId id) const {
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
        if (idOf(*it) == id)
            return *it;
    return nullptr;
}

void EditorView::onModelChanged() {
    if (m_fromWidget) {
        // Catch up after the widget's signal has returned, in case the rules changed more than
        // the click did.
        if (!m_rebuildQueued) {
            m_rebuildQueued = true;
            QTimer::singleShot(0, this, [this] {
                if (m_rebuildQueued)
                    rebuildTree();
            });
        }
    } else {
        rebuildTree();
    }
    emit treeChanged();
}

void EditorView::addItems(QTreeWidgetItem* parentItem, ItemId parentId) {
    const TreeModel& model = m_editor.tree();
    for (ItemId id : model.children(parentId)) {
        auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(m_tree);
        item->setText(0, fromStored(model.text(id)));
        item->setData(0, kIdRole, id);
        addItems(item, id);
    }
}

void EditorView::rebuildTree() {
    m_rebuildQueued = false;
    const TreeModel& model = m_editor.tree();
    const int scroll = m_tree->verticalScrollBar()->value();
    m_rebuilding = true;
    {
        const QSignalBlocker blocker(m_tree);
        m_tree->clear();
        addItems(nullptr, kNoItem);
        for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
            (*it)->setExpanded(model.contains(idOf(*it)) && model.isExpanded(idOf(*it)));
        QTreeWidgetItem* selected = itemFor(model.selected());
        m_tree->setCurrentItem(selected);
        if (selected)
            selected->setSelected(true);
    }
    m_rebuilding = false;
    m_tree->verticalScrollBar()->setValue(scroll);
}

void EditorView::onCurrentItemChanged(QTreeWidgetItem* current) {
    if (m_rebuilding || !current)
        return;
    const ItemId id = idOf(current);
    if (id == m_editor.tree().selected())
        return;
    m_fromWidget = true;
    m_editor.selectItem(id);
    m_fromWidget = false;
}

void EditorView::onItemExpansion(QTreeWidgetItem* item, bool expanded) {
    if (m_rebuilding)
        return;
    const ItemId id = idOf(item);
    if (!m_editor.tree().contains(id) || m_editor.tree().isExpanded(id) == expanded)
        return;
    m_fromWidget = true;
    m_editor.tree().setExpanded(id, expanded);
    m_fromWidget = false;
}

void EditorView::onContextMenu(const QPoint& pos) {
    QTreeWidgetItem* item = m_tree->itemAt(pos);
    if (!item)
        return;
    m_fromWidget = true;
    const bool showMenu = m_editor.contextMenu(idOf(item));
    m_fromWidget = false;
    if (showMenu)
        emit contextMenuRequested(m_tree->viewport()->mapToGlobal(pos));
}

} // namespace veltrane
