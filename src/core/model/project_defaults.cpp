#include "core/model/project_defaults.h"
#include "core/model/subnet_protocol.h"

#include "core/strings/strings.h"

namespace veltrane {

namespace {
void applySubnetDefaults(CONFIG& subnet, const ProjectState& state) {
    subnet.protocolType = storedProtocolText(SubnetProtocol::ModbusMaster);
    subnet.nodeCount = 0;
    subnet.commandCount = 0;

    subnet.baudRate = "19200";
    subnet.dataBits = "8";
    subnet.parity = tr(Str::ParityNone);
    subnet.stopBits = "1";
    subnet.transmissionMode = tr(Str::ModeRTU);
    subnet.responseTimeout = "300";
    subnet.pollDelay = "0";
    subnet.outputMode = tr(Str::OutputChangeOfValue);
    subnet.outputPulse = "-1";
    subnet.scanRate = "10";

    subnet.commandStatus = tr(Str::Disable);
    subnet.timeoutAction = tr(Str::TimeoutClearChoice);
    subnet.timeoutTimes = "3";

    subnet.slaveBaudRate = "19200";
    subnet.slaveDataBits = "8";
    subnet.slaveParity = tr(Str::ParityNone);
    subnet.slaveStopBits = "1";
    subnet.slaveModeAddress.clear();
    subnet.slaveTransmissionMode = tr(Str::ModeRTU);

    subnet.customBaudRate = "300";
    subnet.customDataBits = "8";
    subnet.customParity = tr(Str::ParityNone);
    subnet.customStopBits = "1";

    subnet.userBaudRate = "19200";
    subnet.userDataBits = "8";
    subnet.userParity = tr(Str::ParityNone);
    subnet.userStopBits = "1";
    subnet.frameType = tr(Str::FrameTimeInterval);
    subnet.charInterval = "10";
    subnet.frameLength = "111";
    subnet.autoSend = tr(Str::Disable);
    subnet.autoSendPeriod = "1000";
    subnet.crcCheck = tr(Str::Disable);
    subnet.commInterface = tr(Str::InterfaceRS485);
    subnet.debugInterface = tr(Str::InterfaceRS232);
    subnet.validDataLength = tr(Str::Disable);

    for (NodeEntry& node : subnet.nodes) {
        node.address = "-1";
        node.name = tr(Str::NodeNamePattern);  // the literal pattern marks a free slot
    }
    for (INSTRUCTION& command : subnet.commands) {
        command = INSTRUCTION{};
        command.filterOrSwap = defaultFilterOrSwap(state);
        command.scanType = tr(Str::ScanFast);
    }
}
}  // namespace

const std::string& defaultFilterOrSwap(const ProjectState& state) {
    const bool filter = state.flags.dataFilterModel || state.DeviceType == device::ProfibusFilter;
    return tr(filter ? Str::FilterWord : Str::SwapNone);
}

const std::string& fieldbusTypeFor(std::int32_t deviceType) {
    static const std::string none;
    switch (deviceType) {
    case device::DeviceNet:
        return tr(Str::FieldbusDeviceNet);
    case device::Profibus:
    case device::ProfibusFilter:
    case device::ProfibusSlave:
    case device::ProfibusUserConfig:
    case device::Profibus7:
        return tr(Str::FieldbusProfibus);
    case device::EtherNetIP:
        return tr(Str::FieldbusEtherNetIP);
    default:
        return none;
    }
}

void applyProjectDefaults(Project& project, const ProjectState& state) {
    const ModelFlags& flags = state.flags;
    FIELDBUS& fieldbus = project.fieldbus;
    CONFIG& subnet1 = project.subnets[0];

    fieldbus.fieldbusType = tr(Str::FieldbusDeviceNet);
    fieldbus.deviceNetAddress = "0";
    subnet1.doubleFaultClear = tr(Str::Enable);
    fieldbus.deviceNetBaudRate = tr(flags.extendedFrameModel ? Str::BaudAutoListeners : Str::BaudDeviceNet125K);
    fieldbus.ipAssignMode = tr(Str::IpManuallyAssign);
    fieldbus.ipAddress = "192.168.0.110";
    fieldbus.subnetMask = "255.255.255.0";
    fieldbus.defaultGateway = "192.168.0.1";
    fieldbus.dns1 = "0.0.0.0";
    fieldbus.dns2 = "0.0.0.0";

    if (state.DeviceType == device::EtherNetIP && flags.singleSubnetModel) {
        fieldbus.configMode = tr(Str::Disable);
        fieldbus.configData = tr(Str::Enable);
    } else {
        fieldbus.configMode = tr(Str::ConfigUseBytesChoice);
        fieldbus.configData.clear();
    }

    switch (state.DeviceType) {
    case device::DeviceNet:
        fieldbus.inputSize = fieldbus.outputSize = "64";
        break;
    case device::Profibus:
    case device::ProfibusFilter:
    case device::ProfibusSlave:
    case device::ProfibusUserConfig:
    case device::Profibus7:
        fieldbus.inputSize = fieldbus.outputSize = "112";
        break;
    default:
        fieldbus.inputSize = fieldbus.outputSize = "8";
        break;
    }

    for (CONFIG& subnet : project.subnets)
        applySubnetDefaults(subnet, state);

    if (flags.userConfigOnlyModel) {
        subnet1.protocolType = storedProtocolText(SubnetProtocol::UserConfig);
        subnet1.validDataLength = tr(Str::Disable);
    } else if (state.DeviceType == device::ProfibusSlave) {
        subnet1.protocolType = storedProtocolText(SubnetProtocol::ModbusSlave);
        subnet1.slaveModeAddress = "1";
    } else if (state.DeviceType == device::ProfibusUserConfig ||
               (state.DeviceType == device::EtherNetIP && flags.singleSubnetModel)) {
        subnet1.protocolType = storedProtocolText(SubnetProtocol::UserConfig);
    }

    if (flags.hardwareSizedModel)
        subnet1.outputMode = tr(Str::OutputChangeOfValue);
}

void initializeNewProject(Project& project, ProjectState& state, const NewProjectKind& kind) {
    state.flags = kind.flags;
    state.DeviceType = kind.deviceType;
    state.SubnetCount = 2;
    // An older version would drop the switches it does not know when the project is saved.
    if (anySwitchSet(kind.flags))
        state.FormatVersion = kDefaultFormatVersion;
    applyProjectDefaults(project, state);
    const std::string& type = fieldbusTypeFor(state.DeviceType);
    if (!type.empty())
        project.fieldbus.fieldbusType = type;
}

}  // namespace veltrane
