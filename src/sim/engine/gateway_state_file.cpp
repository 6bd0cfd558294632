#include "sim/engine/gateway_state_file.h"
#include "core/model/text_value.h"

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
        ConfigurationImage image;
        for (std::size_t i = 0; i < kImageSize; ++i) {
            const int high = hexDigitValue(hex[2 * i]);
            const int low = hexDigitValue(hex[2 * i + 1]);
            if (high < 0 || low < 0)
                return makeError(ErrorKind::Format, path + ":" + std::to_string(number) + ": bad hex");
            image.bytes()[i] = static_cast<std::uint8_t>(high * 16 + low);
        }
        images[address] = image;
    }
    if (in.bad())
        return makeError(ErrorKind::Io, "cannot read " + path);
    return images;
}

Status saveGatewayImages(const std::string& path, const GatewayImages& images) {
    static const char digits[] = "0123456789abcdef";
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << "# veltrane-gwsim gateway images: address, then the 1272-byte image in hex\n";
        for (const auto& [address, image] : images) {
            std::string hex;
            hex.reserve(2 * kImageSize);
            for (std::uint8_t b : image.bytes()) {
                hex += digits[b >> 4];
                hex += digits[b & 15];
            }
            out << address << ' ' << hex << '\n';
        }
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
