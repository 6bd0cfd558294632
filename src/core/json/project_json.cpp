#include "core/json/project_json.h"

#include "core/json/json_value.h"
#include "core/model/record_fields.h"
#include "core/strings/strings.h"

#include <algorithm>
#include <limits>
#include <set>

namespace veltrane {

namespace {

Error wrongType(const std::string& path, const std::string& expected) {
    return makeError(ErrorKind::Format, format(Str::JsonWrongType, {path, expected}));
}

// Reads one object: every key taken must be there, and no other may be.
class ObjectReader {
public:
    ObjectReader(const JsonValue& value, std::string path) : m_value(value), m_path(std::move(path)) {}

    Status isObject() const {
        if (m_value.kind != JsonValue::Kind::Object)
            return wrongType(m_path, "an object");
        return {};
    }

    Result<const JsonValue*> member(std::string_view key) {
        m_taken.insert(std::string(key));
        for (std::size_t i = 0; i < m_value.keys.size(); ++i)
            if (m_value.keys[i] == key)
                return &m_value.values[i];
        return makeError(ErrorKind::Format, format(Str::JsonMissingKey, {path(key)}));
    }

    Result<std::string> text(std::string_view key) {
        const Result<const JsonValue*> value = member(key);
        if (!value)
            return value.error();
        if ((*value)->kind != JsonValue::Kind::String)
            return wrongType(path(key), "a string");
        if ((*value)->beyondLatin1)
            return makeError(ErrorKind::Format, format(Str::JsonNotLatin1, {path(key)}));
        return (*value)->text;
    }

    Result<std::int32_t> integer(std::string_view key, std::int64_t low = std::numeric_limits<std::int32_t>::min(),
                                 std::int64_t high = std::numeric_limits<std::int32_t>::max()) {
        const Result<const JsonValue*> value = member(key);
        if (!value)
            return value.error();
        if ((*value)->kind != JsonValue::Kind::Integer || (*value)->integer < low || (*value)->integer > high)
            return wrongType(path(key), "an integer from " + std::to_string(low) + " to " + std::to_string(high));
        return static_cast<std::int32_t>((*value)->integer);
    }

    Result<bool> flag(std::string_view key) {
        const Result<const JsonValue*> value = member(key);
        if (!value)
            return value.error();
        if ((*value)->kind != JsonValue::Kind::Bool)
            return wrongType(path(key), "true or false");
        return (*value)->flag;
    }

    // An array of exactly `length` entries.
    Result<const JsonValue*> array(std::string_view key, std::size_t length) {
        const Result<const JsonValue*> value = member(key);
        if (!value)
            return value.error();
        if ((*value)->kind != JsonValue::Kind::Array)
            return wrongType(path(key), "an array");
        if ((*value)->items.size() != length)
            return makeError(ErrorKind::Format, format(Str::JsonWrongLength, {path(key), std::to_string(length)}));
        return *value;
    }

    template <typename Record, std::size_t N>
    Status texts(Record& record, const std::array<TextField<Record>, N>& fields) {
        for (const auto& field : fields) {
            Result<std::string> value = text(field.name);
            if (!value)
                return value.error();
            record.*field.member = std::move(*value);
        }
        return {};
    }

    // Called when every key was taken: the first key left over is unknown.
    Status noOthers() const {
        for (const std::string& key : m_value.keys)
            if (!m_taken.contains(key))
                return makeError(ErrorKind::Format, format(Str::JsonUnknownKey, {path(key)}));
        return {};
    }

    std::string path(std::string_view key) const { return m_path + "." + std::string(key); }

private:
    const JsonValue& m_value;
    std::string m_path;
    std::set<std::string> m_taken;
};

#define VELTRANE_TRY(expression)                 \
    if (auto done_ = (expression); !done_)       \
        return done_.error();

#define VELTRANE_TAKE(target, expression)        \
    if (auto value_ = (expression); !value_)     \
        return value_.error();                   \
    else                                         \
        target = std::move(*value_);

Status readCommand(const JsonValue& value, const std::string& path, INSTRUCTION& command) {
    ObjectReader in(value, path);
    VELTRANE_TRY(in.isObject());
    VELTRANE_TRY(in.texts(command, kCommandFields));
    VELTRANE_TAKE(command.nodeIndex, in.integer("nodeIndex"));
    return in.noOthers();
}

Status readNode(const JsonValue& value, const std::string& path, NodeEntry& node) {
    ObjectReader in(value, path);
    VELTRANE_TRY(in.isObject());
    VELTRANE_TRY(in.texts(node, kNodeFields));
    return in.noOthers();
}

Status readSubnet(const JsonValue& value, const std::string& path, CONFIG& subnet) {
    ObjectReader in(value, path);
    VELTRANE_TRY(in.isObject());
    VELTRANE_TRY(in.texts(subnet, kConfigFields));
    VELTRANE_TAKE(subnet.nodeCount, in.integer("nodeCount", 0, kMaxNodes));
    VELTRANE_TAKE(subnet.commandCount, in.integer("commandCount", 0, kMaxCommands));
    const JsonValue* nodes = nullptr;
    VELTRANE_TAKE(nodes, in.array("nodes", static_cast<std::size_t>(subnet.nodeCount)));
    for (std::size_t n = 0; n < nodes->items.size(); ++n)
        VELTRANE_TRY(readNode(nodes->items[n], in.path("nodes") + "[" + std::to_string(n) + "]", subnet.nodes[n]));
    const JsonValue* commands = nullptr;
    VELTRANE_TAKE(commands, in.array("commands", static_cast<std::size_t>(subnet.commandCount)));
    for (std::size_t c = 0; c < commands->items.size(); ++c)
        VELTRANE_TRY(readCommand(commands->items[c], in.path("commands") + "[" + std::to_string(c) + "]",
                                 subnet.commands[c]));
    return in.noOthers();
}

Status readModelFlags(const JsonValue& value, const std::string& path, ModelFlags& flags) {
    ObjectReader in(value, path);
    VELTRANE_TRY(in.isObject());
    const std::pair<const char*, bool ModelFlags::*> names[] = {
        {"dataFilterModel", &ModelFlags::dataFilterModel},     {"extendedFrameModel", &ModelFlags::extendedFrameModel},
        {"userConfigOnlyModel", &ModelFlags::userConfigOnlyModel}, {"hardwareSizedModel", &ModelFlags::hardwareSizedModel},
        {"largeBufferModel", &ModelFlags::largeBufferModel},   {"configDataModel", &ModelFlags::configDataModel},
        {"commandStatusModel", &ModelFlags::commandStatusModel}, {"singleSubnetModel", &ModelFlags::singleSubnetModel}};
    for (const auto& [name, member] : names)
        VELTRANE_TAKE(flags.*member, in.flag(name));
    return in.noOthers();
}

}  // namespace

Result<JsonProject> readProjectJson(std::string_view text) {
    const Result<JsonValue> document = parseJson(text);
    if (!document)
        return document.error();
    JsonProject out;
    LoadedProject& loaded = out.loaded;
    ObjectReader in(*document, "$");
    VELTRANE_TRY(in.isObject());
    VELTRANE_TAKE(loaded.DeviceType, in.integer("DeviceType"));
    VELTRANE_TAKE(out.SubnetCount, in.integer("SubnetCount"));
    VELTRANE_TAKE(loaded.FormatVersion, in.integer("FormatVersion"));
    const JsonValue* flags = nullptr;
    VELTRANE_TAKE(flags, in.member("ModelFlags"));
    VELTRANE_TRY(readModelFlags(*flags, in.path("ModelFlags"), loaded.flags));
    // How the values stood when the project was shown; a file does not hold them.
    for (const char* name : {"ProjectModified", "ProjectPrepared", "UploadedProjectPending"})
        VELTRANE_TRY(in.flag(name));
    const JsonValue* fieldbus = nullptr;
    VELTRANE_TAKE(fieldbus, in.member("FIELDBUS"));
    {
        ObjectReader fb(*fieldbus, in.path("FIELDBUS"));
        VELTRANE_TRY(fb.isObject());
        VELTRANE_TRY(fb.texts(loaded.project.fieldbus, kFieldbusFields));
        VELTRANE_TRY(fb.noOthers());
    }
    loaded.subnetCount = std::clamp(out.SubnetCount, 0, kSubnetSlots);
    const JsonValue* subnets = nullptr;
    VELTRANE_TAKE(subnets, in.array("CONFIG", static_cast<std::size_t>(loaded.subnetCount)));
    for (std::size_t k = 0; k < subnets->items.size(); ++k)
        VELTRANE_TRY(readSubnet(subnets->items[k], in.path("CONFIG") + "[" + std::to_string(k) + "]",
                                loaded.project.subnets[k]));
    VELTRANE_TRY(in.noOthers());
    return out;
}

}  // namespace veltrane
