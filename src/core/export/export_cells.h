#pragma once
// The cells an Excel export fills in the template workbook: which sheet, row, column and text.
// Rows and columns are 1-based as in the workbook; row 1 holds the titles.

#include "core/model/project_state.h"
#include "core/model/records.h"

#include <string>
#include <vector>

namespace veltrane {

enum class ExportSheet { Fieldbus, Subnet, CommandList };

struct ExportCell {
    ExportSheet sheet = ExportSheet::Fieldbus;
    int row = 0;
    int column = 0;
    std::string text;  // UTF-8, written as text; an empty text leaves the cell blank

    bool operator==(const ExportCell&) const = default;
};

// The sheet's name in the template.
const std::string& exportSheetName(ExportSheet sheet);

// Only EtherNet/IP gateways are exported; the other device types have no sheet layout.
bool exportSupported(const ProjectState& state);

// Every cell the export writes, sheet by sheet in the order Fieldbus, Subnet, Command List.
std::vector<ExportCell> exportCells(const Project& project, const ProjectState& state);

// The Command List text of a mapping address: upper case followed by "H"; blank when unset.
std::string exportedMappingAddress(const std::string& mappingAddress);

// The export also leaves the project's mapping addresses of the exported commands in upper case.
void upperCaseMappingAddresses(Project& project, const ProjectState& state);

}  // namespace veltrane
