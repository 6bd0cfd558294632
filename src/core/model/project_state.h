#pragma once
// Values that belong to the open project but are not part of its records. They are owned by the
// application (or by a CLI run) and passed by reference; nothing here is global.

#include <cstdint>

namespace veltrane {

inline constexpr std::int32_t kDefaultFormatVersion = 312;

struct ModelFlags {
    bool dataFilterModel = false;
    bool extendedFrameModel = false;
    bool userConfigOnlyModel = false;
    bool hardwareSizedModel = false;
    bool largeBufferModel = false;
    bool configDataModel = false;
    bool commandStatusModel = false;
    bool singleSubnetModel = false;

    bool operator==(const ModelFlags&) const = default;
};

struct ProjectState {
    std::int32_t DeviceType = 0;
    std::int32_t SubnetCount = 2;
    std::int32_t FormatVersion = kDefaultFormatVersion;
    ModelFlags flags;
    bool ProjectModified = false;
    bool ProjectPrepared = false;
    bool UploadedProjectPending = false;

    bool operator==(const ProjectState&) const = default;
};

// Device type codes.
namespace device {
inline constexpr std::int32_t DeviceNet = 0;
inline constexpr std::int32_t Profibus = 1;
inline constexpr std::int32_t FourSubnets = 2;
inline constexpr std::int32_t ProfibusFilter = 3;
inline constexpr std::int32_t EtherNetIP = 4;
inline constexpr std::int32_t ProfibusSlave = 5;
inline constexpr std::int32_t ProfibusUserConfig = 6;
inline constexpr std::int32_t Profibus7 = 7;
}  // namespace device

}  // namespace veltrane
