#pragma once
// Whole-file reads and atomic whole-file writes with POSIX calls. Every file the programs read or
// write whole (projects, templates, workbooks, pictures) goes through these two functions, so all
// of them follow symbolic links, refuse odd files and survive a full disk in the same way.
// Failures carry the message that names the file ("Disk full while accessing %1." and the like).

#include "core/common/result.h"

#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <vector>

namespace veltrane {

inline constexpr std::uint64_t kNoSizeLimit = std::numeric_limits<std::uint64_t>::max();

// The whole file. Anything but a regular file (a directory, a pipe, a device) is refused at once
// as access denied, so that it never blocks or floods the reader. A file larger than `maxBytes`
// is refused with the kind Refused before anything is read. Other failures have the kind Io.
Result<std::vector<std::uint8_t>> readWholeFile(const std::string& path, std::uint64_t maxBytes = kNoSizeLimit);

// True when the path names an existing directory.
bool isDirectory(const std::string& path);

// Whether a save may go to `path`: anything that exists there and is not a regular file once
// symbolic links are followed (a FIFO, a device, a socket) is refused with the kind Refused, a
// directory as access denied. Nothing is opened, so a FIFO never blocks the check.
Status checkSaveTarget(const std::string& path);

// Writes the bytes to a temporary file next to the target, flushes them to the disk and renames
// the temporary over the target, so the target is either the old file or the complete new one and
// the temporary never outlives a failure. What checkSaveTarget refuses is refused before anything
// is written. A symbolic link is followed to the file it names (which is created when the link
// dangles) and stays a link; a loop of links is refused. The temporary's name is kept within the
// file system's limit, so any valid file name can be saved.
Status writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace veltrane
