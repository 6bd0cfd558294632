#include "cli/project_printer.h"

#include "cli/json_writer.h"
#include "core/common/windows1252.h"
#include "core/model/record_fields.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace veltrane::cli {

namespace {

// Named values of the state in the order they are printed.
std::array<std::pair<const char*, std::int32_t>, 3> stateNumbers(const ProjectState& s) {
    return {{{"DeviceType", s.DeviceType}, {"SubnetCount", s.SubnetCount}, {"FormatVersion", s.FormatVersion}}};
}

std::array<std::pair<const char*, bool>, 8> modelFlags(const ModelFlags& f) {
    return {{{"dataFilterModel", f.dataFilterModel},
             {"extendedFrameModel", f.extendedFrameModel},
             {"userConfigOnlyModel", f.userConfigOnlyModel},
             {"hardwareSizedModel", f.hardwareSizedModel},
             {"largeBufferModel", f.largeBufferModel},
             {"configDataModel", f.configDataModel},
             {"commandStatusModel", f.commandStatusModel},
             {"singleSubnetModel", f.singleSubnetModel}}};
}

std::array<std::pair<const char*, bool>, 3> stateFlags(const ProjectState& s) {
    return {{{"ProjectModified", s.ProjectModified},
             {"ProjectPrepared", s.ProjectPrepared},
             {"UploadedProjectPending", s.UploadedProjectPending}}};
}

int storedSubnets(const ProjectState& state) { return std::clamp(state.SubnetCount, 0, kSubnetSlots); }
std::size_t usedSlots(std::int32_t count, int capacity) { return static_cast<std::size_t>(std::clamp(count, 0, capacity)); }

template <typename Record, std::size_t N>
void jsonFields(JsonWriter& json, const Record& record, const std::array<TextField<Record>, N>& fields) {
    for (const auto& field : fields) {
        json.key(field.name);
        json.value(record.*field.member);
    }
}

// A stored text in double quotes, as UTF-8, with the quote, the backslash and control characters
// escaped (the bytes the code page leaves undefined read as control characters too).
std::string quoted(const std::string& stored) {
    std::string out = "\"";
    char escape[8];
    for (const char c : stored) {
        const auto byte = static_cast<unsigned char>(c);
        const std::uint32_t character = windows1252Character(byte);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (character < 0x20 || (character >= 0x7F && character < 0xA0)) {
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            out += escape;
        } else {
            out += windows1252ToUtf8(std::string_view(&c, 1));
        }
    }
    return out + "\"";
}

template <typename Record, std::size_t N>
std::string textFields(const Record& record, const std::array<TextField<Record>, N>& fields, const char* separator) {
    std::string out;
    for (const auto& field : fields) {
        if (!out.empty())
            out += separator;
        out += std::string(field.name) + (separator[0] == '\n' ? ": " : "=") + quoted(record.*field.member);
    }
    return out;
}

}  // namespace

std::string projectJson(const Project& project, const ProjectState& state) {
    JsonWriter json;
    json.beginObject();
    for (const auto& [name, number] : stateNumbers(state)) {
        json.key(name);
        json.value(std::int64_t{number});
    }
    json.key("ModelFlags");
    json.beginObject();
    for (const auto& [name, flag] : modelFlags(state.flags)) {
        json.key(name);
        json.value(flag);
    }
    json.endObject();
    for (const auto& [name, flag] : stateFlags(state)) {
        json.key(name);
        json.value(flag);
    }

    json.key("FIELDBUS");
    json.beginObject();
    jsonFields(json, project.fieldbus, kFieldbusFields);
    json.endObject();

    json.key("CONFIG");
    json.beginArray();
    for (int k = 0; k < storedSubnets(state); ++k) {
        const CONFIG& subnet = project.subnets[static_cast<std::size_t>(k)];
        json.beginObject();
        jsonFields(json, subnet, kConfigFields);
        json.key("nodeCount");
        json.value(std::int64_t{subnet.nodeCount});
        json.key("commandCount");
        json.value(std::int64_t{subnet.commandCount});
        json.key("nodes");
        json.beginArray();
        for (std::size_t n = 0; n < usedSlots(subnet.nodeCount, kMaxNodes); ++n) {
            json.beginObject();
            jsonFields(json, subnet.nodes[n], kNodeFields);
            json.endObject();
        }
        json.endArray();
        json.key("commands");
        json.beginArray();
        for (std::size_t c = 0; c < usedSlots(subnet.commandCount, kMaxCommands); ++c) {
            json.beginObject();
            jsonFields(json, subnet.commands[c], kCommandFields);
            json.key("nodeIndex");
            json.value(std::int64_t{subnet.commands[c].nodeIndex});
            json.endObject();
        }
        json.endArray();
        json.endObject();
    }
    json.endArray();
    json.endObject();
    return json.text();
}

std::string projectText(const Project& project, const ProjectState& state) {
    std::string out;
    for (const auto& [name, number] : stateNumbers(state))
        out += std::string(name) + ": " + std::to_string(number) + "\n";
    out += "ModelFlags:\n";
    for (const auto& [name, flag] : modelFlags(state.flags))
        out += std::string("  ") + name + ": " + (flag ? "true" : "false") + "\n";
    for (const auto& [name, flag] : stateFlags(state))
        out += std::string(name) + ": " + (flag ? "true" : "false") + "\n";

    out += "FIELDBUS:\n  " + textFields(project.fieldbus, kFieldbusFields, "\n  ") + "\n";
    for (int k = 0; k < storedSubnets(state); ++k) {
        const CONFIG& subnet = project.subnets[static_cast<std::size_t>(k)];
        out += "CONFIG " + std::to_string(k + 1) + ":\n  " + textFields(subnet, kConfigFields, "\n  ") + "\n";
        out += "  nodeCount: " + std::to_string(subnet.nodeCount) + "\n";
        out += "  commandCount: " + std::to_string(subnet.commandCount) + "\n";
        for (std::size_t n = 0; n < usedSlots(subnet.nodeCount, kMaxNodes); ++n)
            out += "  node " + std::to_string(n + 1) + ": " + textFields(subnet.nodes[n], kNodeFields, " ") + "\n";
        for (std::size_t c = 0; c < usedSlots(subnet.commandCount, kMaxCommands); ++c)
            out += "  command " + std::to_string(c + 1) + ": " + textFields(subnet.commands[c], kCommandFields, " ") +
                   " nodeIndex=" + std::to_string(subnet.commands[c].nodeIndex) + "\n";
    }
    return out;
}

}  // namespace veltrane::cli
