#include "core/link/serial/serial_download.h"
#include "core/model/device_profile.h"
#include "core/model/subnet_protocol.h"

#include "core/link/serial/reply_checks.h"
#include "core/strings/strings.h"

#include <algorithm>
#include <limits>

namespace veltrane::serial {

namespace {
std::string text(int value) {
    return std::to_string(value);
}

StepOutcome expectCode(ByteView reply, std::initializer_list<std::uint8_t> wanted, Str message) {
    const std::uint8_t got = checkDownloadReply(reply).code;
    for (std::uint8_t w : wanted)
        if (got == w)
            return {};
    return stopWith(kindOfRefusal(got), tr(message));
}

Error timeoutError(Str message) {
    return makeError(ErrorKind::Timeout, tr(message));
}
} // namespace

SerialDownload::SerialDownload(const Project& project, const ProjectState& state)
    : m_project(project), m_state(state) {
    add({{buildFixedFrames(m_project).deviceInfo, SettleRule::A},
         [this](ByteView reply) { return onDeviceInfo(reply); },
         timeoutError(Str::SerialDeviceInfoTimeout),
         {}});
}

StepOutcome SerialDownload::onDeviceInfo(ByteView reply) {
    m_firmwareVersion = firmwareVersionOf(reply);
    const DownloadReply checked = checkDownloadReply(reply);
    if (checked.code != code::DeviceInfo)
        return stopWith(kindOfRefusal(checked.code), tr(Str::DlDeviceInfoError));
    m_deviceCode = checked.deviceInfo[0];
    if (!downloadTakesDeviceCode(m_state, m_deviceCode))
        return deviceMismatch();
    planAfterDeviceInfo();
    return {};
}

void SerialDownload::planAfterDeviceInfo() {
    const FixedFrames fixed = buildFixedFrames(m_project);
    const FieldbusFrame written = fieldbusFrameWritten(m_state);
    if (written != FieldbusFrame::None) {
        Bytes frame = written == FieldbusFrame::DeviceNet       ? fixed.deviceNet
                      : written == FieldbusFrame::ProfibusShort ? fixed.profibusShort
                                                                : fixed.profibusLong;
        addNext(
            {{std::move(frame)},
             [](ByteView reply) {
                 // Either write's reply is taken after either frame.
                 return expectCode(reply, {code::WriteDeviceNet, code::WriteProfibus}, Str::DlFieldbusError);
             },
             timeoutError(Str::DlFieldbusTimeout),
             {0}});
    }
    switch (deviceProfile(m_state.DeviceType).subnets) {
    case SubnetProcedure::Single:
        planSingleSubnet();
        break;
    case SubnetProcedure::FourSubnets:
        planFourSubnets();
        break;
    case SubnetProcedure::None:
        break;
    }

    if (const auto value = optionValue(m_project, m_state, m_firmwareVersion))
        addNext({{optionFrame(*value), SettleRule::C, std::chrono::milliseconds{300}, 128},
                 [](ByteView reply) {
                     return isOptionWriteAccepted(reply)
                                ? StepOutcome{}
                                : stopWith(ErrorKind::MalformedReply, tr(Str::SerialOptionError));
                 },
                 timeoutError(Str::SerialOptionTimeout),
                 {}});
    if (exchangesConfigData(m_state, m_firmwareVersion))
        // No reply at all is judged like a wrong one: the gateway's reply is read whatever came.
        addNext({{configDataFrame(m_project.fieldbus), SettleRule::D},
                 [](ByteView reply) {
                     return isConfigDataWriteAccepted(reply)
                                ? StepOutcome{}
                                : stopWith(ErrorKind::MalformedReply, tr(Str::DlConfigDataFailed));
                 },
                 timeoutError(Str::DlConfigDataFailed),
                 {}});
}

void SerialDownload::planSingleSubnet() {
    const SubnetFrames frames = buildSubnetFrames(m_project, 0);
    const bool master = isModbusMaster(m_project.subnets[0]);
    addNext({{usesLongSubnetFrame(m_state) ? frames.parametersLong : frames.parametersShort},
             [](ByteView reply) { return expectCode(reply, {code::WriteSubnet}, Str::DlSubnet1Error); },
             timeoutError(Str::DlSubnetTimeout),
             master ? std::vector<int>{1} : std::vector<int>{1, 2}});
    if (!master)
        return;
    addNext({{frames.clearCommands},
             [](ByteView reply) {
                 StepOutcome outcome;
                 if (checkDownloadReply(reply).code != code::ClearCommands)
                     outcome.notice = makeError(ErrorKind::MalformedReply, tr(Str::DlClearCommandError));
                 return outcome;
             },
             timeoutError(Str::SerialDeviceInfoTimeout),
             frames.commandCount == 0 ? std::vector<int>{2} : std::vector<int>{}});
    for (int j = 0; j < frames.commandCount; ++j)
        addNext({{buildAddCommandFrame(m_project, 0, j)},
                 [j](ByteView reply) {
                     const DownloadReply checked = checkDownloadReply(reply);
                     if (checked.code == code::AddCommand)
                         return StepOutcome{};
                     // Error 3: the gateway takes commands for one slave only.
                     if (checked.code == (code::AddCommand | kNegativeBit) && checked.errorBytes[0] == 3)
                         return stopWith(ErrorKind::NegativeReply, tr(Str::DlSingleSlaveOnly));
                     return stopWith(kindOfRefusal(checked.code),
                                     format(Str::DlSubnet1CommandError, {text(j)}));
                 },
                 timeoutError(Str::DlAddCommandTimeout),
                 j + 1 == frames.commandCount ? std::vector<int>{2} : std::vector<int>{}});
}

void SerialDownload::planFourSubnets() {
    for (int k = 1; k <= kSubnetLines; ++k) {
        const SubnetFrames frames = buildSubnetFrames(m_project, k - 1);
        const bool master = isModbusMaster(m_project.subnets[static_cast<std::size_t>(k - 1)]);
        const int line = kStepLines + k - 1;
        const bool lastIsParameters = !master;
        addNext({{usesLongSubnetFrame(m_state) ? frames.parametersLong : frames.parametersShort},
                 [k](ByteView reply) {
                     const std::uint8_t got = checkDownloadReply(reply).code;
                     return got == code::WriteSubnet
                                ? StepOutcome{}
                                : stopWith(kindOfRefusal(got), format(Str::DlSubnetError, {text(k)}));
                 },
                 timeoutError(Str::DlSubnetTimeout),
                 lastIsParameters ? std::vector<int>{line} : std::vector<int>{}});
        if (!master)
            continue;
        addNext({{frames.clearCommands},
                 [k](ByteView reply) {
                     const std::uint8_t got = checkDownloadReply(reply).code;
                     return got == code::ClearCommands
                                ? StepOutcome{}
                                : stopWith(kindOfRefusal(got),
                                           format(Str::DlClearSubnetCommandError, {text(k)}));
                 },
                 timeoutError(Str::SerialDeviceInfoTimeout),
                 frames.commandCount == 0 ? std::vector<int>{line} : std::vector<int>{}});
        for (int j = 0; j < frames.commandCount; ++j)
            addNext({{buildAddCommandFrame(m_project, k - 1, j)},
                     [k, j](ByteView reply) {
                         const std::uint8_t got = checkDownloadReply(reply).code;
                         if (got == code::AddCommand)
                             return StepOutcome{};
                         return stopWith(kindOfRefusal(got),
                                         format(Str::DlSubnetCommandErrorHead, {text(k)}) +
                                             format(Str::DlSubnetCommandErrorTail, {text(j)}));
                     },
                     timeoutError(Str::DlAddCommandTimeout),
                     j + 1 == frames.commandCount ? std::vector<int>{line} : std::vector<int>{}});
    }
}

std::vector<ItemNumber> downloadNumbers(const Project& project, const ProjectState& state) {
    std::vector<ItemNumber> numbers;
    const std::string fieldbusItem = tr(Str::TreeFieldbus);
    if (fieldbusFrameWritten(state) == FieldbusFrame::DeviceNet)
        numbers.push_back({fieldbusItem, deviceNetAddressNumber(project.fieldbus)});
    int subnets = 0;
    switch (deviceProfile(state.DeviceType).subnets) {
    case SubnetProcedure::Single: subnets = 1; break;
    case SubnetProcedure::FourSubnets: subnets = kSubnetLines; break;
    case SubnetProcedure::None: break;
    }
    const std::size_t blockBytes = usesLongSubnetFrame(state) ? kLongBlock : kShortBlock;
    for (int k = 0; k < subnets; ++k) {
        for (const CarriedNumber& number : subnetBlockNumbers(project, k))
            if (number.offset + static_cast<std::size_t>(number.width) <= blockBytes)
                numbers.push_back({subnetItemPath(k), number});
        const CONFIG& subnet = project.subnets[static_cast<std::size_t>(k)];
        if (!isModbusMaster(subnet))
            continue;
        for (int j = 0; j < std::clamp(subnet.commandCount, 0, kMaxCommands); ++j)
            for (const CarriedNumber& number : commandNumbers(subnet.commands[static_cast<std::size_t>(j)]))
                numbers.push_back({commandItemPath(subnet, k, j), number});
    }
    // The option byte carries the timeout count only when it is not the double-fault switch and
    // the input data are cleared; the firmware version is not known yet, so a new one is assumed.
    const std::optional<std::uint8_t> option = optionValue(project, state, std::numeric_limits<int>::max());
    if (option && !state.flags.hardwareSizedModel && project.subnets[0].timeoutAction != tr(Str::TimeoutHoldChoice))
        numbers.push_back({fieldbusItem, timeoutTimesNumber(project)});
    return numbers;
}

StepCaptions downloadCaptions(int deviceCode) {
    const DeviceProfile& profile = deviceProfileForCode(deviceCode);
    return stepCaptions(profile.subnets, profile.downloadSteps, Str::DlCaptionSubnet);
}

} // namespace veltrane::serial
