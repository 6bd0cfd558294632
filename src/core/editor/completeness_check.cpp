#include "core/editor/completeness_check.h"
#include "core/model/subnet_protocol.h"

#include "core/editor/profibus_config_data.h"
#include "core/mapping/buffer_layout.h"
#include "core/mapping/byte_count_rules.h"
#include "core/model/function_code.h"
#include "core/model/text_value.h"
#include "core/strings/strings.h"

#include <algorithm>
#include <cstdint>

namespace veltrane {

namespace {
constexpr const char* kUnfilled = "-1";
constexpr int kHardwareSizedBytes = 168;
constexpr int kCommandStatusBytes = 224;

int usedCommands(const CONFIG& subnet) { return std::clamp(subnet.commandCount, 0, kMaxCommands); }

const INSTRUCTION& commandAt(const CONFIG& subnet, int index) {
    return subnet.commands[static_cast<std::size_t>(index)];
}

CompletenessResult fail(std::string report = {}) { return {false, std::move(report)}; }

std::string commandItem(int subnetNumber, const INSTRUCTION& command, Str what) {
    // Only the prefix is a pattern; the slave address is user text and must not be read as one.
    return format(Str::CheckSubnetNodePrefix, {decimalText(subnetNumber)}) + command.slaveAddress + tr(what);
}

bool isSlaveAddress(const std::string& text) {
    const std::int32_t value = decimalValue(text);
    return isCanonical(text) && value >= kMinSlaveAddress && value <= kMaxSlaveAddress;
}

std::string slaveAddressItem(int subnetNumber, const std::string& address) {
    return format(Str::CheckSubnetNodePrefix, {decimalText(subnetNumber)}) + address + tr(Str::CheckSlaveAddressOutOfRange);
}

// The tests of a Modbus-master subnet; an empty text when it is complete.
std::string masterSubnetGap(const CONFIG& subnet, int k) {
    const std::string number = decimalText(k);
    if (subnet.responseTimeout == kUnfilled)
        return format(Str::CheckResponseTimeoutUnfilled, {number});
    if (subnet.pollDelay == kUnfilled)
        return format(Str::CheckPollDelayUnfilled, {number});
    if (subnet.outputPulse == kUnfilled && subnet.outputMode == tr(Str::OutputPulse))
        return format(Str::CheckOutputPulseUnfilled, {number});
    if (subnet.scanRate == kUnfilled)
        return format(Str::CheckScanRateUnfilled, {number});
    for (int c = 0; c < usedCommands(subnet); ++c) {
        const INSTRUCTION& command = commandAt(subnet, c);
        if (command.slaveAddress == kUnfilled)
            return format(Str::CheckNodeAddressUnfilled, {number});
        if (command.startAddress == kUnfilled)
            return commandItem(k, command, Str::CheckStartAddressUnfilled);
        if (command.dataCount == kUnfilled)
            return commandItem(k, command, Str::CheckDataCountUnfilled);
        if (command.mappingAddress == kUnfilled)
            return commandItem(k, command, Str::CheckMappingAddressUnfilled);
        if (command.mappingBit == kUnfilled)
            return commandItem(k, command, Str::CheckMappingBitUnfilled);
    }
    // A node or command outside the slave addresses could only come from a damaged or foreign
    // file; the gateway would poll an address no device can have.
    for (int n = 0; n < std::clamp(subnet.nodeCount, 0, kMaxNodes); ++n) {
        const std::string& address = subnet.nodes[static_cast<std::size_t>(n)].address;
        if (address == kUnfilled)
            return format(Str::CheckNodeAddressUnfilled, {number});
        if (!isSlaveAddress(address))
            return slaveAddressItem(k, address);
    }
    for (int c = 0; c < usedCommands(subnet); ++c)
        if (!isSlaveAddress(commandAt(subnet, c).slaveAddress))
            return slaveAddressItem(k, commandAt(subnet, c).slaveAddress);
    return {};
}

// A parameter report runs the "not complete" text straight into the item, without a separator:
// that is the text users and their documentation know. A slave subnet without its own address is
// refused without a report of its own.
CompletenessResult checkSubnet(const CONFIG& subnet, int k) {
    if (isModbusMaster(subnet)) {
        const std::string gap = masterSubnetGap(subnet, k);
        if (!gap.empty())
            return fail(tr(Str::CheckNotComplete) + gap);
    } else if (protocolOf(subnet) == SubnetProtocol::ModbusSlave && subnet.slaveModeAddress.empty()) {
        return fail();
    }
    return {};
}

}  // namespace

namespace {
FieldbusBufferSizes declaredSizes(const FIELDBUS& fieldbus, const ProjectState& state) {
    const auto chosen = [](const std::string& text) -> std::optional<std::int64_t> {
        return text.empty() ? std::nullopt : std::optional<std::int64_t>(decimalValue(text));
    };
    FieldbusBufferSizes sizes{chosen(fieldbus.inputSize), chosen(fieldbus.outputSize)};
    if (state.flags.hardwareSizedModel) {
        sizes.input = sizes.output = kHardwareSizedBytes;
    } else if (state.flags.commandStatusModel) {
        sizes.input = sizes.output = kCommandStatusBytes;
    } else if ((state.flags.dataFilterModel || state.flags.configDataModel) &&
               fieldbus.configMode == tr(Str::ConfigInputData)) {
        // Empty data declares no bytes at all, so any mapped command is out of range; the sizes
        // never depend on an earlier check of another project.
        const ProfibusConfigSizes parsed = parseProfibusConfigData(configDataBytes(fieldbus.configData));
        sizes.valid = parsed.valid;
        sizes.input = parsed.inputTotal;
        sizes.output = parsed.outputTotal;
    }
    return sizes;
}
}  // namespace

std::optional<FieldbusBufferSizes> fieldbusBufferSizes(const Project& project, const ProjectState& state) {
    if (state.DeviceType == device::EtherNetIP || state.DeviceType == device::FourSubnets)
        return std::nullopt;
    return declaredSizes(project.fieldbus, state);
}

CompletenessResult checkConfiguration(Project& project, const ProjectState& state) {
    const FIELDBUS& fieldbus = project.fieldbus;
    const bool fourSubnets = state.DeviceType == device::FourSubnets;
    if (fourSubnets) {
        for (int k = 1; k <= kSubnetSlots; ++k) {
            CompletenessResult outcome = checkSubnet(project.subnets[static_cast<std::size_t>(k - 1)], k);
            if (!outcome.complete)
                return outcome;
        }
    } else {
        if (state.DeviceType == device::DeviceNet) {
            if (fieldbus.deviceNetAddress == kUnfilled)
                return fail();
            if (fieldbus.inputSize == "160" && (fieldbus.outputSize == "112" || fieldbus.outputSize == "96"))
                return fail(tr(Str::CheckDeviceNetSizes));
        }
        CompletenessResult outcome = checkSubnet(project.subnets[0], 1);
        if (!outcome.complete)
            return outcome;
    }

    CONFIG& subnet1 = project.subnets[0];
    for (int c = 0; c < usedCommands(subnet1); ++c) {
        INSTRUCTION& command = subnet1.commands[static_cast<std::size_t>(c)];
        std::string bytes = completenessCommandBytes(command);
        if (!bytes.empty())
            command.byteCount = std::move(bytes);
    }

    const FieldbusBufferSizes sizes = declaredSizes(fieldbus, state);
    if (!sizes.valid)
        return fail(tr(Str::CheckProfibusConfigData));
    // An empty size reads as 0, as the gateway would take it.
    const std::int64_t inputSize = sizes.input.value_or(0);
    const std::int64_t outputSize = sizes.output.value_or(0);

    if (!fourSubnets) {
        for (int c = 0; c < usedCommands(subnet1); ++c) {
            const INSTRUCTION& command = commandAt(subnet1, c);
            std::int64_t end = std::int64_t{hexValue(command.mappingAddress)} + decimalValue(command.byteCount);
            if (end >= kOutputBufferFirst)
                end -= kOutputBufferFirst;
            if (functionCodeInfo(command.functionCode).read && end > inputSize)
                return fail(format(Str::CheckInputOutOfRange, {command.slaveAddress}));
            if (functionCodeInfo(command.functionCode).write() && end > outputSize)
                return fail(format(Str::CheckOutputOutOfRange, {command.slaveAddress}));
        }
    }
    return {};
}

bool checkConfigurationComplete(Project& project, const ProjectState& state, Prompter& prompter) {
    const CompletenessResult result = checkConfiguration(project, state);
    if (!result.report.empty())
        prompter.message(result.report);
    return result.complete;
}

}  // namespace veltrane
