#include "core/editor/fieldbus_parameters.h"
#include "core/model/project_defaults.h"

#include <gtest/gtest.h>

#include <functional>

using namespace veltrane;

namespace {
struct GatewaySetup {
    std::int32_t type = device::EtherNetIP;
    std::function<void(ModelFlags&)> flags = [](ModelFlags&) {};
    std::function<void(Project&)> change = [](Project&) {};
};

struct Gateway {
    Project project;
    ProjectState state;
    FieldbusParameters rows{project, state};

    explicit Gateway(const GatewaySetup& setup) {
        state.DeviceType = setup.type;
        if (setup.flags)
            setup.flags(state.flags);
        applyProjectDefaults(project, state);
        project.fieldbus.fieldbusType = fieldbusTypeFor(setup.type);
        if (setup.change)
            setup.change(project);
    }

    // Titles up to the last row that shows one.
    std::vector<std::string> titles() const {
        std::vector<std::string> out;
        for (const ParameterRow& row : rows.rows())
            out.push_back(row.title);
        while (!out.empty() && out.back().empty())
            out.pop_back();
        return out;
    }
    std::vector<int> editableRows() const {
        std::vector<int> out;
        for (int row = 0; row < kFieldbusRows + 2; ++row)
            if (rows.editable(row))
                out.push_back(row);
        return out;
    }
    std::vector<int> greyRows() const {
        std::vector<int> out;
        const auto shown = rows.rows();
        for (std::size_t row = 0; row < shown.size(); ++row)
            if (shown[row].grey)
                out.push_back(static_cast<int>(row));
        return out;
    }
};

HelpText show(Str id) { return HelpText::replace(tr(id)); }
std::string describe(const HelpText& help) {
    switch (help.action) {
    case HelpText::Action::Unchanged: return "unchanged";
    case HelpText::Action::Clear: return "clear";
    case HelpText::Action::Replace: return "replace: " + help.text;
    }
    return {};
}

void set(Project& p, std::string CONFIG::*field, const char* text) { p.subnets[0].*field = text; }

const std::string kType = "Type of Protocol";
const std::string kPbIn = "Size of PROFIBUS DP Input buffer";
const std::string kPbOut = "Size of PROFIBUS DP Output buffer";
const std::string kHardware = "Setting through Hardware Configuration of PROFIBUS DP";
}  // namespace

TEST(FieldbusRows, LayoutEditabilityAndColoursPerTypeAndModel) {
    struct Case {
        std::string name;
        GatewaySetup setup;
        std::vector<std::string> titles;
        std::vector<int> editable;
        std::vector<int> grey;
    };
    auto hardware = [](ModelFlags& f) { f.hardwareSizedModel = true; };
    auto configData = [](ModelFlags& f) { f.configDataModel = true; };
    auto status = [](ModelFlags& f) { f.commandStatusModel = true; };
    auto single = [](ModelFlags& f) { f.singleSubnetModel = true; };
    const std::vector<std::string> ethernet = {kType,         "Assign IP Mode", "IP Address", "Subnet Mask",
                                               "Default Gateway ", "DNS1",       "DNS2"};
    std::vector<std::string> ethernetSingle = ethernet;
    ethernetSingle.insert(ethernetSingle.end(), {"Input Valid Data Length", "Transaction No."});
    const std::vector<Case> cases = {
        {"devicenet", {device::DeviceNet},
         {kType, "DeviceNet Address (0~63)", "DeviceNet Baud Rate", "Size of DeviceNet Input Buffer",
          "Size of DeviceNet Output Buffer"},
         {1, 2, 3, 4}, {0}},
        {"devicenet extended", {device::DeviceNet, [](ModelFlags& f) { f.extendedFrameModel = true; }},
         {kType, "DeviceNet Address (0~63)", "DeviceNet Baud Rate", "Size of DeviceNet Input Buffer",
          "Size of DeviceNet Output Buffer"},
         {1, 3, 4}, {0, 2}},
        {"profibus", {device::Profibus}, {kType, kPbIn, kPbOut}, {1, 2}, {0}},
        {"profibus 7", {device::Profibus7}, {kType, kPbIn, kPbOut}, {1, 2}, {0}},
        {"profibus hardware", {device::Profibus, hardware},
         {kType, kPbIn, kPbOut, "Input data double fault is cleared"}, {3}, {0, 1, 2}},
        {"profibus bytes choice", {device::Profibus, configData},
         {kType, kPbIn, kPbOut, "Profibus Configuration", "Profibus configuration data (up to 8 bytes)"},
         {1, 2, 3}, {0, 4}},
        {"profibus configuration data",
         {device::Profibus, configData, [](Project& p) { p.fieldbus.configMode = "Input the Configuration Data"; }},
         {kType, kPbIn, kPbOut, "Profibus Configuration", "Profibus configuration data (up to 8 bytes)"},
         {3, 4}, {0, 1, 2}},
        {"profibus user config with filter",
         {device::Profibus7, [](ModelFlags& f) { f.dataFilterModel = true; },
          [](Project& p) { set(p, &CONFIG::protocolType, "User Config"); }},
         {kType, kPbIn, kPbOut, "Profibus input valid data length", "Profibus configuration data (up to 8 bytes)"},
         {1, 2, 3}, {0, 4}},
        {"profibus user config with configuration data",
         {device::Profibus, configData, [](Project& p) {
              set(p, &CONFIG::protocolType, "User Config");
              p.fieldbus.configMode = "Input the Configuration Data";
          }},
         {kType, kPbIn, kPbOut, "Profibus input valid data length", "Profibus configuration data (up to 8 bytes)"},
         {3, 4}, {0, 1, 2}},
        {"profibus command status", {device::Profibus, status},
         {kType, kPbIn, kPbOut, "Input data timeout cleared/hold", "Timeout times"}, {3, 4}, {0, 1, 2}},
        {"type 3 command status clear", {device::ProfibusFilter, status},
         {kType, kPbIn, kPbOut, "Input data timeout cleared/hold", "Timeout times"}, {3, 4}, {0, 1, 2}},
        {"type 3 command status hold",
         {device::ProfibusFilter, status, [](Project& p) { set(p, &CONFIG::timeoutAction, "hold"); }},
         {kType, kPbIn, kPbOut, "Input data timeout cleared/hold", "Timeout times"}, {3}, {0, 1, 2, 4}},
        {"type 3 command status slave",
         {device::ProfibusFilter, status, [](Project& p) { set(p, &CONFIG::protocolType, "Modbus Slave"); }},
         {kType, kPbIn, kPbOut}, {}, {0, 1, 2}},
        {"type 3 user config only", {device::ProfibusFilter, [](ModelFlags& f) { f.userConfigOnlyModel = true; }},
         {kType, kPbIn, kPbOut, "Profibus input valid data length"}, {3}, {0, 1, 2}},
        {"type 3 without switches", {device::ProfibusFilter}, {kType, kPbIn, kPbOut}, {}, {0}},
        {"ethernet", {device::EtherNetIP}, ethernet, {1, 2, 3, 4}, {0, 5, 6}},
        {"ethernet dhcp", {device::EtherNetIP, {}, [](Project& p) { p.fieldbus.ipAssignMode = "DHCP"; }}, ethernet,
         {1}, {0, 2, 3, 4, 5, 6}},
        {"ethernet single user config", {device::EtherNetIP, single}, ethernetSingle, {1, 2, 3, 4, 7, 8}, {0, 5, 6}},
        {"ethernet single master",
         {device::EtherNetIP, single, [](Project& p) { set(p, &CONFIG::protocolType, "Modbus Master"); }},
         ethernetSingle, {1, 2, 3, 4}, {0, 5, 6, 7, 8}},
        {"type 5", {device::ProfibusSlave}, {kType, kPbIn, kPbOut}, {}, {0, 1, 2}},
        {"type 6", {device::ProfibusUserConfig}, {kType, kPbIn, kPbOut, "Profibus input valid data length"}, {3},
         {0, 1, 2}},
        {"type 2", {device::FourSubnets}, {kType}, {}, {0}},
    };
    for (const Case& c : cases) {
        Gateway g(c.setup);
        EXPECT_EQ(g.titles(), c.titles) << c.name;
        EXPECT_EQ(g.editableRows(), c.editable) << c.name;
        EXPECT_EQ(g.greyRows(), c.grey) << c.name;
    }
}

TEST(FieldbusRows, ShownValues) {
    Gateway hw({device::Profibus, [](ModelFlags& f) { f.hardwareSizedModel = true; }});
    EXPECT_EQ(hw.rows.rows()[1].value, kHardware);
    EXPECT_EQ(hw.rows.rows()[3].value, "Enable");

    Gateway status({device::ProfibusFilter, [](ModelFlags& f) { f.commandStatusModel = true; }});
    EXPECT_EQ(status.rows.rows()[3].value, "Clear");  // stored as "\Template.xls"
    EXPECT_EQ(status.project.subnets[0].timeoutAction, "\\Template.xls");
    EXPECT_EQ(status.rows.rows()[4].value, "3");

    Gateway dn({device::DeviceNet, {}, [](Project& p) { p.fieldbus.deviceNetAddress = "-1"; }});
    EXPECT_EQ(dn.rows.rows()[0].value, "DeviceNet");
    EXPECT_EQ(dn.rows.rows()[1].value, "");

    Gateway eth({device::EtherNetIP, {}, [](Project& p) {
                     p.fieldbus.ipAddress.clear();
                     p.fieldbus.dns2.clear();
                     p.fieldbus.subnetMask = "255.255.0.0";
                 }});
    const auto rows = eth.rows.rows();
    EXPECT_EQ(rows[2].value, "192.168.0.110");
    EXPECT_EQ(rows[3].value, "255.255.0.0");
    EXPECT_EQ(rows[6].value, "0.0.0.0");
    EXPECT_EQ(eth.project.fieldbus.ipAddress, "");  // the substitute is only shown
}

TEST(FieldbusRows, OptionLists) {
    struct Case {
        std::string name;
        GatewaySetup setup;
        int row;
        std::vector<std::string> options;
    };
    auto large = [](ModelFlags& f) { f.largeBufferModel = true; };
    const std::vector<Case> cases = {
        {"devicenet baud", {device::DeviceNet}, 2, {"125K", "250K", "500K", "Auto listeners"}},
        {"devicenet input", {device::DeviceNet}, 3, {"8", "16", "32", "64", "96", "128", "160"}},
        {"devicenet input large", {device::DeviceNet, large}, 3, {"8", "16", "32", "64", "96"}},
        {"devicenet output", {device::DeviceNet}, 4, {"8", "16", "32", "64", "96", "112"}},
        {"devicenet output large", {device::DeviceNet, large}, 4, {"8", "16", "32", "64"}},
        {"devicenet address", {device::DeviceNet}, 1, {}},
        {"profibus size", {device::Profibus7}, 2, {"8", "16", "48", "112"}},
        {"double fault", {device::Profibus, [](ModelFlags& f) { f.hardwareSizedModel = true; }}, 3,
         {"Enable", "Disable"}},
        {"timeout choice", {device::ProfibusFilter, [](ModelFlags& f) { f.commandStatusModel = true; }}, 3,
         {"Clear", "hold"}},
        {"configuration mode", {device::Profibus, [](ModelFlags& f) { f.dataFilterModel = true; }}, 3,
         {"Use Bytes choice", "Input the Configuration Data"}},
        {"ip mode", {device::EtherNetIP}, 1, {"Manually Assign", "BOOTP", "DHCP"}},
        {"transaction number", {device::EtherNetIP, [](ModelFlags& f) { f.singleSubnetModel = true; }}, 8,
         {"Enable", "Disable"}},
        {"type 6 valid length", {device::ProfibusUserConfig}, 3, {"Enable", "Disable"}},
    };
    for (const Case& c : cases) {
        Gateway g(c.setup);
        EXPECT_EQ(g.rows.options(c.row), c.options) << c.name;
    }
}

TEST(FieldbusRows, IpTexts) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"192.168.0.1", true},   {"192.168.000.001", true}, {"0.0.0.0", true},      {"255.255.255.255", true},
        {"1.2.3.0255", true},    {"192.168.0.256", false},  {"1.2.3", false},       {"1234.1.1.1", false},
        {"1.2.3.4.5", false},    {"1.2.3.", false},         {"1..3.4", false},      {"a.b.c.d", false},
        {" 1.2.3.4", false},     {"1.2.3.-4", false},       {"", false},            {"1.2.3.99999999999", false},
    };
    for (const auto& [text, valid] : cases)
        EXPECT_EQ(isValidIpText(text), valid) << text;
}

TEST(FieldbusRows, EditCommits) {
    struct Case {
        std::string name;
        GatewaySetup setup;
        int row;
        std::string typed;
        std::string shown;   // the cell afterwards
        std::string stored;  // the field afterwards
        std::function<std::string(const Project&)> field;
    };
    auto address = [](const Project& p) { return p.fieldbus.deviceNetAddress; };
    auto ip = [](const Project& p) { return p.fieldbus.ipAddress; };
    auto data = [](const Project& p) { return p.fieldbus.configData; };
    auto times = [](const Project& p) { return p.subnets[0].timeoutTimes; };
    const GatewaySetup devicenet{device::DeviceNet, {}, [](Project& p) { p.fieldbus.deviceNetAddress = "5"; }};
    const GatewaySetup configData{device::Profibus, [](ModelFlags& f) { f.configDataModel = true; }, [](Project& p) {
                               p.fieldbus.configMode = "Input the Configuration Data";
                               p.fieldbus.configData = "13";
                           }};
    const GatewaySetup status{device::ProfibusFilter, [](ModelFlags& f) { f.commandStatusModel = true; }};
    const std::vector<Case> cases = {
        {"address 63", devicenet, 1, "63", "63", "63", address},
        {"address 0", devicenet, 1, "0", "0", "0", address},
        {"address 64", devicenet, 1, "64", "5", "5", address},
        {"address -1", devicenet, 1, "-1", "5", "5", address},
        {"address 07", devicenet, 1, "07", "5", "5", address},
        {"address empty", devicenet, 1, "", "5", "5", address},
        {"ip leading zeros", {device::EtherNetIP}, 2, "192.168.000.001", "192.168.000.001", "192.168.000.001", ip},
        {"ip 256", {device::EtherNetIP}, 2, "192.168.0.256", "192.168.0.110", "192.168.0.110", ip},
        {"ip dhcp", {device::EtherNetIP, {}, [](Project& p) { p.fieldbus.ipAssignMode = "DHCP"; }}, 2, "10.0.0.1",
         "192.168.0.110", "192.168.0.110", ip},
        {"data D1 E1", configData, 4, "D1 E1", "D1 E1", "D1 E1", data},
        {"data lower case", configData, 4, "d1 e1", "d1 e1", "d1 e1", data},
        {"data D1E1", configData, 4, "D1E1", "13", "13", data},
        {"data D1 G1", configData, 4, "D1 G1", "13", "13", data},
        {"data 24 characters", configData, 4, "D1 E1 D1 E1 D1 E1 D1 E1 ", "D1 E1 D1 E1 D1 E1 D1 E1 ",
         "D1 E1 D1 E1 D1 E1 D1 E1 ", data},
        {"data 25 characters", configData, 4, "D1 E1 D1 E1 D1 E1 D1 E1 1", "13", "13", data},
        {"data in bytes choice",
         {device::Profibus, [](ModelFlags& f) { f.configDataModel = true; }}, 4, "D1 E1", "", "", data},
        {"times 1", status, 4, "1", "3", "3", times},
        {"times 2", status, 4, "2", "2", "2", times},
        {"times 254", status, 4, "254", "254", "254", times},
        {"times 255", status, 4, "255", "3", "3", times},
        {"times stored as a number", status, 4, "012", "12", "12", times},
        {"times without digits", status, 4, "x", "3", "3", times},
    };
    for (const Case& c : cases) {
        Gateway g(c.setup);
        EXPECT_EQ(g.rows.commitEdit(c.row, c.typed), c.shown) << c.name;
        EXPECT_EQ(c.field(g.project), c.stored) << c.name;
    }
}

TEST(FieldbusRows, DnsIsNeverEditable) {
    Gateway g({device::EtherNetIP});
    EXPECT_FALSE(g.rows.editable(5));
    EXPECT_FALSE(g.rows.editable(6));
    EXPECT_EQ(g.rows.commitEdit(5, "8.8.8.8"), "0.0.0.0");
    EXPECT_EQ(g.project.fieldbus.dns1, "0.0.0.0");
}

TEST(FieldbusRows, OptionCommitsStoreWhatTheRowShows) {
    Gateway eth({device::EtherNetIP});
    EXPECT_TRUE(eth.rows.commitOption(1, "DHCP"));
    EXPECT_EQ(eth.project.fieldbus.ipAssignMode, "DHCP");
    EXPECT_FALSE(eth.rows.editable(2));
    EXPECT_TRUE(eth.rows.rows()[2].grey);
    EXPECT_TRUE(eth.rows.commitOption(1, "Manually Assign"));
    EXPECT_TRUE(eth.rows.editable(2));
    EXPECT_FALSE(eth.rows.rows()[4].grey);
    EXPECT_FALSE(eth.rows.commitOption(1, "Static"));
    EXPECT_EQ(eth.project.fieldbus.ipAssignMode, "Manually Assign");

    Gateway dn({device::DeviceNet});
    EXPECT_TRUE(dn.rows.commitOption(3, "160"));
    EXPECT_TRUE(dn.rows.commitOption(2, "500K"));
    EXPECT_FALSE(dn.rows.commitOption(4, "100"));
    EXPECT_EQ(dn.project.fieldbus.inputSize, "160");
    EXPECT_EQ(dn.project.fieldbus.outputSize, "64");
    EXPECT_EQ(dn.project.fieldbus.deviceNetBaudRate, "500K");

    Gateway status({device::ProfibusFilter, [](ModelFlags& f) { f.commandStatusModel = true; }});
    EXPECT_TRUE(status.rows.commitOption(3, "hold"));
    EXPECT_EQ(status.project.subnets[0].timeoutAction, "hold");
    EXPECT_FALSE(status.rows.editable(4));  // the timeout times only count for the clear choice
    EXPECT_TRUE(status.rows.commitOption(3, "Clear"));
    EXPECT_EQ(status.project.subnets[0].timeoutAction, "\\Template.xls");
    EXPECT_EQ(status.rows.rows()[3].value, "Clear");
    EXPECT_TRUE(status.rows.commitOption(3, "\\Template.xls"));  // the stored spelling is understood
    EXPECT_EQ(status.project.subnets[0].timeoutAction, "\\Template.xls");

    Gateway mode({device::Profibus, [](ModelFlags& f) { f.configDataModel = true; }});
    EXPECT_TRUE(mode.rows.commitOption(3, "Input the Configuration Data"));
    EXPECT_EQ(mode.editableRows(), (std::vector<int>{3, 4}));

    Gateway single({device::EtherNetIP, [](ModelFlags& f) { f.singleSubnetModel = true; }});
    EXPECT_TRUE(single.rows.commitOption(7, "Enable"));
    EXPECT_TRUE(single.rows.commitOption(8, "Disable"));
    EXPECT_EQ(single.project.fieldbus.configMode, "Enable");
    EXPECT_EQ(single.project.fieldbus.configData, "Disable");

    Gateway slave({device::ProfibusSlave});
    EXPECT_FALSE(slave.rows.commitOption(1, "16"));
    EXPECT_EQ(slave.project.fieldbus.inputSize, "112");
}

TEST(FieldbusRows, HelpTexts) {
    struct Case {
        std::string name;
        GatewaySetup setup;
        int row;
        HelpText help;
    };
    auto status = [](ModelFlags& f) { f.commandStatusModel = true; };
    const std::vector<Case> cases = {
        {"row 0", {device::DeviceNet}, 0, show(Str::FbHelpProtocol)},
        {"devicenet input", {device::DeviceNet}, 3, show(Str::FbHelpDeviceNetInput)},
        {"devicenet row 5", {device::DeviceNet}, 5, HelpText::clear()},
        {"timeout choice", {device::ProfibusFilter, status}, 3, show(Str::FbHelpTimeoutAction)},
        {"timeout times", {device::ProfibusFilter, status}, 4, show(Str::FbHelpTimeoutTimes)},
        {"type 3 user config",
         {device::ProfibusFilter, status, [](Project& p) { set(p, &CONFIG::protocolType, "User Config"); }}, 3,
         show(Str::FbHelpValidDataLength)},
        {"configuration data", {device::Profibus, [](ModelFlags& f) { f.configDataModel = true; }}, 4,
         show(Str::FbHelpConfigData)},
        {"dns2", {device::EtherNetIP}, 6, show(Str::FbHelpDns2)},
        {"transaction without single subnet", {device::EtherNetIP}, 8, HelpText::clear()},
        {"transaction", {device::EtherNetIP, [](ModelFlags& f) { f.singleSubnetModel = true; }}, 8,
         show(Str::FbHelpTransactionNo)},
        {"type 5 row 3", {device::ProfibusSlave}, 3, HelpText::clear()},
        {"type 6 row 3", {device::ProfibusUserConfig}, 3, show(Str::FbHelpValidDataLength)},
        {"type 2", {device::FourSubnets}, 1, HelpText::unchanged()},
    };
    for (const Case& c : cases) {
        Gateway g(c.setup);
        EXPECT_EQ(describe(g.rows.help(c.row)), describe(c.help)) << c.name;
    }
    EXPECT_EQ(tr(Str::FbHelpTimeoutTimes),
              "When you select Clear Data, this parameter can be modified. The range of the parameter value is 2 to "
              "254. Default value is 3.");
}
