#include "xlsx/workbook_export.h"

#include "core/export/export_cells.h"
#include "core/model/file_io.h"
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

}  // namespace

QString installedTemplatePath() {
    QString folder;
    if (QCoreApplication::instance())
        folder = QCoreApplication::applicationDirPath();
    else
        folder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();  // a CLI run without an application object
    const QString name = qs(tr(Str::ExportTemplateFileName));
    // Beside the program (the build tree), else in the installed data folder found from the
    // program's own place, so that a moved install tree keeps its template.
    const QString beside = folder + u'/' + name;
    const QString installed = QDir::cleanPath(folder + QStringLiteral("/" VELTRANE_DATA_FROM_BIN "/") + name);
    return QFileInfo::exists(beside) || !QFileInfo::exists(installed) ? beside : installed;
}

Status exportWorkbook(Project& project, const ProjectState& state, const QString& templatePath,
                      const QString& outputPath) {
    if (!exportSupported(state))
        return makeError(ErrorKind::Refused, tr(Str::ExportEtherNetIPOnly));
    const Result<QByteArray> templateBytes = xlsx::readTemplateFile(templatePath);
    if (!templateBytes)
        return templateBytes.error();

    const Error writeFailed =
        makeError(ErrorKind::Io, format(Str::ExportWriteFailed, {ss(QDir::toNativeSeparators(outputPath))}));
    const Result<QByteArray> workbook = xlsx::fillWorkbook(*templateBytes, sheetTexts(project, state), templatePath);
    if (!workbook)
        return workbook.kind() == ErrorKind::Io ? writeFailed : workbook.error();
    upperCaseMappingAddresses(project, state);
    const auto* data = reinterpret_cast<const std::uint8_t*>(workbook->constData());
    if (Status written = writeFileAtomically(ss(outputPath), std::span(data, static_cast<std::size_t>(workbook->size())));
        !written)
        return written.kind() == ErrorKind::Refused ? written.error() : writeFailed;
    return {};
}

}  // namespace veltrane
