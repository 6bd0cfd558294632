#pragma once
// The configuration image: an EtherNet/IP gateway's whole configuration in one fixed-size message
// (an 8-byte header and a 1264-byte body). It always describes subnets 1 and 2.

#include "core/link/carried_number.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace veltrane::ethernet {

inline constexpr std::size_t kImageSize = 1272;
inline constexpr std::size_t kImageBodySize = kImageSize - 8;

class ConfigurationImage {
public:
    ConfigurationImage() = default;  // every byte zero

    // What a peer sent, as the image reads it: missing bytes stay zero, bytes past the image are
    // dropped.
    static ConfigurationImage fromReceived(std::span<const std::uint8_t> received);

    std::span<const std::uint8_t, kImageSize> bytes() const { return m_bytes; }
    std::span<std::uint8_t, kImageSize> bytes() { return m_bytes; }

    std::uint32_t commandCode() const;
    // 6 in a download, 5 in a gateway's upload reply; the body is the same.
    void setCommandCode(std::uint32_t code);

    bool operator==(const ConfigurationImage&) const = default;

private:
    std::array<std::uint8_t, kImageSize> m_bytes{};
};

// The image of a download (command code 6, length 1264), from the project's subnets 1 and 2 and
// its Ethernet settings. Command counts outside 0..48 are written as the nearest bound.
ConfigurationImage buildConfigurationImage(const Project& project, const ProjectState& state);

// Every number the image carries, with its item, as buildConfigurationImage writes it: what a
// download checks for numbers wider than their fields.
std::vector<ItemNumber> imageNumbers(const Project& project);

// Writes a received image into the records: device type 4, the Ethernet settings, both subnets'
// settings and commands, and the nodes met in the command tables. It cannot fail; callers that must
// keep the open project on a failed exchange decode into a copy. A command count beyond 0..48 is
// taken as the nearest bound (the image holds 48 records per subnet). The tree is not rebuilt and
// ProjectModified is not set.
void decodeConfigurationImage(const ConfigurationImage& image, Project& project, ProjectState& state);

}  // namespace veltrane::ethernet
