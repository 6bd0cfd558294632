#include "core/model/project_file.h"
#include "core/model/record_fields.h"

#include "core/model/archive_reader.h"
#include "core/model/archive_writer.h"
#include "core/model/file_io.h"
#include "core/strings/strings.h"

#include <algorithm>
#include <array>

namespace veltrane {

namespace {

constexpr std::uint32_t kProductMarker = 30202;
constexpr std::uint16_t kSchema = 1;
constexpr std::string_view kFieldbusClass = "FIELDBUS";
constexpr std::string_view kConfigClass = "CONFIG";
constexpr std::array<std::string_view, 2> kKnownClasses{kFieldbusClass, kConfigClass};
// From this version on the fieldbus record's last two texts close the file.
constexpr std::int32_t kTrailingTextsVersion = 246;

// The first fields of the tail that each format version added.
enum TailVersion : std::uint32_t {
    kDataFilter = 233,
    kUserConfigOnly = 243,
    kHardwareSized = 244,
    kLargeBuffer = 245,
    kConfigData = 246,
    kCommandStatus = 300,
    kSingleSubnet = 312,
};

// Counts decide how many slots a body fills; the records have 48 of each.
std::int32_t clampCount(std::int32_t count, int capacity) { return std::clamp(count, 0, capacity); }

int storedSubnets(const ProjectState& state) { return std::clamp(state.SubnetCount, 0, kSubnetSlots); }

// Fields of the fieldbus body in file order (configMode and configData close the file instead).
template <typename Fieldbus, typename Visit>
void fieldbusBody(Fieldbus& f, Visit&& visit) {
    for (auto* text : {&f.fieldbusType, &f.deviceNetAddress, &f.deviceNetBaudRate, &f.inputSize, &f.outputSize,
                       &f.ipAssignMode, &f.ipAddress, &f.subnetMask, &f.defaultGateway, &f.dns1, &f.dns2})
        visit(*text);
}

// The texts of a subnet body between the protocol type and the counts, in file order.
template <typename Config, typename Visit>
void subnetTexts(Config& c, Visit&& visit) {
    for (auto* text : {&c.protocolType,
                       &c.baudRate, &c.dataBits, &c.parity, &c.stopBits, &c.transmissionMode, &c.responseTimeout,
                       &c.pollDelay, &c.outputMode, &c.outputPulse, &c.scanRate,
                       &c.slaveBaudRate, &c.slaveDataBits, &c.slaveParity, &c.slaveStopBits, &c.slaveModeAddress,
                       &c.slaveTransmissionMode,
                       &c.userBaudRate, &c.userDataBits, &c.userParity, &c.userStopBits, &c.frameType,
                       &c.charInterval, &c.frameLength, &c.autoSend, &c.autoSendPeriod, &c.crcCheck,
                       &c.commInterface, &c.debugInterface, &c.validDataLength,
                       &c.customBaudRate, &c.customDataBits, &c.customParity, &c.customStopBits})
        visit(*text);
}

// A command's and a node's texts go to the file in the order of their records.
template <typename Record, typename Fields, typename Visit>
void recordTexts(Record& record, const Fields& fields, Visit&& visit) {
    for (const auto& field : fields)
        visit(record.*(field.member));
}

void writeSubnet(ArchiveWriter& out, const CONFIG& subnet, const ProjectState& state) {
    const auto version = static_cast<std::uint32_t>(state.FormatVersion);
    const ModelFlags& flags = state.flags;
    const auto text = [&](const std::string& value) { out.writeText(value); };

    out.writeI32(state.FormatVersion);
    subnetTexts(subnet, text);
    const std::int32_t nodes = clampCount(subnet.nodeCount, kMaxNodes);
    const std::int32_t commands = clampCount(subnet.commandCount, kMaxCommands);
    out.writeI32(nodes);
    out.writeI32(commands);
    for (std::size_t n = 0; n < static_cast<std::size_t>(nodes); ++n)
        recordTexts(subnet.nodes[n], kNodeFields, text);
    for (std::size_t c = 0; c < static_cast<std::size_t>(commands); ++c) {
        recordTexts(subnet.commands[c], kCommandFields, text);
        out.writeI32(subnet.commands[c].nodeIndex);
    }

    if (version >= kDataFilter) {
        out.writeBool(flags.dataFilterModel);
        out.writeBool(flags.extendedFrameModel);
    }
    if (version >= kUserConfigOnly)
        out.writeBool(flags.userConfigOnlyModel);
    if (version >= kHardwareSized) {
        out.writeBool(flags.hardwareSizedModel);
        out.writeText(subnet.doubleFaultClear);
    }
    if (version >= kLargeBuffer)
        out.writeBool(flags.largeBufferModel);
    if (version >= kConfigData)
        out.writeBool(flags.configDataModel);
    if (version >= kCommandStatus) {
        out.writeBool(flags.commandStatusModel);
        out.writeText(subnet.commandStatus);
        out.writeText(subnet.timeoutAction);
        out.writeText(subnet.timeoutTimes);
    }
    if (version >= kSingleSubnet) {
        out.writeBool(flags.singleSubnetModel);
        out.writeText(subnet.startDelimiter);
        out.writeText(subnet.endDelimiter);
    }
}

// Reads one subnet body into an empty record; the switches and the version go to `loaded`.
void readSubnet(ArchiveReader& in, CONFIG& subnet, LoadedProject& loaded) {
    ModelFlags& flags = loaded.flags;
    // Every subnet starts from switches that its own tail may set; singleSubnetModel is only
    // replaced by a tail that holds it.
    const bool singleSubnet = flags.singleSubnetModel;
    flags = ModelFlags{};
    flags.singleSubnetModel = singleSubnet;

    loaded.FormatVersion = in.readI32();
    const auto version = static_cast<std::uint32_t>(loaded.FormatVersion);
    subnetTexts(subnet, [&](std::string& value) { value = in.readText(); });
    subnet.nodeCount = in.readI32();
    subnet.commandCount = in.readI32();
    if (subnet.nodeCount != clampCount(subnet.nodeCount, kMaxNodes) ||
        subnet.commandCount != clampCount(subnet.commandCount, kMaxCommands)) {
        in.failFormat();
        return;
    }
    const auto read = [&](std::string& value) { value = in.readText(); };
    for (std::size_t n = 0; n < static_cast<std::size_t>(subnet.nodeCount); ++n)
        recordTexts(subnet.nodes[n], kNodeFields, read);
    for (std::size_t c = 0; c < static_cast<std::size_t>(subnet.commandCount); ++c) {
        recordTexts(subnet.commands[c], kCommandFields, read);
        subnet.commands[c].nodeIndex = in.readI32();
    }

    if (version >= kDataFilter) {
        flags.dataFilterModel = in.readBool();
        flags.extendedFrameModel = in.readBool();
    }
    if (version >= kUserConfigOnly)
        flags.userConfigOnlyModel = in.readBool();
    if (version >= kHardwareSized) {
        flags.hardwareSizedModel = in.readBool();
        subnet.doubleFaultClear = in.readText();
    }
    if (version >= kLargeBuffer)
        flags.largeBufferModel = in.readBool();
    if (version >= kConfigData)
        flags.configDataModel = in.readBool();
    if (version >= kCommandStatus) {
        flags.commandStatusModel = in.readBool();
        subnet.commandStatus = in.readText();
        subnet.timeoutAction = in.readText();
        subnet.timeoutTimes = in.readText();
    }
    if (version >= kSingleSubnet) {
        flags.singleSubnetModel = in.readBool();
        subnet.startDelimiter = in.readText();
        subnet.endDelimiter = in.readText();
    }
}

void convertOldSpelling(std::string& text, Str oldSpelling, Str current) {
    if (text == tr(oldSpelling))
        text = tr(current);
}

}  // namespace

std::vector<std::uint8_t> encodeProjectFile(const Project& project, const ProjectState& state) {
    ArchiveWriter out;
    out.writeI32(state.DeviceType);
    // A single-subnet gateway's files carry no product marker.
    if (!state.flags.singleSubnetModel)
        out.writeU32(kProductMarker);

    out.writeObjectTag(kFieldbusClass, kSchema);
    fieldbusBody(project.fieldbus, [&](const std::string& value) { out.writeText(value); });
    for (int k = 0; k < storedSubnets(state); ++k) {
        out.writeObjectTag(kConfigClass, kSchema);
        writeSubnet(out, project.subnets[static_cast<std::size_t>(k)], state);
    }
    if (state.FormatVersion >= kTrailingTextsVersion) {
        out.writeText(project.fieldbus.configMode);
        out.writeText(project.fieldbus.configData);
    }
    return out.takeBytes();
}

Result<LoadedProject> decodeProjectFile(std::span<const std::uint8_t> bytes, const ProjectState& current) {
    LoadedProject loaded;
    loaded.FormatVersion = current.FormatVersion;
    loaded.flags = current.flags;
    loaded.DeviceType = current.DeviceType;
    if (bytes.empty()) {
        loaded.emptyFile = true;
        return loaded;
    }
    ArchiveReader in(bytes);
    loaded.DeviceType = in.readI32();
    // The marker's presence is told by the bytes themselves: what follows the device type is
    // either 30202 or the fieldbus tag 0xFFFF 0x0001, which read as one integer is 0x0001FFFF.
    std::uint32_t next = 0;
    if (in.peekU32(next) && next == kProductMarker)
        in.skip(4);

    // Objects met so far by their stream index, so that a reference to one reads as a copy.
    std::vector<std::pair<std::uint32_t, const CONFIG*>> subnetObjects;
    if (!in.readObjectTag(kFieldbusClass, kSchema, kKnownClasses).isNew)
        in.failFormat();  // the fieldbus cannot refer to an earlier object
    fieldbusBody(loaded.project.fieldbus, [&](std::string& value) { value = in.readText(); });

    const int count = storedSubnets(current);
    for (int k = 0; k < count && !in.failed(); ++k) {
        CONFIG& subnet = loaded.project.subnets[static_cast<std::size_t>(k)];
        const ArchiveReader::ObjectTag tag = in.readObjectTag(kConfigClass, kSchema, kKnownClasses);
        if (tag.isNew) {
            readSubnet(in, subnet, loaded);
            subnetObjects.emplace_back(tag.index, &subnet);
        } else {
            const auto earlier = std::find_if(subnetObjects.begin(), subnetObjects.end(),
                                              [&](const auto& entry) { return entry.first == tag.index; });
            if (earlier == subnetObjects.end())
                in.failFormat();  // a reference to an object that is no subnet read before
            else
                subnet = *earlier->second;
        }
    }
    loaded.subnetCount = count;

    if (loaded.FormatVersion >= kTrailingTextsVersion) {
        loaded.project.fieldbus.configMode = in.readText();
        loaded.project.fieldbus.configData = in.readText();
    }
    if (in.failed())
        return in.status().error();
    return loaded;
}

void adoptLoadedProject(const LoadedProject& loaded, Project& project, ProjectState& state) {
    // Nothing is read from an empty file: the records and values stay, and the initial update
    // that follows decides whether they become a new project.
    if (loaded.emptyFile)
        return;
    state.DeviceType = loaded.DeviceType;
    state.FormatVersion = loaded.FormatVersion;
    state.flags = loaded.flags;

    project.fieldbus = loaded.project.fieldbus;
    convertOldSpelling(project.fieldbus.ipAssignMode, Str::IpManualAssignOld, Str::IpManuallyAssign);
    const int count = std::clamp(loaded.subnetCount, 0, kSubnetSlots);
    for (std::size_t k = 0; k < static_cast<std::size_t>(count); ++k) {
        CONFIG& subnet = project.subnets[k];
        subnet = loaded.project.subnets[k];
        for (INSTRUCTION& command : subnet.commands) {
            convertOldSpelling(command.filterOrSwap, Str::SwapNoneOld, Str::SwapNone);
            convertOldSpelling(command.filterOrSwap, Str::SwapTwoBytesOld, Str::SwapTwoBytes);
            convertOldSpelling(command.filterOrSwap, Str::SwapFourBytesOld, Str::SwapFourBytes);
        }
    }
    state.ProjectPrepared = true;
}

Result<LoadedProject> readProjectFile(const std::string& path, const ProjectState& current) {
    const Result<std::vector<std::uint8_t>> bytes = readWholeFile(path, kMaxProjectFileBytes);
    if (!bytes && bytes.kind() == ErrorKind::Refused)
        return makeError(ErrorKind::Refused, format(Str::FileProjectTooLarge, {path}));
    if (!bytes)
        return bytes.error();
    return decodeProjectFile(*bytes, current);
}

Status writeProjectFile(const std::string& path, const Project& project, const ProjectState& state) {
    return writeFileAtomically(path, encodeProjectFile(project, state));
}

}  // namespace veltrane
