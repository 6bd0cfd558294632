#include "core/document/excel_export_flow.h"

#include "core/export/export_cells.h"
#include "core/strings/strings.h"

namespace veltrane {

std::string suggestedWorkbookPath(const Document& document) {
    const std::string suffix = "." + tr(Str::ExportFileExtension);
    const std::string& file = document.filePath();
    if (file.empty())
        return document.title() + suffix;
    const std::size_t slash = file.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = file.find_last_of('.');
    const std::size_t nameEnd = dot == std::string::npos || dot < nameStart ? file.size() : dot;
    return file.substr(0, nameEnd) + suffix;
}

void runExcelExport(Document& document, FileChooser& chooser, WorkbookWriter& writer) {
    Prompter& prompter = document.prompter();
    // Said before the dialog: asking for a file and then writing nothing would look like success.
    if (!exportSupported(document.state())) {
        prompter.message(tr(Str::ExportEtherNetIPOnly));
        return;
    }
    const std::optional<std::string> path = chooser.chooseWorkbookFile(suggestedWorkbookPath(document));
    if (!path || path->empty())
        return;
    if (const Status written = writer.write(document.project(), document.state(), *path); !written) {
        prompter.message(written.message());
        return;
    }
    if (prompter.ask(format(Str::ExportOpenQuestion, {*path}), Buttons::YesNo) != Answer::Yes)
        return;
    if (!writer.open(*path))
        prompter.message(format(Str::ExportOpenFailed, {*path}));
}

}  // namespace veltrane
