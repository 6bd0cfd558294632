#pragma once
// The "Debug" dialog: the gateway's reports as a scrolling list and a live table, "Save Content",
// "Save Trace" (every report as CSV), "Stop Displaying", "Send" and "Exit". The link runs on a
// thread of its own (DebugReceiver), which answers every report at once; the dialog takes what is
// to be shown in batches, within a time budget per batch, so a flooding gateway cannot take the
// window over.

#include "core/debug/debug_transport.h"

#include <QDialog>
#include <QHostAddress>
#include <QString>

#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;

namespace veltrane {

// Kept out of moc's sight: the string table they include is generated.
class DebugReceiver;
struct MonitorCounts;
struct MonitorStep;
class FileChooser;
class LiveTableModel;
class Prompter;
class ReportListModel;
class TraceWriter;
class TrendPlot;
class TrendSeries;

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
    // What the link has handled so far (every report answered, shown or not).
    MonitorCounts counts() const;
    bool writePending() const;
    // Reports that came faster than the window could show them.
    std::uint64_t droppedReports() const;
    const ReportListModel& reportList() const { return *m_list; }
    const LiveTableModel& liveTable() const { return *m_live; }
    QTableView* liveView() const { return m_liveView; }
    // The data behind the trend plot: the live table's selected commands.
    const TrendSeries& trend() const { return *m_trend; }
    TrendPlot* trendPlot() const { return m_plot; }

    // The buttons, for tests and the keyboard alike.
    void saveContent();
    // Starts a trace with the history the list holds, or stops the one running.
    void saveTrace();
    void toggleDisplay();
    void send();
    void exitDialog();
    void resetLiveTable();

    QLineEdit* addressEdit() const { return m_address; }
    QLineEdit* dataEdit() const { return m_data; }
    QPushButton* saveButton() const { return m_saveButton; }
    QPushButton* traceButton() const { return m_traceButton; }
    QPushButton* displayButton() const { return m_displayButton; }
    QPushButton* sendButton() const { return m_sendButton; }

    // Takes what the link received and refreshes the views now instead of at the next batch.
    void flushViews();

signals:
    // A write went out in place of an acknowledgement.
    void written();

protected:
    void reject() override;

private:
    void buildUi();
    void openLink(const DebugConnection& connection);
    void takeSteps();
    void refreshViews();
    void handle(const MonitorStep& step);
    void stopSaving();
    // The file the user chose, with the extension added when it has none; nothing when cancelled
    // or refused (the refusal was shown).
    std::optional<std::string> chooseSaveTarget(const std::string& suggestion, const std::string& extension);
    void traceStep(const MonitorStep& step);
    void stopTrace();
    QWidget* buildPlotPane(QWidget* parent);
    void plotSelectedCommands();

    Prompter& m_prompter;
    FileChooser& m_files;
    DebugConnection m_connection;
    std::unique_ptr<DebugReceiver> m_receiver;
    ReportListModel* m_list = nullptr;
    LiveTableModel* m_live = nullptr;
    QTableView* m_listView = nullptr;
    QTableView* m_liveView = nullptr;
    std::unique_ptr<TrendSeries> m_trend;
    TrendPlot* m_plot = nullptr;
    bool m_trendChanged = false;
    QLineEdit* m_address = nullptr;
    QLineEdit* m_data = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_traceButton = nullptr;
    QPushButton* m_displayButton = nullptr;
    QPushButton* m_sendButton = nullptr;
    QLabel* m_droppedLabel = nullptr;
    QTimer* m_batch = nullptr;
    QTimer* m_sendTimeout = nullptr;
    bool m_linkOpen = false;
    bool m_paused = false;
    std::ofstream m_file;
    std::unique_ptr<TraceWriter> m_trace;
    // Stopped traces still writing what they were given.
    std::vector<std::unique_ptr<TraceWriter>> m_closingTraces;
};

}  // namespace veltrane
