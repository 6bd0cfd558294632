// The Compare with Gateway dialog against veltrane-gwsim, offscreen and in a private network
// namespace, and the remembered "Verify after download" box.

#include "app/compare/compare_dialog.h"
#include "app/ethernet/ethernet_download_dialog.h"
#include "core/document/document.h"
#include "core/strings/strings.h"
#include "link/tcp_stream_socket.h"
#include "support/gui_app.h"
#include "support/private_network.h"
#include "support/project_builder.h"
#include "support/simulator_process.h"

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace veltrane;
using veltrane::testing::ProjectBuilder;
using veltrane::testing::SimulatorProcess;

TEST(CompareDialog, ListsWhatTheGatewayHoldsDifferentlyAndLeavesTheProject) {
    VELTRANE_REQUIRE_PRIVATE_NETWORK();
    SimulatorProcess sim(VELTRANE_GWSIM,
                         {"--udp-port", "28841", "--tcp-port", "28842", "--gateway", "ip=127.0.0.2,model=30202"});
    ASSERT_TRUE(sim.waitFor("listening ")) << sim.output();
    veltrane::testing::guiApp();
    const ethernet::GatewayEndpoint gateway{"127.0.0.2", 28842};

    ProjectBuilder b;
    const int node = b.node(1, "9");
    b.command(1, node, {.functionCode = "3", .dataCount = "2", .mappingAddress = "0", .mappingBit = "0",
                        .startAddress = "100"});
    b.command(1, node, {.functionCode = "1", .dataCount = "8", .mappingAddress = "4", .mappingBit = "0"});
    TcpStreamSocket socket;
    ASSERT_TRUE(ethernet::downloadImage(socket, gateway, ethernet::buildConfigurationImage(b.project, b.state)));
    socket.close();

    ScriptedPrompter prompter;
    Document document(prompter);
    document.project() = b.project;
    document.state() = b.state;
    document.editor().rebuildTree();
    std::unique_ptr<CompareDialog> dialog(CompareDialog::overEthernet(document, gateway));
    dialog->show();
    QSignalSpy compared(dialog.get(), &CompareDialog::compared);
    dialog->start();
    EXPECT_FALSE(dialog->compareButton()->isEnabled()) << "reading";
    ASSERT_TRUE(compared.wait(5000)) << prompter.shown().size();
    EXPECT_EQ(dialog->statusText().toStdString(), tr(Str::CompareEqual));
    EXPECT_EQ(dialog->list()->topLevelItemCount(), 0);

    // The project changes; the gateway does not. Two rows: a changed value and a node with its command.
    document.project().subnets[0].commands[0].startAddress = "120";
    ProjectBuilder edited;
    edited.project = document.project();
    const int added = edited.node(1, "12");
    edited.command(1, added, {.functionCode = "4", .dataCount = "1", .mappingAddress = "6", .mappingBit = "0"});
    document.project() = edited.project;
    document.editor().rebuildTree();
    const Project before = document.project();
    dialog->start();
    ASSERT_TRUE(compared.wait(5000));
    ASSERT_EQ(dialog->list()->topLevelItemCount(), 2);
    const QTreeWidgetItem* changed = dialog->list()->topLevelItem(0);
    EXPECT_EQ(changed->text(0), "Subnet 1/Node-9/03 Read Holding Register");
    EXPECT_EQ(changed->text(1), "Starting Address");
    EXPECT_EQ(changed->text(2), "120");
    EXPECT_EQ(changed->text(3), "100");
    EXPECT_EQ(dialog->list()->topLevelItem(1)->text(0), "Subnet 1/Node-12");
    EXPECT_EQ(dialog->list()->topLevelItem(1)->text(2).toStdString(), tr(Str::CompareOnlyInProject));
    EXPECT_EQ(document.project(), before);
    EXPECT_FALSE(document.state().ProjectModified);

    QDir().mkpath(QStringLiteral(VELTRANE_BINARY_DIR "/screenshots"));
    EXPECT_TRUE(dialog->grab().save(QStringLiteral(VELTRANE_BINARY_DIR "/screenshots/compare_dialog.png")));
}

TEST(CompareDialog, VerifyAfterDownloadIsRemembered) {
    veltrane::testing::guiApp();
    QStandardPaths::setTestModeEnabled(true);
    QSettings().clear();
    ScriptedPrompter prompter;
    Document document(prompter);
    document.newDocument();
    {
        EthernetDownloadDialog first(document, {"127.0.0.2", 1});
        EXPECT_FALSE(first.verifyBox()->isChecked());
        first.verifyBox()->setChecked(true);
    }
    EthernetDownloadDialog second(document, {"127.0.0.2", 1});
    EXPECT_TRUE(second.verifyBox()->isChecked());
    QSettings().clear();
}
