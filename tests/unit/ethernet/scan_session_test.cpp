#include "core/link/ethernet/scan_session.h"
#include "core/strings/strings.h"
#include "hex.h"
#include "support/fake_clock.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>

using namespace veltrane;
using namespace veltrane::ethernet;
using veltrane::testing::FakeClock;
using veltrane::testing::fromHex;

namespace {

// One datagram the air carries, and who sent it.
struct Answer {
    Answer(Bytes bytes, std::string sender = "127.0.0.2") : data(std::move(bytes)), from(std::move(sender)) {}
    Bytes data;
    std::string from;
};

// Gateways seen by the scan's sockets: each send is answered with the replies scripted for it. A
// babbling peer also sends `babble` every babbleEveryMs until the clock reaches babbleUntilMs.
struct Air {
    FakeClock clock;
    std::vector<Answer> answers;  // every send gets these, in order
    std::vector<std::pair<std::string, std::string>> sends;  // (from, to)
    bool bindWorks = true;
    Bytes babble;
    int babbleEveryMs = 0;
    std::int64_t babbleUntilMs = 120'000;
    int receives = 0;
};

class AirSocket : public DatagramSocket {
public:
    explicit AirSocket(Air& air) : m_air(air) {}
    Status bind(const std::string& local, std::uint16_t) override {
        if (!m_air.bindWorks)
            return makeError(ErrorKind::Io, "The socket could not be bound to " + local + " port 10002: in use");
        m_local = local;
        return {};
    }
    std::uint16_t localPort() const override { return 0; }
    Status setBroadcast(bool) override { return {}; }
    Status setReceiveBufferSize(int) override { return {}; }
    Status sendTo(const Bytes&, const std::string& address, std::uint16_t) override {
        m_air.sends.push_back({m_local, address});
        m_inbox.insert(m_inbox.end(), m_air.answers.begin(), m_air.answers.end());
        return {};
    }
    bool hasPendingDatagram() override { return !m_inbox.empty(); }
    Result<Datagram> receive(std::size_t maxBytes, int timeoutMs) override {
        ++m_air.receives;
        if (m_inbox.empty()) {
            const bool babbling = m_air.babbleEveryMs > 0 && m_air.babbleEveryMs <= timeoutMs &&
                                  m_air.clock.nowMs() < m_air.babbleUntilMs;
            if (!babbling) {
                m_air.clock.advance(timeoutMs);
                return makeError(ErrorKind::Timeout, "none");
            }
            m_air.clock.advance(m_air.babbleEveryMs);
            m_inbox.push_back(Answer(m_air.babble, "127.0.0.9"));
        }
        Datagram d{m_inbox.front().data, m_inbox.front().from, 18801};
        m_inbox.pop_front();
        if (d.data.size() > maxBytes)
            d.data.resize(maxBytes);
        return d;
    }
    void close() override {}

private:
    Air& m_air;
    std::string m_local;
    std::deque<Answer> m_inbox;
};

class RecordingProgress : public TransferProgress {
public:
    void setText(const std::string& shown) override { text = shown; }
    void setProgress(int done, int) override { values.push_back(done); }
    bool isCancelled() const override { return cancelWhen && cancelWhen(); }
    std::string text = "Scanning";
    std::vector<int> values;
    std::function<bool()> cancelWhen;
};

Bytes reply(std::uint32_t model, const char* ip, std::uint32_t remote = 1) {
    DiscoveryReply r;
    r.modelCode = model;
    r.firmwareMajor = 2;
    r.firmwareMinor = 10;
    r.mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    r.ipAddress = *parseIpv4(ip);
    r.remoteConfigFlag = remote;
    const auto bytes = r.encode();
    return Bytes(bytes.begin(), bytes.end());
}

struct ScanRun {
    ScanResult result;
    RecordingProgress progress;
};

ScanRun scan(Air& air, std::vector<std::string> locals, bool direct = false,
             std::function<bool()> cancelWhen = {}) {
    ScanRequest request;
    request.direct = direct;
    request.gatewayAddress = "127.0.0.2";
    request.localAddresses = std::move(locals);
    request.endpoints.broadcastAddress = "127.255.255.255";
    ScanRun run;
    run.progress.cancelWhen = std::move(cancelWhen);
    run.result = runScan(request, [&air] { return std::make_unique<AirSocket>(air); }, air.clock, run.progress);
    return run;
}

}  // namespace

TEST(ScanSession, WithoutAnswersEveryAddressTicksFiveTimesAndTheProgressEndsAt100) {
    struct Case {
        int addresses;
        int lastStepValue;
    };
    for (Case c : {Case{1, 100}, Case{3, 90}}) {
        Air air;
        std::vector<std::string> locals;
        for (int i = 0; i < c.addresses; ++i)
            locals.push_back("127.0.0." + std::to_string(i + 1));
        ScanRun run = scan(air, locals);
        EXPECT_TRUE(run.result.rows.empty());
        EXPECT_EQ(air.sends.size(), static_cast<std::size_t>(5 * c.addresses));
        for (const auto& send : air.sends)
            EXPECT_EQ(send.second, "127.255.255.255");
        // The start (0), one advance per sending tick, then 100 once per stopping timer.
        ASSERT_EQ(run.progress.values.size(), static_cast<std::size_t>(1 + 6 * c.addresses));
        EXPECT_EQ(run.progress.values[static_cast<std::size_t>(5 * c.addresses)], c.lastStepValue);
        EXPECT_EQ(run.progress.values.back(), 100);
        EXPECT_EQ(run.progress.text, tr(Str::EthScanningComplete));
        EXPECT_FALSE(run.result.remoteConfigAllowed.has_value());
    }
}

TEST(ScanSession, RepliesOfOneTickAreNumberedInArrivalOrderAndEndTheScan) {
    Air air;
    Bytes shortReply = reply(30202, "127.0.0.7");
    shortReply.resize(15);
    Bytes wrongCode = reply(30202, "127.0.0.8");
    wrongCode[3] = 5;
    air.answers = {reply(30102, "127.0.0.2"), shortReply, wrongCode, reply(30202, "127.0.0.3", 0x01000000),
                   reply(0, "127.0.0.3", 0x01000000)};
    ScanRun run = scan(air, {"127.0.0.1", "127.0.0.5"});
    EXPECT_EQ(air.sends.size(), 1u) << "the first tick's answers complete the scan";
    ASSERT_EQ(run.result.rows.size(), 3u) << "a gateway that answers twice is listed twice";
    const GatewayRow& first = run.result.rows[0];
    EXPECT_EQ(first.number, " 1");
    EXPECT_EQ(first.model, "PLD-772XQ");
    EXPECT_EQ(first.ipAddress, "127.0.0.2");
    EXPECT_EQ(first.macAddress, "00-1a-2b-3c-4d-5e");
    EXPECT_EQ(first.firmware, "2.10");
    EXPECT_EQ(first.remoteStatus, "Allows remote configuration");
    EXPECT_EQ(run.result.rows[1].number, " 2");
    EXPECT_EQ(run.result.rows[1].model, "VN480-KD-3QX712");
    EXPECT_EQ(run.result.rows[1].remoteStatus, "Prohibit remote configuration");
    EXPECT_EQ(run.result.rows[2].model, "VN480-KD-3QX712");
    EXPECT_EQ(run.progress.values.back(), 100);

    // The last accepted reply speaks for the selection; a picked row for its own gateway.
    GatewaySelection selection;
    run.result.applyTo(selection);
    EXPECT_FALSE(selection.RemoteConfigAllowed);
    EXPECT_EQ(selection.GatewayModelCode, 0u);
    selectRow(selection, first);
    EXPECT_EQ(selection.GatewayAddress, "127.0.0.2");
    EXPECT_TRUE(selection.RemoteConfigAllowed);
    EXPECT_EQ(selection.GatewayModelCode, 30102u);
}

TEST(ScanSession, DirectQueryAsksOneAddressAndNeverLearnsTheModel) {
    Air air;
    Bytes shortAnswer = fromHex("00000003 00000000 00007596");  // 12 bytes, model 30102
    air.answers = {shortAnswer};
    ScanRun run = scan(air, {}, true);
    ASSERT_EQ(air.sends.size(), 1u);
    EXPECT_EQ(air.sends[0].second, "127.0.0.2");
    ASSERT_EQ(run.result.rows.size(), 1u) << "the direct query has no length test";
    EXPECT_EQ(run.result.rows[0].number, "1");
    EXPECT_EQ(run.result.rows[0].model, "PLD-772XQ");
    EXPECT_FALSE(run.result.modelCode.has_value());
    GatewaySelection selection;
    selection.GatewayModelCode = 30202;
    selectRow(selection, run.result.rows[0]);
    EXPECT_EQ(selection.GatewayModelCode, 30202u);

    Air silent;
    ScanRun none = scan(silent, {}, true);
    EXPECT_TRUE(none.result.rows.empty());
    EXPECT_EQ(none.progress.text, tr(Str::EthScanningComplete));
    EXPECT_EQ(none.progress.values.back(), 100);
}

TEST(ScanSession, NoLocalAddressSendsNothingAndFailedSocketsOnlyAdvanceTheProgress) {
    Air air;
    ScanRun run = scan(air, {});
    EXPECT_FALSE(run.result.started);
    EXPECT_TRUE(air.sends.empty());
    EXPECT_TRUE(run.progress.values.empty());

    Air broken;
    broken.bindWorks = false;
    ScanRun failed = scan(broken, {"127.0.0.1"});
    EXPECT_TRUE(broken.sends.empty());
    EXPECT_EQ(failed.progress.values.back(), 100);
    EXPECT_EQ(failed.progress.text, tr(Str::EthScanningComplete));
    EXPECT_EQ(emptyScanText(scan(air, {"127.0.0.1"}).result), "No gateway answered.");
    // A port another program holds is named, for the broadcast and the direct query alike.
    for (bool direct : {false, true}) {
        Air taken;
        taken.bindWorks = false;
        taken.answers = {reply(30102, "127.0.0.2")};
        const ScanRun held = scan(taken, {"127.0.0.1"}, direct);
        EXPECT_TRUE(held.result.rows.empty());
        EXPECT_EQ(emptyScanText(held.result), "The socket could not be bound to " +
                                                 std::string(direct ? "0.0.0.0" : "127.0.0.1") +
                                                 " port 10002: in use");
    }
}

TEST(ScanSession, PeersThatBabbleOrFloodNeitherHoldTheScanNorHideAGateway) {
    const Bytes valid = reply(30102, "127.0.0.2");
    Bytes wrongCode = valid;
    wrongCode[3] = 4;
    struct Case {
        const char* name;
        Bytes babble;
        int everyMs;
        std::size_t rows;
    };
    // The gateway answers every request; the babbler keeps the port busy on top of that. A scan
    // without any answer takes 6 ticks of at most 300 + 1000 ms.
    for (const Case& c : {Case{"empty datagrams", Bytes{}, 100, 1}, Case{"junk", Bytes(40, 0xEE), 300, 1},
                          Case{"wrong code", wrongCode, 10, 1}, Case{"valid replies", valid, 1, kMaxGatewayRows}}) {
        Air air;
        air.answers = {Bytes{}, Bytes(3, 0), valid};
        air.babble = c.babble;
        air.babbleEveryMs = c.everyMs;
        const ScanRun run = scan(air, {"127.0.0.1"});
        EXPECT_EQ(run.result.rows.size(), c.rows) << c.name;
        EXPECT_EQ(air.sends.size(), 1u) << c.name << ": the first tick finds the gateway";
        EXPECT_LE(air.clock.nowMs(), kScanTickMs + kTickListenLimitMs + kScanTickMs) << c.name;
        EXPECT_EQ(run.progress.values.back(), 100) << c.name;
    }
    // Without any gateway a babbler does not prolong the scan beyond its ticks.
    Air junkOnly;
    junkOnly.babble = Bytes(40, 0xEE);
    junkOnly.babbleEveryMs = 300;
    EXPECT_TRUE(scan(junkOnly, {"127.0.0.1"}).result.rows.empty());
    EXPECT_EQ(junkOnly.sends.size(), 5u);
    EXPECT_LE(junkOnly.clock.nowMs(), 6 * (kScanTickMs + kTickListenLimitMs));

    // A cancel is seen while the datagrams keep coming.
    for (bool direct : {false, true}) {
        Air flood;
        flood.babble = valid;
        flood.babbleEveryMs = 1;
        const ScanRun run = scan(flood, {"127.0.0.1"}, direct, [&flood] { return flood.receives >= 5; });
        EXPECT_EQ(flood.receives, 5) << direct;
    }
}

TEST(ScanSession, DirectQueryTakesOnlyTheQueriedGatewaysReply) {
    Air air;
    // A third party says remote configuration is allowed; the queried gateway prohibits it.
    air.answers = {Answer(reply(30102, "127.0.0.2", 1), "127.0.0.9"), Answer(Bytes{}), Answer(Bytes(8, 0)),
                   Answer(reply(30102, "127.0.0.2", 0))};
    const ScanRun run = scan(air, {}, true);
    ASSERT_EQ(run.result.rows.size(), 1u);
    EXPECT_EQ(run.result.rows[0].remoteStatus, "Prohibit remote configuration");
    EXPECT_EQ(run.result.remoteConfigAllowed, false);

    Air stranger;
    stranger.answers = {Answer(reply(30102, "127.0.0.2", 1), "127.0.0.9")};
    const ScanRun none = scan(stranger, {}, true);
    EXPECT_TRUE(none.result.rows.empty());
    EXPECT_FALSE(none.result.remoteConfigAllowed.has_value());
    EXPECT_LE(stranger.clock.nowMs(), kDirectReceiveTimeoutMs);
}

TEST(EthernetConnection, TheSearchBoxOrABlankAddressBroadcasts) {
    GatewaySelection selection;
    applyEthernetConnection(selection, false, "127.0.0.4");
    EXPECT_TRUE(selection.DirectAddressMode);
    EXPECT_EQ(selection.GatewayAddress, "127.0.0.4");
    applyEthernetConnection(selection, false, "0.0.0.0");
    EXPECT_FALSE(selection.DirectAddressMode);
    EXPECT_EQ(selection.GatewayAddress, "0.0.0.0");
    applyEthernetConnection(selection, true, "127.0.0.4");
    EXPECT_FALSE(selection.DirectAddressMode);
    EXPECT_EQ(selection.GatewayAddress, "");
}
