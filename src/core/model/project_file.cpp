// PLACEHOLDER until the project file codec lands: every operation fails.
#include "model/project_file.h"

namespace veltrane {

std::vector<std::uint8_t> encodeProjectFile(const Project&, const ProjectState&) { return {}; }

ReadOutcome decodeProjectFile(std::span<const std::uint8_t>, const ProjectState&) {
    return {std::nullopt, "Failed to open document."};
}

void adoptLoadedProject(const LoadedProject&, Project&, ProjectState&) {}

ReadOutcome readProjectFile(const std::string&, const ProjectState&) {
    return {std::nullopt, "Failed to open document."};
}

std::string writeProjectFile(const std::string&, const Project&, const ProjectState&) {
    return "Failed to save document.";
}

}  // namespace veltrane
