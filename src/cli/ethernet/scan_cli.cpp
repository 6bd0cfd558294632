#include "cli/ethernet/ethernet_commands.h"
#include "cli/ethernet/gateway_login.h"
#include "cli/json_writer.h"
#include "core/strings/strings.h"

namespace veltrane::cli {

int runScanCommand(const ScanOptions& options, std::ostream& out, std::ostream& err) {
    const ethernet::ScanResult result = scanGateways(options.direct, options.localAddresses);
    if (options.json) {
        JsonWriter json;
        json.beginArray();
        for (const ethernet::GatewayRow& row : result.rows) {
            json.beginObject();
            json.key("number");
            json.value(row.number);
            json.key("model");
            json.value(row.model);
            json.key("ip");
            json.value(row.ipAddress);
            json.key("mac");
            json.value(row.macAddress);
            json.key("firmware");
            json.value(row.firmware);
            json.key("remoteConfiguration");
            json.value(row.remoteStatus);
            json.endObject();
        }
        json.endArray();
        out << json.text() << '\n';
    } else {
        for (const ethernet::GatewayRow& row : result.rows)
            out << row.number << '\t' << row.model << '\t' << row.ipAddress << '\t' << row.macAddress << '\t'
                << row.firmware << '\t' << row.remoteStatus << '\n';
        if (result.rows.empty())
            err << ethernet::emptyScanText(result) << '\n';
    }
    out.flush();
    return result.rows.empty() || !out ? 1 : 0;
}

}  // namespace veltrane::cli
