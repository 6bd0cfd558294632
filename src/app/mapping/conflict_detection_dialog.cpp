#include "app/mapping/conflict_detection_dialog.h"

#include "app/mapping/bit_popup.h"
#include "app/mapping/buffer_colours.h"
#include "app/mapping/buffer_grid_model.h"
#include "core/strings/strings.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <utility>

namespace veltrane {

namespace {

constexpr int kAddressColumnWidth = 40;  // 600 twips
constexpr int kByteColumnWidth = 20;    // 300 twips
constexpr int kRowHeight = 16;

QString qtText(Str id) {
    return QString::fromStdString(tr(id));
}

QWidget* legendItem(OccupancyColour colour, Str text) {
    auto* item = new QWidget;
    auto* layout = new QHBoxLayout(item);
    layout->setContentsMargins(0, 0, 12, 0);
    auto* box = new QFrame;
    box->setFixedSize(16, 16);
    box->setFrameShape(QFrame::Box);
    box->setAutoFillBackground(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, cellQColor(colour));
    box->setPalette(palette);
    layout->addWidget(box);
    layout->addWidget(new QLabel(qtText(text)));
    return item;
}

}  // namespace

ConflictDetectionDialog::ConflictDetectionDialog(const Project& project, const ProjectState& state,
                                                 MappingConflictState& conflictState, QWidget* parent)
    : QDialog(parent), m_detection(conflictState) {
    setWindowTitle(qtText(Str::ConflictDialogTitle));
    m_detection.open(project, state);

    m_list = new QListWidget;
    m_list->setFixedWidth(220);
    for (const ConflictDetection::Line& line : m_detection.lines()) {
        auto* item = new QListWidgetItem(QString::fromStdString(line.text), m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    connect(m_list, &QListWidget::itemChanged, this, &ConflictDetectionDialog::onItemChanged);

    m_inputModel = new BufferGridModel(m_detection, BufferGrid::Input, this);
    m_outputModel = new BufferGridModel(m_detection, BufferGrid::Output, this);
    m_inputView = makeGridView(m_inputModel);
    m_outputView = makeGridView(m_outputModel);

    auto* grids = new QHBoxLayout;
    grids->addWidget(m_list);
    for (auto [view, heading] : {std::pair{m_inputView, Str::InputBufferHeading},
                                 std::pair{m_outputView, Str::OutputBufferHeading}}) {
        auto* column = new QVBoxLayout;
        column->addWidget(new QLabel(qtText(heading)));
        column->addWidget(view, 1);
        grids->addLayout(column);
    }

    auto* legend = new QHBoxLayout;
    legend->addWidget(legendItem(OccupancyColour::Input, Str::LegendInput));
    legend->addWidget(legendItem(OccupancyColour::Output, Str::LegendOutput));
    legend->addWidget(legendItem(OccupancyColour::Conflict, Str::LegendConflict));
    legend->addWidget(legendItem(OccupancyColour::LocalExchange, Str::LegendLocalExchange));
    legend->addStretch(1);
    // Closing is not OK: the detection list goes with the dialog, as with Escape or the close box.
    auto* close = new QPushButton(qtText(Str::ConflictClose), this);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    legend->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grids, 1);
    layout->addLayout(legend);
    resize(1060, 640);
}

ConflictDetectionDialog::~ConflictDetectionDialog() {
    // The views and models read the detection, which dies before QDialog deletes the children.
    delete std::exchange(m_popup, nullptr);
    delete std::exchange(m_inputView, nullptr);
    delete std::exchange(m_outputView, nullptr);
    delete std::exchange(m_inputModel, nullptr);
    delete std::exchange(m_outputModel, nullptr);
}

QTableView* ConflictDetectionDialog::view(BufferGrid grid) const {
    return grid == BufferGrid::Input ? m_inputView : m_outputView;
}

BufferGridModel* ConflictDetectionDialog::model(BufferGrid grid) const {
    return grid == BufferGrid::Input ? m_inputModel : m_outputModel;
}

QTableView* ConflictDetectionDialog::makeGridView(BufferGridModel* model) {
    auto* view = new QTableView;
    view->setModel(model);
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    view->horizontalHeader()->setMinimumSectionSize(kByteColumnWidth);
    view->horizontalHeader()->setDefaultSectionSize(kByteColumnWidth);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->setColumnWidth(0, kAddressColumnWidth);
    view->verticalHeader()->setMinimumSectionSize(kRowHeight);
    view->verticalHeader()->setDefaultSectionSize(kRowHeight);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Selection highlight would hide the colours, which are all the grid has to say.
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setFocusPolicy(Qt::NoFocus);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont font = view->font();
    font.setPixelSize(10);
    view->setFont(font);
    const int width = kAddressColumnWidth + 16 * kByteColumnWidth + 2 * view->frameWidth() +
                      view->verticalScrollBar()->sizeHint().width();
    view->setFixedWidth(width);
    view->viewport()->installEventFilter(this);
    return view;
}

void ConflictDetectionDialog::onItemChanged(QListWidgetItem* item) {
    const int line = m_list->row(item);
    if (line < 0)
        return;
    const auto ranges =
        m_detection.setLineChecked(static_cast<std::size_t>(line), item->checkState() == Qt::Checked);
    for (const GridRange& range : ranges)
        model(range.grid)->refresh(range.first, range.end);
}

bool ConflictDetectionDialog::eventFilter(QObject* watched, QEvent* event) {
    if (m_inputView == nullptr || m_outputView == nullptr)
        return QDialog::eventFilter(watched, event);
    const bool input = watched == m_inputView->viewport();
    if (!input && watched != m_outputView->viewport())
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (m_skipNextGridPress) {
            m_skipNextGridPress = false;
        } else if (mouse->button() != Qt::RightButton) {
            QTableView* grid = input ? m_inputView : m_outputView;
            const std::int64_t byte = BufferGridModel::byteOf(grid->indexAt(mouse->position().toPoint()));
            if (byte >= 0)
                showBits(input ? BufferGrid::Input : BufferGrid::Output, byte,
                         mouse->globalPosition().toPoint());
        }
    } else if (event->type() == QEvent::MouseButtonRelease && m_popup != nullptr) {
        m_popup->hide();
    }
    return QDialog::eventFilter(watched, event);
}

void ConflictDetectionDialog::mousePressEvent(QMouseEvent* event) {
    // Presses on the grids never arrive here; this is the dialog's own surface.
    if (event->button() == Qt::RightButton)
        m_skipNextGridPress = true;
    QDialog::mousePressEvent(event);
}

void ConflictDetectionDialog::showBits(BufferGrid grid, std::int64_t byte, const QPoint& globalPos) {
    delete m_popup;
    std::array<OccupancyColour, 8> bits{};
    for (int i = 0; i < 8; ++i)
        bits[static_cast<std::size_t>(i)] = m_detection.bitCellColour(grid, byte, i);
    m_popup = new BitPopup(bits, this);
    m_popup->move(globalPos);
    m_popup->show();
}

}  // namespace veltrane
