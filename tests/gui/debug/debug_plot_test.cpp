// The debug window's trend plot and coloured rows, fed a known sequence by a gateway of the test's
// own, and its message and file boxes opened under a flood of reports: they paint and take keys
// while the window keeps taking reports.

#include "app/debug/debug_dialog.h"
#include "app/debug/live_table_model.h"
#include "app/debug/report_list_model.h"
#include "app/debug/save_text_file_chooser.h"
#include "app/debug/trend_plot.h"
#include "app/shell/qt_prompter.h"
#include "core/debug/debug_monitor.h"
#include "core/debug/trend_series.h"
#include "core/interaction/file_chooser.h"
#include "core/interaction/prompter.h"
#include "core/link/ethernet/configuration_image.h"
#include "sim/engine/gateway_state_file.h"
#include "support/event_wait.h"
#include "support/gui_app.h"
#include "support/private_network.h"
#include "support/project_builder.h"
#include "support/simulator_process.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

using namespace veltrane;
using namespace veltrane::testing;

namespace {

QString shotPath(const char* name) {
    const QString dir = qEnvironmentVariableIsSet("VELTRANE_SHOTS") ? qEnvironmentVariable("VELTRANE_SHOTS")
                                                                     : QStringLiteral(VELTRANE_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir + QLatin1Char('/') + QLatin1String(name);
}

// A gateway of the test's own at 127.0.0.2: after the tool's start message it sends the scripted
// reports, each once the last was answered, up to `allowed` of them.
class ScriptedGateway {
public:
    explicit ScriptedGateway(std::vector<DebugReport> script, int pauseMs = 0) : m_script(std::move(script)) {
        m_fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_port = htons(kDebugGatewayPort);
        ::inet_pton(AF_INET, "127.0.0.2", &local.sin_addr);
        m_bound = ::bind(m_fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
        m_thread = std::thread([this, pauseMs] { serve(pauseMs); });
    }
    ~ScriptedGateway() {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }
    bool bound() const { return m_bound; }
    std::atomic<std::size_t> allowed{0};
    std::atomic<std::size_t> sent{0};

private:
    bool receive(sockaddr_in* from, int waitMs) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, waitMs) <= 0)
            return false;
        unsigned char buffer[512];
        socklen_t length = sizeof *from;
        return ::recvfrom(m_fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(from), &length) >= 0;
    }
    void serve(int pauseMs) {
        sockaddr_in tool{};
        while (!m_stop && !receive(&tool, 20)) {
        }
        for (std::size_t i = 0; i < m_script.size() && !m_stop;) {
            if (i >= allowed) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
            const Bytes datagram = m_script[i].encodeEthernet();
            ::sendto(m_fd, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&tool), sizeof tool);
            sockaddr_in from{};
            if (!receive(&from, 1000))
                continue;  // unanswered: sent again
            sent = ++i;
            if (pauseMs > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
        }
        sockaddr_in from{};
        while (!m_stop)
            receive(&from, 20);
    }

    std::vector<DebugReport> m_script;
    int m_fd = -1;
    bool m_bound = false;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

DebugReport report(std::uint8_t subnet, std::uint8_t slave, std::uint16_t start, std::vector<std::uint16_t> values,
                   std::uint8_t status = report_status::Correct) {
    DebugReport r;
    r.status = status;
    r.subnet = subnet;
    r.slave = slave;
    r.start = start;
    if (status == report_status::Exception)
        r.exceptionCode = 2;
    else if (status != report_status::Timeout)
        for (const std::uint16_t v : values) {
            r.data.push_back(static_cast<std::uint8_t>(v >> 8));
            r.data.push_back(static_cast<std::uint8_t>(v));
        }
    return r;
}

// Command A (subnet 1, slave 1, address 100) with two values, B (subnet 1, slave 7, address 20) with
// one, C (subnet 2, slave 3, address 0) with one; every 25th report of A is an exception, every 40th
// of B a time-out, every 60th of C an error.
std::vector<DebugReport> threeCommands(int rounds) {
    std::vector<DebugReport> script;
    for (int i = 0; i < rounds; ++i) {
        const auto wave = static_cast<std::uint16_t>(2000 + 1500 * std::sin(i / 15.0));
        const auto ramp = static_cast<std::uint16_t>(i % 100 * 30);
        script.push_back(report(0, 1, 100, {wave, static_cast<std::uint16_t>(4000 - wave)},
                                i % 25 == 24 ? report_status::Exception : report_status::Correct));
        script.push_back(report(0, 7, 20, {ramp}, i % 40 == 39 ? report_status::Timeout : report_status::Correct));
        script.push_back(report(1, 3, 0, {static_cast<std::uint16_t>(i)}, i % 60 == 59 ? report_status::Error
                                                                                       : report_status::Correct));
    }
    return script;
}

DebugConnection gatewayConnection() {
    DebugConnection c;
    c.transport = DebugTransport::Ethernet;
    c.gateway = QHostAddress(QStringLiteral("127.0.0.2"));
    return c;
}

void clickRow(QTableView* view, int row, Qt::KeyboardModifiers modifiers = {}) {
    const QRect cell = view->visualRect(view->model()->index(row, 1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, cell.center());
}

TEST(DebugPlot, SelectedCommandsFollowTheReportsAndRowsAreColoured) {
    VELTRANE_REQUIRE_PRIVATE_NETWORK();
    guiApp();
    const std::vector<DebugReport> script = threeCommands(200);
    ScriptedGateway gateway(script, 10);
    ASSERT_TRUE(gateway.bound());
    ScriptedPrompter prompter;
    ScriptedFileChooser files;
    DebugDialog dialog(gatewayConnection(), prompter, files);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    // The first round shows the three commands; selecting A and then C (Ctrl) plots both.
    gateway.allowed = 3;
    ASSERT_TRUE(waitUntil([&] { return dialog.liveTable().rowCount() == 3; }));
    QTableView* live = dialog.liveView();
    EXPECT_TRUE(dialog.trend().tracks().empty());
    clickRow(live, 0);
    clickRow(live, 2, Qt::ControlModifier);
    ASSERT_EQ(dialog.trend().tracks().size(), 2u);
    EXPECT_EQ(dialog.trend().tracks()[0].key, (LiveKey{1, 1, 100}));
    EXPECT_EQ(dialog.trend().tracks()[1].key, (LiveKey{2, 3, 0}));

    gateway.allowed = script.size();
    ASSERT_TRUE(waitUntil([&] { return dialog.counts().acknowledged == script.size(); }, 20000));
    dialog.flushViews();
    // The selection stayed on its commands, and each plotted every report that came after it.
    EXPECT_EQ(live->selectionModel()->selectedRows().size(), 2);
    const TrendTrack& a = dialog.trend().tracks()[0];
    const TrendTrack& c = dialog.trend().tracks()[1];
    std::size_t sampleAt = 0, markAt = 0;
    for (std::size_t i = 3; i < script.size(); ++i) {
        const DebugReport& r = script[i];
        if (r.subnet != 0 || r.slave != 1)
            continue;
        if (r.status == report_status::Correct) {
            ASSERT_LT(sampleAt, a.samples.size());
            const TrendSample& s = a.samples[sampleAt++];
            ASSERT_EQ(s.count, 2);
            EXPECT_EQ(s.values[0], r.data[0] << 8 | r.data[1]) << i;
            EXPECT_EQ(s.values[1], r.data[2] << 8 | r.data[3]) << i;
        } else {
            ASSERT_LT(markAt, a.marks.size());
            EXPECT_EQ(a.marks[markAt++].status, report_status::Exception);
        }
    }
    EXPECT_EQ(sampleAt, a.samples.size());
    EXPECT_EQ(markAt, a.marks.size());
    EXPECT_EQ(c.samples.back().values[0], 199);
    EXPECT_EQ(c.marks.size(), 3u);
    for (const TrendTrack& track : dialog.trend().tracks())
        for (std::size_t i = 1; i < track.samples.size(); ++i)
            ASSERT_LE(track.samples[i - 1].timeMs, track.samples[i].timeMs);

    // Zoom by keys and by the wheel; Space pauses the plot, the data goes on.
    TrendPlot* plot = dialog.trendPlot();
    const std::int64_t span = plot->spanMs();
    plot->setFocus();
    QTest::keyClick(plot, Qt::Key_Plus);
    EXPECT_LT(plot->spanMs(), span);
    QTest::keyClick(plot, Qt::Key_Minus);
    EXPECT_EQ(plot->spanMs(), span);
    QWheelEvent wheel(QPointF(50, 50), plot->mapToGlobal(QPointF(50, 50)), {}, QPoint(0, 120), Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(plot, &wheel);
    EXPECT_LT(plot->spanMs(), span);
    QTest::keyClick(plot, Qt::Key_Minus);
    QTest::keyClick(plot, Qt::Key_Space);
    EXPECT_TRUE(plot->paused());
    QTest::keyClick(plot, Qt::Key_Space);
    EXPECT_FALSE(plot->paused());

    // Rows that did not answer correctly are coloured in both tables, the rest are not.
    const ReportListModel& list = dialog.reportList();
    ASSERT_GT(list.rowCount(), 100);
    int coloured = 0;
    for (int row = 0; row < list.rowCount(); ++row) {
        const bool correct = list.data(list.index(row, 1), Qt::DisplayRole).toString().toStdString() ==
                             tr(Str::DebugStatusCorrect);
        const bool hasColour = list.data(list.index(row, 1), Qt::BackgroundRole).isValid();
        EXPECT_NE(correct, hasColour) << row;
        coloured += hasColour;
    }
    EXPECT_GT(coloured, 0);
    // The live table ends on an exception of A and a time-out of B: each says so, without the
    // values of an earlier answer beside it; C's correct answer shows its value, uncoloured.
    const LiveTableModel& table = dialog.liveTable();
    const auto text = [&](int row, int column) {
        return table.data(table.index(row, column), Qt::DisplayRole).toString().toStdString();
    };
    EXPECT_EQ(text(0, LiveTableModel::LastData), tr(Str::DebugException02));
    EXPECT_EQ(text(0, LiveTableModel::Registers), "");
    EXPECT_EQ(text(1, LiveTableModel::LastData), tr(Str::DebugNoResponse));
    EXPECT_EQ(text(1, LiveTableModel::Registers), "");
    EXPECT_EQ(text(2, LiveTableModel::Registers), "199");
    EXPECT_TRUE(table.data(table.index(0, 0), Qt::BackgroundRole).isValid());
    EXPECT_TRUE(table.data(table.index(1, 0), Qt::BackgroundRole).isValid());
    EXPECT_FALSE(table.data(table.index(2, 0), Qt::BackgroundRole).isValid());

    // Screenshots: the last ten seconds, every kind of row in the list's view.
    dialog.resize(1100, 900);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(plot, Qt::Key_Plus);
    EXPECT_EQ(plot->spanMs(), 10'000);
    QTest::qWait(100);
    EXPECT_TRUE(dialog.grab().save(shotPath("debug-plot.png")));
    // With only C selected, the live table shows A's and B's colours too.
    clickRow(live, 2);
    EXPECT_EQ(dialog.trend().tracks().size(), 1u);
    QTest::qWait(100);
    EXPECT_TRUE(dialog.grab().save(shotPath("debug-coloured.png")));
    dialog.exitDialog();
}

// Runs `inspect` from inside the event loop of the first modal widget of type W that opens.
template <class W>
void whenModalOpens(std::function<void(W*)> inspect) {
    auto* poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll, inspect] {
        auto* widget = qobject_cast<W*>(QApplication::activeModalWidget());
        if (!widget)
            return;
        poll->stop();
        poll->deleteLater();
        inspect(widget);
    });
    poll->start();
}

// What the box shows on the screen, as the window system got it: painted, not black.
void expectPainted(QWidget* box, const char* shot) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
    QTest::qWait(200);
    const QImage image = box->screen()->grabWindow(box->winId()).toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(image.save(shotPath(shot)));
    std::int64_t dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 40 || qAlpha(image.pixel(x, y)) < 128;
    EXPECT_LT(dark * 5, std::int64_t(image.width()) * image.height()) << shot;
}

// While a box is open the dialog's batches go on: the live table counts more reports, and the
// event loop turns without long gaps.
void expectWindowKeepsTakingReports(const DebugDialog& dialog) {
    const auto counted = [&] {
        std::uint64_t sum = 0;
        for (const LiveRow& row : dialog.liveTable().table().rows())
            sum += row.count(0) + row.count(1) + row.count(2) + row.count(3);
        return sum;
    };
    const std::uint64_t before = counted();
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longestGap = 0;
    while (clock.elapsed() < 600) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        longestGap = std::max(longestGap, clock.elapsed() - last);
        last = clock.elapsed();
    }
    EXPECT_GT(counted(), before + 100);
    EXPECT_LT(longestGap, 250);
}

// Under a flood of acknowledged reports, with two commands plotted: "Save Content" clicked with the
// mouse asks in a real message box and chooses in a real file dialog, both parented to the debug
// window, both painted and answered by keys, and the file then fills.
TEST(DebugBoxes, MessageAndFileBoxesPaintAndAnswerWhileReportsFlow) {
    VELTRANE_REQUIRE_PRIVATE_NETWORK();
    guiApp();
    const auto dir = std::filesystem::temp_directory_path() / ("veltrane-debug-boxes-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    ProjectBuilder b;
    b.node(1, "1");
    b.command(1, 1, {"3", "4", "0", "", "No Swap", "100"});
    b.node(2, "7");
    b.command(2, 1, {"1", "10", "20", "0", "No Swap", "20"});
    sim::GatewayImages images;
    images["127.0.0.2"] = ethernet::buildConfigurationImage(b.project, b.state);
    ASSERT_TRUE(sim::saveGatewayImages((dir / "state.txt").string(), images));
    SimulatorProcess sim(VELTRANE_GWSIM, {"--gateway", "ip=127.0.0.2", "--no-broadcast", "--state",
                                          (dir / "state.txt").string(), "--debug-rate", "0"});
    ASSERT_TRUE(sim.waitFor("listening")) << sim.output();

    QtPrompter prompter;
    SaveTextFileChooser files;
    DebugDialog dialog(gatewayConnection(), prompter, files);
    prompter.setParent(&dialog);
    files.setParent(&dialog);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_TRUE(waitUntil([&] { return dialog.liveTable().rowCount() == 2; }));
    clickRow(dialog.liveView(), 0);
    clickRow(dialog.liveView(), 1, Qt::ControlModifier);
    ASSERT_EQ(dialog.trend().tracks().size(), 2u);

    const std::string saved = (dir / "flood.txt").string();
    bool asked = false, chosen = false;
    whenModalOpens<QMessageBox>([&](QMessageBox* box) {
        asked = true;
        EXPECT_EQ(box->parentWidget(), &dialog);
        expectPainted(box, "debug-question-box.png");
        expectWindowKeepsTakingReports(dialog);
        whenModalOpens<QFileDialog>([&](QFileDialog* chooser) {
            chosen = true;
            EXPECT_EQ(chooser->parentWidget(), &dialog);
            expectPainted(chooser, "debug-file-box.png");
            expectWindowKeepsTakingReports(dialog);
            QTest::keyClicks(QApplication::focusWidget(), QString::fromStdString(saved));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        QTest::keyClick(box, Qt::Key_Return);
    });
    QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
    EXPECT_TRUE(asked);
    EXPECT_TRUE(chosen);
    ASSERT_EQ(dialog.saveButton()->text().toStdString(), tr(Str::DebugStopSaving));
    QTest::qWait(300);
    QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.saveButton()->text().toStdString(), tr(Str::DebugSaveContent));
    EXPECT_GT(std::filesystem::file_size(saved), 1000u);
    dialog.exitDialog();
    std::filesystem::remove_all(dir);
}

}  // namespace
