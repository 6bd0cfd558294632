// veltrane-gwsim: simulated gateways for trying the tool and for tests, without hardware. It keeps
// nothing in memory worth a clean shutdown (the state file is rewritten after every write), so the
// default handling of SIGTERM and SIGINT is enough.

#include "sim/engine/command_line.h"
#include "sim/ethernet_host.h"
#include "sim/serial_host.h"
#include "sim/engine/serial/serial_command_line.h"

#include <QCoreApplication>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (veltrane::sim::wantsSerial(args))
        return veltrane::sim::runSerialHost(args);
    auto options = veltrane::sim::parseCommandLine(args);
    if (!options) {
        std::fprintf(stderr, "veltrane-gwsim: %s\n(see --help)\n", options.message().c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(veltrane::sim::usageText().c_str(), stdout);
        std::fputs(veltrane::sim::serialUsageText().c_str(), stdout);
        return 0;
    }

    QCoreApplication app(argc, argv);
    veltrane::sim::EthernetHost host(*options);
    if (auto started = host.start(); !started) {
        std::fprintf(stderr, "veltrane-gwsim: %s\n", started.message().c_str());
        return 1;
    }
    return app.exec();
}
