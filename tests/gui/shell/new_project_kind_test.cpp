// A new project for any gateway: the New for Gateway dialog, File New making the kind last chosen,
// and an uploaded project that waits for a name of its own.

#include "app/editor/editor_view.h"
#include "app/shell/new_for_gateway_dialog.h"
#include "core/link/ethernet/configuration_image.h"
#include "core/model/project_defaults.h"
#include "core/strings/strings.h"
#include "core/transfer/upload_adoption.h"
#include "support/gui_test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace veltrane;
using namespace veltrane::test;

namespace {

QString screenshotDir() {
    const QString dir = QStringLiteral(VELTRANE_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir;
}

// The key goes to the window's tree, as when the user works in it.
void pressCtrl(MainWindow& window, Qt::Key key) {
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.editorView().treeWidget()->setFocus();
    QTest::keyClick(window.editorView().treeWidget(), key, Qt::ControlModifier);
}

}  // namespace

TEST(NewForGateway, TheChosenKindIsMadeAndRememberedForFileNew) {
    WindowHarness h;
    MainWindow& w = *h.window;
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

    w.router().action(CommandId::NewForGateway)->trigger();
    auto* dialog = w.findChild<NewForGatewayDialog*>();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    EXPECT_EQ(dialog->typeBox()->currentData().toInt(), device::EtherNetIP) << "EtherNet/IP until another is chosen";
    EXPECT_TRUE(dialog->switchBox("singleSubnetModel")->isVisible());
    EXPECT_FALSE(dialog->switchBox("largeBufferModel")->isVisible());

    dialog->typeBox()->setFocus();
    QTest::keyClick(dialog->typeBox(), Qt::Key_Home);
    EXPECT_EQ(dialog->typeBox()->currentData().toInt(), device::DeviceNet);
    // Only the switches that mean something to a DeviceNet gateway are offered.
    EXPECT_FALSE(dialog->switchBox("singleSubnetModel")->isVisible());
    EXPECT_FALSE(dialog->switchBox("configDataModel")->isVisible());
    QCheckBox* large = dialog->switchBox("largeBufferModel");
    ASSERT_TRUE(large->isVisible());
    QTest::mouseClick(large, Qt::LeftButton, {}, QPoint(8, large->height() / 2));
    EXPECT_TRUE(large->isChecked());
    EXPECT_TRUE(dialog->grab().save(screenshotDir() + QStringLiteral("/new_for_gateway.png")));

    // The project has unsaved changes: the save question comes first, as for File New.
    w.document().state().ProjectModified = true;
    h.prompter.addAnswer(Answer::No);
    QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_EQ(h.prompter.shown(), std::vector<std::string>{tr(Str::SaveConfigurationQuestion)});
    EXPECT_EQ(w.document().state().DeviceType, device::DeviceNet);
    EXPECT_TRUE(w.document().state().flags.largeBufferModel);
    EXPECT_EQ(w.document().project().fieldbus.fieldbusType, "DeviceNet");
    EXPECT_FALSE(w.document().state().ProjectModified);

    // Ctrl+N makes the same kind again, in this run and in the next.
    w.document().state().DeviceType = device::EtherNetIP;
    pressCtrl(w, Qt::Key_N);
    EXPECT_EQ(w.document().state().DeviceType, device::DeviceNet);
    EXPECT_EQ(w.editorView().treeWidget()->topLevelItem(0)->text(0).toStdString(), tr(Str::TreeFieldbus));

    MainWindow next(h.options());
    next.show();
    QApplication::setActiveWindow(&next);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&next));
    pressCtrl(next, Qt::Key_N);
    EXPECT_EQ(next.document().state().DeviceType, device::DeviceNet);
    EXPECT_TRUE(next.document().state().flags.largeBufferModel);

    // Saved for a look at the file: a DeviceNet project as File New makes it.
    h.chooser.saveAnswers.push_back((screenshotDir() + QStringLiteral("/devicenet_new.chg")).toStdString());
    pressCtrl(w, Qt::Key_S);
    EXPECT_TRUE(QFile::exists(screenshotDir() + QStringLiteral("/devicenet_new.chg")));
}

// After an upload over Ethernet the project is the gateway's, untitled: Ctrl+S asks for a name and
// never writes the gateway's contents over the file that was open.
TEST(NewForGateway, AnEthernetUploadIsUntitledUntilSaved) {
    WindowHarness h;
    MainWindow& w = *h.window;
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    h.chooser.saveAnswers.push_back(h.stdPath(QStringLiteral("mine.chg")));
    pressCtrl(w, Qt::Key_S);
    QFile mine(h.path(QStringLiteral("mine.chg")));
    ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
    const QByteArray before = mine.readAll();
    mine.close();
    w.document().project().subnets[0].commands[0].byteCount = "20";

    // A gateway holding one command of 8 coils.
    Project gatewayProject;
    ProjectState gatewayState;
    initializeNewProject(gatewayProject, gatewayState);
    CONFIG& subnet = gatewayProject.subnets[0];
    subnet.nodeCount = 1;
    subnet.nodes[0].address = "1";
    subnet.commandCount = 1;
    subnet.commands[0].nodeIndex = 1;
    subnet.commands[0].slaveAddress = "1";
    subnet.commands[0].functionCode = "1";
    subnet.commands[0].dataCount = "8";
    subnet.commands[0].mappingAddress = "0";
    adoptEthernetUpload(w.document(), ethernet::buildConfigurationImage(gatewayProject, gatewayState), "127.0.0.2");

    EXPECT_EQ(w.document().project().subnets[0].commands[0].byteCount, "2");
    EXPECT_TRUE(w.document().filePath().empty());
    EXPECT_TRUE(w.windowTitle().contains(QStringLiteral("(uploaded from 127.0.0.2)"))) << w.windowTitle().toStdString();
    h.chooser.saveAnswers.push_back(std::nullopt);
    const int asked = h.chooser.saveCalls;
    pressCtrl(w, Qt::Key_S);
    EXPECT_EQ(h.chooser.saveCalls, asked + 1) << "Save asks for a name";
    ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
    EXPECT_EQ(mine.readAll(), before);
}
