#include "sim/engine/serial/serial_state_file.h"

#include "core/common/hex.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

namespace veltrane::sim {

namespace {
std::string hex(const std::uint8_t* data, std::size_t size) { return hexBytesText(ByteView(data, size)); }

// Exactly `size` bytes (or at most, when `got` asks how many), else false.
bool unhex(const std::string& text, std::uint8_t* out, std::size_t size, std::size_t* got = nullptr) {
    const std::optional<Bytes> bytes = bytesFromHexText(text);
    if (!bytes || (got == nullptr && bytes->size() != size) || bytes->size() > size)
        return false;
    std::copy(bytes->begin(), bytes->end(), out);
    if (got)
        *got = bytes->size();
    return true;
}

Error damaged(const std::string& path, const std::string& line) {
    return makeError(ErrorKind::Format, path + ": bad line: " + line);
}
} // namespace

Result<SerialGatewayMemory> loadSerialGatewayMemory(const std::string& path) {
    SerialGatewayMemory memory;
    std::ifstream in(path);
    if (!in)
        return memory;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty())
            continue;
        std::istringstream fields(line);
        std::string key, value;
        fields >> key >> value;
        bool ok = true;
        int subnet = -1, position = -1;
        if (key == "devicenet") {
            ok = unhex(value, memory.deviceNet.data(), memory.deviceNet.size());
        } else if (key == "profibus") {
            ok = unhex(value, memory.profibus.data(), memory.profibus.size());
        } else if (key == "option") {
            ok = unhex(value, &memory.option, 1);
        } else if (key == "configdata") {
            std::uint8_t data[8];
            std::size_t got = 0;
            ok = unhex(value, data, sizeof data, &got);
            memory.configData.assign(data, data + got);
        } else if (std::sscanf(key.c_str(), "block%d", &subnet) == 1 && subnet >= 0 && subnet < serial::kWireSubnets) {
            ok = unhex(value, memory.blocks[static_cast<std::size_t>(subnet)].data(), serial::kLongBlock);
        } else if (std::sscanf(key.c_str(), "count%d", &subnet) == 1 && subnet >= 0 && subnet < serial::kWireSubnets) {
            int count = -1;
            ok = std::sscanf(value.c_str(), "%d", &count) == 1 && count >= 0 && count <= kMaxCommands;
            memory.commandCounts[static_cast<std::size_t>(subnet)] = count;
        } else if (std::sscanf(key.c_str(), "command%d.%d", &subnet, &position) == 2 && subnet >= 0 &&
                   subnet < serial::kWireSubnets && position >= 0 && position < kMaxCommands) {
            ok = unhex(value,
                       memory.commands[static_cast<std::size_t>(subnet)][static_cast<std::size_t>(position)].data(),
                       kCommandRecordSize);
        } else {
            ok = false;
        }
        if (!ok)
            return damaged(path, line);
    }
    return memory;
}

Status saveSerialGatewayMemory(const std::string& path, const SerialGatewayMemory& memory) {
    std::ostringstream out;
    out << "devicenet " << hex(memory.deviceNet.data(), memory.deviceNet.size()) << '\n';
    out << "profibus " << hex(memory.profibus.data(), memory.profibus.size()) << '\n';
    out << "option " << hex(&memory.option, 1) << '\n';
    out << "configdata " << hex(memory.configData.data(), memory.configData.size()) << '\n';
    for (int k = 0; k < serial::kWireSubnets; ++k) {
        const auto sk = static_cast<std::size_t>(k);
        out << "block" << k << ' ' << hex(memory.blocks[sk].data(), memory.blocks[sk].size()) << '\n';
        out << "count" << k << ' ' << memory.commandCounts[sk] << '\n';
        for (int j = 0; j < memory.commandCounts[sk] && j < kMaxCommands; ++j)
            out << "command" << k << '.' << j << ' '
                << hex(memory.commands[sk][static_cast<std::size_t>(j)].data(), kCommandRecordSize) << '\n';
    }
    const std::string temporary = path + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!(file << out.str()) || !file.flush())
            return makeError(ErrorKind::Io, "cannot write " + temporary);
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0)
        return makeError(ErrorKind::Io, "cannot replace " + path);
    return {};
}

} // namespace veltrane::sim
