// The Scan and Download dialogs against veltrane-gwsim, offscreen and in a private network namespace:
// scan, Log In, Download, and the restart question on Exit.

#include "app/ethernet/ethernet_download_dialog.h"
#include "app/ethernet/ethernet_upload_dialog.h"
#include "app/ethernet/scan_dialog.h"
#include "core/document/document.h"
#include "core/transfer/download_checks.h"
#include "core/model/project_defaults.h"
#include "core/transfer/ethernet_entry.h"
#include "support/project_builder.h"
#include "support/gui_app.h"
#include "support/private_network.h"
#include "support/simulator_process.h"
#include "support/udp_babbler.h"

#include <QDir>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

using namespace veltrane;
using veltrane::testing::SimulatorProcess;

TEST(EthernetDialogs, ScanLogInDownloadAndRestart) {
    VELTRANE_REQUIRE_PRIVATE_NETWORK();
    SimulatorProcess sim(VELTRANE_GWSIM, {"--udp-port", "28821", "--tcp-port", "28822", "--gateway",
                                          "ip=127.0.0.2,model=30202,mac=00-1a-2b-3c-4d-5e,fw=2.10", "--gateway",
                                          "ip=127.0.0.3,model=30102,remote=off"});
    ASSERT_TRUE(sim.waitFor("listening ", 2)) << sim.output();
    veltrane::testing::guiApp();
    ScriptedPrompter prompter({Answer::Ok});
    Document document(prompter);
    document.newDocument();

    ethernet::GatewaySelection selection;
    ethernet::EthernetEndpoints endpoints;
    endpoints.gatewayUdpPort = 28821;
    endpoints.gatewayTcpPort = 28822;
    ScanDialog scan(selection, endpoints, {"127.0.0.1"}, prompter);
    QSignalSpy finished(&scan, &ScanDialog::scanFinished);
    scan.show();
    EXPECT_FALSE(scan.refreshButton()->isEnabled()) << "scanning";
    ASSERT_TRUE(finished.wait(5000));
    ASSERT_EQ(scan.list()->rowCount(), 2);
    EXPECT_EQ(scan.statusText(), "Scanning complete");
    EXPECT_EQ(scan.progressBar()->value(), 100);
    EXPECT_FALSE(scan.logInButton()->isEnabled());
    QDir().mkpath(QStringLiteral(VELTRANE_BINARY_DIR "/screenshots"));
    EXPECT_TRUE(scan.grab().save(QStringLiteral(VELTRANE_BINARY_DIR "/screenshots/scan_dialog.png")));

    int row = scan.list()->item(0, 2)->text() == "127.0.0.2" ? 0 : 1;
    emit scan.list()->cellClicked(row, 0);
    ASSERT_TRUE(scan.logInButton()->isEnabled());
    QTest::mouseClick(scan.logInButton(), Qt::LeftButton);
    EXPECT_EQ(scan.result(), QDialog::Accepted);
    EXPECT_EQ(selection.GatewayAddress, "127.0.0.2");
    EXPECT_TRUE(selection.RemoteConfigAllowed);
    EXPECT_EQ(selection.GatewayModelCode, 30202u);

    MappingConflictState conflicts;
    ASSERT_TRUE(ethernetEntryAllowed(EthernetOperation::Download, selection, document.state(), prompter));
    ASSERT_TRUE(ethernetDownloadMayOpen(document.project(), document.state(), prompter, conflicts));
    EthernetDownloadDialog download(document, {selection.GatewayAddress, endpoints.gatewayTcpPort});
    QSignalSpy done(&download, &EthernetDownloadDialog::transferFinished);
    download.show();
    QTest::mouseClick(download.downloadButton(), Qt::LeftButton);
    ASSERT_TRUE(done.wait(5000));
    EXPECT_EQ(download.statusText(), "Downloading the configuration is successful.");
    EXPECT_FALSE(download.downloadButton()->isEnabled());

    download.reject();  // Exit: the restart question, answered OK
    ASSERT_TRUE(done.wait(5000));
    EXPECT_EQ(prompter.shown().back(),
              "Downloaded configurations will only take effect after restarting the gateway!\r\nDo you want to "
              "restart the gateway remotely?");
    // The dialog says that the request went out; the next Exit closes without asking again.
    EXPECT_TRUE(download.isVisible());
    EXPECT_EQ(download.statusText(), "The restart request was sent to the gateway at 127.0.0.2.");
    const std::size_t shown = prompter.shown().size();
    download.reject();
    EXPECT_EQ(prompter.shown().size(), shown);
    EXPECT_EQ(download.result(), QDialog::Rejected);
    EXPECT_FALSE(download.isVisible());
}

namespace {

// A gateway that takes the image, answers it after a delay, and then notes whether the tool closed
// the connection (a read of 0 bytes) within a bound.
class SlowGateway {
public:
    explicit SlowGateway(std::chrono::milliseconds delay) {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_listen, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(m_listen, 1) != 0 ||
            ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this, delay] { serve(delay); });
    }
    ~SlowGateway() {
        if (m_thread.joinable())
            m_thread.join();
        ::close(m_listen);
    }
    std::uint16_t port() const { return m_port; }
    // Waits for the end of the exchange; true when the tool closed the connection.
    bool closedByTheTool() {
        if (m_thread.joinable())
            m_thread.join();
        return m_closed;
    }

private:
    void serve(std::chrono::milliseconds delay) {
        pollfd waiting{m_listen, POLLIN, 0};
        if (::poll(&waiting, 1, 5000) != 1)
            return;
        const int connection = ::accept(m_listen, nullptr, nullptr);
        std::size_t received = 0;
        char buffer[2048];
        while (received < 1272) {
            pollfd p{connection, POLLIN, 0};
            if (::poll(&p, 1, 5000) != 1)
                break;
            const ssize_t n = ::read(connection, buffer, sizeof buffer);
            if (n <= 0)
                break;
            received += static_cast<std::size_t>(n);
        }
        std::this_thread::sleep_for(delay);
        const unsigned char reply[16] = {0, 0, 0, 6};
        (void)::send(connection, reply, sizeof reply, MSG_NOSIGNAL);
        pollfd p{connection, POLLIN, 0};
        m_closed = ::poll(&p, 1, 3000) == 1 && ::read(connection, buffer, sizeof buffer) == 0;
        ::close(connection);
    }

    int m_listen = -1;
    std::uint16_t m_port = 0;
    std::thread m_thread;
    bool m_closed = false;
};

}  // namespace

TEST(EthernetDialogs, ClosingTheDownloadDialogMidTransferClosesItsConnection) {
    VELTRANE_REQUIRE_PRIVATE_NETWORK();
    veltrane::testing::guiApp();
    ScriptedPrompter prompter;
    Document document(prompter);
    document.newDocument();
    SlowGateway gateway(std::chrono::milliseconds(300));
    ASSERT_NE(gateway.port(), 0);
    {
        EthernetDownloadDialog download(document, {"127.0.0.1", gateway.port()});
        download.show();
        QTest::mouseClick(download.downloadButton(), Qt::LeftButton);
        ASSERT_TRUE(download.isBusy());
        QTest::qWait(50);
        // Gone while the worker waits for the reply; the download then succeeds on the worker.
    }
    EXPECT_TRUE(gateway.closedByTheTool()) << "the connection outlived its dialog";
}

TEST(EthernetDialogs, ATransferShowsItIsBusyAndCancelEndsItAtOnceLeavingTheProject) {
    VELTRANE_REQUIRE_PRIVATE_NETWORK();
    veltrane::testing::guiApp();
    ScriptedPrompter prompter;
    Document document(prompter);
    veltrane::testing::ProjectBuilder b;
    b.state.DeviceType = device::EtherNetIP;
    applyProjectDefaults(b.project, b.state);
    b.command(1, b.node(1, "1"), {"1", "8", "0"});
    b.at(1, 1).byteCount = "1";  // the download's rule makes it 2
    document.project() = b.project;
    document.state() = b.state;
    const Project before = document.project();

    for (const bool upload : {false, true}) {
        SCOPED_TRACE(upload ? "upload" : "download");
        SlowGateway gateway(std::chrono::milliseconds(900));  // holds its answer past the cancel
        ASSERT_NE(gateway.port(), 0);
        std::unique_ptr<EthernetTransferDialog> dialog;
        if (upload)
            dialog = std::make_unique<EthernetUploadDialog>(document, ethernet::GatewayEndpoint{"127.0.0.1", gateway.port()});
        else
            dialog = std::make_unique<EthernetDownloadDialog>(document, ethernet::GatewayEndpoint{"127.0.0.1", gateway.port()});
        QSignalSpy done(dialog.get(), &EthernetTransferDialog::transferFinished);
        dialog->show();
        EXPECT_FALSE(dialog->cancelButton()->isEnabled());
        QTest::mouseClick(dialog->actionButton(), Qt::LeftButton);
        ASSERT_TRUE(dialog->isBusy());
        EXPECT_TRUE(dialog->busyIndicator()->isVisible());
        EXPECT_NE(dialog->statusText().indexOf("127.0.0.1"), -1) << dialog->statusText().toStdString();
        EXPECT_FALSE(dialog->actionButton()->isEnabled());
        QTest::qWait(150);
        if (!upload) {
            QDir().mkpath(QStringLiteral(VELTRANE_BINARY_DIR "/screenshots"));
            EXPECT_TRUE(dialog->grab().save(QStringLiteral(VELTRANE_BINARY_DIR "/screenshots/ethernet-transfer-busy.png")));
        }
        const auto start = std::chrono::steady_clock::now();
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
        ASSERT_TRUE(done.wait(2000));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
        EXPECT_FALSE(dialog->isBusy());
        EXPECT_FALSE(dialog->busyIndicator()->isVisible());
        EXPECT_TRUE(dialog->actionButton()->isEnabled());
        EXPECT_EQ(dialog->statusText().toStdString(),
                  upload ? "The upload was cancelled; the project is unchanged."
                         : "The download was cancelled; the project is unchanged.");
        EXPECT_TRUE(prompter.shown().empty()) << prompter.shown().front();
        EXPECT_TRUE(document.project() == before);
        EXPECT_TRUE(gateway.closedByTheTool());
    }
}

TEST(EthernetDialogs, ScanNamesAPortAnotherProgramHoldsAndStopsAtOnceWhenClosedDuringAFlood) {
    VELTRANE_REQUIRE_PRIVATE_NETWORK();
    veltrane::testing::guiApp();
    ScriptedPrompter prompter;
    ethernet::GatewaySelection selection;
    ethernet::EthernetEndpoints endpoints;
    endpoints.gatewayUdpPort = 28831;
    {
        const int holder = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in any{};
        any.sin_family = AF_INET;
        any.sin_port = htons(10002);
        ASSERT_EQ(bind(holder, reinterpret_cast<const sockaddr*>(&any), sizeof any), 0);
        ScanDialog scan(selection, endpoints, {"127.0.0.1"}, prompter);
        QSignalSpy finished(&scan, &ScanDialog::scanFinished);
        ASSERT_TRUE(finished.wait(15000));
        close(holder);
        ASSERT_FALSE(prompter.shown().empty());
        EXPECT_NE(prompter.shown().back().find("port 10002"), std::string::npos) << prompter.shown().back();
    }
    // Junk keeps every tick listening as long as it may; closing the window (Cancel) ends the scan
    // within a receive, not after its ticks.
    veltrane::testing::UdpBabbler junk("127.0.0.9", Bytes(40, 0xEE), 20);
    auto scan = std::make_unique<ScanDialog>(selection, endpoints, std::vector<std::string>{"127.0.0.1"}, prompter);
    QTest::qWait(1500);
    ASSERT_TRUE(scan->isScanning());
    const auto start = std::chrono::steady_clock::now();
    scan.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(800));
}
