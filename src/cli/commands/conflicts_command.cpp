// conflicts FILE [--png OUT.png]: the bytes in conflict and the local data exchange bytes with the
// commands that cover them, and the download's verdict as the exit code.

#include "cli/cli_prompter.h"
#include "cli/command_registry.h"

#include "core/document/document.h"
#include "app/mapping/buffer_map_image.h"
#include "core/mapping/conflict_check.h"
#include "core/mapping/conflict_report.h"
#include "core/strings/strings.h"

#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <iostream>
#include <memory>

namespace veltrane::cli {
namespace {

constexpr const char* kUsage = "conflicts FILE.chg [--png OUT.png]";

int usageError() {
    std::cerr << "usage: veltrane-cli " << kUsage << '\n';
    return 2;
}

// Texts in the picture need fonts, and fonts need a QGuiApplication; the offscreen platform keeps
// the command usable without a display.
bool savePicture(const OccupancyMaps& maps, const std::string& path) {
    std::unique_ptr<QGuiApplication> app;
    static int argc = 1;
    static char name[] = "veltrane-cli";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance() == nullptr) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    return renderBufferMaps(maps).save(QString::fromStdString(path), "PNG");
}

int runConflicts(const std::vector<std::string>& args) {
    std::string input, png;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--png" && i + 1 < args.size())
            png = args[++i];
        else if (input.empty() && !args[i].empty() && args[i][0] != '-')
            input = args[i];
        else
            return usageError();
    }
    if (input.empty())
        return usageError();

    PrintingPrompter prompter;
    Document document(prompter);
    if (!document.openDocument(input))
        return 1;

    const DetectionList list = buildDetectionList(document.project(), document.state());
    OccupancyMaps maps;
    countOccupancy(list, maps);
    for (const std::string& line : describeFindings(findConflicts(list, maps), list))
        std::cout << line << '\n';

    MappingConflictState conflictState;
    const ConflictCheck verdict =
        checkMappingConflicts(document.project(), document.state(), prompter, conflictState);
    if (verdict != ConflictCheck::Incomplete)
        std::cout << tr(conflictState.MappingConflictFound ? Str::ReportConflictFound : Str::ReportNoConflict)
                  << '\n';

    if (!png.empty() && !savePicture(maps, png)) {
        std::cerr << format(Str::ReportPictureNotWritten, {png}) << '\n';
        return 1;
    }
    return verdict == ConflictCheck::NoConflict ? 0 : 1;
}

const Registration registration("conflicts", kUsage, runConflicts);

}  // namespace
}  // namespace veltrane::cli
