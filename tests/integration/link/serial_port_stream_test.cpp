// The serial port over a real pseudo-terminal: the same contract the fake port meets, and the line
// settings as the device sees them.

#include "link/serial_port_stream.h"

#include <gtest/gtest.h>
#include <termios.h>

#include <QCoreApplication>
#include <thread>
#include <vector>

#include "core/strings/strings.h"
#include "link/steady_clock.h"
#include "support/byte_stream_contract.h"
#include "support/pseudo_terminal.h"

namespace veltrane::testing {
namespace {

// Qt's port wants an application object on the thread that uses it, as a worker in the
// application has.
class QtApplication : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "link_serial_tests";
        static char* argv[] = {name, nullptr};
        m_app = new QCoreApplication(argc, argv);  // never destroyed, like the application's
    }

private:
    QCoreApplication* m_app = nullptr;
};
const auto* const kApp = ::testing::AddGlobalTestEnvironment(new QtApplication);

struct PtyHarness {
    ~PtyHarness() {
        for (auto& t : senders)
            t.join();
    }
    std::string setUp() {
        if (!pty.problem().empty())
            return pty.problem();
        auto opened = port.open(pty.slavePath(), SerialLineSettings{115200, Parity::None, 8, 1});
        return opened ? std::string() : opened.message();
    }
    ByteStream& stream() { return port; }
    Clock& clock() { return steady; }
    void peerSendAfter(std::int64_t delayMs, const Bytes& bytes) {
        senders.emplace_back([this, delayMs, bytes] {
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
            pty.send(bytes);
        });
    }
    Bytes peerReceive(std::size_t count) { return pty.receive(count, 2000); }

    PseudoTerminal pty;
    SerialPortStream port;
    SteadyClock steady;
    std::vector<std::thread> senders;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Pty, ByteStreamContract, ::testing::Types<PtyHarness>);

struct SettingsCase {
    SerialLineSettings settings;
    speed_t speed;
    bool twoStop;
};

// A pseudo-terminal takes the speed and stop bits; the kernel holds it at 8 bits without parity,
// which must not stop the port from opening.
TEST(SerialPortStream, AppliesTheLineSettingsToTheDevice) {
    const std::vector<SettingsCase> cases{
        {{115200, Parity::None, 8, 1}, B115200, false},
        {{9600, Parity::Even, 7, 2}, B9600, true},
        {{300, Parity::Odd, 5, 1}, B300, false},
    };
    for (const auto& c : cases) {
        PseudoTerminal pty;
        ASSERT_EQ(pty.problem(), "");
        SerialPortStream port;
        auto opened = port.open(pty.slavePath(), c.settings);
        ASSERT_TRUE(opened) << opened.message();
        termios t{};
        ASSERT_EQ(::tcgetattr(pty.masterFd(), &t), 0);
        EXPECT_EQ(::cfgetospeed(&t), c.speed) << c.settings.baudRate;
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.twoStop);
    }
}

TEST(SerialPortStream, RefusesWhatItCannotOpenWithAMessageNamingThePort) {
    SerialPortStream port;
    auto missing = port.open("/dev/veltrane-no-such-port", {});
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.kind(), ErrorKind::Io);
    EXPECT_EQ(missing.message(), format(Str::SerialPortNotFound, {"/dev/veltrane-no-such-port"}));
    EXPECT_FALSE(port.bytesWaiting());

    PseudoTerminal pty;
    ASSERT_EQ(pty.problem(), "");
    auto bad = port.open(pty.slavePath(), SerialLineSettings{19200, Parity::None, 9, 1});
    ASSERT_FALSE(bad);
    EXPECT_EQ(bad.message(), tr(Str::SerialSettingError));
    EXPECT_FALSE(port.isOpen());

    // Opened exclusively: a second program cannot talk on the same line.
    SerialPortStream first;
    ASSERT_TRUE(first.open(pty.slavePath(), {}));
    SerialPortStream second;
    EXPECT_FALSE(second.open(pty.slavePath(), {}));
}

TEST(SerialPortStream, ExchangeOverThePtyDropsStaleInputAndTakesTheReply) {
    PseudoTerminal pty;
    ASSERT_EQ(pty.problem(), "");
    SerialPortStream port;
    ASSERT_TRUE(port.open(pty.slavePath(), {}));
    SteadyClock clock;

    // Left over from an earlier exchange, already waiting when the request goes out.
    ASSERT_TRUE(pty.send({0x81, 0x02, 0x01, 0x00, 0x84}));
    const auto start = clock.nowMs();
    while (*port.bytesWaiting() < 5 && clock.nowMs() - start < 2000)
        clock.sleepMs(5);

    std::thread gateway([&] {
        const Bytes request = pty.receive(3, 2000);
        if (request == Bytes{0x14, 0x00, 0x14})
            pty.send({0x14, 0x00, 0x14});
    });
    FrameExchange exchange(port, clock);
    auto reply = exchange.exchange({0x14, 0x00, 0x14});
    gateway.join();
    ASSERT_TRUE(reply) << reply.message();
    EXPECT_EQ(*reply, (Bytes{0x14, 0x00, 0x14}));
    EXPECT_EQ(exchange.discardedBytes(), 5u);
}

}  // namespace
}  // namespace veltrane::testing
