#include "core/link/ethernet/ethernet_transfer.h"
#include "core/link/ethernet/tcp_messages.h"
#include "core/strings/strings.h"
#include "hex.h"
#include "support/fake_clock.h"
#include "support/fake_stream_socket.h"
#include "support/project_builder.h"

#include <gtest/gtest.h>

using namespace veltrane;
using namespace veltrane::ethernet;
using veltrane::testing::FakeClock;
using veltrane::testing::FakeStreamSocket;
using veltrane::testing::fromHex;
using veltrane::testing::ProjectBuilder;

namespace {

const GatewayEndpoint kGateway{"127.0.0.2", 28801};

Bytes bytesOf(const ConfigurationImage& image) { return Bytes(image.bytes().begin(), image.bytes().end()); }

}  // namespace

TEST(EthernetDownload, ExchangeOutcomes) {
    const ConfigurationImage image = [] {
        ProjectBuilder b;
        return buildConfigurationImage(b.project, b.state);
    }();
    struct Case {
        const char* name;
        bool connects;
        bool writes;
        std::vector<Result<Bytes>> replies;
        const char* message;  // nullptr: success
        const char* detail = "";
        ErrorKind kind = ErrorKind::Io;
    };
    const std::vector<Case> cases = {
        {"ack with trailing bytes", true, true, {fromHex("00000006 000000000000000000000000")}, nullptr},
        {"no connection", false, true, {}, "Connection fails, make sure the IP address and port number is correct!"},
        {"send fails", true, false, {}, "Write configuration fails, make sure that the IP address and port number is correct!"},
        {"silence", true, true, {}, "Write configuration fails, make sure that the IP address and port number is correct!"},
        {"wrong code", true, true, {fromHex("00000005 00000000")}, "Write Failed!",
         "The gateway answered with code 5, not the code 6 that confirms a write: it did not take the configuration.",
         ErrorKind::NegativeReply},
        {"closed without reply", true, true, {Bytes{}}, "Write Failed!",
         "The gateway closed the connection without an answer: it did not confirm the configuration.",
         ErrorKind::NegativeReply},
        // A user's Cancel while the reply is awaited is no failure to report.
        {"cancelled", true, true, {makeError(ErrorKind::Cancelled, "The transfer was cancelled.")},
         "The transfer was cancelled.", "", ErrorKind::Cancelled},
    };
    for (const Case& c : cases) {
        FakeStreamSocket socket;
        socket.connectWorks = c.connects;
        socket.writeWorks = c.writes;
        socket.replies.assign(c.replies.begin(), c.replies.end());
        const Status status = downloadImage(socket, kGateway, image);
        EXPECT_EQ(status.ok(), c.message == nullptr) << c.name;
        if (c.message) {
            EXPECT_EQ(status.message(), c.message) << c.name;
            EXPECT_EQ(status.detail(), c.detail) << c.name;
            if (c.kind != ErrorKind::Io) {
                EXPECT_EQ(status.kind(), c.kind) << c.name;
            }
            EXPECT_FALSE(socket.isConnected()) << c.name;
            continue;
        }
        ASSERT_EQ(socket.written.size(), 1u);
        EXPECT_EQ(socket.written[0], bytesOf(image));
        EXPECT_EQ(socket.written[0].size(), 1272u);
        EXPECT_TRUE(socket.doNotRoute);
        EXPECT_EQ(socket.connectedTo, "127.0.0.2");
        EXPECT_TRUE(socket.isConnected()) << "kept open for the restart";
        EXPECT_TRUE(sendRestart(socket));
        EXPECT_EQ(socket.written[1], fromHex("0000000A 00000008 4C756D614665726E"));
        EXPECT_FALSE(socket.isConnected());
    }
}

TEST(EthernetUpload, ReplyInOneOrTwoPartsAndItsFailures) {
    ConfigurationImage stored;
    for (std::size_t i = 8; i < kImageSize; ++i)
        stored.bytes()[i] = static_cast<std::uint8_t>(i * 7);
    const Bytes whole = bytesOf(encodeReadReply(stored));
    const Bytes head(whole.begin(), whole.begin() + 600);
    const Bytes tail(whole.begin() + 600, whole.end());

    struct Case {
        const char* name;
        bool writes;
        std::vector<Result<Bytes>> replies;
        const char* message;   // nullptr: success
        std::size_t received;  // bytes of the image that must match
    };
    const std::vector<Case> cases = {
        {"whole", true, {whole}, nullptr, kImageSize},
        {"two parts", true, {head, tail}, nullptr, kImageSize},
        // A reply short of the whole image never becomes a configuration with zeros in its place.
        {"second part late", true, {head}, "Read configuration failed!", 0},
        {"header then close", true, {fromHex("00000005 000004F0"), Bytes{}}, "Read configuration failed!", 0},
        {"one byte short", true, {Bytes(whole.begin(), whole.end() - 1)}, "Read configuration failed!", 0},
        {"request not sent", false, {}, "", 0},
        {"silence", true, {}, "Reads the configuration fails, make sure that the IP address and port number is correct!", 0},
        {"wrong code", true, {fromHex("00000006 00000000")}, "Read configuration failed!", 0},
        {"closed at once", true, {Bytes{}}, "Read configuration failed!", 0},
    };
    for (const Case& c : cases) {
        FakeStreamSocket socket;
        socket.writeWorks = c.writes;
        socket.replies.assign(c.replies.begin(), c.replies.end());
        FakeClock clock;
        auto image = uploadImage(socket, kGateway, clock);
        EXPECT_FALSE(socket.isConnected()) << c.name;
        if (c.message) {
            ASSERT_FALSE(image) << c.name;
            EXPECT_EQ(image.message(), c.message) << c.name;
            continue;
        }
        ASSERT_TRUE(image) << c.name;
        EXPECT_EQ(socket.written.at(0), fromHex("00000005 00000000"));
        EXPECT_TRUE(std::equal(image->bytes().begin(), image->bytes().begin() + c.received, whole.begin())) << c.name;
        EXPECT_TRUE(std::all_of(image->bytes().begin() + c.received, image->bytes().end(), [](auto b) { return b == 0; }))
            << c.name;
        EXPECT_EQ(clock.nowMs(), c.replies.size() == 1 ? 0 : 500) << c.name;
    }
}
