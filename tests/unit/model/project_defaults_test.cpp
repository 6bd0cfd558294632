#include "core/model/project_defaults.h"

#include <gtest/gtest.h>

using namespace veltrane;

TEST(ProjectDefaults, NewProjectIsEtherNetIpWithTwoMasterSubnets) {
    Project project;
    ProjectState state;
    state.flags.singleSubnetModel = true;
    initializeNewProject(project, state);

    EXPECT_EQ(state.DeviceType, 4);
    EXPECT_EQ(state.SubnetCount, 2);
    EXPECT_EQ(state.flags, ModelFlags{});
    EXPECT_EQ(project.fieldbus.fieldbusType, "EtherNet/IP");
    EXPECT_EQ(project.fieldbus.inputSize, "8");
    EXPECT_EQ(project.fieldbus.configMode, "Use Bytes choice");
    EXPECT_EQ(project.fieldbus.configData, "");
    EXPECT_EQ(project.fieldbus.ipAddress, "192.168.0.110");
    for (const CONFIG& subnet : project.subnets) {
        EXPECT_EQ(subnet.protocolType, "Modbus Master");
        EXPECT_EQ(subnet.baudRate, "19200");
        EXPECT_EQ(subnet.parity, "None");
        EXPECT_EQ(subnet.transmissionMode, "RTU");
        EXPECT_EQ(subnet.responseTimeout, "300");
        EXPECT_EQ(subnet.outputPulse, "-1");
        EXPECT_EQ(subnet.timeoutAction, "\\Template.xls");
        EXPECT_EQ(subnet.nodeCount, 0);
        EXPECT_EQ(subnet.commandCount, 0);
        EXPECT_EQ(subnet.nodes[47].address, "-1");
        EXPECT_EQ(subnet.nodes[47].name, "Node-%d");
        EXPECT_EQ(subnet.commands[0].filterOrSwap, "No Swap");
        EXPECT_EQ(subnet.commands[0].scanType, "Fast Scan");
    }
    EXPECT_EQ(project.subnets[0].doubleFaultClear, "Enable");
}

TEST(ProjectDefaults, KeepsDelimitersAndLaterDoubleFaultClear) {
    Project project;
    project.subnets[0].startDelimiter = "2";
    project.subnets[1].endDelimiter = "3";
    project.subnets[1].doubleFaultClear = "Disable";
    ProjectState state;
    initializeNewProject(project, state);
    EXPECT_EQ(project.subnets[0].startDelimiter, "2");
    EXPECT_EQ(project.subnets[1].endDelimiter, "3");
    EXPECT_EQ(project.subnets[1].doubleFaultClear, "Disable");
}

TEST(ProjectDefaults, DependOnDeviceTypeAndSwitches) {
    struct Case {
        std::int32_t deviceType;
        ModelFlags flags;
        const char* size;
        const char* protocol1;
        const char* filter;
        const char* baud;
    };
    ModelFlags userOnly;
    userOnly.userConfigOnlyModel = true;
    ModelFlags single;
    single.singleSubnetModel = true;
    ModelFlags extended;
    extended.extendedFrameModel = true;
    ModelFlags dataFilter;
    dataFilter.dataFilterModel = true;
    const Case cases[] = {
        {0, {}, "64", "Modbus Master", "No Swap", "125K"},
        {1, {}, "112", "Modbus Master", "No Swap", "125K"},
        {2, {}, "8", "Modbus Master", "No Swap", "125K"},
        {3, {}, "112", "Modbus Master", "Word", "125K"},
        {4, single, "8", "User Config", "No Swap", "125K"},
        {5, {}, "112", "Modbus Slave", "No Swap", "125K"},
        {5, userOnly, "112", "User Config", "No Swap", "125K"},
        {6, {}, "112", "User Config", "No Swap", "125K"},
        {7, extended, "112", "Modbus Master", "No Swap", "Auto listeners"},
        {1, dataFilter, "112", "Modbus Master", "Word", "125K"},
    };
    for (const Case& c : cases) {
        Project project;
        ProjectState state;
        state.DeviceType = c.deviceType;
        state.flags = c.flags;
        applyProjectDefaults(project, state);
        SCOPED_TRACE(c.deviceType);
        EXPECT_EQ(project.fieldbus.inputSize, c.size);
        EXPECT_EQ(project.fieldbus.outputSize, c.size);
        EXPECT_EQ(project.subnets[0].protocolType, c.protocol1);
        EXPECT_EQ(project.subnets[1].protocolType, "Modbus Master");
        EXPECT_EQ(project.subnets[0].commands[5].filterOrSwap, c.filter);
        EXPECT_EQ(project.fieldbus.deviceNetBaudRate, c.baud);
        EXPECT_EQ(project.fieldbus.fieldbusType, "DeviceNet");  // only the new-project step sets it
    }
    Project project;
    ProjectState state;
    state.DeviceType = 4;
    state.flags = single;
    applyProjectDefaults(project, state);
    EXPECT_EQ(project.fieldbus.configMode, "Disable");
    EXPECT_EQ(project.fieldbus.configData, "Enable");
    state.DeviceType = 5;
    applyProjectDefaults(project, state);
    EXPECT_EQ(project.subnets[0].slaveModeAddress, "1");
}
