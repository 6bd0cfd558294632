#include "core/model/project_kind.h"

#include "core/strings/strings.h"

#include <algorithm>
#include <array>

namespace veltrane {

namespace {
constexpr std::array<ModelSwitch, 8> kSwitches{{
    {"dataFilterModel", &ModelFlags::dataFilterModel, Str::SwitchDataFilter},
    {"extendedFrameModel", &ModelFlags::extendedFrameModel, Str::SwitchExtendedFrame},
    {"userConfigOnlyModel", &ModelFlags::userConfigOnlyModel, Str::SwitchUserConfigOnly},
    {"hardwareSizedModel", &ModelFlags::hardwareSizedModel, Str::SwitchHardwareSized},
    {"largeBufferModel", &ModelFlags::largeBufferModel, Str::SwitchLargeBuffer},
    {"configDataModel", &ModelFlags::configDataModel, Str::SwitchConfigData},
    {"commandStatusModel", &ModelFlags::commandStatusModel, Str::SwitchCommandStatus},
    {"singleSubnetModel", &ModelFlags::singleSubnetModel, Str::SwitchSingleSubnet},
}};

bool isProfibusLayout(std::int32_t type) {
    return type == device::Profibus || type == device::ProfibusFilter || type == device::Profibus7;
}
}  // namespace

bool isKnownDeviceType(std::int32_t type) { return type >= kFirstDeviceType && type <= kLastDeviceType; }

std::string deviceTypeDescription(std::int32_t type) {
    static constexpr std::array<Str, 8> kNames{Str::DeviceType0, Str::DeviceType1, Str::DeviceType2,
                                               Str::DeviceType3, Str::DeviceType4, Str::DeviceType5,
                                               Str::DeviceType6, Str::DeviceType7};
    if (!isKnownDeviceType(type))
        return format(Str::DeviceTypeUnknown, {std::to_string(type)});
    return tr(kNames[static_cast<std::size_t>(type)]);
}

std::span<const ModelSwitch> modelSwitches() { return kSwitches; }

const ModelSwitch* findModelSwitch(std::string_view name) {
    const auto* found = std::find_if(kSwitches.begin(), kSwitches.end(),
                                     [name](const ModelSwitch& s) { return s.name == name; });
    return found == kSwitches.end() ? nullptr : found;
}

bool anySwitchSet(const ModelFlags& flags) {
    return std::any_of(kSwitches.begin(), kSwitches.end(), [&flags](const ModelSwitch& s) { return flags.*s.flag; });
}

bool switchTakesEffect(const ModelSwitch& modelSwitch, std::int32_t type) {
    const bool ethernet = type == device::EtherNetIP;
    if (modelSwitch.flag == &ModelFlags::singleSubnetModel)
        return ethernet;
    // The serial link's frames and the command filter; the Ethernet image knows byte swaps only.
    if (modelSwitch.flag == &ModelFlags::dataFilterModel || modelSwitch.flag == &ModelFlags::extendedFrameModel)
        return isKnownDeviceType(type) && !ethernet;
    if (modelSwitch.flag == &ModelFlags::userConfigOnlyModel)
        return isKnownDeviceType(type);
    if (modelSwitch.flag == &ModelFlags::largeBufferModel)
        return type == device::DeviceNet;
    // The rows of the PROFIBUS fieldbus item that show sizes, configuration data and status.
    return isProfibusLayout(type);
}

std::optional<std::int32_t> serialDeviceTypeOfCode(int deviceCode) {
    const std::int32_t type = deviceCode - 1;
    if (!isKnownDeviceType(type) || type == device::EtherNetIP)
        return std::nullopt;
    return type;
}

}  // namespace veltrane
