#pragma once
// Sub-commands of veltrane-cli register themselves here; each lives in its own file under commands/.
// A command declares its positionals and options on its own CLI11 subcommand. The parser checks
// them before the command runs: --help prints the command's help (exit 0), and an unknown option,
// a missing argument or a value that is not allowed prints the command's usage (exit 2).

#include <CLI/CLI.hpp>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace veltrane::cli {

// What runs once the command line is parsed; returns the process exit code, 0 only on success.
using CommandRun = std::function<int()>;
// Declares the command's arguments on its subcommand, bound to state that the returned run reads.
using CommandSetup = std::function<CommandRun(CLI::App& command)>;

struct Command {
    std::string name;
    std::string usage;    // "new OUT.chg": on a wrong command line and atop --help
    std::string summary;  // one line of the list of commands
    CommandSetup setup;
};

std::vector<Command>& commands();

struct Registration {
    Registration(std::string name, std::string usage, std::string summary, CommandSetup setup) {
        commands().push_back({std::move(name), std::move(usage), std::move(summary), std::move(setup)});
    }
};

// An option that takes exactly one value at each occurrence and may be given any number of times
// ("--answer ok --answer no"); a value may start with '-' as long as it names no option.
inline CLI::Option* addRepeatable(CLI::App& command, const std::string& name, const std::string& description) {
    return command.add_option(name, description)
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->allow_extra_args(false);
}

// Every option of the command line in the order it was given, with its value ("" for a flag),
// for commands whose options are steps that run in order. Positionals are left out.
inline void forEachInOrder(const CLI::App& command,
                           const std::function<void(const CLI::Option&, const std::string&)>& visit) {
    std::map<const CLI::Option*, std::size_t> seen;
    for (const CLI::Option* option : command.parse_order()) {
        if (option->get_positional())
            continue;
        const std::size_t occurrence = seen[option]++;
        const bool takesValue = option->get_expected_min() > 0;
        visit(*option, takesValue && occurrence < option->results().size() ? option->results()[occurrence] : std::string());
    }
}

}  // namespace veltrane::cli
