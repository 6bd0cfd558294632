#include "xlsx/workbook_export.h"

#include "xlsx/atomic_file.h"
#include "core/export/export_cells.h"
#include "core/strings/strings.h"
#include "xlsx/template_workbook.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <array>

namespace veltrane {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }
std::string ss(const QString& text) { return text.toStdString(); }

std::vector<xlsx::SheetTexts> sheetTexts(const Project& project, const ProjectState& state) {
    constexpr std::array sheets{ExportSheet::Fieldbus, ExportSheet::Subnet, ExportSheet::CommandList};
    std::vector<xlsx::SheetTexts> out;
    for (ExportSheet sheet : sheets)
        out.push_back({qs(exportSheetName(sheet)), {}});
    for (const ExportCell& cell : exportCells(project, state))
        out[static_cast<std::size_t>(cell.sheet)].cells.push_back({cell.row, cell.column, qs(cell.text)});
    return out;
}

std::string failureMessage(xlsx::WorkbookError error, const QString& templatePath, const QString& outputPath,
                           const QString& sheet) {
    const std::string templateName = ss(QDir::toNativeSeparators(templatePath));
    switch (error) {
    case xlsx::WorkbookError::None:
        return {};
    case xlsx::WorkbookError::TemplateMissing:
        return tr(Str::ExportTemplateMissing);
    case xlsx::WorkbookError::TemplateUnreadable:
        return format(Str::ExportTemplateUnreadable, {templateName});
    case xlsx::WorkbookError::TemplateDamaged:
        return format(Str::ExportTemplateDamaged, {templateName});
    case xlsx::WorkbookError::SheetMissing:
        return format(Str::ExportTemplateSheetMissing, {templateName, ss(sheet)});
    case xlsx::WorkbookError::OutputFailed:
        break;
    }
    return format(Str::ExportWriteFailed, {ss(QDir::toNativeSeparators(outputPath))});
}

}  // namespace

QString installedTemplatePath() {
    QString folder;
    if (QCoreApplication::instance())
        folder = QCoreApplication::applicationDirPath();
    else
        folder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();  // a CLI run without an application object
    return folder + u'/' + qs(tr(Str::ExportTemplateFileName));
}

std::string exportWorkbook(Project& project, const ProjectState& state, const QString& templatePath,
                           const QString& outputPath) {
    if (!exportSupported(state))
        return tr(Str::ExportEtherNetIPOnly);
    QByteArray templateBytes;
    if (const auto error = xlsx::readTemplateFile(templatePath, templateBytes); error != xlsx::WorkbookError::None)
        return failureMessage(error, templatePath, outputPath, {});

    const xlsx::FillResult filled = xlsx::fillWorkbook(templateBytes, sheetTexts(project, state));
    if (filled.error != xlsx::WorkbookError::None)
        return failureMessage(filled.error, templatePath, outputPath, filled.sheetName);
    upperCaseMappingAddresses(project, state);
    if (!xlsx::writeFileAtomically(outputPath, filled.workbook))
        return failureMessage(xlsx::WorkbookError::OutputFailed, templatePath, outputPath, {});
    return {};
}

}  // namespace veltrane
