#pragma once
// A project read from the JSON form that `veltrane-cli show --json` prints: the same keys, every
// one required, no others. Texts are the stored bytes, each the Latin-1 character of its value.

#include "core/common/result.h"
#include "core/model/project_file.h"

#include <string_view>

namespace veltrane {

struct JsonProject {
    LoadedProject loaded;           // what opening a file with these records would read
    std::int32_t SubnetCount = 0;   // the process-wide value the records were shown under
};

// The error names the JSON path of the first value that is unknown, missing or of the wrong type
// ("$.CONFIG[0].nodes[1].name: expected a string").
Result<JsonProject> readProjectJson(std::string_view text);

}  // namespace veltrane
