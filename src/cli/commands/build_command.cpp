// build PROJECT.json|- -o OUT.chg: a project file from the JSON that show --json prints.

#include "cli/command_registry.h"
#include "cli/command_support.h"

#include "core/document/document.h"
#include "core/json/project_json.h"
#include "core/model/file_io.h"

#include <iostream>
#include <iterator>
#include <memory>

namespace veltrane::cli {
namespace {

CommandRun setUp(CLI::App& command) {
    struct Args {
        std::string input, output;
    };
    auto args = std::make_shared<Args>();
    command.add_option("PROJECT.json", args->input, "the JSON form of a project, \"-\" for standard input")->required();
    command.add_option("-o", args->output, "the project file to write")->required();
    return [args] {
        std::string text;
        if (args->input == "-") {
            text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        } else {
            const Result<std::vector<std::uint8_t>> bytes = readWholeFile(args->input);
            if (!bytes) {
                std::cerr << bytes.message() << '\n';
                return 1;
            }
            text.assign(bytes->begin(), bytes->end());
        }
        const Result<JsonProject> read = readProjectJson(text);
        if (!read) {
            std::cerr << read.message() << '\n';
            return 1;
        }
        ScriptedPrompter prompter;
        Document document(prompter);
        document.newDocument();
        document.state().SubnetCount = read->SubnetCount;
        document.adoptProject(read->loaded);
        if (!document.saveDocument(args->output))
            return failure(prompter);
        return 0;
    };
}

const Registration registration("build", "build PROJECT.json|- -o OUT.chg",
                                "Makes a project file from the JSON that show --json prints.", setUp);

}  // namespace
}  // namespace veltrane::cli
