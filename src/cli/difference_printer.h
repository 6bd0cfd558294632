#pragma once
// The list of differences that diff, compare and download --verify print.

#include "core/compare/project_diff.h"

#include <ostream>
#include <vector>

namespace veltrane::cli {

// The exit code of a comparison that could not read a side (a damaged file, a gateway that did not answer).
inline constexpr int kCompareTrouble = 2;
// The exit code of a download whose read-back differs from what was written.
inline constexpr int kWrittenButDifferent = 3;
// The line before that list, on standard error.
inline constexpr const char* kReadBackDiffers = "the configuration read back differs from the one written:";

// One line per difference, or {"equal": ..., "differences": [...]}.
void printDifferences(const std::vector<ProjectDifference>& differences, bool json, std::ostream& out);

}  // namespace veltrane::cli
