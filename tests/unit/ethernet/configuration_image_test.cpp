#include "core/link/ethernet/configuration_image.h"
#include "core/model/project_defaults.h"
#include "hex.h"
#include "support/project_builder.h"

#include <gtest/gtest.h>

using namespace veltrane;
using namespace veltrane::ethernet;
using veltrane::testing::fromHex;
using veltrane::testing::normalHex;
using veltrane::testing::ProjectBuilder;
using veltrane::testing::toHex;

namespace {

std::string at(const ConfigurationImage& image, std::size_t offset, std::size_t size) {
    return toHex(image.bytes().subspan(offset, size));
}

struct Expect {
    std::size_t offset;
    const char* hex;
};

void expectBytes(const ConfigurationImage& image, std::initializer_list<Expect> rows) {
    for (const Expect& row : rows) {
        const std::string want = normalHex(row.hex);
        EXPECT_EQ(at(image, row.offset, want.size() / 2), want) << "at offset 0x" << std::hex << row.offset;
    }
}

ConfigurationImage imageWith(std::initializer_list<Expect> rows) {
    ConfigurationImage image;
    for (const Expect& row : rows) {
        const auto bytes = fromHex(row.hex);
        std::copy(bytes.begin(), bytes.end(), image.bytes().begin() + static_cast<std::ptrdiff_t>(row.offset));
    }
    return image;
}

struct Decoded {
    Project project;
    ProjectState state;
};

Decoded decodeIntoNewProject(const ConfigurationImage& image, bool singleSubnet = false) {
    Decoded d;
    initializeNewProject(d.project, d.state);
    d.state.flags.singleSubnetModel = singleSubnet;
    d.state.DeviceType = 0;
    decodeConfigurationImage(image, d.project, d.state);
    return d;
}

}  // namespace

TEST(ConfigurationImage, NewProjectBytes) {
    ProjectBuilder b;
    const ConfigurationImage image = buildConfigurationImage(b.project, b.state);
    expectBytes(image, {
                           {0x000, "00000006 000004f0"},
                           {0x008, "00000000 c0a8006e ffffff00 c0a80001 00000000 00000000"},
                           {0x020, "00004b00 08 00 01 00"},  // 19200 8 None 1
                           {0x028, "00004b00 08 00 01 00"},
                           // Modbus Master: 300 ms, no poll delay, Change of Value, scan rate 10, no commands
                           {0x030, "00000000 00000000 00000000 0000012c 00000000 00000003 00000000 0000000a 00000000"},
                           {0x294, "00000000 00000000 00000000 0000012c 00000000 00000003 00000000 0000000a 00000000"},
                       });
    // Nothing else is written: the command tables are zero.
    EXPECT_TRUE(std::all_of(image.bytes().begin() + 0x54, image.bytes().begin() + 0x294, [](auto v) { return v == 0; }));
    EXPECT_TRUE(std::all_of(image.bytes().begin() + 0x2B8, image.bytes().end(), [](auto v) { return v == 0; }));
}

TEST(ConfigurationImage, EthernetSettings) {
    struct Case {
        const char* mode;
        const char* address;
        const char* hex;  // offsets 008 and 00C
    };
    const Case cases[] = {
        {"Manually Assign", "10.0.0.1", "00000000 0a000001"},
        {"DHCP", "", "00000001 ffffffff"},
        {"BOOTP", "not an address", "00000002 ffffffff"},
        {"Manual Assign", "10.1", "00000002 0a000001"},
    };
    for (const Case& c : cases) {
        ProjectBuilder b;
        b.project.fieldbus.ipAssignMode = c.mode;
        b.project.fieldbus.ipAddress = c.address;
        expectBytes(buildConfigurationImage(b.project, b.state), {{0x008, c.hex}});
    }

    // A single-subnet gateway carries the two switches instead of the name servers; 3 marks configData.
    ProjectBuilder single;
    single.state.flags.singleSubnetModel = true;
    single.project.fieldbus.configMode = "Enable";
    single.project.fieldbus.configData = "Enable";
    expectBytes(buildConfigurationImage(single.project, single.state), {{0x018, "00000001 00000003"}});
    single.project.fieldbus.configMode = "Disable";
    single.project.fieldbus.configData = "enable";
    expectBytes(buildConfigurationImage(single.project, single.state), {{0x018, "00000000 00000000"}});
}

TEST(ConfigurationImage, UserConfigSubnetAndCommandRecords) {
    ProjectBuilder b;
    CONFIG& s1 = b.project.subnets[0];
    s1.protocolType = "User Config";
    s1.userBaudRate = "9600";
    s1.userDataBits = "7";
    s1.userParity = "Space";
    s1.userStopBits = "2";
    s1.frameType = "Frame Length";
    s1.charInterval = "10";
    s1.frameLength = "111";
    s1.startDelimiter = "2";
    s1.endDelimiter = "300";  // wider than its byte: 0x2C
    s1.autoSend = "Enable";
    s1.autoSendPeriod = "1000";
    s1.crcCheck = "Disable";
    b.node(1, "5");
    b.command(1, 1, {"3", "10", "1EB", "7", "Two Bytes Swap", "100"});
    b.at(1, 1).scanType = "Slow Scan";
    b.command(1, 1, {"16", "70000", "4000", "", "Four Bytes Swap", "abc"});
    b.project.subnets[1].parity = "Odd";

    const ConfigurationImage image = buildConfigurationImage(b.project, b.state);
    expectBytes(image, {
                           {0x020, "00002580 07 04 02 00"},  // the User Config line settings
                           {0x028, "00004b00 08 01 01 00"},
                           {0x030, "00000003 00000001 0000000a 0000006f 022c0000 00000001 000003e8 00000000 00000000"},
                           // The records are written although a User Config count slot stays 0.
                           {0x054, "05 03 0064 000a 01eb 07 01 01 00"},
                           {0x060, "05 10 0000 1170 4000 00 00 02 00"},
                           {0x06C, "000000000000000000000000"},
                       });
}

TEST(ConfigurationImage, DecodesEthernetSettingsWithDefaults) {
    const auto d = decodeIntoNewProject(imageWith({
        {0x008, "00000007 0a000002 ffffffff ffffffff ffffffff 08080808"},
    }));
    EXPECT_EQ(d.state.DeviceType, 4);
    EXPECT_EQ(d.project.fieldbus.fieldbusType, "EtherNet/IP");
    EXPECT_EQ(d.project.fieldbus.ipAssignMode, "BOOTP");
    EXPECT_EQ(d.project.fieldbus.ipAddress, "10.0.0.2");
    EXPECT_EQ(d.project.fieldbus.subnetMask, "255.255.255.0");
    EXPECT_EQ(d.project.fieldbus.defaultGateway, "192.168.0.1");
    EXPECT_EQ(d.project.fieldbus.dns1, "0.0.0.0");
    EXPECT_EQ(d.project.fieldbus.dns2, "8.8.8.8");

    const auto manual = decodeIntoNewProject(imageWith({{0x008, "ffffff00 ffffffff"}}));
    EXPECT_EQ(manual.project.fieldbus.ipAssignMode, "Manually Assign");  // only the last byte counts
    EXPECT_EQ(manual.project.fieldbus.ipAddress, "192.168.0.110");
    EXPECT_EQ(decodeIntoNewProject(imageWith({{0x008, "00000001"}})).project.fieldbus.ipAssignMode, "DHCP");

    const auto single = decodeIntoNewProject(imageWith({{0x018, "00000000 00000080"}}), true);
    EXPECT_EQ(single.project.fieldbus.configMode, "Disable");
    EXPECT_EQ(single.project.fieldbus.configData, "Enable");
    EXPECT_EQ(single.project.fieldbus.dns1, "0.0.0.0");  // the defaults, untouched
}

TEST(ConfigurationImage, DecodesUserConfigSubnetOne) {
    Decoded d;
    initializeNewProject(d.project, d.state);
    d.project.subnets[0].commandCount = 1;  // a User Config subnet keeps its commands
    d.project.subnets[0].commands[0].slaveAddress = "9";
    decodeConfigurationImage(imageWith({
                                 {0x020, "00002580 07 09 02 00"},
                                 {0x030, "00000007 00000002 0000000a 0000006f 0203ffff 00000100 000003e8 00000001 00000030"},
                             }),
                             d.project, d.state);
    const CONFIG& s1 = d.project.subnets[0];
    EXPECT_EQ(s1.protocolType, "User Config");
    EXPECT_EQ(s1.userBaudRate, "9600");
    EXPECT_EQ(s1.userDataBits, "7");
    EXPECT_EQ(s1.userParity, "Space");
    EXPECT_EQ(s1.userStopBits, "2");
    EXPECT_EQ(s1.baudRate, "19200");  // the Modbus Master settings stay
    EXPECT_EQ(s1.frameType, "Delimiter");
    EXPECT_EQ(s1.charInterval, "10");
    EXPECT_EQ(s1.frameLength, "111");
    EXPECT_EQ(s1.startDelimiter, "2");
    EXPECT_EQ(s1.endDelimiter, "3");
    EXPECT_EQ(s1.autoSend, "Disable");  // only the last byte of the slot counts
    EXPECT_EQ(s1.autoSendPeriod, "1000");
    EXPECT_EQ(s1.crcCheck, "Enable");
    EXPECT_EQ(s1.commandCount, 1);
    EXPECT_EQ(s1.commands[0].slaveAddress, "9");
}

TEST(ConfigurationImage, DecodesCommandTablesIntoNodes) {
    // Subnet 2: slaves 5, 3, 5.
    const auto d = decodeIntoNewProject(imageWith({
        {0x028, "00000960 08 02 01 00"},
        {0x294, "ffffffff ffffffff ffffffff 000003e8 00000019 00000001 ffffffff 00000005 00000003"},
        {0x2B8, "05 01 0000 0010 01eb 07 00 00 00"
                "03 03 ffff 0001 4000 00 01 01 00"
                "05 10 0001 0002 4100 00 09 07 00"},
    }));
    const CONFIG& s2 = d.project.subnets[1];
    EXPECT_EQ(s2.protocolType, "Modbus Master");
    EXPECT_EQ(s2.transmissionMode, "RTU");
    EXPECT_EQ(s2.baudRate, "2400");
    EXPECT_EQ(s2.parity, "Even");
    EXPECT_EQ(s2.responseTimeout, "1000");
    EXPECT_EQ(s2.pollDelay, "25");
    EXPECT_EQ(s2.outputMode, "Cycle");
    EXPECT_EQ(s2.scanRate, "5");
    ASSERT_EQ(s2.commandCount, 3);
    ASSERT_EQ(s2.nodeCount, 2);
    EXPECT_EQ(s2.nodes[0], (NodeEntry{"5", "Node-5"}));
    EXPECT_EQ(s2.nodes[1], (NodeEntry{"3", "Node-3"}));
    EXPECT_EQ(s2.nodes[2], (NodeEntry{"-1", "Node-%d"}));  // beyond the count: as it was

    const INSTRUCTION& c1 = s2.commands[0];
    EXPECT_EQ(c1.nodeIndex, 1);
    EXPECT_EQ(c1.slaveAddress, "5");
    EXPECT_EQ(c1.functionCode, "1");
    EXPECT_EQ(c1.dataCount, "16");
    EXPECT_EQ(c1.mappingAddress, "1eb");
    EXPECT_EQ(c1.mappingBit, "7");
    EXPECT_EQ(c1.scanType, "Fast Scan");
    EXPECT_EQ(c1.filterOrSwap, "No Swap");
    const INSTRUCTION& c2 = s2.commands[1];
    EXPECT_EQ(c2.nodeIndex, 2);
    EXPECT_EQ(c2.startAddress, "65535");
    EXPECT_EQ(c2.mappingAddress, "4000");
    EXPECT_EQ(c2.scanType, "Slow Scan");
    EXPECT_EQ(c2.filterOrSwap, "Two Bytes Swap");
    const INSTRUCTION& c3 = s2.commands[2];
    EXPECT_EQ(c3.nodeIndex, 1);
    EXPECT_EQ(c3.functionCode, "16");
    EXPECT_EQ(c3.scanType, "Slow Scan");
    EXPECT_EQ(c3.filterOrSwap, "Four Bytes Swap");
    EXPECT_EQ(c3.byteCount, "");   // not carried: kept
    EXPECT_EQ(c3.checkType, "");
}

TEST(ConfigurationImage, PartialImageDecodesMissingSubnetTwoAsEmptyMaster) {
    ProjectBuilder b;
    b.node(2, "7");
    b.command(2, 1, {"3", "1", "0", "0"});
    b.project.subnets[1].outputMode = "Cycle";
    const ConfigurationImage full = buildConfigurationImage(b.project, b.state);
    const auto part = ConfigurationImage::fromReceived(full.bytes().first(600));

    Decoded d{b.project, b.state};
    decodeConfigurationImage(part, d.project, d.state);
    const CONFIG& s2 = d.project.subnets[1];
    EXPECT_EQ(s2.protocolType, "Modbus Master");
    EXPECT_EQ(s2.responseTimeout, "0");
    EXPECT_EQ(s2.pollDelay, "0");
    EXPECT_EQ(s2.scanRate, "0");
    EXPECT_EQ(s2.outputMode, "Change of Value");
    EXPECT_EQ(s2.commandCount, 0);
    EXPECT_EQ(s2.nodeCount, 0);
    EXPECT_EQ(d.project.subnets[0].responseTimeout, "300");  // subnet 1 arrived whole
}

TEST(ConfigurationImage, CountsOutsideTheTableAreClamped) {
    struct Case {
        const char* count;
        std::int32_t decoded;
    };
    for (const Case& c : {Case{"00000031", 48}, Case{"7fffffff", 48}, Case{"ffffffff", 0}, Case{"80000000", 0}}) {
        ConfigurationImage image;
        // Every record of subnet 1's table names slave 1, and the bytes after the table are subnet 2.
        for (std::size_t i = 0; i < 48; ++i)
            image.bytes()[0x54 + 12 * i] = 1;
        const auto count = fromHex(c.count);
        std::copy(count.begin(), count.end(), image.bytes().begin() + 0x50);
        image.bytes()[0x294 + 12 + 3] = 0x77;  // subnet 2's response timeout, right after the table

        Decoded d = decodeIntoNewProject(image);
        const CONFIG& s1 = d.project.subnets[0];
        EXPECT_EQ(s1.commandCount, c.decoded) << c.count;
        EXPECT_EQ(s1.nodeCount, c.decoded > 0 ? 1 : 0) << c.count;
        EXPECT_EQ(s1.commands[47].slaveAddress, c.decoded == 48 ? "1" : "") << c.count;
        EXPECT_EQ(d.project.subnets[1].responseTimeout, "119");

        // A project that somehow holds such a count writes the bound.
        Project p = d.project;
        p.subnets[0].commandCount = c.decoded == 48 ? 1000 : -5;
        const ConfigurationImage rebuilt = buildConfigurationImage(p, d.state);
        EXPECT_EQ(at(rebuilt, 0x50, 4), c.decoded == 48 ? "00000030" : "00000000");
        EXPECT_EQ(at(rebuilt, 0x294 + 12, 4), "00000077");
    }
}

TEST(ConfigurationImage, DecodeThenBuildGivesTheSameImage) {
    ProjectBuilder b;
    b.project.fieldbus.ipAddress = "172.16.5.9";
    b.project.fieldbus.dns1 = "1.1.1.1";
    b.project.fieldbus.ipAssignMode = "DHCP";
    for (int k = 1; k <= 2; ++k) {
        b.node(k, "12");
        b.node(k, "200");
        for (int i = 0; i < 48; ++i) {
            b.command(k, 1 + i % 2, {i % 3 ? "3" : "5", std::to_string(i + 1), "4" + std::to_string(i), "3",
                                     i % 2 ? "Two Bytes Swap" : "No Swap", std::to_string(i * 1000)});
            b.at(k, i + 1).scanType = i % 5 ? "Fast Scan" : "Slow Scan";
        }
    }
    b.project.subnets[1].outputMode = "Forbidden";
    const ConfigurationImage image = buildConfigurationImage(b.project, b.state);

    Decoded d = decodeIntoNewProject(image);
    EXPECT_EQ(buildConfigurationImage(d.project, d.state), image);
    EXPECT_EQ(d.project.subnets[1].commands[47].mappingAddress, "447");
    EXPECT_EQ(d.project.subnets[0].nodeCount, 2);
}
