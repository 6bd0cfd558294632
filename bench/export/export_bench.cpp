// The Excel export of the largest project: two Modbus-master subnets with 48 commands each.

#include "core/export/export_cells.h"
#include "core/model/project_defaults.h"
#include "xlsx/template_workbook.h"
#include "xlsx/workbook_export.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace veltrane;

namespace {

struct FullProject {
    Project project;
    ProjectState state;
    FullProject() {
        initializeNewProject(project, state);
        for (int s = 0; s < 2; ++s) {
            CONFIG& subnet = project.subnets[static_cast<std::size_t>(s)];
            subnet.commandCount = kMaxCommands;
            for (int i = 0; i < kMaxCommands; ++i)
                subnet.commands[static_cast<std::size_t>(i)] = {std::to_string(i + 1), "3", "0", "4", "1eb", "0", "8",
                                                                "No Swap", "CRC", "Fast Scan", 1};
        }
    }
};

std::vector<xlsx::SheetTexts> sheetTexts(const FullProject& full) {
    std::vector<xlsx::SheetTexts> sheets{{QStringLiteral("Fieldbus"), {}}, {QStringLiteral("Subnet"), {}},
                                         {QStringLiteral("Command List"), {}}};
    for (const ExportCell& cell : exportCells(full.project, full.state))
        sheets[static_cast<std::size_t>(cell.sheet)].cells.push_back({cell.row, cell.column, QString::fromStdString(cell.text)});
    return sheets;
}

void BM_ExportCells(benchmark::State& state) {
    const FullProject full;
    for (auto _ : state)
        benchmark::DoNotOptimize(exportCells(full.project, full.state));
}
BENCHMARK(BM_ExportCells);

void BM_FillWorkbook(benchmark::State& state) {
    QFile file(QStringLiteral(VELTRANE_TEMPLATE));
    if (!file.open(QIODevice::ReadOnly)) {
        state.SkipWithError("template missing");
        return;
    }
    const QByteArray templateBytes = file.readAll();
    const auto sheets = sheetTexts(FullProject());
    std::size_t size = 0;
    for (auto _ : state) {
        const Result<QByteArray> result = xlsx::fillWorkbook(templateBytes, sheets);
        if (!result) {
            state.SkipWithError(result.message().c_str());
            return;
        }
        size = static_cast<std::size_t>(result->size());
        benchmark::DoNotOptimize(result->data());
    }
    state.counters["workbook_bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_FillWorkbook)->Unit(benchmark::kMillisecond);

// Template read, fill and the atomic write of the file, as the command does it.
void BM_ExportToFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("out.xlsx"));
    FullProject full;
    for (auto _ : state) {
        const Status exported = exportWorkbook(full.project, full.state, QStringLiteral(VELTRANE_TEMPLATE), output);
        if (!exported)
            state.SkipWithError(exported.message().c_str());
    }
}
BENCHMARK(BM_ExportToFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
