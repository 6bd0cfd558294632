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

TEST(EthernetEntry, RemoteSwitchAndModelCodeDecide) {
    struct Case {
        EthernetOperation operation;
        bool remote;
        std::uint32_t model;
        bool singleSubnet;
        const char* message;  // nullptr: allowed
    };
    const Case cases[] = {
        {EthernetOperation::Download, false, 0, false, "Remote configuration is disabled, please check the local DIP switch status!"},
        {EthernetOperation::Upload, false, 0, false, nullptr},
        {EthernetOperation::Download, true, 30102, false, "Equipment Type do not match!"},
        {EthernetOperation::Upload, true, 30202, true, "Equipment Type do not match!"},
        {EthernetOperation::Download, true, 30102, true, nullptr},
        {EthernetOperation::Download, true, 30202, false, nullptr},
        {EthernetOperation::Download, true, 0, true, nullptr},
        {EthernetOperation::Download, true, 12345, false, nullptr},
    };
    for (const Case& c : cases) {
        GatewaySelection selection;
        selection.RemoteConfigAllowed = c.remote;
        selection.GatewayModelCode = c.model;
        ProjectState state;
        state.flags.singleSubnetModel = c.singleSubnet;
        ScriptedPrompter prompter;
        EXPECT_EQ(entryAllowed(c.operation, selection, state, prompter), c.message == nullptr) << c.model;
        const std::vector<std::string> expected = c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{};
        EXPECT_EQ(prompter.shown(), expected);
    }
}

TEST(EthernetDownload, ByteCountsAreRecomputedBeforeTheRangeCheck) {
    struct Case {
        const char* code;
        const char* count;
        const char* mapping;
        const char* byteCount;  // after the check
        bool passes;
    };
    const Case cases[] = {
        {"1", "16", "1E9", "3", true},   {"1", "16", "1EA", "3", false}, {"6", "1", "41EA", "2", true},
        {"6", "1", "41EB", "2", false},  {"3", "10", "0", "20", true},   {"15", "8", "4000", "2", true},
        {"5", "1", "41EB", "1", true},   {"7", "99", "FFFF", "keep", true},
    };
    for (const Case& c : cases) {
        ProjectBuilder b;
        b.node(1, "1");
        b.command(1, 1, {c.code, c.count, c.mapping});
        b.at(1, 1).byteCount = "keep";
        ScriptedPrompter prompter;
        EXPECT_EQ(prepareDownload(b.project, prompter), c.passes) << c.code << " at " << c.mapping;
        EXPECT_EQ(b.at(1, 1).byteCount, c.byteCount);
        if (!c.passes) {
            EXPECT_EQ(prompter.shown(), std::vector<std::string>{"Data mapping address exceeds the maximum RMS!"});
        }
    }
}

TEST(EthernetDownload, EmptyNodeAddressOfEitherImageSubnetStopsBeforeAnyChange) {
    for (const char* address : {"", "-1"}) {
        ProjectBuilder b;
        b.node(1, "1");
        b.command(1, 1, {"3", "4", "0"});
        b.node(2, address);
        const Project before = b.project;
        ScriptedPrompter prompter;
        EXPECT_FALSE(prepareDownload(b.project, prompter));
        EXPECT_EQ(prompter.shown(), std::vector<std::string>{"Node address can not be empty!"});
        EXPECT_EQ(b.project, before);
    }
}

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
    };
    const std::vector<Case> cases = {
        {"ack with trailing bytes", true, true, {fromHex("00000006 000000000000000000000000")}, nullptr},
        {"no connection", false, true, {}, "Connection fails, make sure the IP address and port number is correct!"},
        {"send fails", true, false, {}, "Write configuration fails, make sure that the IP address and port number is correct!"},
        {"silence", true, true, {}, "Write configuration fails, make sure that the IP address and port number is correct!"},
        {"wrong code", true, true, {fromHex("00000005 00000000")}, "Write Failed!"},
        {"closed without reply", true, true, {Bytes{}}, "Write Failed!"},
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
        {"second part late", true, {head}, nullptr, 600},
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
        EXPECT_EQ(clock.nowMs(), c.replies.size() == 1 && c.received == kImageSize ? 0 : 500) << c.name;
    }
}
