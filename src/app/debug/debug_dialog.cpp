#include "app/debug/debug_dialog.h"

#include "app/common/qt_text.h"
#include "app/debug/live_table_model.h"
#include "app/debug/report_list_model.h"
#include "core/debug/debug_monitor.h"
#include "core/debug/send_validation.h"
#include "core/interaction/file_chooser.h"
#include "core/interaction/prompter.h"
#include "core/model/file_io.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QPushButton>
#include <QSerialPort>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QUdpSocket>
#include <QVBoxLayout>

#include <filesystem>

namespace veltrane {

namespace {

// Views are refreshed at most this often while reports stream in.
constexpr int kBatchMs = 50;
// A serial report whose length cannot be told from its bytes ends when the line is quiet this long.
constexpr int kSerialQuietMs = 20;
// How long "Send" waits for a report to answer with the write.
constexpr int kSendTimeoutMs = 3000;
// Room for bursts of reports between two turns of the event loop.
constexpr int kReceiveBufferBytes = 4 << 20;

QByteArray toByteArray(const Bytes& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

ByteView bytesOf(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size())};
}

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
    if (connection.transport == DebugTransport::Ethernet)
        m_monitor = std::make_unique<DebugMonitor>(DebugMonitor::ethernet(
            {connection.gateway.toIPv4Address(), connection.gatewayPort}, connection.historyLimit));
    else
        m_monitor = std::make_unique<DebugMonitor>(DebugMonitor::serial(connection.historyLimit));
    m_list = new ReportListModel(connection.transport, connection.historyLimit, this);
    m_live = new LiveTableModel(connection.transport, this);

    m_batch = new QTimer(this);
    m_batch->setSingleShot(true);
    m_batch->setInterval(kBatchMs);
    connect(m_batch, &QTimer::timeout, this, &DebugDialog::flushViews);
    m_sendTimeout = new QTimer(this);
    m_sendTimeout->setSingleShot(true);
    m_sendTimeout->setInterval(kSendTimeoutMs);
    connect(m_sendTimeout, &QTimer::timeout, this, [this] {
        // No report came to carry the write: drop it so that a later acknowledgement is not one.
        m_monitor->cancelWrite();
        m_sendButton->setEnabled(true);
    });

    buildUi();
    if (connection.transport == DebugTransport::Ethernet)
        openEthernet(connection);
    else if (connection.transport == DebugTransport::Serial)
        openSerial(connection);
}

DebugDialog::~DebugDialog() {
    // Closing through the destructor alone (no Exit) still tells the gateway to stop.
    if (!m_stopped && m_socket && m_linkOpen)
        sendReply(m_monitor->stopMessage());
}

void DebugDialog::buildUi() {
    m_listView = makeTable(this);
    m_listView->setModel(m_list);
    const auto columns = m_list->columnCount();
    // Wide enough for the longest status text and the column titles, which 80 pixels cut off.
    for (int c = 0; c < columns; ++c)
        m_listView->setColumnWidth(c, c == columns - 1 ? 300 : 110);
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
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);

    m_address = new QLineEdit(QString::fromLatin1(kDefaultSendAddress.data(), static_cast<qsizetype>(kDefaultSendAddress.size())), this);
    m_data = new QLineEdit(QString::fromLatin1(kDefaultSendData.data(), static_cast<qsizetype>(kDefaultSendData.size())), this);
    m_saveButton = new QPushButton(qtr(Str::DebugSaveContent), this);
    m_displayButton = new QPushButton(qtr(Str::DebugStopDisplaying), this);
    m_sendButton = new QPushButton(qtr(Str::DebugSendButton), this);
    auto* exitButton = new QPushButton(qtr(Str::DebugExitButton), this);
    // Enter in an edit box must not close the dialog.
    for (QPushButton* button : {m_saveButton, m_displayButton, m_sendButton, exitButton})
        button->setAutoDefault(false);
    connect(m_saveButton, &QPushButton::clicked, this, &DebugDialog::saveContent);
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
    buttonRow->addWidget(m_displayButton);
    buttonRow->addStretch(1);
    buttonRow->addWidget(exitButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(sendRow);
    layout->addLayout(buttonRow);
    resize(900, 640);
}

void DebugDialog::openEthernet(const DebugConnection& connection) {
    m_socket = new QUdpSocket(this);
    // Another program holding the port would leave the list empty for no visible reason.
    if (!m_socket->bind(QHostAddress::AnyIPv4, connection.localPort)) {
        m_prompter.message(format(Str::SocketBindFailed, {"0.0.0.0", std::to_string(connection.localPort),
                                                          m_socket->errorString().toStdString()}));
        QTimer::singleShot(0, this, &QDialog::reject);
        return;
    }
    m_socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, kReceiveBufferBytes);
    connect(m_socket, &QUdpSocket::readyRead, this, &DebugDialog::readDatagrams);
    sendReply(m_monitor->startMessage());
    m_linkOpen = true;
}

void DebugDialog::openSerial(const DebugConnection& connection) {
    m_serial = new QSerialPort(connection.device, this);
    m_serial->setReadBufferSize(0);
    if (!m_serial->open(QIODevice::ReadWrite)) {
        m_prompter.message(veltrane::tr(Str::DebugPortOpenFailed));
        QTimer::singleShot(0, this, &QDialog::reject);
        return;
    }
    // The gateway's debug line: 115200 baud, 8 data bits, no parity; its stop bits are kept.
    if (!m_serial->setBaudRate(kDebugBaudRate) || !m_serial->setDataBits(QSerialPort::Data8) ||
        !m_serial->setParity(QSerialPort::NoParity)) {
        m_serial->close();
        m_prompter.message(veltrane::tr(Str::SerialSettingError));
        QTimer::singleShot(0, this, &QDialog::reject);
        return;
    }
    m_serial->clear();
    m_serialQuiet = new QTimer(this);
    m_serialQuiet->setSingleShot(true);
    m_serialQuiet->setInterval(kSerialQuietMs);
    connect(m_serialQuiet, &QTimer::timeout, this, [this] {
        if (auto step = m_monitor->serialQuiet())
            handle(*step);
    });
    connect(m_serial, &QSerialPort::readyRead, this, &DebugDialog::readSerial);
    m_linkOpen = true;
}

void DebugDialog::readDatagrams() {
    while (m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket->receiveDatagram(kEthernetReportMaxSize);
        const Ipv4Endpoint from{datagram.senderAddress().toIPv4Address(),
                                static_cast<std::uint16_t>(datagram.senderPort())};
        handle(m_monitor->receiveDatagram(bytesOf(datagram.data()), from));
    }
}

void DebugDialog::readSerial() {
    const QByteArray chunk = m_serial->readAll();
    for (const MonitorStep& step : m_monitor->receiveSerial(bytesOf(chunk)))
        handle(step);
    m_serialQuiet->start();
}

void DebugDialog::handle(const MonitorStep& step) {
    if (!step.reply.empty())
        sendReply(step.reply);
    if (step.report)
        m_live->record(*step.report, LiveRow::Clock::now());
    if (step.row)
        m_list->queue(*step.row);
    if (m_file.is_open() && !step.saveText.empty())
        m_file << step.saveText << std::flush;
    if (step.wroteData) {
        m_sendTimeout->stop();
        m_sendButton->setEnabled(true);
        emit written();
    }
    if (step.report && !m_batch->isActive())
        m_batch->start();
}

void DebugDialog::sendReply(const Bytes& bytes) {
    if (m_socket)
        m_socket->writeDatagram(toByteArray(bytes), m_connection.gateway, m_connection.gatewayPort);
    else if (m_serial && m_serial->isOpen())
        m_serial->write(toByteArray(bytes));
}

void DebugDialog::flushViews() {
    m_batch->stop();
    m_live->flush();
    if (m_list->flush())
        m_listView->scrollToBottom();
}

void DebugDialog::stopSaving() {
    if (m_file.is_open())
        m_file.close();
    m_saveButton->setText(qtr(Str::DebugSaveContent));
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
    auto path = m_files.chooseSaveFile({});
    if (!path || path->empty())
        return;
    if (std::filesystem::path(*path).extension().empty())
        *path += "." + veltrane::tr(Str::DebugSaveExtension);
    // A FIFO or a device would block or be fed by the open below; only a regular file is written.
    if (const Status usable = checkSaveTarget(*path); !usable) {
        m_prompter.message(usable.message());
        return;
    }
    m_file.open(*path, std::ios::binary | std::ios::trunc);
    if (m_file.is_open())
        m_saveButton->setText(qtr(Str::DebugStopSaving));
}

void DebugDialog::toggleDisplay() {
    const bool pause = !m_monitor->paused();
    m_monitor->setPaused(pause);
    if (pause) {
        flushViews();
        m_displayButton->setText(qtr(Str::DebugContinueDisplay));
    } else {
        m_list->clear();
        m_displayButton->setText(qtr(Str::DebugStopDisplaying));
    }
}

void DebugDialog::send() {
    const auto payload = validateSend(m_address->text().toStdString(), m_data->text().toStdString(),
                                      m_monitor->transport());
    if (!payload) {
        m_prompter.message(payload.message());
        return;
    }
    if (const Status queued = m_monitor->queueWrite(*payload); !queued) {
        m_prompter.message(queued.message());
        return;
    }
    // The write goes out in place of the next report's acknowledgement.
    m_sendButton->setEnabled(false);
    m_sendTimeout->start();
}

void DebugDialog::resetLiveTable() { m_live->reset(); }

void DebugDialog::exitDialog() {
    if (m_socket && m_linkOpen && !m_stopped) {
        sendReply(m_monitor->stopMessage());
        m_socket->close();
    }
    m_stopped = true;
    if (m_serial)
        m_serial->close();
    stopSaving();
    QDialog::reject();
}

void DebugDialog::reject() { exitDialog(); }

}  // namespace veltrane
