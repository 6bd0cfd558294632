// scan, download and upload: the Ethernet link from the command line. The parsers here only fill
// the options of cli/ethernet/ethernet_commands.h.

#include "cli/command_registry.h"
#include "cli/command_support.h"
#include "cli/ethernet/ethernet_commands.h"

#include <iostream>

namespace veltrane::cli {
namespace {

constexpr const char* kScanUsage = "scan [--direct ADDR] [--local ADDR]... [--json]";
constexpr const char* kDownloadUsage = "download FILE.chg --to ADDR [--broadcast] [--local ADDR]... [--restart]";
constexpr const char* kUploadUsage = "upload --to ADDR [--broadcast] [--local ADDR]... [--into BASE.chg] -o OUT.chg";

// Walks the arguments; `flag` handles one and returns false on an unknown or incomplete one.
template <class Handle>
bool parse(const std::vector<std::string>& args, Handle handle) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::string* next = i + 1 < args.size() ? &args[i + 1] : nullptr;
        const int used = handle(arg, next);
        if (used < 0)
            return false;
        i += static_cast<std::size_t>(used);
    }
    return true;
}

int scan(const std::vector<std::string>& args) {
    ScanOptions options;
    const bool ok = parse(args, [&](const std::string& arg, const std::string* next) {
        if (arg == "--json") {
            options.json = true;
            return 0;
        }
        if ((arg == "--direct" || arg == "--local") && next) {
            if (arg == "--direct")
                options.direct = *next;
            else
                options.localAddresses.push_back(*next);
            return 1;
        }
        return -1;
    });
    return ok ? runScanCommand(options, std::cout, std::cerr) : usageError(kScanUsage);
}

int download(const std::vector<std::string>& args) {
    DownloadOptions options;
    const bool ok = parse(args, [&](const std::string& arg, const std::string* next) {
        if (arg == "--broadcast" || arg == "--restart") {
            (arg == "--broadcast" ? options.broadcast : options.restart) = true;
            return 0;
        }
        if ((arg == "--to" || arg == "--local") && next) {
            if (arg == "--to")
                options.to = *next;
            else
                options.localAddresses.push_back(*next);
            return 1;
        }
        if (!arg.starts_with("-") && options.file.empty()) {
            options.file = arg;
            return 0;
        }
        return -1;
    });
    if (!ok || options.file.empty() || options.to.empty())
        return usageError(kDownloadUsage);
    return runDownloadCommand(options, std::cout, std::cerr);
}

int upload(const std::vector<std::string>& args) {
    UploadOptions options;
    const bool ok = parse(args, [&](const std::string& arg, const std::string* next) {
        if (arg == "--broadcast") {
            options.broadcast = true;
            return 0;
        }
        if (!next)
            return -1;
        if (arg == "--to")
            options.to = *next;
        else if (arg == "--local")
            options.localAddresses.push_back(*next);
        else if (arg == "--into")
            options.into = *next;
        else if (arg == "-o")
            options.output = *next;
        else
            return -1;
        return 1;
    });
    if (!ok || options.to.empty() || options.output.empty())
        return usageError(kUploadUsage);
    return runUploadCommand(options, std::cout, std::cerr);
}

const Registration scanRegistration("scan", kScanUsage, scan);
const Registration downloadRegistration("download", kDownloadUsage, download);
const Registration uploadRegistration("upload", kUploadUsage, upload);

}  // namespace
}  // namespace veltrane::cli
