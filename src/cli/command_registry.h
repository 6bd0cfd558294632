#pragma once
// Sub-commands of veltrane-cli register themselves here; each lives in its own file under commands/.

#include <functional>
#include <string>
#include <vector>

namespace veltrane::cli {

// Returns the process exit code: 0 only on success.
using CommandFunction = std::function<int(const std::vector<std::string>& args)>;

struct Command {
    std::string name;
    std::string usage;  // "new OUT.chg", shown by --help
    CommandFunction run;
};

std::vector<Command>& commands();

struct Registration {
    Registration(std::string name, std::string usage, CommandFunction run) {
        commands().push_back({std::move(name), std::move(usage), std::move(run)});
    }
};

}  // namespace veltrane::cli
