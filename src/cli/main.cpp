#include "cli/command_registry.h"

#include <algorithm>
#include <iostream>

namespace veltrane::cli {
std::vector<Command>& commands() {
    static std::vector<Command> registered;
    return registered;
}
}  // namespace veltrane::cli

namespace {
void printUsage() {
    auto list = veltrane::cli::commands();
    std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    std::cout << "usage: veltrane-cli COMMAND [ARGS]\n\ncommands:\n";
    for (const auto& command : list)
        std::cout << "  " << command.usage << '\n';
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
        printUsage();
        return argc < 2 ? 2 : 0;
    }
    const std::string name = argv[1];
    for (const auto& command : veltrane::cli::commands()) {
        if (command.name == name)
            return command.run(std::vector<std::string>(argv + 2, argv + argc));
    }
    std::cerr << "veltrane-cli: unknown command \"" << name << "\"\n";
    printUsage();
    return 2;
}
