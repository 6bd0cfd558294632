// UDP and TCP over loopback, inside a network namespace the test makes: the datagram contract the
// fake meets, and the connection's bounds and end.

#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>

#include "link/steady_clock.h"
#include "link/tcp_stream_socket.h"
#include "link/udp_datagram_socket.h"
#include "support/datagram_socket_contract.h"
#include "support/private_network.h"

namespace veltrane::testing {
namespace {

struct UdpHarness {
    std::string setUp() { return enterPrivateNetwork(); }
    DatagramSocket& a() { return socketA; }
    DatagramSocket& b() { return socketB; }
    Clock& clock() { return steady; }

    SteadyClock steady;
    UdpDatagramSocket socketA;
    UdpDatagramSocket socketB;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Loopback, DatagramSocketContract, ::testing::Types<UdpHarness>);

TEST(UdpDatagramSocket, SharesItsPortAndRefusesBroadcastUnlessAllowed) {
    VELTRANE_REQUIRE_PRIVATE_NETWORK();
    UdpDatagramSocket first;
    ASSERT_TRUE(first.bind("127.0.0.1", 0));
    UdpDatagramSocket second;
    EXPECT_TRUE(second.bind("127.0.0.1", first.localPort())) << "a listener port must be shareable";

    // Only loopback addresses here: 127.255.255.255 is lo's own broadcast address, so the system
    // refuses the send without SO_BROADCAST, and nothing can leave the namespace anyway.
    UdpDatagramSocket sender;
    ASSERT_TRUE(sender.bind("127.0.0.1", 0));
    auto refused = sender.sendTo({1}, "127.255.255.255", first.localPort());
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.kind(), ErrorKind::Io);

    auto bad = sender.sendTo({1}, "not-an-address", 1);
    ASSERT_FALSE(bad);
    EXPECT_EQ(bad.kind(), ErrorKind::Format);
}

class TcpStreamSocketTest : public ::testing::Test {
protected:
    void SetUp() override {
        VELTRANE_REQUIRE_PRIVATE_NETWORK();
        ASSERT_TRUE(server.listen(QHostAddress("127.0.0.1"), 0));
        ASSERT_TRUE(client.connectTo("127.0.0.1", server.serverPort(), 1000));
        ASSERT_TRUE(server.waitForNewConnection(1000));
        peer = server.nextPendingConnection();
        ASSERT_NE(peer, nullptr);
    }

    QTcpServer server;
    QTcpSocket* peer = nullptr;
    TcpStreamSocket client;
};

TEST_F(TcpStreamSocketTest, RoundTripWithASplitReplyAndSilence) {
    ASSERT_TRUE(client.setDoNotRoute(true));  // loopback is directly attached
    const Bytes request{0, 0, 0, 5, 0, 0, 0, 0};
    ASSERT_TRUE(client.write(request, 1000));
    ASSERT_TRUE(peer->waitForReadyRead(1000));
    EXPECT_EQ(peer->readAll(), QByteArray("\0\0\0\5\0\0\0\0", 8));

    SteadyClock clock;
    auto start = clock.nowMs();
    auto silent = client.receive(16, 200);
    ASSERT_FALSE(silent);
    EXPECT_EQ(silent.kind(), ErrorKind::Timeout);
    EXPECT_GE(clock.nowMs() - start, 199);

    peer->write("\0\0\0\6", 4);
    peer->waitForBytesWritten(1000);
    auto first = client.receive(16, 1000);
    ASSERT_TRUE(first) << first.message();
    EXPECT_EQ(*first, (Bytes{0, 0, 0, 6}));
    peer->write("\xAA\xBB", 2);
    peer->waitForBytesWritten(1000);
    start = clock.nowMs();
    while (*client.bytesWaiting() < 2 && clock.nowMs() - start < 2000)
        clock.sleepMs(5);
    auto second = client.receive(16, 1000);
    ASSERT_TRUE(second);
    EXPECT_EQ(*second, (Bytes{0xAA, 0xBB}));
}

TEST_F(TcpStreamSocketTest, APeerThatClosesGivesAnEmptyReceiveNotATimeout) {
    peer->write("\0\0\0\5", 4);
    peer->waitForBytesWritten(1000);
    peer->disconnectFromHost();
    auto last = client.receive(2048, 1000);
    ASSERT_TRUE(last) << last.message();
    EXPECT_EQ(*last, (Bytes{0, 0, 0, 5}));
    auto closed = client.receive(2048, 1000);
    ASSERT_TRUE(closed) << closed.message();
    EXPECT_TRUE(closed->empty());
}

TEST(TcpStreamSocket, ConnectionRefusedIsAnIoErrorAndNeedsNoWait) {
    VELTRANE_REQUIRE_PRIVATE_NETWORK();
    QTcpServer probe;  // find a port nobody listens on
    ASSERT_TRUE(probe.listen(QHostAddress("127.0.0.1"), 0));
    const auto port = probe.serverPort();
    probe.close();
    TcpStreamSocket client;
    auto refused = client.connectTo("127.0.0.1", port, 1000);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.kind(), ErrorKind::Io);
    EXPECT_FALSE(client.isConnected());
    EXPECT_FALSE(client.write({1}, 100));
}

}  // namespace
}  // namespace veltrane::testing
