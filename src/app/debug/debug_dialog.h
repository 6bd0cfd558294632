#pragma once
// The "Debug" dialog: the gateway's reports as a scrolling list and a live table, "Save Content",
// "Stop Displaying", "Send" and "Exit". Reports are handled as they arrive (readyRead), not on a
// timer; the views are refreshed in batches so a fast gateway cannot flood the window.

#include "core/debug/debug_transport.h"

#include <QDialog>
#include <QHostAddress>
#include <QString>

#include <fstream>
#include <memory>

class QLineEdit;
class QPushButton;
class QSerialPort;
class QTableView;
class QTimer;
class QUdpSocket;

namespace veltrane {

// Kept out of moc's sight: the string table they include is generated.
class DebugMonitor;
struct MonitorStep;
class FileChooser;
class LiveTableModel;
class Prompter;
class ReportListModel;

// How the dialog reaches the gateway; chosen before it opens (scan result or serial port choice).
struct DebugConnection {
    DebugTransport transport = DebugTransport::None;
    QHostAddress gateway;                         // Ethernet
    quint16 gatewayPort = kDebugGatewayPort;
    quint16 localPort = kDebugLocalPort;
    QString device;                               // serial: a device path (/dev/ttyUSB0, /dev/pts/3)
    std::size_t historyLimit = 1000;  // rows kept in the report list
};

class DebugDialog : public QDialog {
    Q_OBJECT
public:
    DebugDialog(const DebugConnection& connection, Prompter& prompter, FileChooser& files, QWidget* parent = nullptr);
    ~DebugDialog() override;

    // False when the link could not be opened (the message was shown); the dialog then closes.
    bool linkOpen() const { return m_linkOpen; }
    const DebugMonitor& monitor() const { return *m_monitor; }
    const ReportListModel& reportList() const { return *m_list; }
    const LiveTableModel& liveTable() const { return *m_live; }

    // The buttons, for tests and the keyboard alike.
    void saveContent();
    void toggleDisplay();
    void send();
    void exitDialog();
    void resetLiveTable();

    QLineEdit* addressEdit() const { return m_address; }
    QLineEdit* dataEdit() const { return m_data; }
    QPushButton* saveButton() const { return m_saveButton; }
    QPushButton* displayButton() const { return m_displayButton; }
    QPushButton* sendButton() const { return m_sendButton; }

    // Applies queued rows to the views now instead of at the next batch.
    void flushViews();

signals:
    // A write went out in place of an acknowledgement.
    void written();

protected:
    void reject() override;

private:
    void buildUi();
    void openEthernet(const DebugConnection& connection);
    void openSerial(const DebugConnection& connection);
    void readDatagrams();
    void readSerial();
    void handle(const MonitorStep& step);
    void sendReply(const Bytes& bytes);
    void stopSaving();

    Prompter& m_prompter;
    FileChooser& m_files;
    DebugConnection m_connection;
    std::unique_ptr<DebugMonitor> m_monitor;
    ReportListModel* m_list = nullptr;
    LiveTableModel* m_live = nullptr;
    QTableView* m_listView = nullptr;
    QTableView* m_liveView = nullptr;
    QLineEdit* m_address = nullptr;
    QLineEdit* m_data = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_displayButton = nullptr;
    QPushButton* m_sendButton = nullptr;
    QUdpSocket* m_socket = nullptr;
    QSerialPort* m_serial = nullptr;
    QTimer* m_batch = nullptr;
    QTimer* m_serialQuiet = nullptr;
    QTimer* m_sendTimeout = nullptr;
    bool m_linkOpen = false;
    bool m_stopped = false;
    std::ofstream m_file;
};

}  // namespace veltrane
