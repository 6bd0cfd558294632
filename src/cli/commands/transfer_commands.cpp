// scan, download and upload: the gateway links from the command line. `--to ADDR` takes the
// Ethernet link, `--port PATH` the serial one; each form has its own options, and mixing them is a
// wrong command line.

#include "cli/command_registry.h"
#include "cli/ethernet/ethernet_commands.h"
#include "cli/serial_commands.h"
#include "core/link/serial/serial_port_choice.h"

#include <algorithm>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>

namespace veltrane::cli {
namespace {

constexpr int kUsageExit = 2;

// The options that pick and set up the link; shared by download and upload.
struct LinkArgs {
    std::string to;
    bool broadcast = false;
    std::vector<std::string> localAddresses;
    std::string port;
    int baud = 0;
    std::string parity;
    int dataBits = 0;
    int stopBits = 0;
};

void addLinkOptions(CLI::App& command, LinkArgs& args) {
    command.add_option("--to", args.to, "the gateway's IPv4 address (Ethernet)");
    command.add_flag("--broadcast", args.broadcast, "log in through a broadcast scan instead of the direct query");
    command.add_option("--local", args.localAddresses, "a local address to broadcast from (repeatable)")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->allow_extra_args(false);
    command.add_option("--port", args.port, "the serial device (serial link)");
    command.add_option("--baud", args.baud, "baud rate")->check(CLI::IsMember(serial::kBaudRates));
    command.add_option("--parity", args.parity, "none, odd, even, mark or space");
    command.add_option("--data-bits", args.dataBits, "data bits")->check(CLI::Range(5, 8));
    command.add_option("--stop-bits", args.stopBits, "stop bits")->check(CLI::IsMember({1, 2}));
}

// The serial line from the options; an error text when an option does not fit the chosen link.
std::optional<std::string> serialLine(const CLI::App& command, const LinkArgs& args, SerialLineOptions& line) {
    line.port = args.port;
    if (command.count("--baud"))
        line.baudRate = args.baud;
    if (command.count("--parity")) {
        line.parity = serial::parityFromName(args.parity);
        if (!line.parity)
            return "--parity must be none, odd, even, mark or space";
    }
    if (command.count("--data-bits"))
        line.dataBits = args.dataBits;
    if (command.count("--stop-bits"))
        line.stopBits = args.stopBits;
    return std::nullopt;
}

// Exactly one link, and only the options of that link.
std::optional<std::string> checkLinkChoice(const CLI::App& command, bool ethernetOnlyGiven) {
    const bool ethernet = command.count("--to") > 0;
    const bool serialLink = command.count("--port") > 0;
    if (ethernet == serialLink)
        return "give either --to ADDR (Ethernet) or --port PATH (serial)";
    const bool lineGiven = command.count("--baud") || command.count("--parity") || command.count("--data-bits") ||
                           command.count("--stop-bits");
    if (ethernet && lineGiven)
        return "line settings go with --port only";
    if (serialLink && ethernetOnlyGiven)
        return "--broadcast, --local and --restart go with --to only";
    return std::nullopt;
}

int wrongLine(const std::string& why, const std::string& usage) {
    std::cerr << why << "\nusage: veltrane-cli " << usage << '\n';
    return kUsageExit;
}

// The two forms of a command that talks to a gateway, and what each form refuses besides.
struct LinkForms {
    std::function<int(const GatewayTarget&)> overEthernet;
    std::function<int(const SerialLineOptions&)> overSerial;
    std::optional<std::string> ethernetRefusal;  // an option given that only the serial form takes
    std::optional<std::string> serialRefusal;    // an option missing that the serial form needs
};

// Checks that the options pick one link and fit it, then runs that link's form.
int runOnChosenLink(const CLI::App& command, const LinkArgs& args, bool ethernetOnlyGiven, const char* usage,
                    const LinkForms& forms) {
    if (auto why = checkLinkChoice(command, ethernetOnlyGiven))
        return wrongLine(*why, usage);
    if (command.count("--to") > 0) {
        // An empty address is a mistake in the command line, not a request for the serial form.
        if (args.to.empty())
            return wrongLine("--to needs the gateway's address", usage);
        if (forms.ethernetRefusal)
            return wrongLine(*forms.ethernetRefusal, usage);
        return forms.overEthernet({args.to, args.broadcast, args.localAddresses});
    }
    if (forms.serialRefusal)
        return wrongLine(*forms.serialRefusal, usage);
    SerialLineOptions line;
    if (auto why = serialLine(command, args, line))
        return wrongLine(*why, usage);
    return forms.overSerial(line);
}

constexpr const char* kScanUsage = "scan [--direct ADDR] [--local ADDR]... [--json]";
constexpr const char* kDownloadUsage =
    "download FILE.chg (--to ADDR [--broadcast] [--local ADDR]... [--restart] | --port PATH [--baud N] "
    "[--parity NAME] [--data-bits N] [--stop-bits N] [--accept-conflicts]) [--verify]";
constexpr const char* kCompareUsage =
    "compare FILE.chg (--to ADDR [--broadcast] [--local ADDR]... | --port PATH [--baud N] [--parity NAME] "
    "[--data-bits N] [--stop-bits N]) [--json]";
constexpr const char* kUploadUsage =
    "upload (--to ADDR [--broadcast] [--local ADDR]... | --port PATH [--baud N] [--parity NAME] [--data-bits N] "
    "[--stop-bits N]) [--into BASE.chg] -o OUT.chg";

CommandRun setUpScan(CLI::App& command) {
    auto args = std::make_shared<ScanOptions>();
    command.add_option("--direct", args->direct, "query this address directly instead of broadcasting");
    command.add_option("--local", args->localAddresses, "a local address to broadcast from (repeatable)")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->allow_extra_args(false);
    command.add_flag("--json", args->json, "print a JSON array");
    return [args] { return runScanCommand(*args, std::cout, std::cerr); };
}

CommandRun setUpDownload(CLI::App& command) {
    struct Args {
        std::string file;
        LinkArgs link;
        bool restart = false;
        bool acceptConflicts = false;
        bool verify = false;
    };
    auto args = std::make_shared<Args>();
    command.add_option("FILE.chg", args->file, "the project to download")->required();
    addLinkOptions(command, args->link);
    command.add_flag("--restart", args->restart, "answer OK to the restart question (Ethernet)");
    command.add_flag("--accept-conflicts", args->acceptConflicts, "download despite mapping conflicts (serial)");
    command.add_flag("--verify", args->verify,
                     "read the configuration back before any restart and list what differs; exit 3 when it differs");
    return [args, &command] {
        const bool ethernetOnly = args->link.broadcast || !args->link.localAddresses.empty() || args->restart;
        LinkForms forms;
        forms.overEthernet = [&args](const GatewayTarget& gateway) {
            return runDownloadCommand({args->file, gateway, args->restart, args->verify}, std::cout, std::cerr);
        };
        forms.overSerial = [&args](const SerialLineOptions& line) {
            return runSerialDownload({args->file, line, args->acceptConflicts, args->verify}, std::cout, std::cerr);
        };
        if (args->acceptConflicts)
            forms.ethernetRefusal = "--accept-conflicts goes with --port only";
        return runOnChosenLink(command, args->link, ethernetOnly, kDownloadUsage, forms);
    };
}

CommandRun setUpUpload(CLI::App& command) {
    struct Args {
        LinkArgs link;
        std::string into;
        std::string output;
    };
    auto args = std::make_shared<Args>();
    addLinkOptions(command, args->link);
    command.add_option("--into", args->into, "the project the upload goes into (default: a new one, EtherNet/IP over --to, the gateway's type over --port)");
    command.add_option("-o", args->output, "where the uploaded project is saved")->required();
    return [args, &command] {
        const bool ethernetOnly = args->link.broadcast || !args->link.localAddresses.empty();
        const bool into = command.count("--into") > 0;
        LinkForms forms;
        forms.overEthernet = [&args, into](const GatewayTarget& gateway) {
            return runUploadCommand({gateway, into ? std::optional(args->into) : std::nullopt, args->output},
                                    std::cout, std::cerr);
        };
        // Over a serial line the base project's device type says what the gateway is asked; without
        // one, the gateway's own type does.
        forms.overSerial = [&args, into](const SerialLineOptions& line) {
            return runSerialUpload({into ? std::optional(args->into) : std::nullopt, args->output, line}, std::cout,
                                   std::cerr);
        };
        return runOnChosenLink(command, args->link, ethernetOnly, kUploadUsage, forms);
    };
}

CommandRun setUpCompare(CLI::App& command) {
    struct Args {
        std::string file;
        LinkArgs link;
        bool json = false;
    };
    auto args = std::make_shared<Args>();
    command.add_option("FILE.chg", args->file, "the project to compare")->required();
    addLinkOptions(command, args->link);
    command.add_flag("--json", args->json, "print {\"equal\": ..., \"differences\": [...]}");
    return [args, &command] {
        const bool ethernetOnly = args->link.broadcast || !args->link.localAddresses.empty();
        LinkForms forms;
        forms.overEthernet = [&args](const GatewayTarget& gateway) {
            return runCompareCommand({args->file, gateway, args->json}, std::cout, std::cerr);
        };
        forms.overSerial = [&args](const SerialLineOptions& line) {
            return runSerialCompare({args->file, line, args->json}, std::cout, std::cerr);
        };
        return runOnChosenLink(command, args->link, ethernetOnly, kCompareUsage, forms);
    };
}

const Registration scanRegistration("scan", kScanUsage, "Lists the gateways that answer a discovery.", setUpScan);
const Registration downloadRegistration("download", kDownloadUsage,
                                        "Downloads a project into a gateway over Ethernet or a serial line.",
                                        setUpDownload);
const Registration uploadRegistration("upload", kUploadUsage,
                                      "Uploads a gateway's configuration into a project file.", setUpUpload);
const Registration compareRegistration(
    "compare", kCompareUsage,
    "Lists what a gateway holds differently from a project, reading only; exits 0 equal, 1 different, 2 on trouble.",
    setUpCompare);

}  // namespace
}  // namespace veltrane::cli
