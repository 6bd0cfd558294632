#pragma once
// The kinds of project a new one can be made as: a device type and model switches, what each is
// called and where a switch changes anything.

#include "core/model/project_state.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace veltrane {

enum class Str : std::uint16_t;

// What a new project is made as. The default is the EtherNet/IP gateway without switches.
struct NewProjectKind {
    std::int32_t deviceType = device::EtherNetIP;
    ModelFlags flags;

    bool operator==(const NewProjectKind&) const = default;
};

inline constexpr std::int32_t kFirstDeviceType = 0;
inline constexpr std::int32_t kLastDeviceType = 7;

bool isKnownDeviceType(std::int32_t type);

// "DeviceNet gateway, one subnet" and the like; a type outside the table by its number.
std::string deviceTypeDescription(std::int32_t type);

struct ModelSwitch {
    std::string_view name;  // as the file's readers and writers call it: "dataFilterModel"
    bool ModelFlags::*flag;
    Str explanation;
};

// The eight switches in the order a file stores them.
std::span<const ModelSwitch> modelSwitches();
const ModelSwitch* findModelSwitch(std::string_view name);
bool anySwitchSet(const ModelFlags& flags);

// Whether the switch changes anything in a project of this device type (a PROFIBUS setting means
// nothing to a DeviceNet gateway). A file may still store it for any type.
bool switchTakesEffect(const ModelSwitch& modelSwitch, std::int32_t deviceType);

// The device type of a serial gateway's device code (code - 1); none for a code that names no
// gateway of the serial link (the EtherNet/IP gateway's and codes outside the table).
std::optional<std::int32_t> serialDeviceTypeOfCode(int deviceCode);

}  // namespace veltrane
