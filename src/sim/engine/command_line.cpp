#include "sim/engine/command_line.h"

#include <charconv>

namespace veltrane::sim {

namespace {
Error bad(std::string message) { return makeError(ErrorKind::Format, std::move(message)); }

template <class T>
bool readNumber(const std::string& text, T& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}
bool percent(int value) { return value >= 0 && value <= 100; }
}  // namespace

std::string usageText() {
    return R"(usage: veltrane-gwsim [OPTIONS]

Simulates Ethernet gateways: UDP discovery and the TCP configuration exchange
(read, write, restart). Each gateway binds only its own address; without
--gateway or --count there is one gateway on 127.0.0.1.

  --gateway SETUP        add a gateway (repeatable). SETUP is key=value pairs
                        joined by commas: ip=ADDRESS (required), model=CODE
                        (default 30202; 30102 is the single-subnet model),
                        mac=XX-XX-XX-XX-XX-XX (default 02-00 and the address),
                        fw=MAJOR.MINOR (default 1.0), remote=on|off (default on;
                        off refuses writes and restarts), fault=FAULT (this
                        gateway's own fault, see --fault)
  --count N             add N gateways on 127.0.0.2, 127.0.0.3, ...
  --udp-port PORT       discovery port (default 18801)
  --tcp-port PORT       configuration port (default 18801)
  --broadcast ADDRESS   also receive discovery broadcasts sent to ADDRESS,
                        shared by all gateways (default 255.255.255.255)
  --no-broadcast        receive discovery only on each gateway's own address
  --state FILE          keep the gateways' configuration images in FILE: read
                        at start, rewritten after every accepted write
  --fault FAULT         inject a fault in every gateway without its own.
                        FAULT is KIND[@SCOPE]; KIND: none, silent (no reply),
                        wrong-code (reply code replaced by --wrong-code),
                        split (reply in two parts), close (close the
                        connection after --close-after bytes of the reply);
                        SCOPE: all (default), discovery, read, write, restart
  --split-at BYTES      size of the first part of a split reply (default 600)
  --split-delay MS      delay before the second part (default 100)
  --close-after BYTES   reply bytes sent before an early close (default 0)
  --wrong-code CODE     the code of a wrong reply (default 0)
  --log-requests        print "request ADDRESS CODE" for every TCP request
                        (5 read, 6 write, 10 restart)
  --alter-stored        keep every accepted write with the starting address of
                        subnet 1's first command one higher
  --debug-port PORT     debug monitor port of every gateway (default 18802)
  --debug-rate N        debug reports per second (default 10; 0: each one as
                        soon as the last is acknowledged). Reports cycle through
                        the commands of the gateway's stored configuration.
  --debug-exceptions PCT  percentage of exception reports (default 5)
  --debug-timeouts PCT  percentage of time-out reports (default 3)
  --debug-errors PCT    percentage of error reports (default 1)
  --debug-no-ack        send reports at the rate without waiting for the
                        acknowledgement of the last one
  --help                show this text

When ready, prints one line per gateway:
  listening ADDRESS udp PORT tcp PORT
and, for the debug monitor, one line per start, stop and write:
  debug start ADDRESS
  debug stop ADDRESS reports SENT
  debug write ADDRESS BUFFER-ADDRESS HEX-BYTES
)";
}

Result<SimOptions> parseCommandLine(const std::vector<std::string>& args) {
    SimOptions options;
    int count = 0;
    std::size_t splitAt = options.faults.splitAt;
    long splitDelay = options.faults.splitDelay.count();
    std::size_t closeAfter = options.faults.closeAfter;
    std::uint32_t wrongCode = options.faults.wrongCode;
    bool alterStored = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return options;
        }
        if (arg == "--no-broadcast") {
            options.broadcastAddress.clear();
            continue;
        }
        if (arg == "--debug-no-ack") {
            options.debug.waitForAcknowledge = false;
            continue;
        }
        if (arg == "--log-requests") {
            options.logRequests = true;
            continue;
        }
        if (arg == "--alter-stored") {
            alterStored = true;
            continue;
        }
        if (i + 1 >= args.size())
            return bad(arg + " needs a value");
        const std::string& value = args[++i];
        bool ok = true;
        if (arg == "--gateway") {
            auto setup = parseGatewaySetup(value);
            if (!setup)
                return setup.error();
            options.gateways.push_back(*setup);
        } else if (arg == "--count") {
            ok = readNumber(value, count) && count > 0;
        } else if (arg == "--udp-port") {
            ok = readNumber(value, options.udpPort);
        } else if (arg == "--tcp-port") {
            ok = readNumber(value, options.tcpPort);
        } else if (arg == "--broadcast") {
            options.broadcastAddress = value;
        } else if (arg == "--state") {
            options.statePath = value;
        } else if (arg == "--fault") {
            auto plan = parseFault(value);
            if (!plan)
                return plan.error();
            options.faults = *plan;
        } else if (arg == "--debug-port") {
            ok = readNumber(value, options.debug.port);
        } else if (arg == "--debug-rate") {
            ok = readNumber(value, options.debug.rate) && options.debug.rate >= 0 && options.debug.rate <= 1e6;
        } else if (arg == "--debug-exceptions") {
            ok = readNumber(value, options.debug.exceptionPercent) && percent(options.debug.exceptionPercent);
        } else if (arg == "--debug-timeouts") {
            ok = readNumber(value, options.debug.timeoutPercent) && percent(options.debug.timeoutPercent);
        } else if (arg == "--debug-errors") {
            ok = readNumber(value, options.debug.errorPercent) && percent(options.debug.errorPercent);
        } else if (arg == "--split-at") {
            ok = readNumber(value, splitAt);
        } else if (arg == "--split-delay") {
            ok = readNumber(value, splitDelay) && splitDelay >= 0;
        } else if (arg == "--close-after") {
            ok = readNumber(value, closeAfter);
        } else if (arg == "--wrong-code") {
            ok = readNumber(value, wrongCode);
        } else {
            return bad("unknown option " + arg);
        }
        if (!ok)
            return bad("bad value for " + arg + ": " + value);
    }
    if (options.debug.exceptionPercent + options.debug.timeoutPercent + options.debug.errorPercent > 100)
        return bad("the debug percentages add up to more than 100");
    if (count > 0) {
        auto generated = generateGateways(count);
        if (!generated)
            return generated.error();
        for (const GatewayIdentity& id : *generated)
            options.gateways.push_back({id, std::nullopt});
    }
    if (options.gateways.empty()) {
        GatewaySetup local;
        local.identity.ipAddress = "127.0.0.1";
        local.identity.mac = {0x02, 0x00, 0x7f, 0x00, 0x00, 0x01};
        options.gateways.push_back(local);
    }
    // The fault parameters apply to the common plan and to every gateway's own.
    auto tune = [&](FaultPlan& plan) {
        plan.splitAt = splitAt;
        plan.splitDelay = std::chrono::milliseconds(splitDelay);
        plan.closeAfter = closeAfter;
        plan.wrongCode = wrongCode;
        plan.alterStored = alterStored;
    };
    tune(options.faults);
    for (GatewaySetup& setup : options.gateways) {
        if (setup.faults)
            tune(*setup.faults);
        for (const GatewaySetup& other : options.gateways)
            if (&other != &setup && other.identity.ipAddress == setup.identity.ipAddress)
                return bad("two gateways on " + setup.identity.ipAddress);
    }
    return options;
}

}  // namespace veltrane::sim
