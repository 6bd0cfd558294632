// What the window's gateway commands remember for the run: the serial line settings survive the
// Serial Connection dialog, whichever button closes it, and a new or opened project resets only
// the baud rate to its type's usual one.

#include "app/serial/serial_port_dialog.h"
#include "app/shell/command_router.h"
#include "support/gui_test_support.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>

#include <gtest/gtest.h>

using namespace veltrane;
using namespace veltrane::test;

namespace {

SerialPortDialog* openPortDialog(CommandRouter& router) {
    router.trigger(CommandId::SerialConnection);
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<SerialPortDialog*>(widget); dialog && dialog->isVisible())
            return dialog;
    return nullptr;
}

QComboBox* baudBox(SerialPortDialog& dialog) {
    for (QComboBox* box : dialog.findChildren<QComboBox*>())
        if (box->findText(QStringLiteral("115200")) >= 0)
            return box;
    return nullptr;
}

}  // namespace

TEST(LinkSession, TheChosenBaudRateOutlivesTheSerialConnectionDialog) {
    WindowHarness h;
    MainWindow& w = *h.window;
    CommandRouter& router = w.router();
    w.document().state().DeviceType = device::DeviceNet;
    router.updateEnabling();

    SerialPortDialog* first = openPortDialog(router);
    ASSERT_NE(first, nullptr) << "the dialog opens without blocking the window";
    ASSERT_NE(baudBox(*first), nullptr);
    EXPECT_EQ(baudBox(*first)->currentText(), "19200");
    baudBox(*first)->setCurrentIndex(baudBox(*first)->findText(QStringLiteral("9600")));
    first->accept();
    QTest::qWait(0);

    // Closed with Cancel, then with OK: neither brings the old rate back.
    for (bool cancel : {true, false}) {
        SerialPortDialog* again = openPortDialog(router);
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(baudBox(*again)->currentText(), "9600");
        if (cancel)
            again->reject();
        else
            again->accept();
        QTest::qWait(0);
    }
    EXPECT_EQ(router.linkSession().serialPort.lineSettings().baudRate, 9600);

    // A new project starts with the usual baud rate of its type; the rest of the choice stays.
    router.linkSession().serialPort.ParityIndex = 2;
    router.trigger(CommandId::FileNew);
    EXPECT_EQ(router.linkSession().serialPort.lineSettings().baudRate, 19200);
    EXPECT_EQ(router.linkSession().serialPort.ParityIndex, 2);
    EXPECT_TRUE(router.linkSession().serialPort.SerialPortConfigured);
}
