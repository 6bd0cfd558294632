// The debug dialog driven against the simulator: rows and the live table fill as reports arrive,
// "Send" writes into the gateway, "Stop Displaying" pauses only the view, "Save Content" writes
// its blocks, and Exit stops the gateway.

#include "app/debug/debug_dialog.h"
#include "app/debug/live_table_model.h"
#include "app/debug/report_list_model.h"
#include "core/debug/debug_monitor.h"
#include "core/interaction/file_chooser.h"
#include "core/interaction/prompter.h"
#include "core/link/ethernet/configuration_image.h"
#include "core/model/project_file.h"
#include "core/strings/strings.h"
#include "sim/engine/gateway_state_file.h"
#include "support/event_wait.h"
#include "support/gui_app.h"
#include "support/private_network.h"
#include "support/project_builder.h"
#include "support/simulator_process.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <QTest>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

using namespace veltrane;
using namespace veltrane::testing;

namespace {

class DebugDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        VELTRANE_REQUIRE_PRIVATE_NETWORK();
        guiApp();
        ProjectBuilder b;
        b.node(1, "1");
        b.command(1, 1, {"3", "4", "0", "", "No Swap", "100"});
        b.node(2, "7");
        b.command(2, 1, {"1", "10", "20", "0", "No Swap", "20"});
        b.command(2, 1, {"16", "2", "4000", "", "No Swap", "300"});
        m_dir = std::filesystem::temp_directory_path() / ("veltrane-debug-gui-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
        sim::GatewayImages images;
        images["127.0.0.2"] = ethernet::buildConfigurationImage(b.project, b.state);
        ASSERT_TRUE(sim::saveGatewayImages((m_dir / "state.txt").string(), images));
        m_sim = std::make_unique<SimulatorProcess>(
            VELTRANE_GWSIM, std::vector<std::string>{"--gateway", "ip=127.0.0.2", "--no-broadcast", "--state",
                                                     (m_dir / "state.txt").string(), "--debug-rate", "400",
                                                     "--debug-exceptions", "10", "--debug-timeouts", "10"});
        ASSERT_TRUE(m_sim->waitFor("listening")) << m_sim->output();
    }
    void TearDown() override {
        m_sim.reset();
        std::filesystem::remove_all(m_dir);
    }

    DebugConnection connection(std::size_t history) const {
        DebugConnection c;
        c.transport = DebugTransport::Ethernet;
        c.gateway = QHostAddress(QStringLiteral("127.0.0.2"));
        c.historyLimit = history;
        return c;
    }

    std::filesystem::path m_dir;
    std::unique_ptr<SimulatorProcess> m_sim;
};

TEST_F(DebugDialogTest, ShowsLiveRowsWritesSavesAndStopsTheGateway) {
    ScriptedPrompter prompter({Answer::Ok});
    ScriptedFileChooser files;
    files.saveAnswers.push_back((m_dir / "saved").string());
    DebugDialog dialog(connection(40), prompter, files);
    dialog.show();
    ASSERT_TRUE(m_sim->waitFor("debug start 127.0.0.2"));

    const ReportListModel& list = dialog.reportList();
    ASSERT_EQ(list.columnCount(), 6);  // and the time
    EXPECT_EQ(list.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString().toStdString(), tr(Str::DebugColumnSerialIndex));
    // The history is bounded: old rows go, the newest stay.
    ASSERT_TRUE(waitUntil([&] { return dialog.counts().acknowledged > 100; }));
    dialog.flushViews();
    EXPECT_EQ(list.rowCount(), 40);
    ASSERT_EQ(dialog.liveTable().rowCount(), 3);
    // The link answers on a thread of its own: once the dialog has taken all it answered, the live
    // table has counted every report.
    const auto counted = [&] {
        dialog.flushViews();
        std::uint64_t sum = 0;
        for (const LiveRow& row : dialog.liveTable().table().rows())
            sum += row.count(0) + row.count(1) + row.count(2) + row.count(3);
        return sum;
    };
    EXPECT_TRUE(waitUntil([&] { return counted() == dialog.counts().acknowledged; }));

    QDir().mkpath(QStringLiteral(VELTRANE_BINARY_DIR "/screenshots"));
    EXPECT_TRUE(dialog.grab().save(QStringLiteral(VELTRANE_BINARY_DIR "/screenshots/debug_dialog.png")));

    // Send: the simulator records the write and shows it in the write command's next reports.
    QSignalSpy written(&dialog, &DebugDialog::written);
    dialog.addressEdit()->setText(QStringLiteral("4000"));
    dialog.dataEdit()->setText(QStringLiteral("12 34 56 78"));
    dialog.send();
    EXPECT_FALSE(dialog.sendButton()->isEnabled());
    ASSERT_TRUE(waitUntil([&] { return written.count() == 1; }));
    EXPECT_TRUE(dialog.sendButton()->isEnabled());
    EXPECT_TRUE(m_sim->waitFor("debug write 127.0.0.2 4000 12345678")) << m_sim->output();
    EXPECT_TRUE(prompter.shown().empty());

    // Stop Displaying: reports are still answered and saved, the list stands still.
    dialog.saveContent();
    EXPECT_EQ(dialog.saveButton()->text().toStdString(), tr(Str::DebugStopSaving));
    dialog.toggleDisplay();
    EXPECT_EQ(dialog.displayButton()->text().toStdString(), tr(Str::DebugContinueDisplay));
    const auto answered = dialog.counts().acknowledged;
    ASSERT_TRUE(waitUntil([&] { return dialog.counts().acknowledged > answered + 50; }));
    dialog.flushViews();
    EXPECT_EQ(list.rowCount(), 40);
    dialog.toggleDisplay();
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(dialog.displayButton()->text().toStdString(), tr(Str::DebugStopDisplaying));
    ASSERT_TRUE(waitUntil([&] { dialog.flushViews(); return list.rowCount() > 0; }));

    dialog.saveContent();
    EXPECT_EQ(dialog.saveButton()->text().toStdString(), tr(Str::DebugSaveContent));
    // The default extension was added; every block starts with the serial index and ends empty.
    std::ifstream saved(m_dir / "saved.txt");
    ASSERT_TRUE(saved.is_open());
    std::stringstream text;
    text << saved.rdbuf();
    std::istringstream blocks(text.str());
    int complete = 0;
    for (std::string line; std::getline(blocks, line);) {
        ASSERT_EQ(line.rfind("Serial Index\t", 0), 0u) << line;
        std::getline(blocks, line);
        EXPECT_EQ(line.rfind("Status\t\t", 0), 0u) << line;
        for (const char* title : {"Slave address\t", "Starting address\t", "Data/exception code\t"}) {
            std::getline(blocks, line);
            EXPECT_EQ(line.rfind(title, 0), 0u) << line;
        }
        ASSERT_TRUE(std::getline(blocks, line));
        EXPECT_EQ(line, "");
        ++complete;
    }
    EXPECT_GT(complete, 50);

    dialog.exitDialog();
    EXPECT_TRUE(m_sim->waitFor("debug stop 127.0.0.2")) << m_sim->output();
}

TEST_F(DebugDialogTest, SendShowsEachValidationMessageAndWritesNothing) {
    ScriptedPrompter prompter;
    ScriptedFileChooser files;
    DebugDialog dialog(connection(100), prompter, files);
    EXPECT_EQ(dialog.addressEdit()->text(), QStringLiteral("4000"));
    EXPECT_EQ(dialog.dataEdit()->text(), QStringLiteral("00 01 02 03"));
    const struct {
        const char* address;
        const char* data;
        Str message;
    } cases[] = {
        {"", "00", Str::DebugPleaseComplete},
        {"4000", "0g", Str::DebugIllegalCharacters},
        {"4000", "0011", Str::DebugFormatIncorrect},
        {"400", "00", Str::DebugFormatIncorrect},
        {"3fff", "00", Str::DebugAddressOutOfRange},
        {"41EB", "ff 00", Str::DebugAddressOutOfRange},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.address) + " / " + c.data);
        prompter.clearShown();
        dialog.addressEdit()->setText(QString::fromLatin1(c.address));
        dialog.dataEdit()->setText(QString::fromLatin1(c.data));
        dialog.send();
        ASSERT_EQ(prompter.shown().size(), 1u);
        EXPECT_EQ(prompter.shown()[0], tr(c.message));
        EXPECT_TRUE(dialog.sendButton()->isEnabled());
        EXPECT_FALSE(dialog.writePending());
    }
    // Cancelling the save question saves nothing and leaves the button as it was.
    dialog.saveContent();
    EXPECT_EQ(dialog.saveButton()->text().toStdString(), tr(Str::DebugSaveContent));
    EXPECT_EQ(files.saveCalls, 0);
    dialog.exitDialog();
    EXPECT_EQ(m_sim->count("debug write"), 0);
}

std::vector<std::string> csvFields(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"' && quoted && i + 1 < line.size() && line[i + 1] == '"')
            fields.back() += line[++i];
        else if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

// "Save Trace" starts with the list's history and then has every report, paused or not, until it
// is stopped: the simulator cycles through the three commands, so a missing report shows as a
// break in the cycle.
TEST_F(DebugDialogTest, SaveTraceWritesTheHistoryAndEveryReportAfterIt) {
    ScriptedPrompter prompter;
    ScriptedFileChooser files;
    files.saveAnswers.push_back((m_dir / "trace").string());
    DebugDialog dialog(connection(40), prompter, files);
    dialog.show();
    const ReportListModel& list = dialog.reportList();
    ASSERT_EQ(list.columnCount(), 6);
    EXPECT_EQ(list.headerData(list.timeColumn(), Qt::Horizontal, Qt::DisplayRole).toString().toStdString(),
              tr(Str::DebugColumnTime));
    ASSERT_TRUE(waitUntil([&] { return dialog.counts().acknowledged > 60; }));
    dialog.saveTrace();
    EXPECT_EQ(files.lastSuggestion, "trace.csv");
    EXPECT_EQ(dialog.traceButton()->text().toStdString(), tr(Str::DebugStopTrace));
    ASSERT_EQ(list.rowCount(), 40);
    const std::string firstShown = list.data(list.index(0, list.timeColumn()), Qt::DisplayRole).toString().toStdString();
    EXPECT_TRUE(std::regex_match(firstShown, std::regex(R"(\d\d:\d\d:\d\d\.\d{3}  \+\d+\.\d{3} s)"))) << firstShown;

    auto answered = dialog.counts().acknowledged;
    ASSERT_TRUE(waitUntil([&] { return dialog.counts().acknowledged > answered + 40; }));
    dialog.toggleDisplay();
    answered = dialog.counts().acknowledged;
    ASSERT_TRUE(waitUntil([&] { return dialog.counts().acknowledged > answered + 40; }));
    dialog.saveTrace();
    EXPECT_EQ(dialog.traceButton()->text().toStdString(), tr(Str::DebugSaveTrace));
    dialog.exitDialog();
    EXPECT_TRUE(prompter.shown().empty());

    std::ifstream file(m_dir / "trace.csv");
    ASSERT_TRUE(file.is_open());
    std::string line;
    ASSERT_TRUE(std::getline(file, line));
    EXPECT_EQ(line, "time_ms,wall_clock,serial_index,status,slave,start,data,values");
    const std::vector<std::array<const char*, 3>> cycle = {{"1", "1", "100"}, {"2", "7", "20"}, {"2", "7", "300"}};
    std::vector<std::vector<std::string>> rows;
    while (std::getline(file, line))
        rows.push_back(csvFields(line));
    ASSERT_GT(rows.size(), 40u + 80u);
    // Where the cycle stands at the first row, told by the first row that names its command.
    std::size_t next = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].size() == 8 && !rows[i][5].empty()) {
            const std::size_t at = rows[i][5] == "100" ? 0 : rows[i][5] == "20" ? 1 : 2;
            next = (at + 3 * rows.size() - i) % 3;
            break;
        }
    }
    long long lastMs = -1;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& row = rows[i];
        SCOPED_TRACE("line " + std::to_string(i + 2));
        ASSERT_EQ(row.size(), 8u);
        EXPECT_GE(std::stoll(row[0]), lastMs);
        lastMs = std::stoll(row[0]);
        const auto& expected = cycle[next];
        next = (next + 1) % cycle.size();
        EXPECT_EQ(row[2], expected[0]);
        if (row[3] == tr(Str::DebugStatusTimeout))
            continue;
        EXPECT_EQ(row[4], expected[1]);
        EXPECT_EQ(row[5], expected[2]);
        if (row[3] == tr(Str::DebugStatusAbnormal))
            continue;
        // The values read the data bytes two at a time, big-endian.
        std::istringstream bytes(row[6]), values(row[7]);
        for (unsigned high = 0, low = 0, value = 0; bytes >> std::hex >> high;) {
            values >> std::dec >> value;
            if (bytes >> std::hex >> low)
                EXPECT_EQ(value, high * 256 + low);
            else
                EXPECT_EQ(value, high);
        }
    }

    // The trace opened as a table, for a look at it.
    QStandardItemModel table;
    table.setHorizontalHeaderLabels({"time_ms", "wall_clock", "serial_index", "status", "slave", "start", "data",
                                     "values"});
    for (std::size_t r = 0; r < 24 && r < rows.size(); ++r) {
        QList<QStandardItem*> items;
        for (const std::string& field : rows[r])
            items.append(new QStandardItem(QString::fromStdString(field)));
        table.appendRow(items);
    }
    QTableView view;
    view.setModel(&table);
    view.resize(1100, 560);
    view.resizeColumnsToContents();
    view.show();
    QDir().mkpath(QStringLiteral(VELTRANE_BINARY_DIR "/screenshots"));
    EXPECT_TRUE(view.grab().save(QStringLiteral(VELTRANE_BINARY_DIR "/screenshots/trace_table.png")));
}

// "Save Content" and "Save Trace" to a FIFO are refused with a message before anything opens it. The test holds a
// reader on it (opened without blocking) so that a dialog that did open it could not hang here.
TEST_F(DebugDialogTest, SavingRefusesWhatIsNotARegularFile) {
    const std::string fifo = (m_dir / "pipe.txt").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ScriptedPrompter prompter({Answer::Ok});
    ScriptedFileChooser files;
    files.saveAnswers.push_back(fifo);
    DebugDialog dialog(connection(100), prompter, files);
    dialog.saveContent();
    ASSERT_FALSE(prompter.shown().empty());
    EXPECT_EQ(prompter.shown().back(), fifo + " is not a regular file; it was left as it is and nothing was saved.");
    EXPECT_EQ(dialog.saveButton()->text().toStdString(), tr(Str::DebugSaveContent));
    const std::string refusal = prompter.shown().back();
    prompter.clearShown();
    files.saveAnswers.push_back(fifo);
    dialog.saveTrace();
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown().back(), refusal);
    EXPECT_EQ(dialog.traceButton()->text().toStdString(), tr(Str::DebugSaveTrace));
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    ::close(reader);
    dialog.exitDialog();
}

// A gateway reporting as fast as loopback carries them, unacknowledged: the window keeps turning
// its event loop (it used to read on its UI thread for as long as datagrams were waiting), and Exit
// still stops the gateway.
TEST_F(DebugDialogTest, AFloodingGatewayLeavesTheWindowResponsive) {
    m_sim.reset();
    m_sim = std::make_unique<SimulatorProcess>(
        VELTRANE_GWSIM, std::vector<std::string>{"--gateway", "ip=127.0.0.2", "--no-broadcast", "--state",
                                                 (m_dir / "state.txt").string(), "--debug-rate", "0", "--debug-no-ack"});
    ASSERT_TRUE(m_sim->waitFor("listening")) << m_sim->output();
    ScriptedPrompter prompter;
    ScriptedFileChooser files;
    DebugDialog dialog(connection(1000), prompter, files);
    dialog.show();
    ASSERT_TRUE(m_sim->waitFor("debug start 127.0.0.2"));

    // A 10 ms timer: the longest gap between two of its turns is how long the window was held up.
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longestGap = 0;
    int turns = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longestGap = std::max(longestGap, now - last);
        last = now;
        ++turns;
    });
    ticker.start(10);
    while (clock.elapsed() < 1500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ticker.stop();

    EXPECT_GT(dialog.counts().acknowledged, 1000u);
    EXPECT_GT(turns, 20);
    EXPECT_LT(longestGap, 500);
    EXPECT_EQ(dialog.reportList().rowCount(), 1000);
    dialog.exitDialog();
    EXPECT_TRUE(m_sim->waitFor("debug stop 127.0.0.2")) << m_sim->output();
}

}  // namespace

// Over the simulator's pseudo-terminal: reports arrive as the line carries them and are answered.
TEST(DebugDialogSerial, ShowsTheReportsOfTheSimulatedSerialGateway) {
    guiApp();
    ProjectBuilder b;
    b.node(1, "5");
    b.command(1, 1, {"3", "2", "0", "", "No Swap", "100"});
    const std::string project = ::testing::TempDir() + "debug_dialog_serial.chg";
    ASSERT_TRUE(writeProjectFile(project, b.project, b.state).ok());
    SimulatorProcess sim(VELTRANE_GWSIM, {"--serial", "--baud", "0", "--debug-project", project,
                                          "--debug-rate", "200", "--debug-exceptions", "0",
                                          "--debug-timeouts", "0"});
    const std::string port = sim.serialPath();
    ASSERT_FALSE(port.empty()) << sim.output();

    DebugConnection c;
    c.transport = DebugTransport::Serial;
    c.device = QString::fromStdString(port);
    ScriptedPrompter prompter;
    ScriptedFileChooser files;
    DebugDialog dialog(c, prompter, files);
    dialog.show();
    ASSERT_TRUE(waitUntil([&] { return dialog.counts().acknowledged >= 5; }));
    dialog.flushViews();
    const ReportListModel& list = dialog.reportList();
    ASSERT_EQ(list.columnCount(), 5);  // and the time
    ASSERT_GT(list.rowCount(), 0);
    EXPECT_EQ(list.data(list.index(0, 0), Qt::DisplayRole).toString().toStdString(), tr(Str::DebugStatusCorrect));
    EXPECT_EQ(list.data(list.index(0, 1), Qt::DisplayRole).toString(), QStringLiteral("5"));
    EXPECT_TRUE(prompter.shown().empty());
}

// Another program holding the local port: the dialog says so and closes, instead of an empty list.
TEST(DebugDialogEthernet, APortTakenByAnotherProgramIsReported) {
    VELTRANE_REQUIRE_PRIVATE_NETWORK();
    guiApp();
    const int holder = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(holder, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::getsockname(holder, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const quint16 port = ntohs(address.sin_port);

    DebugConnection c;
    c.transport = DebugTransport::Ethernet;
    c.gateway = QHostAddress(QStringLiteral("127.0.0.2"));
    c.localPort = port;
    ScriptedPrompter prompter;
    ScriptedFileChooser files;
    DebugDialog dialog(c, prompter, files);
    dialog.show();
    EXPECT_FALSE(dialog.linkOpen());
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].rfind(format(Str::SocketBindFailed, {"0.0.0.0", std::to_string(port), ""}), 0), 0u)
        << prompter.shown()[0];
    EXPECT_TRUE(waitUntil([&] { return !dialog.isVisible(); }));
    ::close(holder);
}
