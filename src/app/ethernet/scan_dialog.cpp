#include "app/ethernet/scan_dialog.h"

#include "app/common/qt_text.h"
#include "link/ethernet/local_addresses.h"
#include "link/udp_datagram_socket.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace veltrane {

ScanDialog::ScanDialog(ethernet::GatewaySelection& selection, ethernet::EthernetEndpoints endpoints,
                       std::vector<std::string> localAddresses, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_selection(selection), m_prompter(prompter), m_endpoints(std::move(endpoints)),
      m_localAddresses(std::move(localAddresses)), m_runner(prompter) {
    setWindowTitle(qtr(Str::EthScanTitle));
    m_group = new QGroupBox(qtr(Str::EthScanning), this);
    m_list = new QTableWidget(0, 6, m_group);
    const std::pair<Str, int> columns[] = {{Str::EthColumnNumber, 43},   {Str::EthColumnModel, 125},
                                           {Str::EthColumnIp, 110},      {Str::EthColumnMac, 120},
                                           {Str::EthColumnFirmware, 120}, {Str::EthColumnRemote, 190}};
    for (int c = 0; c < 6; ++c) {
        m_list->setHorizontalHeaderItem(c, new QTableWidgetItem(qtr(columns[c].first)));
        m_list->setColumnWidth(c, columns[c].second);
    }
    m_list->verticalHeader()->hide();
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->setMinimumWidth(720);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_refresh = new QPushButton(qtr(Str::EthRefresh), this);
    m_logIn = new QPushButton(qtr(Str::EthLogIn), this);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    auto* groupLayout = new QVBoxLayout(m_group);
    groupLayout->addWidget(m_list);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_refresh);
    buttons->addStretch();
    buttons->addWidget(m_logIn);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_group);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);

    connect(m_refresh, &QPushButton::clicked, this, &ScanDialog::refresh);
    connect(m_logIn, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QTableWidget::cellClicked, this, [this](int row, int) { onRowClicked(row); });
    connect(&m_runner, &TransferRunner::progressChanged, this, [this](int done, int) { m_progress->setValue(done); });
    connect(&m_runner, &TransferRunner::textChanged, m_group, &QGroupBox::setTitle);
    connect(&m_runner, &TransferRunner::finished, this, &ScanDialog::onFinished);
    startScan(false);
}

// The worker reports to this dialog: it ends before anything here goes.
ScanDialog::~ScanDialog() { m_runner.stop(); }

QString ScanDialog::statusText() const { return m_group->title(); }

void ScanDialog::refresh() {
    if (m_runner.isRunning())
        return;
    m_group->setTitle(qtr(Str::EthScanning));
    m_list->setRowCount(0);
    m_progress->setValue(0);
    m_refresh->setEnabled(false);
    m_logIn->setEnabled(false);
    startScan(true);
}

void ScanDialog::startScan(bool refreshing) {
    m_refreshing = refreshing;
    ethernet::ScanRequest request;
    request.direct = m_selection.DirectAddressMode;
    request.gatewayAddress = m_selection.GatewayAddress;
    request.localAddresses = m_localAddresses.empty() ? localIpv4Addresses() : m_localAddresses;
    request.endpoints = m_endpoints;
    if (!request.direct && request.localAddresses.empty()) {
        // Nothing to send from: at opening the dialog stays as it is; after Refresh only Cancel works.
        return;
    }
    if (!request.direct) {
        m_refresh->setEnabled(false);
        m_logIn->setEnabled(false);
    }
    auto result = std::make_shared<ethernet::ScanResult>();
    m_result = result;
    m_runner.start([request, result](TransferContext& context) -> Status {
        // The sockets are made here, on the worker that uses them.
        *result = ethernet::runScan(request, [] { return std::make_unique<UdpDatagramSocket>(); }, context.clock,
                                    context.progress);
        return {};
    });
}

void ScanDialog::onFinished(const Status&) {
    const ethernet::ScanResult& result = *m_result;
    result.applyTo(m_selection);
    m_list->setRowCount(0);
    for (const ethernet::GatewayRow& row : result.rows) {
        const int r = m_list->rowCount();
        m_list->insertRow(r);
        const std::string* texts[] = {&row.number, &row.model, &row.ipAddress, &row.macAddress, &row.firmware,
                                      &row.remoteStatus};
        for (int c = 0; c < 6; ++c) {
            auto* item = new QTableWidgetItem(toQString(*texts[c]));
            item->setTextAlignment(Qt::AlignCenter);
            m_list->setItem(r, c, item);
        }
    }
    m_refresh->setEnabled(true);
    // Another program holding the scan's port would otherwise leave the list empty for no visible reason.
    if (result.rows.empty() && !result.portProblem.empty())
        m_prompter.message(result.portProblem);
    // A direct query at opening leaves Log In disabled until a row is clicked, as a broadcast does.
    m_logIn->setEnabled(false);
    emit scanFinished();
}

void ScanDialog::onRowClicked(int row) {
    if (row < 0 || !m_result || row >= static_cast<int>(m_result->rows.size()))
        return;
    ethernet::selectRow(m_selection, m_result->rows[static_cast<std::size_t>(row)]);
    m_logIn->setEnabled(true);
}

}  // namespace veltrane
