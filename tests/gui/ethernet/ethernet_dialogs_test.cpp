// The Scan and Download dialogs against veltrane-gwsim, offscreen and in a private network namespace:
// scan, Log In, Download, and the restart question on Exit.

#include "app/ethernet/ethernet_download_dialog.h"
#include "app/ethernet/scan_dialog.h"
#include "core/document/document.h"
#include "support/gui_app.h"
#include "support/private_network.h"
#include "support/simulator_process.h"

#include <QDir>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

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
    ASSERT_TRUE(ethernet::entryAllowed(ethernet::EthernetOperation::Download, selection, document.state(), prompter));
    ASSERT_TRUE(ethernet::downloadMayOpen(document.project(), document.state(), prompter, conflicts));
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
    EXPECT_EQ(download.result(), QDialog::Rejected);
    EXPECT_FALSE(download.isVisible());
}
