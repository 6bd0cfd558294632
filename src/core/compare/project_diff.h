#pragma once
// The differences between two projects, item by item, for `diff`, the comparison with a gateway
// and the check after a download. Items are named by their tree paths and values by the titles of
// the grid rows that show them, both taken from an editor over each project, so the names are
// always the ones the window shows.

#include "core/model/project_state.h"
#include "core/model/records.h"

#include <string>
#include <vector>

namespace veltrane {

struct ProjectDifference {
    enum class Only { Neither, A, B };

    std::string item;  // tree path; empty for the project-wide values (device type, switches)
    std::string row;   // the grid row's title, or the field's name where no row shows it
    std::string a;
    std::string b;
    Only only = Only::Neither;  // an item that one side lacks; row and values are then empty

    bool operator==(const ProjectDifference&) const = default;
};

struct ProjectSide {
    const Project& project;
    const ProjectState& state;
};

// Every saved field compared as stored. Nodes are matched by slave address; the commands of a
// matched node are aligned so that a command added or removed is one entry and the commands around
// it still pair up. A node on one side only is one entry, its commands with it.
std::vector<ProjectDifference> diffProjects(const ProjectSide& a, const ProjectSide& b);

// "PATH: TITLE: A -> B" or "PATH: only in A", one line each.
std::string differenceLine(const ProjectDifference& difference);

}  // namespace veltrane
