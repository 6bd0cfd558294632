#pragma once
// The Excel export of a project into a copy of the template workbook, shared by the application
// and veltrane-cli. The caller asks for the output path and shows the returned message.

#include "core/common/result.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

#include <QString>

namespace veltrane {

// The template beside the running program, else the one in the data folder of its install tree.
// When neither exists, the path beside the program, which the export reports as missing.
QString installedTemplatePath();

// Writes the project into a copy of the template at `outputPath`, through the same atomic save as
// a project file. The error's message is the one to show. Nothing is written on failure. Once the
// workbook's cells are filled, the project's exported mapping addresses are left in upper case.
Status exportWorkbook(Project& project, const ProjectState& state, const QString& templatePath,
                      const QString& outputPath);

}  // namespace veltrane
