#include "cli/command_registry.h"

#include "core/strings/strings.h"

#include <algorithm>
#include <iostream>
#include <memory>

namespace veltrane::cli {
std::vector<Command>& commands() {
    static std::vector<Command> registered;
    return registered;
}
}  // namespace veltrane::cli

namespace {

using veltrane::cli::Command;

void printCommandList(std::ostream& out) {
    auto list = veltrane::cli::commands();
    std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    out << "usage: veltrane-cli COMMAND [ARGS]\n\ncommands:\n";
    for (const auto& command : list)
        out << "  " << command.usage << '\n';
    out << "\n\"veltrane-cli COMMAND --help\" describes a command.\n";
}

// The generated help of a command opens with the command's own usage line, then its summary.
class UsageFormatter : public CLI::Formatter {
public:
    explicit UsageFormatter(std::string usage) : m_usage(std::move(usage)) {}
    std::string make_description(const CLI::App*) const override { return {}; }
    std::string make_usage(const CLI::App* command, std::string) const override {
        return "usage: veltrane-cli " + m_usage + "\n\n" + command->get_description() + "\n";
    }

private:
    std::string m_usage;
};

// A report that could not be written (standard output on a full device) is a failure like any
// other, whichever command wrote it.
int withOutputChecked(int code) {
    std::cout.flush();
    if (std::cout)
        return code;
    std::cerr << veltrane::tr(veltrane::Str::CliOutputFailed) << '\n';
    return code == 0 ? 1 : code;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string first = argc >= 2 ? argv[1] : std::string();
    if (argc < 2 || first == "--help" || first == "-h") {
        printCommandList(std::cout);
        return withOutputChecked(argc < 2 ? 2 : 0);
    }
    auto& registered = veltrane::cli::commands();
    const auto chosen = std::find_if(registered.begin(), registered.end(),
                                     [&](const Command& command) { return command.name == first; });
    if (chosen == registered.end()) {
        std::cerr << "veltrane-cli: unknown command \"" << first << "\"\n";
        printCommandList(std::cerr);
        return 2;
    }

    CLI::App app("veltrane-cli");
    app.require_subcommand(1);
    CLI::App* sub = app.add_subcommand(chosen->name, chosen->summary);
    sub->formatter(std::make_shared<UsageFormatter>(chosen->usage));
    const veltrane::cli::CommandRun run = chosen->setup(*sub);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::cout << sub->help();
        return withOutputChecked(0);
    } catch (const CLI::ParseError&) {
        std::cerr << "usage: veltrane-cli " << chosen->usage << '\n';
        return 2;
    }
    return withOutputChecked(run());
}
