// Feeds arbitrary bytes to the command table import: the CSV reader, the header and every row run
// through the editor over a new project. An accepted import must be one the project can hold.

#include "core/model/project_defaults.h"
#include "core/table/command_import.h"
#include "core/table/csv_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace veltrane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Result<std::vector<TableRow>> rows = readCsv(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!rows)
        return 0;
    const Result<CommandTable> table = readCommandTable(*rows);
    if (!table)
        return 0;
    Project project;
    ProjectState state;
    initializeNewProject(project, state);
    state.ProjectPrepared = true;
    const bool replace = size > 0 && (data[0] & 1) != 0;
    const CommandImport import = prepareCommandImport(project, state, *table, {replace, Answer::Ok});
    for (const CONFIG& subnet : import.project.subnets)
        if (subnet.nodeCount < 0 || subnet.nodeCount > kMaxNodes || subnet.commandCount < 0 ||
            subnet.commandCount > kMaxCommands)
            std::abort();
    return 0;
}
