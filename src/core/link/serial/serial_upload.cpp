#include "core/link/serial/serial_upload.h"

#include "core/link/serial/upload_decode.h"
#include "core/model/device_profile.h"
#include "core/model/project_kind.h"
#include "core/strings/strings.h"

#include <algorithm>

namespace veltrane::serial {

namespace {
constexpr std::chrono::milliseconds kPackageTimeout{1000};
constexpr std::size_t kPackageBuffer = 250;
constexpr std::size_t kOptionBuffer = 128;

std::string text(int value) {
    return std::to_string(value);
}
Error timeoutError(Str message) {
    return makeError(ErrorKind::Timeout, tr(message));
}
} // namespace

int commandPackages(const DeviceProfile& profile, int commandCount) {
    // A single-subnet gateway is asked for one package even when it holds no command.
    if (commandCount == 0)
        return profile.subnets == SubnetProcedure::FourSubnets ? 0 : 1;
    return (commandCount - 1) / profile.commandsPerPackage + 1;
}

SerialUpload::SerialUpload(const ProjectState& state, Base base)
    : m_state(state), m_base(base), m_context(UploadContext::of(state)) {
    if (m_base == Base::GatewayType) {
        m_state.flags = ModelFlags{};
        m_context = UploadContext::of(m_state);
        // The device information of every code is taken apart, so that a code naming no serial
        // gateway is told as such rather than as a damaged reply.
        m_context.hardwareSizedModel = true;
    }
    add({{requestWithoutData(code::DeviceInfo), SettleRule::A},
         [this](ByteView reply) { return onDeviceInfo(reply); },
         timeoutError(Str::SerialDeviceInfoTimeout),
         {}});
}

SerialUpload::SerialUpload(const ProjectState& state, UploadBuffers gathered)
    : m_state(state), m_context(UploadContext::of(state)), m_buffers(std::move(gathered)) {}

StepOutcome SerialUpload::onDeviceInfo(ByteView reply) {
    m_firmwareVersion = firmwareVersionOf(reply);
    const std::uint8_t got = checkUploadReply(reply, m_context, m_buffers);
    if (got != code::DeviceInfo)
        return stopWith(kindOfRefusal(got), tr(Str::UlDeviceInfoError));
    m_deviceCode = m_buffers.deviceInfo[0];
    if (m_base == Base::GatewayType) {
        const std::optional<std::int32_t> type = serialDeviceTypeOfCode(m_deviceCode);
        if (!type) {
            StepOutcome refused = deviceMismatch();
            refused.error = makeError(ErrorKind::DeviceMismatch, format(Str::UlNoSerialType, {text(m_deviceCode)}));
            return refused;
        }
        m_state.DeviceType = *type;
        m_context = UploadContext::of(m_state);
    }
    if (m_deviceCode - 1 != m_state.DeviceType)
        return deviceMismatch();
    planAfterDeviceInfo();
    return {};
}

void SerialUpload::planAfterDeviceInfo() {
    const DeviceProfile& profile = deviceProfileForCode(m_deviceCode);
    if (profile.fieldbus != FieldbusFrame::None)
        addNext({{requestWithoutData(profile.fieldbus == FieldbusFrame::DeviceNet ? code::ReadDeviceNet
                                                                                  : code::ReadProfibus)},
                 [this](ByteView reply) {
                     // Either read's reply is taken after either request.
                     const std::uint8_t got = checkUploadReply(reply, m_context, m_buffers);
                     return got == code::ReadDeviceNet || got == code::ReadProfibus
                                ? StepOutcome{}
                                : stopWith(kindOfRefusal(got), tr(Str::UlFieldbusError));
                 },
                 timeoutError(Str::UlFieldbusTimeout),
                 {0}});
    switch (profile.subnets) {
    case SubnetProcedure::Single:
        planSubnet(0, false);
        break;
    case SubnetProcedure::FourSubnets:
        for (int k = 0; k < kWireSubnets; ++k)
            planSubnet(k, true);
        break;
    case SubnetProcedure::None:
        break;
    }

    if (m_state.flags.hardwareSizedModel || (m_state.flags.commandStatusModel && m_firmwareVersion >= 40))
        addNext({{requestWithoutData(code::ReadOption), SettleRule::C, std::chrono::milliseconds{300},
                  kOptionBuffer},
                 [this](ByteView reply) {
                     const auto value = checkOptionReply(reply);
                     if (!value)
                         return stopWith(ErrorKind::MalformedReply, tr(Str::SerialOptionError));
                     m_buffers.option = *value;
                     return StepOutcome{};
                 },
                 timeoutError(Str::SerialOptionTimeout),
                 {}});
    if (exchangesConfigData(m_state, m_firmwareVersion))
        addNext({{requestWithoutData(code::ReadConfigData), SettleRule::D},
                 [this](ByteView reply) {
                     auto bytes = checkConfigDataReply(reply);
                     if (!bytes)
                         return stopWith(ErrorKind::MalformedReply, tr(Str::UlConfigDataFailed));
                     m_buffers.configData = std::move(*bytes);
                     return StepOutcome{};
                 },
                 timeoutError(Str::UlConfigDataFailed),
                 {}});
}

void SerialUpload::planSubnet(int subnet, bool fourSubnets) {
    const auto k = static_cast<std::size_t>(subnet);
    const int line = fourSubnets ? kStepLines + subnet : 2;
    // The line is set by the last step of the subnet; which step that is shows only once the
    // parameters (and the count) have arrived, so the reading steps hand it on.
    addNext({{readSubnetRequest(subnet)},
             [this, subnet, k, fourSubnets, line](ByteView reply) {
                 const std::uint8_t got = checkUploadReply(reply, m_context, m_buffers);
                 if (got != code::ReadSubnet)
                     return stopWith(kindOfRefusal(got), fourSubnets
                                                             ? format(Str::UlSubnetNError, {text(subnet + 1)})
                                                             : tr(Str::UlSubnetError));
                 StepOutcome outcome;
                 if (!fourSubnets)
                     outcome.linesDone.push_back(1);
                 if (m_buffers.blocks[k][0] != 0) {
                     outcome.linesDone.push_back(line);
                     return outcome;
                 }
                 addNext({{readCommandCountRequest(subnet)},
                          [this, subnet, fourSubnets, line](ByteView countReply) {
                              const std::uint8_t gotCount =
                                  checkUploadReply(countReply, m_context, m_buffers);
                              if (gotCount != code::ReadCommandCount)
                                  return stopWith(kindOfRefusal(gotCount),
                                                  fourSubnets
                                                      ? format(Str::UlSubnetNCommandError, {text(subnet + 1)})
                                                      : tr(Str::UlCountError));
                              StepOutcome counted;
                              if (planPackages(subnet, fourSubnets) == 0)
                                  counted.linesDone.push_back(line);
                              return counted;
                          },
                          timeoutError(Str::UlCountTimeout),
                          {}});
                 return outcome;
             },
             timeoutError(Str::UlSubnetTimeout),
             {}});
}

int SerialUpload::planPackages(int subnet, bool fourSubnets) {
    const int count = m_buffers.commandCounts[static_cast<std::size_t>(subnet)];
    const int packages = commandPackages(deviceProfileForCode(m_deviceCode), count);
    const int line = fourSubnets ? kStepLines + subnet : 2;
    const int perPackage = deviceProfileForCode(m_deviceCode).commandsPerPackage;
    for (int p = 0; p < packages; ++p) {
        // Every package but the last is full; one with fewer records would leave commands unread.
        const auto expected = static_cast<std::size_t>(std::clamp(count - p * perPackage, 0, perPackage));
        addNext({{readCommandPackageRequest(subnet, p), SettleRule::B, kPackageTimeout, kPackageBuffer},
                 [this, subnet, p, fourSubnets, expected](ByteView reply) {
                     const std::uint8_t got = checkUploadReply(reply, m_context, m_buffers);
                     if (got == code::ReadCommandPackage && packageRecordCount(reply) >= expected)
                         return StepOutcome{};
                     return stopWith(got == code::ReadCommandPackage ? ErrorKind::MalformedReply : kindOfRefusal(got),
                                     fourSubnets
                                         ? format(Str::UlSubnetNPackageError, {text(subnet + 1), text(p)})
                                         : format(Str::UlPackageError, {text(p)}));
                 },
                 timeoutError(Str::UlPackageTimeout),
                 p + 1 == packages ? std::vector<int>{line} : std::vector<int>{}});
    }
    return packages;
}

void SerialUpload::applyTo(Project& project, ProjectState& state) const {
    applyUpload(m_buffers, project, state);
}

StepCaptions uploadCaptions(int deviceCode) {
    const DeviceProfile& profile = deviceProfileForCode(deviceCode);
    return stepCaptions(profile.subnets, profile.uploadSteps, Str::UlCaptionSubnet);
}

} // namespace veltrane::serial
