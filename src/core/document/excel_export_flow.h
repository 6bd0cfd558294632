#pragma once
// The "Export EXCEL" command from the notice to the offer to open the workbook, beside the other
// file commands: it asks through the same FileChooser and Prompter, and leaves writing and opening
// the workbook to a WorkbookWriter (the template workbook and the desktop in the application).

#include "core/common/result.h"
#include "core/document/document.h"
#include "core/interaction/file_chooser.h"

#include <string>

namespace veltrane {

class WorkbookWriter {
public:
    virtual ~WorkbookWriter() = default;
    // Writes the project's workbook to `path`; nothing is written on failure. The export leaves
    // the exported mapping addresses in upper case in the project.
    virtual Status write(Project& project, const ProjectState& state, const std::string& path) = 0;
    // Opens a finished workbook with the desktop's application; false when nothing could.
    virtual bool open(const std::string& path) = 0;
};

// Beside the project file and named after it; an untitled project suggests its title.
std::string suggestedWorkbookPath(const Document& document);

// Every failure ends in one message; the application goes on either way.
void runExcelExport(Document& document, FileChooser& chooser, WorkbookWriter& writer);

}  // namespace veltrane
