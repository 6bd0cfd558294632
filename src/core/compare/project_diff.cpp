#include "core/compare/project_diff.h"

#include "core/common/windows1252.h"
#include "core/editor/editor.h"
#include "core/editor/tree_paths.h"
#include "core/interaction/prompter.h"
#include "core/model/record_fields.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

namespace veltrane {

namespace {

// Where an item sits in the records; found again in any editor over a copy of them.
struct ItemPlace {
    ItemKind kind = ItemKind::None;
    int subnet = 0;   // 0-based
    int node = -1;    // node slot
    int command = -1; // command slot
};

// An editor over a copy of one side, with its tree built.
class SideView {
public:
    SideView(const Project& project, const ProjectState& state)
        : m_project(project), m_state(state), m_editor(m_project, m_state, m_prompter) {
        m_state.ProjectPrepared = true;
        m_editor.rebuildTree();
    }

    Editor& editor() { return m_editor; }

    std::optional<ItemId> find(const ItemPlace& place) const {
        const TreeModel& tree = m_editor.tree();
        for (ItemId top : tree.topLevel()) {
            if (place.kind == ItemKind::Fieldbus && tree.kind(top) == ItemKind::Fieldbus)
                return top;
            if (tree.kind(top) != ItemKind::Subnet || tree.subnet(top) != place.subnet + 1)
                continue;
            if (place.kind == ItemKind::Subnet)
                return top;
            for (ItemId node : tree.children(top)) {
                if (place.kind == ItemKind::Node && tree.data(node) == place.node + 1)
                    return node;
                if (place.kind != ItemKind::Command)
                    continue;
                for (ItemId command : tree.children(node))
                    if (tree.data(command) == place.command + 1)
                        return command;
            }
        }
        return std::nullopt;
    }

    std::string path(const ItemPlace& place, const std::string& fallback) const {
        const std::optional<ItemId> item = find(place);
        return item ? itemPathOf(m_editor.tree(), *item) : fallback;
    }

private:
    Project m_project;
    ProjectState m_state;
    ScriptedPrompter m_prompter;
    Editor m_editor;
};

using Plant = std::function<void(Project&, const std::string&)>;

std::vector<std::string> shownValues(const Project& project, const ProjectState& state, const ItemPlace& place,
                                     std::vector<std::string>* titles) {
    SideView view(project, state);
    const std::optional<ItemId> item = view.find(place);
    if (!item)
        return {};
    view.editor().selectItem(*item);
    const ParameterGrid& grid = view.editor().grid();
    std::vector<std::string> values;
    for (int row = 0; row < grid.usedRows(); ++row) {
        values.push_back(grid.text(row, 1));
        if (titles)
            titles->push_back(grid.text(row, 0));
    }
    return values;
}

// The title of the row that shows a field: the first row whose value follows the field when two
// different numbers are put into it. Whatever form a row shows its value in, two numbers differ.
std::optional<std::string> rowShowing(const ProjectSide& side, const ItemPlace& place, const Plant& plant) {
    Project first = side.project;
    Project second = side.project;
    plant(first, "7919");
    plant(second, "104729");
    std::vector<std::string> titles;
    const std::vector<std::string> one = shownValues(first, side.state, place, &titles);
    const std::vector<std::string> other = shownValues(second, side.state, place, nullptr);
    for (std::size_t row = 0; row < std::min(one.size(), other.size()); ++row)
        if (one[row] != other[row] && !titles[row].empty())
            return titles[row];
    return std::nullopt;
}

class Differ {
public:
    Differ(const ProjectSide& a, const ProjectSide& b) : m_a(a), m_b(b), m_viewA(a.project, a.state), m_viewB(b.project, b.state) {}

    std::vector<ProjectDifference> run() {
        projectValues();
        const ItemPlace fieldbus{ItemKind::Fieldbus};
        compareFields(fieldbus, m_viewA.path(fieldbus, "FIELDBUS"), m_a.project.fieldbus, m_b.project.fieldbus,
                      kFieldbusFields, [](Project& p) -> FIELDBUS& { return p.fieldbus; });
        for (int subnet = 0; subnet < kSubnetSlots; ++subnet)
            compareSubnet(subnet);
        return std::move(m_out);
    }

private:
    void add(std::string item, std::string row, std::string a, std::string b) {
        m_out.push_back({std::move(item), std::move(row), std::move(a), std::move(b)});
    }
    void addOnly(std::string item, ProjectDifference::Only side) {
        m_out.push_back({std::move(item), {}, {}, {}, side});
    }

    void projectValues() {
        const auto number = [&](const char* name, std::int32_t a, std::int32_t b) {
            if (a != b)
                add({}, name, std::to_string(a), std::to_string(b));
        };
        number("DeviceType", m_a.state.DeviceType, m_b.state.DeviceType);
        number("SubnetCount", m_a.state.SubnetCount, m_b.state.SubnetCount);
        number("FormatVersion", m_a.state.FormatVersion, m_b.state.FormatVersion);
        const std::pair<const char*, bool ModelFlags::*> switches[] = {
            {"dataFilterModel", &ModelFlags::dataFilterModel},
            {"extendedFrameModel", &ModelFlags::extendedFrameModel},
            {"userConfigOnlyModel", &ModelFlags::userConfigOnlyModel},
            {"hardwareSizedModel", &ModelFlags::hardwareSizedModel},
            {"largeBufferModel", &ModelFlags::largeBufferModel},
            {"configDataModel", &ModelFlags::configDataModel},
            {"commandStatusModel", &ModelFlags::commandStatusModel},
            {"singleSubnetModel", &ModelFlags::singleSubnetModel},
        };
        for (const auto& [name, flag] : switches)
            if (m_a.state.flags.*flag != m_b.state.flags.*flag)
                add({}, name, m_a.state.flags.*flag ? "true" : "false", m_b.state.flags.*flag ? "true" : "false");
    }

    // Each differing field under the title of the row that shows it on side a.
    template <typename Record, std::size_t N, typename Locate>
    void compareFields(const ItemPlace& place, const std::string& path, const Record& a, const Record& b,
                       const std::array<TextField<Record>, N>& fields, Locate locate) {
        for (const TextField<Record>& field : fields) {
            if (a.*field.member == b.*field.member)
                continue;
            const Plant plant = [&](Project& project, const std::string& value) {
                locate(project).*field.member = value;
            };
            const std::optional<std::string> title = rowShowing(m_a, place, plant);
            add(path, title.value_or(std::string(field.name)), a.*field.member, b.*field.member);
        }
    }

    static std::vector<int> usedSlots(std::int32_t count, int capacity) {
        std::vector<int> slots;
        for (int slot = 0; slot < std::clamp(count, 0, capacity); ++slot)
            slots.push_back(slot);
        return slots;
    }

    void compareSubnet(int subnet) {
        const auto k = static_cast<std::size_t>(subnet);
        const CONFIG& a = m_a.project.subnets[k];
        const CONFIG& b = m_b.project.subnets[k];
        const ItemPlace place{ItemKind::Subnet, subnet};
        const std::string fallback = "CONFIG " + std::to_string(subnet + 1);
        compareFields(place, m_viewA.path(place, fallback), a, b, kConfigFields,
                      [k](Project& p) -> CONFIG& { return p.subnets[k]; });

        // Nodes by slave address, each of side b used once.
        std::vector<bool> taken(kMaxNodes, false);
        for (int nodeA : usedSlots(a.nodeCount, kMaxNodes)) {
            const ItemPlace placeA{ItemKind::Node, subnet, nodeA};
            const std::string pathA = m_viewA.path(placeA, fallback + "/node " + std::to_string(nodeA + 1));
            std::optional<int> match;
            for (int nodeB : usedSlots(b.nodeCount, kMaxNodes)) {
                if (!taken[static_cast<std::size_t>(nodeB)] &&
                    b.nodes[static_cast<std::size_t>(nodeB)].address == a.nodes[static_cast<std::size_t>(nodeA)].address) {
                    match = nodeB;
                    break;
                }
            }
            if (!match) {
                addOnly(pathA, ProjectDifference::Only::A);
                continue;
            }
            taken[static_cast<std::size_t>(*match)] = true;
            const auto n = static_cast<std::size_t>(nodeA);
            compareFields(placeA, pathA, a.nodes[n], b.nodes[static_cast<std::size_t>(*match)], kNodeFields,
                          [k, n](Project& p) -> NodeEntry& { return p.subnets[k].nodes[n]; });
            compareCommands(subnet, nodeA, *match);
        }
        for (int nodeB : usedSlots(b.nodeCount, kMaxNodes))
            if (!taken[static_cast<std::size_t>(nodeB)])
                addOnly(m_viewB.path({ItemKind::Node, subnet, nodeB}, fallback + "/node " + std::to_string(nodeB + 1)),
                        ProjectDifference::Only::B);
    }

    static std::vector<int> commandsOf(const CONFIG& subnet, int node) {
        std::vector<int> slots;
        for (int slot : usedSlots(subnet.commandCount, kMaxCommands))
            if (subnet.commands[static_cast<std::size_t>(slot)].nodeIndex == node + 1)
                slots.push_back(slot);
        return slots;
    }

    static bool sameCommand(const INSTRUCTION& a, const INSTRUCTION& b) {
        return std::all_of(kCommandFields.begin(), kCommandFields.end(),
                           [&](const auto& field) { return a.*field.member == b.*field.member; });
    }

    void compareCommands(int subnet, int nodeA, int nodeB) {
        const auto k = static_cast<std::size_t>(subnet);
        const CONFIG& configA = m_a.project.subnets[k];
        const CONFIG& configB = m_b.project.subnets[k];
        const std::vector<int> a = commandsOf(configA, nodeA);
        const std::vector<int> b = commandsOf(configB, nodeB);
        const auto commandA = [&](std::size_t i) -> const INSTRUCTION& { return configA.commands[static_cast<std::size_t>(a[i])]; };
        const auto commandB = [&](std::size_t j) -> const INSTRUCTION& { return configB.commands[static_cast<std::size_t>(b[j])]; };

        // Longest common subsequence of equal commands; what lies between two equal pairs is
        // paired up in order (changed commands), and the rest is on one side only.
        std::vector<std::vector<int>> common(a.size() + 1, std::vector<int>(b.size() + 1, 0));
        for (std::size_t i = a.size(); i-- > 0;)
            for (std::size_t j = b.size(); j-- > 0;)
                common[i][j] = sameCommand(commandA(i), commandB(j)) ? common[i + 1][j + 1] + 1
                                                                     : std::max(common[i + 1][j], common[i][j + 1]);
        std::size_t i = 0;
        std::size_t j = 0;
        std::vector<std::size_t> gapA;
        std::vector<std::size_t> gapB;
        const auto flush = [&] {
            const std::size_t paired = std::min(gapA.size(), gapB.size());
            for (std::size_t p = 0; p < paired; ++p)
                changedCommand(subnet, a[gapA[p]], commandA(gapA[p]), commandB(gapB[p]));
            for (std::size_t p = paired; p < gapA.size(); ++p)
                addOnly(commandPath(m_viewA, subnet, a[gapA[p]]), ProjectDifference::Only::A);
            for (std::size_t p = paired; p < gapB.size(); ++p)
                addOnly(commandPath(m_viewB, subnet, b[gapB[p]]), ProjectDifference::Only::B);
            gapA.clear();
            gapB.clear();
        };
        while (i < a.size() || j < b.size()) {
            if (i < a.size() && j < b.size() && sameCommand(commandA(i), commandB(j)) &&
                common[i][j] == common[i + 1][j + 1] + 1) {
                flush();
                ++i;
                ++j;
            } else if (j >= b.size() || (i < a.size() && common[i + 1][j] >= common[i][j + 1])) {
                gapA.push_back(i++);
            } else {
                gapB.push_back(j++);
            }
        }
        flush();
    }

    static std::string commandPath(const SideView& view, int subnet, int slot) {
        return view.path({ItemKind::Command, subnet, -1, slot},
                         "CONFIG " + std::to_string(subnet + 1) + "/command " + std::to_string(slot + 1));
    }

    void changedCommand(int subnet, int slotA, const INSTRUCTION& a, const INSTRUCTION& b) {
        const auto k = static_cast<std::size_t>(subnet);
        const auto c = static_cast<std::size_t>(slotA);
        const ItemPlace place{ItemKind::Command, subnet, -1, slotA};
        compareFields(place, commandPath(m_viewA, subnet, slotA), a, b, kCommandFields,
                      [k, c](Project& p) -> INSTRUCTION& { return p.subnets[k].commands[c]; });
    }

    const ProjectSide& m_a;
    const ProjectSide& m_b;
    SideView m_viewA;
    SideView m_viewB;
    std::vector<ProjectDifference> m_out;
};

}  // namespace

std::vector<ProjectDifference> diffProjects(const ProjectSide& a, const ProjectSide& b) {
    return Differ(a, b).run();
}

namespace {

// A stored text as a JSON string literal in UTF-8, so that an empty value or one with spaces or
// quotes reads unambiguously on a line.
std::string quotedValue(const std::string& stored) {
    std::string out = "\"";
    const std::string text = windows1252ToUtf8(stored);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        char escaped[8];
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += static_cast<char>(byte);
        } else if (byte < 0x20) {
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else if (byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            // U+0080 to U+009F: the bytes Windows-1252 leaves undefined, shown by their number.
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(text[++i]));
            out += escaped;
        } else {
            out += static_cast<char>(byte);
        }
    }
    return out + '"';
}

}  // namespace

std::string differenceLine(const ProjectDifference& difference) {
    const std::string prefix = difference.item.empty() ? std::string() : windows1252ToUtf8(difference.item) + ": ";
    switch (difference.only) {
    case ProjectDifference::Only::A:
        return prefix + "only in A";
    case ProjectDifference::Only::B:
        return prefix + "only in B";
    case ProjectDifference::Only::Neither:
        break;
    }
    return prefix + difference.row + ": " + quotedValue(difference.a) + " -> " + quotedValue(difference.b);
}

}  // namespace veltrane
