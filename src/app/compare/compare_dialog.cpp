#include "app/compare/compare_dialog.h"

#include "app/common/qt_text.h"
#include "core/compare/gateway_comparison.h"
#include "core/link/serial/serial_transfer.h"
#include "core/strings/strings.h"
#include "link/gateway_port.h"
#include "link/tcp_stream_socket.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace veltrane {

CompareDialog::CompareDialog(Document& document, TransferJob read, Compare compare, QWidget* parent)
    : QDialog(parent),
      m_document(document),
      m_read(std::move(read)),
      m_compareStep(std::move(compare)),
      m_runner(document.prompter()) {
    setWindowTitle(qtr(Str::CompareTitle));
    m_status = new QLabel(qtr(Str::ComparePrompt), this);
    m_status->setWordWrap(true);
    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setAlternatingRowColors(true);
    m_list->setHeaderLabels({qtr(Str::CompareColumnItem), qtr(Str::CompareColumnRow), qtr(Str::CompareColumnProject),
                             qtr(Str::CompareColumnGateway)});
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_compare = new QPushButton(qtr(Str::CompareButton), this);
    auto* exit = new QPushButton(qtr(Str::EthExit), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_compare);
    buttons->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(720, 360);
    connect(m_compare, &QPushButton::clicked, this, &CompareDialog::start);
    connect(exit, &QPushButton::clicked, this, &CompareDialog::reject);
    connect(&m_runner, &TransferRunner::finished, this, &CompareDialog::onFinished);
}

CompareDialog* CompareDialog::overEthernet(Document& document, const ethernet::GatewayEndpoint& gateway,
                                           QWidget* parent) {
    auto image = std::make_shared<ethernet::ConfigurationImage>();
    return new CompareDialog(
        document,
        [gateway, image](TransferContext& context) -> Status {
            TcpStreamSocket socket;
            auto read = ethernet::uploadImage(socket, gateway, context.clock);
            if (!read)
                return read.error();
            *image = *read;
            return {};
        },
        [&document, image] { return compareWithEthernetGateway(document.project(), document.state(), *image); },
        parent);
}

CompareDialog* CompareDialog::overSerial(Document& document, const std::string& device,
                                         const SerialLineSettings& settings, QWidget* parent) {
    auto upload = std::make_shared<std::shared_ptr<serial::SerialUpload>>();
    return new CompareDialog(
        document,
        [upload, device, state = document.state(), settings](TransferContext& context) -> Status {
            // A fresh upload for every press of "Compare", made, run and closed on the worker.
            auto reading = std::make_shared<serial::SerialUpload>(state);
            SerialPortStream port;
            if (auto opened = openGatewayPort(port, device, settings); !opened)
                return opened;
            serial::SerialTransferObserver quiet;
            const Status status = serial::runSerialTransfer(*reading, port, context.clock, quiet, [&context] {
                                      return context.progress.isCancelled();
                                  }).status;
            if (status && !reading->finished())
                return makeError(ErrorKind::Cancelled, std::string());
            *upload = reading;
            return status;
        },
        [&document, upload] { return compareWithSerialGateway(document.project(), document.state(), **upload); },
        parent);
}

// The worker reports to this dialog: it ends before anything here goes.
CompareDialog::~CompareDialog() { m_runner.stop(); }

QString CompareDialog::statusText() const { return m_status->text(); }

void CompareDialog::start() {
    if (!m_runner.start(m_read))
        return;
    m_compare->setEnabled(false);
    m_list->clear();
    m_status->setText(qtr(Str::CompareReading));
}

void CompareDialog::onFinished(const Status& status) {
    m_compare->setEnabled(true);
    if (!status) {
        m_status->setText(qtr(Str::ComparePrompt));
        if (status.kind() != ErrorKind::Cancelled && !status.message().empty())
            m_document.prompter().message(status.message());
        return;
    }
    showDifferences(m_compareStep());
    emit compared();
}

void CompareDialog::showDifferences(const std::vector<ProjectDifference>& differences) {
    m_list->clear();
    if (differences.empty()) {
        m_status->setText(qtr(Str::CompareEqual));
        return;
    }
    m_status->setText(differences.size() == 1 ? qtr(Str::CompareOneDifference)
                                              : qformat(Str::CompareDifferent, {std::to_string(differences.size())}));
    for (const ProjectDifference& difference : differences) {
        // Paths and values are stored texts; the row titles are the tool's own.
        QStringList cells{fromStored(difference.item), toQString(difference.row), fromStored(difference.a),
                          fromStored(difference.b)};
        if (difference.only == ProjectDifference::Only::A)
            cells[2] = qtr(Str::CompareOnlyInProject);
        else if (difference.only == ProjectDifference::Only::B)
            cells[3] = qtr(Str::CompareOnlyInGateway);
        new QTreeWidgetItem(m_list, cells);
    }
}

void CompareDialog::reject() {
    m_runner.stop();
    QDialog::reject();
}

}  // namespace veltrane
