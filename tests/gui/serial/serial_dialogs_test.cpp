// The serial dialogs offscreen, against the simulated gateway on a pseudo-terminal.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

#include "app/serial/serial_port_dialog.h"
#include "app/serial/serial_transfer_dialog.h"
#include "core/document/project_lifecycle.h"
#include "core/model/project_defaults.h"
#include "core/transfer/link_session.h"
#include "core/strings/strings.h"
#include "support/gui_app.h"
#include "support/project_builder.h"
#include "support/pty_gateway_thread.h"

namespace veltrane::testing {
namespace {

QString screenshot(const char* name) {
    QDir().mkpath(QStringLiteral(VELTRANE_BINARY_DIR "/screenshots"));
    return QStringLiteral(VELTRANE_BINARY_DIR "/screenshots/") + QString::fromLatin1(name);
}

struct Fixture {
    Fixture() {
        guiApp();
        ProjectBuilder b;
        b.state.DeviceType = device::DeviceNet;
        applyProjectDefaults(b.project, b.state);
        const int node = b.node(1, "4");
        for (int i = 0; i < 3; ++i)
            b.command(1, node, {.functionCode = "3", .dataCount = "1", .mappingAddress = std::to_string(2 * i),
                                .mappingBit = "0", .startAddress = std::to_string(40 + i)});
        document.project() = b.project;
        document.state() = b.state;
        document.editor().rebuildTree();
        session.serialPort.SerialPortPath = gateway.path();
        session.serialPort.SerialPortConfigured = true;
        session.serialPort.BaudRateIndex = 7;
    }
    // Presses the dialog's button and waits (at most ten seconds) for the transfer to end.
    bool run(SerialTransferDialog& dialog) {
        QSignalSpy ended(&dialog, &SerialTransferDialog::transferEnded);
        dialog.start();
        if (!ended.wait(10000))
            return false;
        return ended.at(0).at(0).toBool();
    }

    PtyGatewayThread gateway{{.deviceCode = 1, .firmwareVersion = 40}, 115200};
    ScriptedPrompter prompter;
    Document document{prompter};
    LinkSession session;
};

TEST(SerialDialogs, DownloadThenUploadThroughTheDialogs) {
    Fixture f;
    ASSERT_EQ(f.gateway.problem(), "");
    SerialTransferDialog download(SerialTransferDialog::Kind::Download, f.document, f.session);
    ASSERT_TRUE(download.ready());
    download.show();
    ASSERT_TRUE(f.run(download)) << (f.prompter.shown().empty() ? "" : f.prompter.shown().back());
    EXPECT_EQ(download.secondLine().toStdString(), tr(Str::SerialDownloadSuccess));
    EXPECT_TRUE(download.grab().save(screenshot("serial_download_dialog.png")));
    EXPECT_EQ(f.gateway.engine().memory().commandCounts[0], 3);

    // A failed upload leaves the open project as it was.
    const Project before = f.document.project();
    f.document.project().subnets[0].commands[0].startAddress = "999";
    const Project edited = f.document.project();
    f.gateway.engine().setFaults({{.request = 4, .kind = sim::SerialFault::Kind::Silence}});
    SerialTransferDialog upload(SerialTransferDialog::Kind::Upload, f.document, f.session);
    upload.show();
    EXPECT_FALSE(f.run(upload));
    ASSERT_FALSE(f.prompter.shown().empty());
    EXPECT_EQ(f.prompter.shown().back(), tr(Str::UlPackageTimeout));
    EXPECT_EQ(f.document.project(), edited);

    f.gateway.engine().setFaults({});
    ASSERT_TRUE(f.run(upload));
    EXPECT_EQ(upload.secondLine().toStdString(), tr(Str::SerialUploadSuccess));
    EXPECT_EQ(f.document.project().subnets[0].commands[0].startAddress, before.subnets[0].commands[0].startAddress);
    EXPECT_FALSE(f.document.state().ProjectModified);
    EXPECT_TRUE(upload.grab().save(screenshot("serial_upload_dialog.png")));
}

TEST(SerialDialogs, TheDialogNamesItsPortAndAFailureTakesThePlaceOfPleaseWait) {
    Fixture f;
    ASSERT_EQ(f.gateway.problem(), "");
    f.gateway.engine().setFaults({{.request = 0, .kind = sim::SerialFault::Kind::Silence}});
    SerialTransferDialog upload(SerialTransferDialog::Kind::Upload, f.document, f.session);
    upload.show();
    EXPECT_EQ(upload.portLine().toStdString(),
              "Port " + f.gateway.path() + ": 115200 baud, 8 data bits, parity None, stop bits 1");
    QSignalSpy ended(&upload, &SerialTransferDialog::transferEnded);
    QTest::mouseClick(upload.startButton(), Qt::LeftButton);
    EXPECT_EQ(upload.secondLine().toStdString(), tr(Str::SerialPleaseWait));
    ASSERT_TRUE(ended.wait(10000));
    EXPECT_FALSE(ended.at(0).at(0).toBool());
    EXPECT_EQ(upload.secondLine().toStdString(), tr(Str::SerialDeviceInfoTimeout));
    ASSERT_FALSE(f.prompter.shown().empty());
    EXPECT_EQ(f.prompter.shown().back(), tr(Str::SerialDeviceInfoTimeout));
    EXPECT_TRUE(upload.startButton()->isEnabled());
    EXPECT_TRUE(upload.grab().save(screenshot("serial-transfer-failed.png")));
}

TEST(SerialDialogs, TheConflictQuestionIsAboutTheProjectBeingDownloaded) {
    Fixture f;
    ASSERT_EQ(f.gateway.problem(), "");
    const std::string question = tr(Str::DlMappingConflictQuestion);

    // A conflict an earlier detection found in another project is not asked about.
    f.session.conflicts.MappingConflictFound = true;
    SerialTransferDialog download(SerialTransferDialog::Kind::Download, f.document, f.session);
    ASSERT_TRUE(download.ready());
    ASSERT_TRUE(f.run(download)) << (f.prompter.shown().empty() ? "" : f.prompter.shown().back());
    EXPECT_EQ(std::count(f.prompter.shown().begin(), f.prompter.shown().end(), question), 0);
    EXPECT_FALSE(f.session.conflicts.MappingConflictFound);

    // A conflict in this project is asked about, though nothing had flagged it; No stops.
    INSTRUCTION& second = f.document.project().subnets[0].commands[1];
    second.mappingAddress = "0";
    const std::size_t before = f.gateway.engine().requestCount();
    f.prompter.addAnswer(Answer::No);
    download.start();
    EXPECT_FALSE(download.isRunning());
    ASSERT_FALSE(f.prompter.shown().empty());
    EXPECT_EQ(f.prompter.shown().back(), question);
    EXPECT_TRUE(f.session.conflicts.MappingConflictFound);
    EXPECT_EQ(f.gateway.engine().requestCount(), before) << "nothing was sent after No";
}

TEST(SerialDialogs, PortDialogStoresTheChoice) {
    guiApp();
    serial::SerialPortChoice choice;
    choice.SerialPortList = {{"/dev/serial/by-id/usb-FTDI_FT232R-if00-port0", "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0  (/dev/ttyUSB0)"},
                             {"/dev/ttyS0", "/dev/ttyS0"}};
    SerialPortDialog dialog(choice, device::FourSubnets);
    EXPECT_EQ(choice.BaudRateIndex, 7);  // the one-time default of the four-subnet gateway
    EXPECT_FALSE(choice.FirstBaudDefault);
    dialog.show();
    EXPECT_TRUE(dialog.grab().save(screenshot("serial_port_dialog.png")));
    dialog.accept();
    EXPECT_TRUE(choice.SerialPortConfigured);
    EXPECT_EQ(choice.SerialPortPath, "");  // the listed port is opened by its entry
    EXPECT_EQ(choice.deviceToOpen(), "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0");
    EXPECT_EQ(choice.lineSettings().baudRate, 115200);

    // A typed device that is no listed port shows no port beside it; typing a listed one picks it.
    choice.SerialPortPath = "/dev/pts/7";
    SerialPortDialog typed(choice, device::FourSubnets);
    typed.show();
    EXPECT_EQ(typed.deviceEdit()->text(), "/dev/pts/7");
    EXPECT_EQ(typed.portBox()->currentIndex(), -1);
    typed.deviceEdit()->clear();
    QTest::keyClicks(typed.deviceEdit(), "/dev/ttyS0");
    EXPECT_EQ(typed.portBox()->currentIndex(), 1);
    QTest::keyClick(typed.deviceEdit(), Qt::Key_Backspace);
    EXPECT_EQ(typed.portBox()->currentIndex(), -1);
    typed.accept();
    EXPECT_EQ(choice.deviceToOpen(), "/dev/ttyS");
}

QPushButton* uploadButton(SerialTransferDialog& dialog) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text().toStdString() == tr(Str::TransferUploadButton))
            return button;
    return nullptr;
}

// Clicks Upload and waits until the dialog has ended `transfers` transfers.
bool clickUpload(SerialTransferDialog& dialog, int transfers = 1) {
    QSignalSpy ended(&dialog, &SerialTransferDialog::transferEnded);
    QTest::mouseClick(uploadButton(dialog), Qt::LeftButton);
    while (ended.count() < transfers)
        if (!ended.wait(10000))
            return false;
    return ended.back().at(0).toBool();
}

// An upload asks the save question before it replaces unsaved work, and its commands come back
// with the byte counts the download gives them, not what the slot held.
TEST(SerialDialogs, AnUploadAsksBeforeReplacingWorkAndCountsBytesAfresh) {
    Fixture f;
    ASSERT_EQ(f.gateway.problem(), "");
    INSTRUCTION& coils = f.document.project().subnets[0].commands[0];
    coils.functionCode = "1";
    coils.dataCount = "8";
    SerialTransferDialog download(SerialTransferDialog::Kind::Download, f.document, f.session);
    ASSERT_TRUE(f.run(download)) << (f.prompter.shown().empty() ? "" : f.prompter.shown().back());

    f.document.project().subnets[0].commands[0].byteCount = "20";
    f.document.state().ProjectModified = true;
    const Project edited = f.document.project();
    ScriptedFileChooser chooser;
    ProjectLifecycle lifecycle(f.document, chooser);
    SerialTransferDialog upload(SerialTransferDialog::Kind::Upload, f.document, f.session);
    upload.setReplaceCheck([&lifecycle] { return lifecycle.confirmDiscard(); });
    upload.show();
    const std::string question = tr(Str::SaveConfigurationQuestion);

    f.prompter.clearShown();
    f.prompter.addAnswer(Answer::Cancel);
    QTest::mouseClick(uploadButton(upload), Qt::LeftButton);
    EXPECT_FALSE(upload.isRunning());
    EXPECT_EQ(f.prompter.shown(), std::vector<std::string>{question});
    EXPECT_EQ(f.document.project(), edited);

    f.prompter.addAnswer(Answer::No);
    ASSERT_TRUE(clickUpload(upload)) << f.prompter.shown().back();
    EXPECT_EQ(f.prompter.shown(), (std::vector<std::string>{question, question}));
    EXPECT_EQ(f.document.project().subnets[0].commands[0].byteCount, "1");
    EXPECT_EQ(f.document.project().subnets[0].commands[1].byteCount, "2");
    EXPECT_EQ(f.document.origin(), f.gateway.path());
    EXPECT_EQ(upload.uploadNote().toStdString(), tr(Str::UlNotCarriedSerial));
}

// A gateway of another serial type: "Device type does not match!" offers a new project of its type.
TEST(SerialDialogs, AnotherTypeOfGatewayIsOfferedANewProjectOfItsType) {
    guiApp();
    PtyGatewayThread gateway{{.deviceCode = 2, .firmwareVersion = 40}, 0};
    ASSERT_EQ(gateway.problem(), "");
    ScriptedPrompter prompter;
    Document document{prompter};
    document.newDocument(NewProjectKind{device::DeviceNet, {}});
    LinkSession session;
    session.serialPort.SerialPortPath = gateway.path();
    session.serialPort.SerialPortConfigured = true;
    SerialTransferDialog upload(SerialTransferDialog::Kind::Upload, document, session);
    upload.show();

    // Cancel keeps the project; OK reads the gateway into a PROFIBUS project.
    prompter.addAnswer(Answer::Cancel);
    EXPECT_FALSE(clickUpload(upload));
    EXPECT_EQ(document.state().DeviceType, device::DeviceNet);
    prompter.addAnswer(Answer::Ok);
    EXPECT_TRUE(clickUpload(upload, 2)) << prompter.shown().back();
    const std::string offer = tr(Str::SerialDeviceTypeMismatch) + "\n" +
                              format(Str::UlMismatchOffer, {deviceTypeDescription(device::DeviceNet),
                                                            deviceTypeDescription(device::Profibus)});
    EXPECT_EQ(prompter.shown(), (std::vector<std::string>{offer, offer}));
    EXPECT_EQ(document.state().DeviceType, device::Profibus);
    EXPECT_EQ(document.project().fieldbus.fieldbusType, "Profibus");
    EXPECT_EQ(upload.secondLine().toStdString(), tr(Str::SerialUploadSuccess));
}

}  // namespace
}  // namespace veltrane::testing
