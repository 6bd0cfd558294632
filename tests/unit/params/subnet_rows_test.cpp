#include "core/editor/subnet_parameters.h"
#include "core/model/project_defaults.h"

#include <gtest/gtest.h>

#include <functional>

using namespace veltrane;

namespace {
struct SubnetSetup {
    std::int32_t type = device::EtherNetIP;
    std::function<void(ModelFlags&)> flags = {};
    std::function<void(CONFIG&)> change = {};
};

struct Subnet {
    ScriptedPrompter prompter;
    Project project;
    ProjectState state;
    Editor editor{project, state, prompter};
    SubnetParameters rows{editor, 0};

    explicit Subnet(const SubnetSetup& setup) {
        state.DeviceType = setup.type;
        if (setup.flags)
            setup.flags(state.flags);
        applyProjectDefaults(project, state);
        if (setup.change)
            setup.change(project.subnets[0]);
    }
    CONFIG& config() { return project.subnets[0]; }

    std::vector<std::string> titles() const {
        std::vector<std::string> out;
        for (const ParameterRow& row : rows.rows())
            out.push_back(row.title);
        while (!out.empty() && out.back().empty())
            out.pop_back();
        return out;
    }
    std::vector<std::string> values() const {
        std::vector<std::string> out;
        for (const ParameterRow& row : rows.rows())
            out.push_back(row.value);
        while (!out.empty() && out.back().empty())
            out.pop_back();
        return out;
    }
    std::vector<int> editableRows() const {
        std::vector<int> out;
        for (int row = 0; row < kSubnetRows + 2; ++row)
            if (rows.editable(row))
                out.push_back(row);
        return out;
    }
    std::vector<int> greyRows() const {
        std::vector<int> out;
        const auto shown = rows.rows();
        for (std::size_t row = 0; row < shown.size(); ++row)
            if (shown[row].grey && !(shown[row].title.empty() && shown[row].value.empty()))
                out.push_back(static_cast<int>(row));
        return out;
    }
};

auto protocol(const char* name) {
    return [name](CONFIG& c) { c.protocolType = name; };
}

const std::vector<std::string> kMasterTitles = {
    "Type of Protocol", "Baud Rate", "Data Bits", "Parity", "Stop Bits", "Slave Address", "Transmission Mode",
    "Response Timeout (10~60000ms)", "Delay between Polls (0~2500ms)", "Output Mode",
    "Output Pulse (200~2500ms)", "Scan Rate (1~255)"};

std::vector<std::string> with(std::vector<std::string> base, const std::vector<std::string>& more) {
    base.insert(base.end(), more.begin(), more.end());
    return base;
}

std::vector<std::string> modbusBaudTitle(std::vector<std::string> titles) {
    titles[1] = "Modbus communication baud rate";
    return titles;
}
}  // namespace

TEST(SubnetRows, TitlesPerLayout) {
    struct Case {
        std::string name;
        SubnetSetup setup;
        std::vector<std::string> titles;
    };
    auto extended = [](ModelFlags& f) { f.extendedFrameModel = true; };
    const std::vector<std::string> serialTail = {"Frame Type",          "Time Interval between Characters",
                                                 "Frame Length",        "Enable Auto Sending",
                                                 "Period of Auto Sending", "Enable CRC Check",
                                                 "Communication Interface", "Debug Interface"};
    const std::vector<Case> cases = {
        {"ethernet master", {device::EtherNetIP}, kMasterTitles},
        {"ethernet user config", {device::EtherNetIP, {}, protocol("User Config")},
         with(kMasterTitles, {"Frame Type", "Time Interval between Characters", "Frame Length", "Start Delimiter",
                              "End Delimiter", "Enable Auto Sending", "Period of Auto Sending", "Enable CRC Check"})},
        {"ethernet master extended", {device::EtherNetIP, extended},
         with(kMasterTitles, {"Communication Interface", "Debug Interface"})},
        {"devicenet master", {device::DeviceNet}, modbusBaudTitle(kMasterTitles)},
        {"devicenet master extended", {device::DeviceNet, extended},
         with(modbusBaudTitle(kMasterTitles), {"Communication Interface", "Debug Interface"})},
        {"type 3 master", {device::ProfibusFilter}, with(kMasterTitles, serialTail)},
        {"type 3 command status", {device::ProfibusFilter, [](ModelFlags& f) { f.commandStatusModel = true; }},
         with(kMasterTitles, {"Modbus command status", "Time Interval between Characters", "Frame Length",
                              "Enable Auto Sending", "Period of Auto Sending", "Enable CRC Check",
                              "Communication Interface", "Debug Interface"})},
        {"type 6", {device::ProfibusUserConfig}, with(kMasterTitles, serialTail)},
        // A user-config subnet of type 7 shows its settings with their titles.
        {"type 7 user config", {device::Profibus7, {}, protocol("User Config")},
         with(modbusBaudTitle(kMasterTitles), serialTail)},
    };
    for (const Case& c : cases) {
        Subnet s(c.setup);
        EXPECT_EQ(s.titles(), c.titles) << c.name;
    }
}

TEST(SubnetRows, ValuesPerProtocol) {
    struct Case {
        std::string name;
        SubnetSetup setup;
        std::vector<std::string> values;
    };
    auto slaveSet = [](CONFIG& c) {
        c.protocolType = "Modbus Slave";
        c.slaveBaudRate = "9600";
        c.slaveParity = "Even";
        c.slaveModeAddress = "7";
        c.slaveTransmissionMode = "ASCII";
        c.commInterface = "RS232";
    };
    const std::vector<Case> cases = {
        {"master", {device::EtherNetIP},
         {"Modbus Master", "19200", "8", "None", "1", "", "RTU", "300", "0", "Change of Value", "", "10"}},
        {"slave type 3", {device::ProfibusFilter, {}, slaveSet},
         {"Modbus Slave", "9600", "8", "Even", "1", "7", "ASCII", "", "", "", "", "", "", "", "", "", "", "", "RS232",
          "RS485"}},
        {"custom", {device::FourSubnets, {}, protocol("Custom protocol")}, {"Custom protocol", "300", "8", "None", "1"}},
        {"user config ethernet",
         {device::EtherNetIP, {}, [](CONFIG& c) {
              c.protocolType = "User Config";
              c.userBaudRate = "115200";
              c.startDelimiter = "2";
              c.endDelimiter = "3";
          }},
         {"User Config", "115200", "8", "None", "1", "", "", "", "", "", "", "", "Time Interval between Characters",
          "10", "111", "2", "3", "Disable", "1000", "Disable"}},
        {"user config type 6", {device::ProfibusUserConfig},
         {"User Config", "19200", "8", "None", "1", "", "", "", "", "", "", "", "Time Interval between Characters",
          "10", "111", "Disable", "1000", "Disable", "RS485", "RS232"}},
        {"command status type 3",
         {device::ProfibusFilter, [](ModelFlags& f) { f.commandStatusModel = true; },
          [](CONFIG& c) { c.commandStatus = "3byte"; }},
         {"Modbus Master", "19200", "8", "None", "1", "", "RTU", "300", "0", "Change of Value", "", "10", "3byte", "", "",
          "", "", "", "RS485", "RS232"}},
    };
    for (const Case& c : cases) {
        Subnet s(c.setup);
        EXPECT_EQ(s.values(), c.values) << c.name;
    }
}

TEST(SubnetRows, EditabilityAndColours) {
    struct Case {
        std::string name;
        SubnetSetup setup;
        std::vector<int> editable;
        std::vector<int> grey;
    };
    auto single = [](ModelFlags& f) { f.singleSubnetModel = true; };
    auto extended = [](ModelFlags& f) { f.extendedFrameModel = true; };
    auto userConfig = [](const char* frame, const char* autoSend) {
        return [frame, autoSend](CONFIG& c) {
            c.protocolType = "User Config";
            c.frameType = frame;
            c.autoSend = autoSend;
        };
    };
    const std::vector<Case> cases = {
        {"ethernet master", {device::EtherNetIP}, {1, 3, 4, 7, 8, 9, 11}, {0, 5, 10}},
        {"ethernet master with pulse", {device::EtherNetIP, {}, [](CONFIG& c) { c.outputMode = "Output Pulse"; }},
         {1, 3, 4, 7, 8, 9, 10, 11}, {0, 5}},
        {"ethernet single master", {device::EtherNetIP, single, protocol("Modbus Master")},
         {0, 1, 3, 4, 7, 8, 9, 11}, {0, 5, 10}},
        {"devicenet master", {device::DeviceNet}, {0, 1, 2, 3, 4, 6, 7, 8, 9, 11}, {0, 5, 10}},
        {"devicenet master extended", {device::DeviceNet, extended}, {1, 2, 3, 4, 6, 7, 8, 9, 11, 12}, {0, 5, 10, 13}},
        {"type 3 master", {device::ProfibusFilter}, {0, 1, 2, 3, 4, 6, 7, 8, 9, 11, 18},
         {0, 5, 10, 13, 14, 15, 16, 17, 19}},
        {"type 3 command status", {device::ProfibusFilter, [](ModelFlags& f) { f.commandStatusModel = true; }},
         {0, 1, 2, 3, 4, 6, 7, 8, 9, 11, 12, 18}, {0, 5, 10, 13, 14, 15, 16, 17, 19}},
        {"type 3 slave", {device::ProfibusFilter, {}, protocol("Modbus Slave")}, {0, 1, 2, 3, 4, 5, 6, 18},
         {0, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 19}},
        {"devicenet slave", {device::DeviceNet, {}, protocol("Modbus Slave")}, {0, 1, 2, 3, 4, 5, 6},
         {0, 7, 8, 9, 10, 11}},
        {"custom", {device::FourSubnets, {}, protocol("Custom protocol")}, {0, 1, 2, 3, 4},
         {0, 5, 6, 7, 8, 9, 10, 11}},
        {"ethernet user config by time", {device::EtherNetIP, single, userConfig("Time Interval between Characters", "Disable")},
         {0, 1, 2, 3, 4, 12, 13, 17, 19}, {5, 6, 7, 8, 9, 10, 11, 14, 15, 16, 18}},
        {"ethernet user config by length", {device::EtherNetIP, single, userConfig("Frame Length", "Enable")},
         {0, 1, 2, 3, 4, 12, 13, 14, 17, 18, 19}, {5, 6, 7, 8, 9, 10, 11, 15, 16}},
        {"ethernet user config by delimiter", {device::EtherNetIP, single, userConfig("Delimiter", "Enable")},
         {0, 1, 2, 3, 4, 12, 13, 15, 16, 17, 18, 19}, {5, 6, 7, 8, 9, 10, 11, 14}},
        {"type 6 by time", {device::ProfibusUserConfig}, {1, 2, 3, 4, 12, 13, 15, 17},
         {0, 5, 6, 7, 8, 9, 10, 11, 14, 16, 19}},
        {"type 6 by length", {device::ProfibusUserConfig, {}, userConfig("Frame Length", "Enable")},
         {1, 2, 3, 4, 12, 13, 14, 15, 16, 17}, {0, 5, 6, 7, 8, 9, 10, 11, 19}},
        {"type 5 slave", {device::ProfibusSlave}, {1, 2, 3, 4, 5, 6}, {0, 7, 8, 9, 10, 11}},
        {"type 7 user config", {device::Profibus7, {}, userConfig("Frame Length", "Disable")},
         {0, 1, 2, 3, 4, 12, 13, 14, 15, 16, 17, 18}, {5, 6, 7, 8, 9, 10, 11, 19}},
    };
    for (const Case& c : cases) {
        Subnet s(c.setup);
        EXPECT_EQ(s.editableRows(), c.editable) << c.name;
        EXPECT_EQ(s.greyRows(), c.grey) << c.name;
    }
}

TEST(SubnetRows, OptionLists) {
    struct Case {
        std::string name;
        SubnetSetup setup;
        int row;
        std::vector<std::string> options;
    };
    auto single = [](ModelFlags& f) { f.singleSubnetModel = true; };
    const std::vector<Case> cases = {
        {"protocol devicenet", {device::DeviceNet}, 0, {"Modbus Master"}},
        {"protocol ethernet single", {device::EtherNetIP, single}, 0, {"Modbus Master", "User Config"}},
        {"protocol type 7", {device::Profibus7}, 0, {"Modbus Master", "User Config"}},
        {"protocol type 3", {device::ProfibusFilter}, 0, {"Modbus Master", "Modbus Slave", "User Config"}},
        {"protocol type 2", {device::FourSubnets}, 0, {"Modbus Master", "Custom protocol"}},
        {"baud ethernet", {device::EtherNetIP}, 1, {"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"}},
        {"baud others", {device::DeviceNet}, 1,
         {"300", "600", "1200", "2400", "9600", "19200", "38400", "57600", "115200"}},
        {"data bits", {device::DeviceNet}, 2, {"8", "7"}},
        {"data bits type 5", {device::ProfibusSlave}, 2, {"8"}},
        {"parity", {device::EtherNetIP}, 3, {"None", "Odd", "Even", "Mark", "Space"}},
        {"stop bits", {device::EtherNetIP}, 4, {"1", "2"}},
        {"transmission", {device::DeviceNet}, 6, {"RTU", "ASCII"}},
        {"output mode", {device::EtherNetIP}, 9, {"Cycle", "Forbidden", "Change of Value"}},
        {"response timeout", {device::EtherNetIP}, 7, {}},
        {"command status", {device::ProfibusFilter, [](ModelFlags& f) { f.commandStatusModel = true; }}, 12,
         {"Disable", "1byte", "2byte", "3byte", "4byte", "5byte", "6byte"}},
        {"interface", {device::DeviceNet, [](ModelFlags& f) { f.extendedFrameModel = true; }}, 12, {"RS485", "RS232"}},
        {"frame type", {device::ProfibusUserConfig}, 12, {"Time Interval between Characters", "Frame Length"}},
        {"frame type single", {device::EtherNetIP, single}, 12,
         {"Time Interval between Characters", "Frame Length", "Delimiter"}},
        {"auto send type 6", {device::ProfibusUserConfig}, 15, {"Enable", "Disable"}},
        {"crc ethernet", {device::EtherNetIP, single}, 19, {"Enable", "Disable"}},
        {"interface type 6", {device::ProfibusUserConfig}, 18, {"RS485", "RS232"}},
    };
    for (const Case& c : cases) {
        Subnet s(c.setup);
        EXPECT_EQ(s.rows.options(c.row), c.options) << c.name;
    }
}

TEST(SubnetRows, EditCommits) {
    struct Case {
        std::string name;
        SubnetSetup setup;
        int row;
        std::string typed;
        std::string shown;
        std::string stored;
        std::string CONFIG::*field;
    };
    const SubnetSetup master{device::DeviceNet};
    const SubnetSetup pulse{device::EtherNetIP, {}, [](CONFIG& c) { c.outputMode = "Output Pulse"; }};
    const SubnetSetup slave{device::DeviceNet, {}, [](CONFIG& c) {
                                c.protocolType = "Modbus Slave";
                                c.slaveModeAddress = "5";
                            }};
    auto byLength = [](CONFIG& c) {
        c.protocolType = "User Config";
        c.frameType = "Frame Length";
        c.autoSend = "Enable";
    };
    auto byDelimiter = [](CONFIG& c) {
        c.protocolType = "User Config";
        c.frameType = "Delimiter";
        c.autoSend = "Enable";
        c.startDelimiter = "2";
    };
    auto single = [](ModelFlags& f) { f.singleSubnetModel = true; };
    const SubnetSetup type3{device::ProfibusFilter, {}, byLength};
    const SubnetSetup type6{device::ProfibusUserConfig, {}, byLength};
    const SubnetSetup ethernet{device::EtherNetIP, single, byLength};
    const SubnetSetup delimiters{device::EtherNetIP, single, byDelimiter};
    const std::vector<Case> cases = {
        {"timeout 9", master, 7, "9", "300", "300", &CONFIG::responseTimeout},
        {"timeout 10", master, 7, "10", "10", "10", &CONFIG::responseTimeout},
        {"timeout 60000", master, 7, "60000", "60000", "60000", &CONFIG::responseTimeout},
        {"timeout 60001", master, 7, "60001", "300", "300", &CONFIG::responseTimeout},
        {"timeout 0300", master, 7, "0300", "300", "300", &CONFIG::responseTimeout},
        {"timeout 350", master, 7, "350", "350", "350", &CONFIG::responseTimeout},
        {"poll delay 2501", master, 8, "2501", "0", "0", &CONFIG::pollDelay},
        {"poll delay 2500", master, 8, "2500", "2500", "2500", &CONFIG::pollDelay},
        {"pulse 199", pulse, 10, "199", "", "-1", &CONFIG::outputPulse},
        {"pulse 200", pulse, 10, "200", "200", "200", &CONFIG::outputPulse},
        {"pulse 2501", pulse, 10, "2501", "", "-1", &CONFIG::outputPulse},
        {"scan rate 0", master, 11, "0", "10", "10", &CONFIG::scanRate},
        {"scan rate 256", master, 11, "256", "10", "10", &CONFIG::scanRate},
        {"scan rate 255", master, 11, "255", "255", "255", &CONFIG::scanRate},
        {"slave address 248", slave, 5, "248", "", "5", &CONFIG::slaveModeAddress},
        {"slave address 247", slave, 5, "247", "247", "247", &CONFIG::slaveModeAddress},
        {"slave address cleared", slave, 5, "", "", "", &CONFIG::slaveModeAddress},
        {"slave address not a number", slave, 5, "x", "", "5", &CONFIG::slaveModeAddress},
        {"interval 9", type3, 13, "9", "", "10", &CONFIG::charInterval},
        {"interval 60000", type3, 13, "60000", "60000", "60000", &CONFIG::charInterval},
        {"length 223 type 3", type3, 14, "223", "223", "223", &CONFIG::frameLength},
        {"length 224 type 3", type3, 14, "224", "", "111", &CONFIG::frameLength},
        {"length 0 type 3", type3, 14, "0", "", "111", &CONFIG::frameLength},
        {"length 0150 type 3", type3, 14, "0150", "150", "150", &CONFIG::frameLength},
        {"length 224 ethernet", ethernet, 14, "224", "224", "224", &CONFIG::frameLength},
        {"length 254 ethernet", ethernet, 14, "254", "254", "254", &CONFIG::frameLength},
        {"length 255 ethernet", ethernet, 14, "255", "", "111", &CONFIG::frameLength},
        {"length 0150 ethernet", ethernet, 14, "0150", "", "111", &CONFIG::frameLength},
        {"start delimiter 255", delimiters, 15, "255", "255", "255", &CONFIG::startDelimiter},
        {"start delimiter 256", delimiters, 15, "256", "", "2", &CONFIG::startDelimiter},
        {"end delimiter 0", delimiters, 16, "0", "0", "0", &CONFIG::endDelimiter},
        {"period ethernet 10", ethernet, 18, "10", "10", "10", &CONFIG::autoSendPeriod},
        {"period ethernet 9", ethernet, 18, "9", "", "1000", &CONFIG::autoSendPeriod},
        {"period type 3 60001", type3, 16, "60001", "", "1000", &CONFIG::autoSendPeriod},
        {"period type 6 500", type6, 16, "500", "500", "500", &CONFIG::autoSendPeriod},
    };
    for (const Case& c : cases) {
        Subnet s(c.setup);
        EXPECT_EQ(s.rows.commitEdit(c.row, c.typed), c.shown) << c.name;
        EXPECT_EQ(s.config().*c.field, c.stored) << c.name;
    }
}

TEST(SubnetRows, RefusedClicksStoreNothing) {
    Subnet ethernet({device::EtherNetIP, [](ModelFlags& f) { f.singleSubnetModel = true; }});
    ASSERT_EQ(ethernet.config().autoSend, "Disable");
    EXPECT_FALSE(ethernet.rows.editable(18));  // period of auto sending while auto sending is off
    EXPECT_EQ(ethernet.rows.commitEdit(18, "20"), "1000");
    EXPECT_EQ(ethernet.config().autoSendPeriod, "1000");

    Subnet master({device::DeviceNet});
    EXPECT_FALSE(master.rows.editable(10));
    EXPECT_EQ(master.rows.commitEdit(10, "300"), "");
    EXPECT_EQ(master.config().outputPulse, "-1");
    EXPECT_FALSE(master.rows.commitOption(9, "Output Pulse").stored);
    EXPECT_EQ(master.config().outputMode, "Change of Value");
}

TEST(SubnetRows, OptionCommitsGoToTheProtocolsSet) {
    Subnet slave({device::ProfibusFilter, {}, protocol("Modbus Slave")});
    EXPECT_TRUE(slave.rows.commitOption(1, "9600").stored);
    EXPECT_TRUE(slave.rows.commitOption(6, "ASCII").stored);
    EXPECT_TRUE(slave.rows.commitOption(18, "RS232").stored);
    EXPECT_EQ(slave.config().slaveBaudRate, "9600");
    EXPECT_EQ(slave.config().baudRate, "19200");
    EXPECT_EQ(slave.config().slaveTransmissionMode, "ASCII");
    EXPECT_EQ(slave.config().transmissionMode, "RTU");
    EXPECT_EQ(slave.config().commInterface, "RS232");
    EXPECT_EQ(slave.config().debugInterface, "RS485");
    EXPECT_EQ(slave.rows.rows()[19].value, "RS485");
    EXPECT_FALSE(slave.rows.commitOption(1, "4800").stored);  // not offered on this type

    Subnet user({device::EtherNetIP, [](ModelFlags& f) { f.singleSubnetModel = true; }});
    EXPECT_TRUE(user.rows.commitOption(12, "Delimiter").stored);
    EXPECT_TRUE(user.rows.editable(15));
    EXPECT_FALSE(user.rows.editable(14));
    EXPECT_TRUE(user.rows.commitOption(17, "Enable").stored);
    EXPECT_TRUE(user.rows.editable(18));
    EXPECT_TRUE(user.rows.commitOption(19, "Enable").stored);
    EXPECT_EQ(user.config().frameType, "Delimiter");
    EXPECT_EQ(user.config().autoSend, "Enable");
    EXPECT_EQ(user.config().crcCheck, "Enable");
    EXPECT_EQ(user.config().userBaudRate, "19200");

    Subnet type7({device::Profibus7, {}, protocol("User Config")});
    EXPECT_TRUE(type7.rows.commitOption(15, "Enable").stored);
    EXPECT_TRUE(type7.rows.commitOption(17, "Enable").stored);
    EXPECT_EQ(type7.config().autoSend, "Enable");
    EXPECT_EQ(type7.config().crcCheck, "Enable");

    Subnet status({device::ProfibusFilter, [](ModelFlags& f) { f.commandStatusModel = true; }});
    EXPECT_TRUE(status.rows.commitOption(12, "4byte").stored);
    EXPECT_EQ(status.config().commandStatus, "4byte");
}

TEST(SubnetRows, HelpTexts) {
    struct Case {
        std::string name;
        SubnetSetup setup;
        int row;
        HelpText::Action action;
        std::string text;
    };
    using A = HelpText::Action;
    auto single = [](ModelFlags& f) { f.singleSubnetModel = true; };
    const std::vector<Case> cases = {
        {"protocol", {device::DeviceNet}, 0, A::Replace, tr(Str::SnHelpProtocol)},
        {"protocol ethernet", {device::EtherNetIP}, 0, A::Replace, "Modbus Master"},
        {"baud user only", {device::ProfibusFilter, [](ModelFlags& f) { f.userConfigOnlyModel = true; }}, 1, A::Replace,
         "Serial port baud rate"},
        {"slave address", {device::DeviceNet}, 5, A::Clear, ""},
        {"master beyond 11", {device::ProfibusFilter}, 18, A::Clear, ""},
        {"frame type ethernet", {device::EtherNetIP, single}, 12, A::Replace, tr(Str::SnHelpFrameType)},
        {"delimiter ethernet", {device::EtherNetIP, single}, 16, A::Replace, tr(Str::SnHelpDelimiter)},
        {"crc ethernet", {device::EtherNetIP, single}, 19, A::Replace, tr(Str::SnHelpCrcCheck)},
        {"period type 6", {device::ProfibusUserConfig}, 16, A::Replace, tr(Str::SnHelpAutoSendPeriod)},
        {"interface type 6", {device::ProfibusUserConfig}, 18, A::Replace, tr(Str::SnHelpCommInterfaceSerial)},
        {"slave row 13 devicenet", {device::DeviceNet, {}, protocol("Modbus Slave")}, 13, A::Unchanged, ""},
        {"user config beyond 19", {device::EtherNetIP, single}, 20, A::Clear, ""},
    };
    for (const Case& c : cases) {
        Subnet s(c.setup);
        const HelpText help = s.rows.help(c.row);
        EXPECT_EQ(help.action, c.action) << c.name;
        EXPECT_EQ(help.text, c.text) << c.name;
    }
}
