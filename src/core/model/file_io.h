#pragma once
// Whole-file reads and atomic whole-file writes with POSIX calls. Failures come back as the errno
// value of the call that failed, so that the caller can name the cause.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace veltrane {

// 0 on success, else an errno value. Anything but a regular file is refused with EACCES, so that a
// directory, a pipe or a device never blocks or floods the reader.
int readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes);

// True when the path names an existing directory.
bool isDirectory(const std::string& path);

// Writes the bytes to a temporary file next to the target, flushes them to the disk and renames
// the temporary over the target, so the target is either the old file or the complete new one.
// 0 on success, else an errno value; the temporary never outlives a failure.
int writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace veltrane
