#include "app/debug/debug_dialog.h"

#include "app/common/qt_text.h"
#include "app/debug/live_table_model.h"
#include "app/debug/report_list_model.h"
#include "app/debug/trace_writer.h"
#include "app/debug/trend_plot.h"
#include "core/common/ipv4.h"
#include "core/debug/debug_monitor.h"
#include "core/debug/send_validation.h"
#include "core/debug/trace_csv.h"
#include "core/debug/trend_series.h"
#include "core/interaction/file_chooser.h"
#include "core/interaction/prompter.h"
#include "core/model/file_io.h"
#include "link/debug_receiver.h"
#include "link/report_clock.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <filesystem>

namespace veltrane {

namespace {

// What the link received is taken and the views refreshed this often.
constexpr int kBatchMs = 50;
// The most time one batch may take from the event loop; what is left waits for the next batch.
constexpr int kBatchBudgetMs = 20;
// Steps taken from the link at once, between two looks at the clock.
constexpr std::size_t kTakeAtOnce = 256;
// How long "Send" waits for a report to answer with the write.
constexpr int kSendTimeoutMs = 3000;

QTableView* makeTable(QWidget* parent) {
    auto* view = new QTableView(parent);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setShowGrid(true);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(20);
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    return view;
}

}  // namespace

DebugDialog::DebugDialog(const DebugConnection& connection, Prompter& prompter, FileChooser& files, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_files(files), m_connection(connection) {
    setWindowTitle(qtr(Str::DebugDialogTitle));
    m_list = new ReportListModel(connection.transport, connection.historyLimit, this);
    m_live = new LiveTableModel(connection.transport, this);
    m_trend = std::make_unique<TrendSeries>();

    m_batch = new QTimer(this);
    m_batch->setInterval(kBatchMs);
    connect(m_batch, &QTimer::timeout, this, &DebugDialog::flushViews);
    m_sendTimeout = new QTimer(this);
    m_sendTimeout->setSingleShot(true);
    m_sendTimeout->setInterval(kSendTimeoutMs);
    connect(m_sendTimeout, &QTimer::timeout, this, [this] {
        // No report came to carry the write: drop it so that a later acknowledgement is not one.
        if (m_receiver)
            m_receiver->cancelWrite();
        m_sendButton->setEnabled(true);
    });

    buildUi();
    if (connection.transport != DebugTransport::None)
        openLink(connection);
}

// Closing through the destructor alone (no Exit) still tells the gateway to stop: the receiver does.
DebugDialog::~DebugDialog() = default;

void DebugDialog::buildUi() {
    m_listView = makeTable(this);
    m_listView->setModel(m_list);
    const auto columns = m_list->columnCount();
    // Wide enough for the longest status text and the column titles, which 80 pixels cut off.
    for (int c = 0; c < columns; ++c)
        m_listView->setColumnWidth(c, c == columns - 2 ? 300 : 110);
    if (columns > 0)
        m_listView->setColumnWidth(m_list->timeColumn(), 170);
    const int statusColumn = m_connection.transport == DebugTransport::Ethernet ? 1 : 0;
    if (columns > 0)
        m_listView->setColumnWidth(statusColumn, 150);
    m_listView->horizontalHeader()->setStretchLastSection(true);

    m_liveView = makeTable(this);
    m_liveView->setModel(m_live);
    m_liveView->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    if (m_connection.transport != DebugTransport::Ethernet)
        m_liveView->hideColumn(LiveTableModel::SerialIndex);
    if (m_connection.transport == DebugTransport::None) {
        m_liveView->hide();
        m_listView->horizontalHeader()->hide();
    }

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_listView);
    auto* livePane = new QWidget(splitter);
    auto* liveLayout = new QVBoxLayout(livePane);
    liveLayout->setContentsMargins(0, 0, 0, 0);
    liveLayout->addWidget(m_liveView);
    auto* resetButton = new QPushButton(qtr(Str::DebugLiveReset), livePane);
    connect(resetButton, &QPushButton::clicked, this, &DebugDialog::resetLiveTable);
    liveLayout->addWidget(resetButton, 0, Qt::AlignLeft);
    splitter->addWidget(livePane);
    splitter->addWidget(buildPlotPane(splitter));
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setStretchFactor(2, 3);
    // Selecting commands in the live table plots them; new commands are inserted as rows, so the
    // selection stays on its commands while reports flow.
    connect(m_liveView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &DebugDialog::plotSelectedCommands);
    connect(m_live, &QAbstractItemModel::modelReset, this, &DebugDialog::plotSelectedCommands);

    m_address = new QLineEdit(QString::fromLatin1(kDefaultSendAddress.data(), static_cast<qsizetype>(kDefaultSendAddress.size())), this);
    m_data = new QLineEdit(QString::fromLatin1(kDefaultSendData.data(), static_cast<qsizetype>(kDefaultSendData.size())), this);
    m_saveButton = new QPushButton(qtr(Str::DebugSaveContent), this);
    m_traceButton = new QPushButton(qtr(Str::DebugSaveTrace), this);
    m_displayButton = new QPushButton(qtr(Str::DebugStopDisplaying), this);
    m_sendButton = new QPushButton(qtr(Str::DebugSendButton), this);
    auto* exitButton = new QPushButton(qtr(Str::DebugExitButton), this);
    // Enter in an edit box must not close the dialog.
    for (QPushButton* button : {m_saveButton, m_traceButton, m_displayButton, m_sendButton, exitButton})
        button->setAutoDefault(false);
    connect(m_saveButton, &QPushButton::clicked, this, &DebugDialog::saveContent);
    connect(m_traceButton, &QPushButton::clicked, this, &DebugDialog::saveTrace);
    connect(m_displayButton, &QPushButton::clicked, this, &DebugDialog::toggleDisplay);
    connect(m_sendButton, &QPushButton::clicked, this, &DebugDialog::send);
    connect(exitButton, &QPushButton::clicked, this, &DebugDialog::exitDialog);

    auto* sendRow = new QHBoxLayout;
    sendRow->addWidget(new QLabel(qtr(Str::DebugAddressLabel), this));
    sendRow->addWidget(m_address);
    sendRow->addWidget(new QLabel(qtr(Str::DebugDataLabel), this));
    sendRow->addWidget(m_data, 1);
    sendRow->addWidget(m_sendButton);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_saveButton);
    buttonRow->addWidget(m_traceButton);
    buttonRow->addWidget(m_displayButton);
    m_droppedLabel = new QLabel(this);
    m_droppedLabel->hide();
    buttonRow->addWidget(m_droppedLabel);
    buttonRow->addStretch(1);
    buttonRow->addWidget(exitButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(sendRow);
    layout->addLayout(buttonRow);
    resize(1000, 860);
}

QWidget* DebugDialog::buildPlotPane(QWidget* parent) {
    auto* pane = new QWidget(parent);
    m_plot = new TrendPlot(*m_trend, m_connection.transport, pane);
    auto* pause = new QPushButton(qtr(Str::DebugPlotPause), pane);
    auto* zoomIn = new QPushButton(qtr(Str::DebugPlotZoomIn), pane);
    auto* zoomOut = new QPushButton(qtr(Str::DebugPlotZoomOut), pane);
    for (QPushButton* button : {pause, zoomIn, zoomOut})
        button->setAutoDefault(false);
    auto* span = new QLabel(qformat(Str::DebugPlotSeconds, {std::to_string(m_plot->spanMs() / 1000)}), pane);
    auto* kept = new QLabel(qformat(Str::DebugPlotKept, {std::to_string(m_trend->windowMs() / 60'000)}), pane);
    connect(pause, &QPushButton::clicked, m_plot, [this] { m_plot->setPaused(!m_plot->paused()); });
    connect(m_plot, &TrendPlot::pausedChanged, pause,
            [pause](bool paused) { pause->setText(qtr(paused ? Str::DebugPlotResume : Str::DebugPlotPause)); });
    connect(zoomIn, &QPushButton::clicked, m_plot, &TrendPlot::zoomIn);
    connect(zoomOut, &QPushButton::clicked, m_plot, &TrendPlot::zoomOut);
    connect(m_plot, &TrendPlot::spanChanged, span, [span](qint64 ms) {
        span->setText(qformat(Str::DebugPlotSeconds, {std::to_string(ms / 1000)}));
    });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(pause);
    buttons->addWidget(zoomIn);
    buttons->addWidget(zoomOut);
    buttons->addWidget(span);
    buttons->addStretch(1);
    buttons->addWidget(kept);
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_plot, 1);
    layout->addLayout(buttons);
    if (m_connection.transport == DebugTransport::None)
        pane->hide();
    return pane;
}

void DebugDialog::plotSelectedCommands() {
    std::vector<LiveKey> keys;
    const QModelIndexList rows = m_liveView->selectionModel()->selectedRows();
    for (const QModelIndex& row : rows)
        keys.push_back(m_live->keyAt(row.row()));
    std::sort(keys.begin(), keys.end());
    m_trend->select(keys);
    m_plot->update();
}

void DebugDialog::openLink(const DebugConnection& connection) {
    DebugEndpoint endpoint;
    endpoint.transport = connection.transport;
    endpoint.gatewayAddress = ipv4Text(ipv4Octets(connection.gateway.toIPv4Address()));
    endpoint.gatewayPort = connection.gatewayPort;
    endpoint.localPort = connection.localPort;
    endpoint.device = connection.device.toStdString();
    endpoint.historyLimit = connection.historyLimit;
    auto opened = DebugReceiver::open(endpoint);
    if (!opened) {
        // A port taken by another program would otherwise leave the list empty for no visible reason.
        if (connection.transport == DebugTransport::Ethernet)
            m_prompter.message(opened.message());
        else if (opened.kind() == ErrorKind::LineSettings)
            m_prompter.message(veltrane::tr(Str::SerialSettingError));
        else
            m_prompter.message(veltrane::tr(Str::DebugPortOpenFailed));
        QTimer::singleShot(0, this, &QDialog::reject);
        return;
    }
    m_receiver = std::move(*opened);
    m_linkOpen = true;
    m_batch->start();
}

void DebugDialog::flushViews() {
    takeSteps();
    refreshViews();
}

void DebugDialog::takeSteps() {
    if (!m_receiver)
        return;
    QElapsedTimer spent;
    spent.start();
    for (;;) {
        std::vector<MonitorStep> steps = m_receiver->take(kTakeAtOnce, std::chrono::milliseconds(0));
        for (const MonitorStep& step : steps)
            handle(step);
        if (steps.size() < kTakeAtOnce || spent.elapsed() >= kBatchBudgetMs)
            break;
    }
    if (m_trace) {
        if (const auto failure = m_trace->failure()) {
            stopTrace();
            m_prompter.message(*failure);
        }
    }
    std::erase_if(m_closingTraces, [](const auto& trace) { return trace->finished(); });
    if (const std::uint64_t dropped = m_receiver->dropped()) {
        m_droppedLabel->setText(qformat(Str::DebugReportsDropped, {std::to_string(dropped)}));
        m_droppedLabel->show();
    }
}

void DebugDialog::handle(const MonitorStep& step) {
    if (step.report)
        m_live->record(*step.report, LiveRow::Clock::now());
    // A row made before "Stop Displaying" but taken after it stays out of the paused list.
    if (step.row && step.report && !m_paused) {
        m_list->queue(*step.row, step.report->status);
        if (!m_trend->tracks().empty()) {
            m_trend->record(liveKey(*step.report, m_connection.transport), *step.report, step.row->time.sinceStartMs);
            m_trendChanged = true;
        }
    }
    if (m_file.is_open() && !step.saveText.empty())
        m_file << step.saveText;
    if (m_trace && !step.saveText.empty())
        traceStep(step);
    if (step.wroteData) {
        m_sendTimeout->stop();
        m_sendButton->setEnabled(true);
        emit written();
    }
}

MonitorCounts DebugDialog::counts() const { return m_receiver ? m_receiver->counts() : MonitorCounts{}; }

bool DebugDialog::writePending() const { return m_receiver && m_receiver->writePending(); }

std::uint64_t DebugDialog::droppedReports() const { return m_receiver ? m_receiver->dropped() : 0; }

void DebugDialog::refreshViews() {
    if (m_file.is_open())
        m_file.flush();
    m_live->flush();
    if (m_list->flush())
        m_listView->scrollToBottom();
    if (m_trendChanged) {
        m_trendChanged = false;
        m_trend->prune(m_trend->latestMs());
        m_plot->seriesChanged();
    }
}

void DebugDialog::stopSaving() {
    if (m_file.is_open())
        m_file.close();
    m_saveButton->setText(qtr(Str::DebugSaveContent));
}

std::optional<std::string> DebugDialog::chooseSaveTarget(const std::string& suggestion, const std::string& extension) {
    auto path = m_files.chooseSaveFile(suggestion);
    if (!path || path->empty())
        return std::nullopt;
    if (std::filesystem::path(*path).extension().empty())
        *path += "." + extension;
    // A FIFO or a device would block or be fed by the open that follows; only a regular file is
    // written.
    if (const Status usable = checkSaveTarget(*path); !usable) {
        m_prompter.message(usable.message());
        return std::nullopt;
    }
    return path;
}

void DebugDialog::saveContent() {
    if (m_file.is_open()) {
        stopSaving();
        return;
    }
    if (m_prompter.ask(veltrane::tr(Str::DebugSaveQuestion), Buttons::OkCancel) != Answer::Ok) {
        stopSaving();
        return;
    }
    // Without a chosen file nothing is being saved, so the button keeps offering to save.
    const auto path = chooseSaveTarget({}, veltrane::tr(Str::DebugSaveExtension));
    if (!path)
        return;
    m_file.open(*path, std::ios::binary | std::ios::trunc);
    if (m_file.is_open())
        m_saveButton->setText(qtr(Str::DebugStopSaving));
}

void DebugDialog::traceStep(const MonitorStep& step) {
    if (step.row) {
        m_trace->append(traceCsvLine(*step.row, utcOffsetMinutes(step.time.wallClockMs)));
        return;
    }
    // Paused: the report is traced all the same, like "Save Content" keeps saving.
    if (!step.report)
        return;
    std::optional<DebugRow> row = handleReport(*step.report, m_connection.transport).row;
    if (!row)
        return;
    row->time = step.time;
    m_trace->append(traceCsvLine(*row, utcOffsetMinutes(step.time.wallClockMs)));
}

void DebugDialog::saveTrace() {
    if (m_trace) {
        // What the link answered before the trace was stopped belongs in it.
        takeSteps();
        stopTrace();
        return;
    }
    const std::string& extension = veltrane::tr(Str::DebugTraceExtension);
    const auto path = chooseSaveTarget("trace." + extension, extension);
    if (!path)
        return;
    auto opened = TraceWriter::open(*path);
    if (!opened) {
        m_prompter.message(opened.message());
        return;
    }
    // Everything taken so far is in the list's history; everything after it goes through handle().
    flushViews();
    std::string history = traceCsvHeader();
    for (const DebugRow& row : m_list->rows())
        history += traceCsvLine(row, utcOffsetMinutes(row.time.wallClockMs));
    m_trace = std::move(*opened);
    m_trace->append(history);
    m_traceButton->setText(qtr(Str::DebugStopTrace));
}

void DebugDialog::stopTrace() {
    if (!m_trace)
        return;
    m_trace->finish();
    m_closingTraces.push_back(std::move(m_trace));
    m_traceButton->setText(qtr(Str::DebugSaveTrace));
}

void DebugDialog::toggleDisplay() {
    const bool pause = !m_paused;
    // What came before the pause is still shown.
    if (pause)
        flushViews();
    m_paused = pause;
    if (m_receiver)
        m_receiver->setPaused(pause);
    if (pause) {
        m_displayButton->setText(qtr(Str::DebugContinueDisplay));
    } else {
        m_list->clear();
        m_displayButton->setText(qtr(Str::DebugStopDisplaying));
    }
}

void DebugDialog::send() {
    const auto payload = validateSend(m_address->text().toStdString(), m_data->text().toStdString(),
                                      m_connection.transport);
    if (!payload) {
        m_prompter.message(payload.message());
        return;
    }
    if (!m_receiver)
        return;
    if (const Status queued = m_receiver->queueWrite(*payload); !queued) {
        m_prompter.message(queued.message());
        return;
    }
    // The write goes out in place of the next report's acknowledgement.
    m_sendButton->setEnabled(false);
    m_sendTimeout->start();
}

void DebugDialog::resetLiveTable() { m_live->reset(); }

void DebugDialog::exitDialog() {
    m_batch->stop();
    // Tells the gateway to stop and closes the link.
    if (m_receiver)
        m_receiver->stop();
    // What the link answered before it stopped still reaches the trace.
    if (m_trace)
        takeSteps();
    stopSaving();
    stopTrace();
    QDialog::reject();
}

void DebugDialog::reject() { exitDialog(); }

}  // namespace veltrane
