#include "app/grid/parameter_grid_widget.h"

#include "core/editor/editor_layout.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace veltrane {

namespace {
const QColor kGrey(200, 200, 200);

QString fromCore(const std::string& text) {
    QString out = QString::fromStdString(text);
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return out;
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
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setFocusPolicy(Qt::ClickFocus);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(gridRowHeight(logicalDpiY()) + 4);
    for (int row = 0; row < ParameterGrid::kRows; ++row) {
        for (int column = 0; column < ParameterGrid::kColumns; ++column) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            item->setFlags(Qt::ItemIsEnabled);
            m_table->setItem(row, column, item);
        }
    }
    m_table->viewport()->installEventFilter(this);
    layout->addWidget(m_table);

    m_editBox = new QLineEdit(m_table->viewport());
    m_editBox->hide();
    m_editBox->installEventFilter(this);
    m_options = new QComboBox(m_table->viewport());
    m_options->hide();
    m_options->installEventFilter(this);

    connect(m_table, &QTableWidget::cellClicked, this, &ParameterGridWidget::onCellClicked);
    connect(m_editBox, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_editor.setEditBoxText(text.toStdString()); });
    connect(m_editBox, &QLineEdit::returnPressed, this, &ParameterGridWidget::commitEdit);
    connect(m_options, &QComboBox::activated, this, &ParameterGridWidget::onOptionActivated);

    m_gridSubscription = m_editor.grid().changes().subscribe([this] { scheduleRefresh(); });
    m_editor.onHelpShown = [this] {
        if (onHelpText)
            onHelpText(fromCore(m_editor.helpText()));
    };
    refresh();
}

ParameterGridWidget::~ParameterGridWidget() {
    m_editor.onHelpShown = nullptr;
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
            const QString text = fromCore(grid.text(row, column));
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
        const QString text = QString::fromStdString(view.editBoxText);
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
                m_options->addItem(QString::fromStdString(option));
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

void ParameterGridWidget::onCellClicked(int row, int column) {
    m_editor.onGridClick(row, column);
    refresh();
}

void ParameterGridWidget::onOptionActivated(int index) {
    m_editor.commitOption(index);
    refresh();
}

void ParameterGridWidget::commitEdit() {
    // A message shown by the commit takes the focus from the edit box; that must not commit again.
    if (m_refreshing || m_committing)
        return;
    m_committing = true;
    m_editor.setEditBoxText(m_editBox->text().toStdString());
    m_editor.commitEdit();
    m_committing = false;
    refresh();
}

void ParameterGridWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_editor.viewResized();
    refresh();
}

bool ParameterGridWidget::eventFilter(QObject* watched, QEvent* event) {
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
