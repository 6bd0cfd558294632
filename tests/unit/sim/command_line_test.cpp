#include "sim/engine/command_line.h"

#include <gtest/gtest.h>

using namespace veltrane;
using namespace veltrane::sim;

TEST(SimCommandLine, DefaultsToOneGatewayOnLocalhost) {
    const auto options = parseCommandLine({});
    ASSERT_TRUE(options);
    ASSERT_EQ(options->gateways.size(), 1u);
    EXPECT_EQ(options->gateways[0].identity.ipAddress, "127.0.0.1");
    EXPECT_EQ(options->udpPort, 18801);
    EXPECT_EQ(options->tcpPort, 18801);
    EXPECT_EQ(options->broadcastAddress, "255.255.255.255");
    EXPECT_EQ(options->faults.kind, Fault::None);
}

TEST(SimCommandLine, GatewaysFaultsAndPorts) {
    const auto options = parseCommandLine({"--gateway", "ip=127.0.0.5,model=30102,mac=00:1A:2b:3c:4d:5e,fw=2.10,remote=off,fault=split@read",
                                           "--count", "2", "--udp-port", "28801", "--tcp-port", "28802",
                                           "--fault", "silent@discovery", "--split-at", "10", "--split-delay", "5",
                                           "--no-broadcast", "--state", "s.txt"});
    ASSERT_TRUE(options) << options.message();
    ASSERT_EQ(options->gateways.size(), 3u);
    const GatewaySetup& first = options->gateways[0];
    EXPECT_EQ(first.identity.modelCode, 30102u);
    EXPECT_EQ(first.identity.mac, (std::array<std::uint8_t, 6>{0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e}));
    EXPECT_EQ(first.identity.firmwareMajor, 2);
    EXPECT_EQ(first.identity.firmwareMinor, 10);
    EXPECT_FALSE(first.identity.remoteConfig);
    ASSERT_TRUE(first.faults);
    EXPECT_EQ(first.faults->kind, Fault::SplitReply);
    EXPECT_EQ(first.faults->scope, FaultScope::Read);
    EXPECT_EQ(first.faults->splitAt, 10u);
    EXPECT_EQ(options->gateways[1].identity.ipAddress, "127.0.0.2");
    EXPECT_EQ(options->gateways[2].identity.ipAddress, "127.0.0.3");
    EXPECT_EQ(options->gateways[2].identity.mac[5], 3);
    EXPECT_EQ(options->faults.kind, Fault::Silence);
    EXPECT_EQ(options->faults.scope, FaultScope::Discovery);
    EXPECT_EQ(options->faults.splitDelay.count(), 5);
    EXPECT_EQ(options->udpPort, 28801);
    EXPECT_EQ(options->tcpPort, 28802);
    EXPECT_TRUE(options->broadcastAddress.empty());
    EXPECT_EQ(options->statePath, "s.txt");
}

TEST(SimCommandLine, DebugReportOptions) {
    const auto defaults = parseCommandLine({});
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->debug.port, 18802);
    EXPECT_TRUE(defaults->debug.waitForAcknowledge);
    const auto options = parseCommandLine({"--debug-port", "28802", "--debug-rate", "2500.5", "--debug-exceptions", "20",
                                           "--debug-timeouts", "7", "--debug-errors", "0", "--debug-no-ack"});
    ASSERT_TRUE(options) << options.message();
    EXPECT_EQ(options->debug.port, 28802);
    EXPECT_DOUBLE_EQ(options->debug.rate, 2500.5);
    EXPECT_EQ(options->debug.exceptionPercent, 20);
    EXPECT_EQ(options->debug.timeoutPercent, 7);
    EXPECT_EQ(options->debug.errorPercent, 0);
    EXPECT_FALSE(options->debug.waitForAcknowledge);
}

TEST(SimCommandLine, RefusesWhatItCannotUse) {
    const std::vector<std::vector<std::string>> bad = {
        {"--gateway", "model=3"},
        {"--gateway", "ip=127.0.0.2,colour=red"},
        {"--gateway", "ip=127.1"},
        {"--gateway", "ip=127.0.0.2,mac=00-11-22"},
        {"--gateway", "ip=127.0.0.2,fw=x"},
        {"--gateway", "ip=127.0.0.2", "--gateway", "ip=127.0.0.2"},
        {"--count", "0"},
        {"--udp-port", "70000"},
        {"--fault", "explode"},
        {"--fault", "split@elsewhere"},
        {"--state"},
        {"--bogus", "1"},
        {"--debug-rate", "-1"},
        {"--debug-exceptions", "101"},
        {"--debug-timeouts", "60", "--debug-exceptions", "50"},
    };
    for (const auto& args : bad)
        EXPECT_FALSE(parseCommandLine(args)) << args[0] << ' ' << (args.size() > 1 ? args[1] : "");
}

TEST(SimCommandLine, HelpNamesEveryOption) {
    const std::string help = usageText();
    for (const char* option : {"--gateway", "--count", "--udp-port", "--tcp-port", "--broadcast", "--no-broadcast",
                               "--state", "--fault", "--split-at", "--split-delay", "--close-after", "--wrong-code",
                               "--debug-port", "--debug-rate", "--debug-exceptions", "--debug-timeouts",
                               "--debug-errors", "--debug-no-ack", "--help"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    EXPECT_TRUE(parseCommandLine({"--help"})->help);
}
