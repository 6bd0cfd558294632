#include "sim/engine/gateway_state_file.h"

#include "core/common/hex.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace veltrane::sim {

using ethernet::ConfigurationImage;
using ethernet::kImageSize;

Result<GatewayImages> loadGatewayImages(const std::string& path) {
    GatewayImages images;
    std::ifstream in(path);
    if (!in)
        return images;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string address;
        std::string hex;
        fields >> address >> hex;
        if (hex.size() != 2 * kImageSize)
            return makeError(ErrorKind::Format, path + ":" + std::to_string(number) + ": not an image");
        const std::optional<Bytes> bytes = bytesFromHexText(hex);
        if (!bytes)
            return makeError(ErrorKind::Format, path + ":" + std::to_string(number) + ": bad hex");
        images[address] = ConfigurationImage::fromReceived(*bytes);
    }
    if (in.bad())
        return makeError(ErrorKind::Io, "cannot read " + path);
    return images;
}

Status saveGatewayImages(const std::string& path, const GatewayImages& images) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << "# veltrane-gwsim gateway images: address, then the 1272-byte image in hex\n";
        for (const auto& [address, image] : images)
            out << address << ' ' << hexBytesText(image.bytes()) << '\n';
        out.flush();
        if (!out) {
            std::remove(temporary.c_str());
            return makeError(ErrorKind::Io, "cannot write " + temporary);
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return makeError(ErrorKind::Io, "cannot replace " + path);
    }
    return {};
}

}  // namespace veltrane::sim
