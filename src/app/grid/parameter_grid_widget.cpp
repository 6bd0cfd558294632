#include "app/grid/parameter_grid_widget.h"

#include "app/common/qt_text.h"
#include "core/editor/editor_layout.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace veltrane {

namespace {
const QColor kGrey(200, 200, 200);

QString withNewlines(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}
} // namespace

ParameterGridWidget::ParameterGridWidget(Editor& editor, QWidget* parent)
    : QWidget(parent), m_editor(editor) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_table = new QTableWidget(ParameterGrid::kRows, ParameterGrid::kColumns, this);
    m_table->horizontalHeader()->hide();
    // Each column takes half of the width.
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The current row is shown, so that the keyboard has a visible place to start from.
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setFocusPolicy(Qt::StrongFocus);
    // Without an open editor, Tab leaves the grid like any other control.
    m_table->setTabKeyNavigation(false);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(gridRowHeight(logicalDpiY()) + 4);
    for (int row = 0; row < ParameterGrid::kRows; ++row) {
        for (int column = 0; column < ParameterGrid::kColumns; ++column) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            m_table->setItem(row, column, item);
        }
    }
    m_table->viewport()->installEventFilter(this);
    m_table->installEventFilter(this);
    layout->addWidget(m_table);

    m_editBox = new QLineEdit(m_table->viewport());
    m_editBox->hide();
    m_editBox->installEventFilter(this);
    m_options = new QComboBox(m_table->viewport());
    m_options->hide();
    m_options->installEventFilter(this);
    // With its drop-down open the list's keys go to the drop-down; Tab must still move on.
    m_options->view()->installEventFilter(this);

    connect(m_table, &QTableWidget::cellClicked, this, &ParameterGridWidget::onCellClicked);
    connect(m_editBox, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_editor.setEditBoxText(text.toStdString()); });
    connect(m_options, &QComboBox::activated, this, &ParameterGridWidget::onOptionActivated);

    m_gridSubscription = m_editor.grid().changes().subscribe([this] { scheduleRefresh(); });
    m_editor.onHelpShown = [this] {
        if (onHelpText)
            onHelpText(withNewlines(toQString(m_editor.helpText())));
    };
    m_editor.onHelpCleared = [this] {
        if (onHelpCleared)
            onHelpCleared();
    };
    refresh();
}

ParameterGridWidget::~ParameterGridWidget() {
    m_editor.onHelpShown = nullptr;
    m_editor.onHelpCleared = nullptr;
}

void ParameterGridWidget::scheduleRefresh() {
    if (m_refreshQueued)
        return;
    m_refreshQueued = true;
    QTimer::singleShot(0, this, [this] {
        if (m_refreshQueued)
            refresh();
    });
}

void ParameterGridWidget::refresh() {
    m_refreshQueued = false;
    m_refreshing = true;
    const ParameterGrid& grid = m_editor.grid();
    const QBrush base = palette().base();
    for (int row = 0; row < ParameterGrid::kRows; ++row) {
        for (int column = 0; column < ParameterGrid::kColumns; ++column) {
            QTableWidgetItem* item = m_table->item(row, column);
            const QString text = withNewlines(fromStored(grid.text(row, column)));
            if (item->text() != text)
                item->setText(text);
            item->setBackground(grid.colour(row, column) == GridCellColour::Grey ? QBrush(kGrey) : base);
        }
    }
    placeEditors();
    m_refreshing = false;
}

QRect ParameterGridWidget::cellRect(int row, int column) const {
    return m_table->visualItemRect(m_table->item(row, column));
}

void ParameterGridWidget::placeEditors() {
    const GridState& view = m_editor.view();
    if (view.editBoxVisible) {
        m_editBox->setGeometry(cellRect(view.editorRow, view.editorColumn));
        const QString text = toQString(view.editBoxText);
        if (!m_editBox->isVisible() || m_editBoxRow != view.editorRow) {
            m_editBoxRow = view.editorRow;
            m_editBox->setText(text);
            m_editBox->show();
            m_editBox->setFocus(Qt::MouseFocusReason);
            m_editBox->selectAll();
        }
    } else if (m_editBox->isVisible()) {
        m_editBox->hide();
    }
    if (view.optionListVisible) {
        m_options->setGeometry(cellRect(view.editorRow, view.editorColumn));
        if (!m_options->isVisible()) {
            const QSignalBlocker blocker(m_options);
            m_options->clear();
            for (const std::string& option : view.options)
                m_options->addItem(fromStored(option));
            m_options->setCurrentIndex(view.currentOption);
            m_options->show();
            m_options->setFocus(Qt::MouseFocusReason);
            if (isVisible())
                m_options->showPopup();
        }
    } else if (m_options->isVisible()) {
        m_options->hide();
    }
}

void ParameterGridWidget::openRow(int row) {
    m_table->setCurrentCell(row, 1);
    m_editor.onGridClick(row, 1);
    refresh();
}

void ParameterGridWidget::moveToEditableRow(int step) {
    const GridState& view = m_editor.view();
    const int from = view.editorRow >= 0 ? view.editorRow : m_table->currentRow();
    if (view.editBoxVisible) {
        commitEdit();
    } else if (view.optionListVisible) {
        // Leaving the list without a pick stores nothing, as leaving it with the mouse does.
        m_editor.closeOptionList();
        refresh();
    }
    // The commit may have changed which rows can be edited; ask again.
    for (int i = 1; i <= ParameterGrid::kRows; ++i) {
        const int row = ((from + step * i) % ParameterGrid::kRows + ParameterGrid::kRows) % ParameterGrid::kRows;
        if (m_editor.isEditableRow(row)) {
            openRow(row);
            return;
        }
    }
}

bool ParameterGridWidget::editorKey(QObject* watched, int key, Qt::KeyboardModifiers modifiers) {
    switch (key) {
    case Qt::Key_Tab:
        moveToEditableRow((modifiers & Qt::ShiftModifier) ? -1 : 1);
        return true;
    case Qt::Key_Backtab:
        moveToEditableRow(-1);
        return true;
    case Qt::Key_Escape:
        if (watched == m_editBox)
            m_editor.cancelEdit();
        else if (m_options->view()->isVisible())
            return false; // the open drop-down closes first
        else
            m_editor.closeOptionList();
        refresh();
        m_table->setFocus(Qt::OtherFocusReason);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (watched != m_editBox)
            return false;
        commitEdit();
        m_table->setFocus(Qt::OtherFocusReason);
        return true;
    default:
        return false;
    }
}

bool ParameterGridWidget::tableKey(const QKeyEvent& event) {
    const GridState& view = m_editor.view();
    if (view.editBoxVisible || view.optionListVisible)
        return false;
    const int current = std::max(0, m_table->currentRow());
    switch (event.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const int row = std::clamp(current + (event.key() == Qt::Key_Up ? -1 : 1), 0, ParameterGrid::kRows - 1);
        m_table->setCurrentCell(row, 1);
        m_editor.onGridClick(row, 0);
        refresh();
        return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
        if (m_editor.isEditableRow(current))
            openRow(current);
        return true;
    default:
        return typedOnRow(current, event);
    }
}

bool ParameterGridWidget::typedOnRow(int row, const QKeyEvent& event) {
    const QString text = event.text();
    const bool command = event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (text.isEmpty() || !text.front().isPrint() || command)
        return false;
    // A character never searches the titles for a row to jump to; on an editable row it starts
    // editing, as in a Qt table.
    if (!m_editor.isEditableRow(row))
        return true;
    openRow(row);
    const GridState& view = m_editor.view();
    if (view.editBoxVisible) {
        m_editBox->setText(text);
        m_editor.setEditBoxText(text.toStdString());
    } else if (view.optionListVisible && m_options->view()->isVisible()) {
        // The open drop-down moves to the first option starting with it; nothing is picked yet.
        QKeyEvent forwarded(event.type(), event.key(), event.modifiers(), text);
        QApplication::sendEvent(m_options->view(), &forwarded);
    }
    return true;
}

bool ParameterGridWidget::keysInGrid() const {
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && (focus == m_table || focus == m_editBox || focus == m_options ||
                                focus == m_options->view() || m_options->view()->isAncestorOf(focus));
}

void ParameterGridWidget::keepKeysInGrid(bool hadKeys) {
    // A message or question shown by the commit took the keys; with no editor open they come back
    // to the grid, unless the user had taken them elsewhere (a click in the tree commits too).
    const GridState& view = m_editor.view();
    if (hadKeys && !view.editBoxVisible && !view.optionListVisible)
        m_table->setFocus(Qt::OtherFocusReason);
}

void ParameterGridWidget::onCellClicked(int row, int column) {
    m_editor.onGridClick(row, column);
    refresh();
}

void ParameterGridWidget::onOptionActivated(int index) {
    const bool hadKeys = keysInGrid();
    m_editor.commitOption(index);
    refresh();
    keepKeysInGrid(hadKeys);
}

void ParameterGridWidget::commitEdit() {
    // A message shown by the commit takes the focus from the edit box; that must not commit again.
    if (m_refreshing || m_committing)
        return;
    m_committing = true;
    const bool hadKeys = keysInGrid();
    m_editor.setEditBoxText(m_editBox->text().toStdString());
    m_editor.commitEdit();
    m_committing = false;
    refresh();
    keepKeysInGrid(hadKeys);
}

void ParameterGridWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_editor.viewResized();
    refresh();
}

static bool isTabKey(int key) {
    return key == Qt::Key_Tab || key == Qt::Key_Backtab;
}

bool ParameterGridWidget::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((watched == m_editBox || watched == m_options) && editorKey(watched, key->key(), key->modifiers()))
            return true;
        if (watched == m_options->view() && isTabKey(key->key())) {
            m_options->hidePopup();
            return editorKey(m_options, key->key(), key->modifiers());
        }
        if (watched == m_table && tableKey(*key))
            return true;
    }
    // The open editor follows its cell when the columns change width.
    if (watched == m_table->viewport() && event->type() == QEvent::Resize)
        placeEditors();
    if (event->type() == QEvent::FocusOut && !m_refreshing) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (watched == m_editBox && m_editBox->isVisible()) {
            commitEdit();
        } else if (watched == m_options && reason != Qt::PopupFocusReason && m_options->isVisible()) {
            // Leaving the list without a pick stores nothing.
            m_editor.closeOptionList();
            refresh();
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace veltrane
