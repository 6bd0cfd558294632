#include "sim/engine/gateway_options.h"

#include "core/common/ipv4.h"

#include <charconv>
#include <string>

namespace veltrane::sim {

namespace {

Error bad(std::string message) { return makeError(ErrorKind::Format, std::move(message)); }

template <class T>
std::optional<T> number(std::string_view text, int base = 10) {
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::optional<std::array<std::uint8_t, 6>> parseMac(std::string_view text) {
    std::array<std::uint8_t, 6> mac{};
    if (text.size() != 17)
        return std::nullopt;
    for (std::size_t k = 0; k < 6; ++k) {
        if (k > 0 && text[3 * k - 1] != '-' && text[3 * k - 1] != ':')
            return std::nullopt;
        const auto octet = number<std::uint8_t>(text.substr(3 * k, 2), 16);
        if (!octet)
            return std::nullopt;
        mac[k] = *octet;
    }
    return mac;
}

std::array<std::uint8_t, 6> macFor(const Ipv4Octets& ip) { return {0x02, 0x00, ip[0], ip[1], ip[2], ip[3]}; }

bool isLoopback(const Ipv4Octets& ip) { return ip[0] == 127; }

}  // namespace

Result<FaultPlan> parseFault(std::string_view text) {
    FaultPlan plan;
    const std::size_t at = text.find('@');
    const std::string_view kind = text.substr(0, at);
    if (kind == "none")
        plan.kind = Fault::None;
    else if (kind == "silent")
        plan.kind = Fault::Silence;
    else if (kind == "wrong-code")
        plan.kind = Fault::WrongReplyCode;
    else if (kind == "split")
        plan.kind = Fault::SplitReply;
    else if (kind == "close")
        plan.kind = Fault::CloseEarly;
    else
        return bad("unknown fault '" + std::string(kind) + "'");
    if (at == std::string_view::npos)
        return plan;
    const std::string_view scope = text.substr(at + 1);
    if (scope == "all")
        plan.scope = FaultScope::All;
    else if (scope == "discovery")
        plan.scope = FaultScope::Discovery;
    else if (scope == "read")
        plan.scope = FaultScope::Read;
    else if (scope == "write")
        plan.scope = FaultScope::Write;
    else if (scope == "restart")
        plan.scope = FaultScope::Restart;
    else
        return bad("unknown fault scope '" + std::string(scope) + "'");
    return plan;
}

Result<GatewaySetup> parseGatewaySetup(std::string_view text) {
    GatewaySetup setup;
    bool haveIp = false;
    bool haveMac = false;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        const std::size_t eq = item.find('=');
        if (eq == std::string_view::npos)
            return bad("expected key=value in '" + std::string(item) + "'");
        const std::string_view key = item.substr(0, eq);
        const std::string_view value = item.substr(eq + 1);
        GatewayIdentity& id = setup.identity;
        if (key == "ip") {
            // A strict dotted quad: this is the exact address the simulator will bind.
            const auto ip = parseIpv4(value);
            if (!ip || ipv4Text(*ip) != value)
                return bad("bad ip '" + std::string(value) + "'");
            id.ipAddress = std::string(value);
            haveIp = true;
            if (!haveMac)
                id.mac = macFor(*ip);
        } else if (key == "model") {
            const auto code = number<std::uint32_t>(value);
            if (!code)
                return bad("bad model code '" + std::string(value) + "'");
            id.modelCode = *code;
        } else if (key == "mac") {
            const auto mac = parseMac(value);
            if (!mac)
                return bad("bad mac '" + std::string(value) + "'");
            id.mac = *mac;
            haveMac = true;
        } else if (key == "fw") {
            const std::size_t dot = value.find('.');
            const auto major = number<std::uint16_t>(value.substr(0, dot));
            const auto minor = dot == std::string_view::npos ? std::optional<std::uint16_t>(0)
                                                             : number<std::uint16_t>(value.substr(dot + 1));
            if (!major || !minor)
                return bad("bad firmware version '" + std::string(value) + "'");
            id.firmwareMajor = *major;
            id.firmwareMinor = *minor;
        } else if (key == "remote") {
            if (value == "on" || value == "1")
                id.remoteConfig = true;
            else if (value == "off" || value == "0")
                id.remoteConfig = false;
            else
                return bad("remote must be on or off");
        } else if (key == "fault") {
            auto plan = parseFault(value);
            if (!plan)
                return plan.error();
            setup.faults = *plan;
        } else {
            return bad("unknown gateway key '" + std::string(key) + "'");
        }
    }
    if (!haveIp)
        return bad("a gateway needs ip=ADDRESS");
    return setup;
}

Result<std::vector<GatewayIdentity>> generateGateways(int count, std::string_view first) {
    const auto start = parseIpv4(first);
    if (!start || !isLoopback(*start))
        return bad("generated gateways start inside 127.0.0.0/8");
    if (count < 1)
        return bad("--count needs a positive number");
    const std::uint32_t base = ipv4Number(*start);
    std::vector<GatewayIdentity> gateways;
    for (int k = 0; k < count; ++k) {
        const std::uint32_t value = base + static_cast<std::uint32_t>(k);
        const Ipv4Octets ip = ipv4Octets(value);
        if (!isLoopback(ip))
            return bad("too many gateways for 127.0.0.0/8");
        GatewayIdentity id;
        id.ipAddress = ipv4Text(ip);
        id.mac = macFor(ip);
        gateways.push_back(id);
    }
    return gateways;
}

}  // namespace veltrane::sim
