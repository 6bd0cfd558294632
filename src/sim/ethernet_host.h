#pragma once
// Puts simulated gateways behind loopback sockets: per gateway a UDP socket and a TCP server on its
// own address, plus one shared socket per gateway on the broadcast address, so that a broadcast
// reaches every gateway.

#include "sim/engine/command_line.h"
#include "sim/engine/gateway.h"
#include "sim/engine/gateway_state_file.h"

#include <memory>
#include <string>
#include <vector>

namespace veltrane::sim {

class EthernetHost {
public:
    explicit EthernetHost(const SimOptions& options);
    ~EthernetHost();
    EthernetHost(const EthernetHost&) = delete;
    EthernetHost& operator=(const EthernetHost&) = delete;

    // Loads the state file and binds every socket; prints one "listening" line per gateway. An
    // error names what failed; nothing keeps listening then.
    Status start();

private:
    struct Endpoint;
    void saveImage(const Gateway& gateway);

    SimOptions m_options;
    GatewayImages m_images;
    std::vector<std::unique_ptr<Endpoint>> m_endpoints;
};

}  // namespace veltrane::sim
