#include "core/model/device_profile.h"

#include "core/strings/strings.h"

#include <array>

namespace veltrane {

namespace {
constexpr StepCaptionIds kDownloadDeviceNet{Str::DlCaptionDeviceNet, Str::DlCaptionModbusParameters,
                                            Str::DlCaptionModbusCommands};
constexpr StepCaptionIds kDownloadProfibus{Str::DlCaptionProfibus, Str::DlCaptionModbusParameters,
                                           Str::DlCaptionModbusCommands};
constexpr StepCaptionIds kDownloadProfibusSubnet{Str::DlCaptionProfibus, Str::DlCaptionSubnetParameters,
                                                 Str::DlCaptionSubnetCommands};
constexpr StepCaptionIds kUploadDeviceNet{Str::UlCaptionDeviceNet, Str::UlCaptionModbusParameters,
                                          Str::UlCaptionModbusCommands};
constexpr StepCaptionIds kUploadProfibus{Str::UlCaptionProfibus, Str::UlCaptionModbusParameters,
                                         Str::UlCaptionModbusCommands};
constexpr StepCaptionIds kUploadProfibusSubnet{Str::UlCaptionProfibus, Str::UlCaptionSubnetParameters,
                                               Str::UlCaptionSubnetCommands};

constexpr std::array<DeviceProfile, 8> kProfiles{{
    {.deviceType = device::DeviceNet,
     .subnets = SubnetProcedure::Single,
     .fieldbus = FieldbusFrame::DeviceNet,
     .downloadSteps = kDownloadDeviceNet,
     .uploadSteps = kUploadDeviceNet,
     .uploadedFieldbusType = Str::FieldbusDeviceNet,
     .firstBaudDefault = true},
    {.deviceType = device::Profibus,
     .subnets = SubnetProcedure::Single,
     .fieldbus = FieldbusFrame::ProfibusShort,
     .profibusSizesMatch = true,
     .downloadSteps = kDownloadProfibus,
     .uploadSteps = kUploadProfibus,
     .uploadedFieldbusType = Str::FieldbusProfibus,
     .firstBaudDefault = true},
    {.deviceType = device::FourSubnets,
     .subnets = SubnetProcedure::FourSubnets,
     .baudIndex = 7,
     .firstBaudDefault = true,
     .commandsPerPackage = 20},
    {.deviceType = device::ProfibusFilter,
     .subnets = SubnetProcedure::Single,
     .fieldbus = FieldbusFrame::ProfibusLong,
     .longSubnetFrame = true,
     .profibusSizesMatch = true,
     .dataFilter = true,
     .downloadSteps = kDownloadProfibusSubnet,
     .uploadSteps = kUploadProfibusSubnet,
     .uploadedFieldbusType = Str::FieldbusProfibus,
     .firstBaudDefault = true,
     .debugTransport = DebugTransport::Serial},
    // Configured over the network; over the serial link its code is a hardware-sized gateway's.
    {.deviceType = device::EtherNetIP,
     .debugTransport = DebugTransport::Ethernet,
     .hardwareSizedAs = device::Profibus},
    {.deviceType = device::ProfibusSlave,
     .subnets = SubnetProcedure::Single,
     .longSubnetFrame = true,
     .downloadSteps = kDownloadProfibus,
     .uploadSteps = kUploadProfibus,
     .uploadedFieldbusType = Str::FieldbusProfibus},
    {.deviceType = device::ProfibusUserConfig,
     .subnets = SubnetProcedure::Single,
     .fieldbus = FieldbusFrame::ProfibusLong,
     .longSubnetFrame = true,
     .downloadSteps = kDownloadProfibus,
     .uploadSteps = kUploadProfibus,
     .uploadedFieldbusType = Str::FieldbusProfibus},
    // Its transfers leave the step lines empty.
    {.deviceType = device::Profibus7,
     .subnets = SubnetProcedure::Single,
     .fieldbus = FieldbusFrame::ProfibusShort,
     .profibusSizesMatch = true,
     .uploadedFieldbusType = Str::FieldbusProfibus,
     .firstBaudDefault = true},
}};

constexpr DeviceProfile kUnknown{};

constexpr bool inTypeOrder() {
    for (std::size_t i = 0; i < kProfiles.size(); ++i)
        if (kProfiles[i].deviceType != static_cast<std::int32_t>(i))
            return false;
    return true;
}
static_assert(inTypeOrder(), "row i is device type i");
} // namespace

const DeviceProfile& deviceProfile(std::int32_t deviceType) {
    if (deviceType < 0 || static_cast<std::size_t>(deviceType) >= kProfiles.size())
        return kUnknown;
    return kProfiles[static_cast<std::size_t>(deviceType)];
}

const DeviceProfile& deviceProfileForCode(int deviceCode) {
    return deviceProfile(deviceCode - 1);
}

bool usesLongSubnetFrame(const ProjectState& state) {
    return deviceProfile(state.DeviceType).longSubnetFrame || state.flags.extendedFrameModel;
}

bool readsLongProfibusReply(const ProjectState& state) {
    return deviceProfile(state.DeviceType).fieldbus == FieldbusFrame::ProfibusLong ||
           state.flags.extendedFrameModel;
}

FieldbusFrame fieldbusFrameWritten(const ProjectState& state) {
    return state.flags.hardwareSizedModel ? FieldbusFrame::None : deviceProfile(state.DeviceType).fieldbus;
}

bool profibusSizesMustMatch(const ProjectState& state) {
    return deviceProfile(state.DeviceType).profibusSizesMatch && !state.flags.commandStatusModel;
}

bool usesDataFilter(const ProjectState& state) {
    return state.flags.dataFilterModel || deviceProfile(state.DeviceType).dataFilter;
}

bool downloadTakesDeviceCode(const ProjectState& state, int deviceCode) {
    return deviceCode - 1 == state.DeviceType ||
           (state.flags.hardwareSizedModel && deviceProfileForCode(deviceCode).hardwareSizedAs.has_value());
}

bool uploadTakesDeviceCode(int deviceCode, bool hardwareSizedModel) {
    return hardwareSizedModel || !deviceProfileForCode(deviceCode).hardwareSizedAs.has_value();
}

} // namespace veltrane
