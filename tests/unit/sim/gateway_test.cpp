#include "core/link/ethernet/discovery_messages.h"
#include "core/link/ethernet/tcp_messages.h"
#include "sim/engine/gateway.h"
#include "sim/engine/gateway_state_file.h"
#include "sim/engine/tcp_session.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

using namespace veltrane;
using namespace veltrane::ethernet;
using namespace veltrane::sim;

namespace {

std::vector<std::uint8_t> joined(const TcpResponse& response) {
    std::vector<std::uint8_t> bytes;
    for (const ReplyPart& part : response.parts)
        bytes.insert(bytes.end(), part.bytes.begin(), part.bytes.end());
    return bytes;
}

template <std::size_t N>
std::span<const std::uint8_t> view(const std::array<std::uint8_t, N>& bytes) {
    return bytes;
}

ConfigurationImage sampleImage() {
    ConfigurationImage image;
    image.setCommandCode(command::WriteConfiguration);
    image.bytes()[7] = 0xF0;
    image.bytes()[6] = 0x04;
    for (std::size_t i = 8; i < kImageSize; ++i)
        image.bytes()[i] = static_cast<std::uint8_t>(i * 7);
    return image;
}

GatewayIdentity identity() {
    GatewayIdentity id;
    id.ipAddress = "127.0.0.3";
    id.modelCode = 30102;
    id.mac = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};
    id.firmwareMajor = 2;
    id.firmwareMinor = 10;
    return id;
}

}  // namespace

TEST(SimGateway, AnswersDiscoveryWithItsIdentity) {
    Gateway gateway(identity());
    const auto reply = gateway.handleDiscovery(view(DiscoveryRequest{}.encode()));
    ASSERT_TRUE(reply);
    const auto decoded = DiscoveryReply::decode(*reply);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->modelCode, 30102u);
    EXPECT_EQ(decoded->ipText(), "127.0.0.3");
    EXPECT_EQ(decoded->macText(), "00-1a-2b-3c-4d-5e");
    EXPECT_EQ(decoded->firmwareText(), "2.10");
    EXPECT_TRUE(decoded->remoteConfigAllowed());

    // Other datagrams are ignored.
    EXPECT_FALSE(gateway.handleDiscovery(view(ReadRequest{}.encode())));
    EXPECT_FALSE(gateway.handleDiscovery({}));

    GatewayIdentity locked = identity();
    locked.remoteConfig = false;
    EXPECT_FALSE(DiscoveryReply::decode(*Gateway(locked).handleDiscovery(view(DiscoveryRequest{}.encode())))
                     ->remoteConfigAllowed());
}

TEST(SimGateway, WriteThenReadReturnsTheImageAndRestartChecksItsKey) {
    Gateway gateway(identity());
    TcpSession session(gateway);
    const ConfigurationImage image = sampleImage();

    // The write arrives in three pieces; only the complete request is answered.
    const auto bytes = image.bytes();
    EXPECT_TRUE(session.feed(bytes.first(5)).empty());
    EXPECT_TRUE(session.feed(bytes.subspan(5, 700)).empty());
    auto responses = session.feed(bytes.subspan(705));
    ASSERT_EQ(responses.size(), 1u);
    EXPECT_TRUE(responses[0].stored);
    EXPECT_FALSE(responses[0].close);
    EXPECT_TRUE(checkWriteReply(joined(responses[0])));
    EXPECT_EQ(gateway.image(), image);

    // A read and a restart in one piece.
    std::vector<std::uint8_t> both;
    for (std::uint8_t b : ReadRequest{}.encode())
        both.push_back(b);
    for (std::uint8_t b : RestartRequest{}.encode())
        both.push_back(b);
    responses = session.feed(both);
    ASSERT_EQ(responses.size(), 2u);
    const auto read = decodeReadReply(joined(responses[0]));
    ASSERT_TRUE(read);
    EXPECT_TRUE(std::equal(read->bytes().begin() + 8, read->bytes().end(), image.bytes().begin() + 8));
    EXPECT_TRUE(responses[1].restarted);
    EXPECT_TRUE(responses[1].close);
    EXPECT_TRUE(responses[1].parts.empty());
    EXPECT_EQ(gateway.restarts(), 1);

    // A restart with the wrong key does nothing.
    Gateway other(identity());
    TcpSession second(other);
    auto wrongKey = RestartRequest{}.encode();
    wrongKey[15] ^= 1;
    responses = second.feed(wrongKey);
    ASSERT_EQ(responses.size(), 1u);
    EXPECT_FALSE(responses[0].restarted);
    EXPECT_EQ(other.restarts(), 0);
}

TEST(SimGateway, FreshGatewayHoldsTheDefaultsOfItsModel) {
    Gateway gateway(identity());  // single-subnet model: subnet 1 runs User Config
    TcpSession session(gateway);
    const auto responses = session.feed(ReadRequest{}.encode());
    ASSERT_EQ(responses.size(), 1u);
    const auto image = decodeReadReply(joined(responses[0]));
    ASSERT_TRUE(image);
    Project project;
    ProjectState state;
    state.flags.singleSubnetModel = true;
    decodeConfigurationImage(*image, project, state);
    EXPECT_EQ(project.fieldbus.ipAddress, "127.0.0.3");
    EXPECT_EQ(project.subnets[0].protocolType, "User Config");
    EXPECT_EQ(project.subnets[1].responseTimeout, "300");
}

TEST(SimGateway, RemoteConfigurationDisabledRefusesWrites) {
    GatewayIdentity locked = identity();
    locked.remoteConfig = false;
    Gateway gateway(locked);
    const ConfigurationImage before = gateway.image();
    TcpSession session(gateway);
    auto responses = session.feed(sampleImage().bytes());
    ASSERT_EQ(responses.size(), 1u);
    EXPECT_FALSE(responses[0].stored);
    EXPECT_EQ(checkWriteReply(joined(responses[0])).kind(), ErrorKind::NegativeReply);
    EXPECT_EQ(gateway.image(), before);
    // Reading stays possible.
    responses = session.feed(ReadRequest{}.encode());
    EXPECT_TRUE(decodeReadReply(joined(responses.at(0))));
}

TEST(SimGateway, BadFramingEndsTheSession) {
    struct Case {
        const char* what;
        MessageHeader header;
    };
    for (const Case& c : {Case{"unknown code", {7, 0}}, Case{"absurd length", {5, 0x7FFFFFFF}},
                          Case{"short write", {6, 4}}}) {
        Gateway gateway(identity());
        TcpSession session(gateway);
        const auto encoded = c.header.encode();
        std::vector<std::uint8_t> bytes(encoded.begin(), encoded.end());
        bytes.resize(bytes.size() + 4);
        auto responses = session.feed(bytes);
        ASSERT_EQ(responses.size(), 1u) << c.what;
        EXPECT_TRUE(responses[0].close) << c.what;
        EXPECT_TRUE(responses[0].parts.empty()) << c.what;
        EXPECT_TRUE(session.closed());
        EXPECT_TRUE(session.feed(ReadRequest{}.encode()).empty()) << c.what;
    }
}

TEST(SimGateway, InjectedFaults) {
    const auto readReply = [](const FaultPlan& plan) {
        Gateway gateway(identity(), plan);
        TcpSession session(gateway);
        auto responses = session.feed(ReadRequest{}.encode());
        EXPECT_EQ(responses.size(), 1u);
        return responses.at(0);
    };

    // Silence: nothing sent, the connection stays open; discovery is silent too.
    FaultPlan silent{Fault::Silence};
    EXPECT_TRUE(readReply(silent).parts.empty());
    EXPECT_FALSE(readReply(silent).close);
    EXPECT_FALSE(Gateway(identity(), silent).handleDiscovery(view(DiscoveryRequest{}.encode())));

    // Wrong code.
    FaultPlan wrong{Fault::WrongReplyCode};
    wrong.wrongCode = 9;
    EXPECT_EQ(decodeReadReply(joined(readReply(wrong))).kind(), ErrorKind::NegativeReply);
    EXPECT_FALSE(DiscoveryReply::decode(*Gateway(identity(), wrong).handleDiscovery(view(DiscoveryRequest{}.encode()))));

    // Split in two parts, the second delayed; together they are the whole reply.
    FaultPlan split{Fault::SplitReply};
    split.splitAt = 600;
    split.splitDelay = std::chrono::milliseconds(250);
    const TcpResponse parts = readReply(split);
    ASSERT_EQ(parts.parts.size(), 2u);
    EXPECT_EQ(parts.parts[0].bytes.size(), 600u);
    EXPECT_EQ(parts.parts[0].delay.count(), 0);
    EXPECT_EQ(parts.parts[1].bytes.size(), 672u);
    EXPECT_EQ(parts.parts[1].delay.count(), 250);
    EXPECT_EQ(joined(parts), joined(readReply({})));

    // Closed early after 100 bytes.
    FaultPlan close{Fault::CloseEarly};
    close.closeAfter = 100;
    const TcpResponse closed = readReply(close);
    EXPECT_TRUE(closed.close);
    EXPECT_EQ(joined(closed).size(), 100u);

    // A fault scoped to writes leaves reads and discovery alone.
    FaultPlan writesOnly{Fault::Silence, FaultScope::Write};
    EXPECT_EQ(joined(readReply(writesOnly)).size(), kImageSize);
    EXPECT_TRUE(Gateway(identity(), writesOnly).handleDiscovery(view(DiscoveryRequest{}.encode())));
}

TEST(SimGatewayState, ImagesSurviveASaveAndLoad) {
    const std::string path = ::testing::TempDir() + "gwsim_state_test.txt";
    std::remove(path.c_str());
    auto missing = loadGatewayImages(path);
    ASSERT_TRUE(missing);
    EXPECT_TRUE(missing->empty());

    GatewayImages images{{"127.0.0.2", sampleImage()}, {"127.0.0.3", ConfigurationImage{}}};
    ASSERT_TRUE(saveGatewayImages(path, images));
    const auto loaded = loadGatewayImages(path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(*loaded, images);

    {
        std::FILE* damaged = std::fopen(path.c_str(), "w");
        std::fputs("127.0.0.2 00ff\n", damaged);
        std::fclose(damaged);
    }
    EXPECT_EQ(loadGatewayImages(path).kind(), ErrorKind::Format);
    std::remove(path.c_str());
}
