#pragma once
// Project files (.chg): the codec and the file operations around it.

#include "core/common/result.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace veltrane {

// What a file holds, read into a temporary so that a failed open changes nothing.
struct LoadedProject {
    bool emptyFile = false;  // a zero-length file: nothing is read and the records stay as they are
    Project project;         // node and command slots beyond the counts hold empty texts
    std::int32_t subnetCount = 0;  // subnets read into project.subnets; the others stay untouched
    std::int32_t DeviceType = 0;
    std::int32_t FormatVersion = kDefaultFormatVersion;
    ModelFlags flags;

    bool operator==(const LoadedProject&) const = default;
};

// The bytes of a project file for the records and values as they stand.
std::vector<std::uint8_t> encodeProjectFile(const Project& project, const ProjectState& state);

// Reads a file's bytes. `current` supplies SubnetCount and the singleSubnetModel value that a file
// older than that switch keeps. The error is one of the format messages (no file name involved).
Result<LoadedProject> decodeProjectFile(std::span<const std::uint8_t> bytes, const ProjectState& current);

// Makes a loaded project the open one: records (with the old spellings converted), DeviceType,
// FormatVersion and the model switches; ProjectPrepared becomes true, ProjectModified is kept.
void adoptLoadedProject(const LoadedProject& loaded, Project& project, ProjectState& state);

// Real projects are kilobytes; anything larger than this is refused before it is read.
inline constexpr std::uint64_t kMaxProjectFileBytes = 64ull * 1024 * 1024;

// Reads a file from disk; errors name the file ("%1 was not found." and the like). A file larger
// than kMaxProjectFileBytes is refused (kind Refused) without being read.
Result<LoadedProject> readProjectFile(const std::string& path, const ProjectState& current);

// Writes a file atomically: the previous file survives any failure. Does not touch ProjectModified.
Status writeProjectFile(const std::string& path, const Project& project, const ProjectState& state);

}  // namespace veltrane
