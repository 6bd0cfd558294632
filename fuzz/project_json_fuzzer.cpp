// Feeds arbitrary bytes to the reader of a project's JSON form. What it accepts must encode as a
// project file that reads back to the same records.

#include "core/json/project_json.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace veltrane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Result<JsonProject> read = readProjectJson(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!read)
        return 0;
    Project project;
    ProjectState state;
    state.SubnetCount = read->SubnetCount;
    adoptLoadedProject(read->loaded, project, state);
    const std::vector<std::uint8_t> bytes = encodeProjectFile(project, state);
    const Result<LoadedProject> back = decodeProjectFile(bytes, state);
    if (!back)
        std::abort();
    const int subnets = std::clamp(state.SubnetCount, 0, kSubnetSlots);
    for (int k = 0; k < subnets; ++k)
        if (back->project.subnets[static_cast<std::size_t>(k)].nodeCount !=
            project.subnets[static_cast<std::size_t>(k)].nodeCount)
            std::abort();
    return 0;
}
