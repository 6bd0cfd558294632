// diff A.chg B.chg [--json]: the differences between two projects, item by item. Exits like
// diff(1): 0 equal, 1 different, 2 when a file cannot be read.

#include "cli/command_registry.h"
#include "cli/difference_printer.h"

#include "core/compare/project_diff.h"
#include "core/document/document.h"

#include <iostream>
#include <memory>
#include <tuple>

namespace veltrane::cli {
namespace {

CommandRun setUp(CLI::App& command) {
    struct Args {
        std::string a;
        std::string b;
        bool json = false;
    };
    auto args = std::make_shared<Args>();
    command.add_option("A.chg", args->a, "the first project")->required();
    command.add_option("B.chg", args->b, "the second project")->required();
    command.add_flag("--json", args->json, "print {\"equal\": ..., \"differences\": [...]}");
    return [args] {
        ScriptedPrompter prompterA;
        ScriptedPrompter prompterB;
        Document a(prompterA);
        Document b(prompterB);
        for (auto [document, prompter, path] : {std::tuple{&a, &prompterA, &args->a}, std::tuple{&b, &prompterB, &args->b}}) {
            if (document->openDocument(*path))
                continue;
            std::cerr << *path << ':';
            for (const std::string& text : prompter->shown())
                std::cerr << ' ' << text;
            std::cerr << '\n';
            return kCompareTrouble;
        }
        const auto differences = diffProjects({a.project(), a.state()}, {b.project(), b.state()});
        printDifferences(differences, args->json, std::cout);
        std::cout.flush();
        return differences.empty() ? 0 : 1;
    };
}

const Registration registration("diff", "diff A.chg B.chg [--json]",
                                "Lists the differences between two projects; exits 0 equal, 1 different, 2 on trouble.",
                                setUp);

}  // namespace
}  // namespace veltrane::cli
