// conflicts FILE [--png OUT.png]: the bytes in conflict and the local data exchange bytes with the
// commands that cover them, and the download's verdict as the exit code.

#include "cli/cli_prompter.h"
#include "cli/command_registry.h"

#include "app/mapping/buffer_map_image.h"
#include "core/document/document.h"
#include "core/mapping/conflict_check.h"
#include "core/mapping/conflict_report.h"
#include "core/model/file_io.h"
#include "core/strings/strings.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>

#include <iostream>
#include <memory>

namespace veltrane::cli {
namespace {

// Texts in the picture need fonts, and fonts need a QGuiApplication; the offscreen platform keeps
// the command usable without a display. The picture is encoded in memory and saved like every
// other output file, so a failed write keeps the previous picture and leaves no temporary file.
// A target that is refused as such (not a regular file) gets its own reason; other failures the
// general message.
Status savePicture(const OccupancyMaps& maps, const std::string& path) {
    std::unique_ptr<QGuiApplication> app;
    static int argc = 1;
    static char name[] = "veltrane-cli";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance() == nullptr) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    QByteArray png;
    QBuffer buffer(&png);
    const Error failed = makeError(ErrorKind::Io, format(Str::ReportPictureNotWritten, {path}));
    if (!buffer.open(QIODevice::WriteOnly) || !renderBufferMaps(maps).save(&buffer, "PNG"))
        return failed;
    const auto* data = reinterpret_cast<const std::uint8_t*>(png.constData());
    if (Status written = writeFileAtomically(path, std::span(data, static_cast<std::size_t>(png.size()))); !written)
        return written.kind() == ErrorKind::Refused ? written.error() : failed;
    return {};
}

CommandRun setUp(CLI::App& command) {
    struct Args {
        std::string input, png;
    };
    auto args = std::make_shared<Args>();
    command.add_option("FILE.chg", args->input, "the project file")->required();
    command.add_option("--png", args->png, "also draw the buffer maps into this picture");
    return [args] {
        PrintingPrompter prompter;
        Document document(prompter);
        if (!document.openDocument(args->input))
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

        if (!args->png.empty()) {
            if (Status saved = savePicture(maps, args->png); !saved) {
                std::cerr << saved.message() << '\n';
                return 1;
            }
        }
        return verdict == ConflictCheck::NoConflict ? 0 : 1;
    };
}

const Registration registration("conflicts", "conflicts FILE.chg [--png OUT.png]",
                                "Reports mapping conflicts, optionally as a picture.", setUp);

}  // namespace
}  // namespace veltrane::cli
