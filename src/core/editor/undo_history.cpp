#include "core/editor/undo_history.h"

#include "core/model/record_fields.h"

namespace veltrane {

namespace {

const std::string kNoName;

// Heap a string holds beyond its own object; short strings hold none.
std::size_t heapBytes(const std::string& text) {
    return text.capacity() > std::string().capacity() ? text.capacity() + 1 : 0;
}

template <typename Record, std::size_t N>
std::size_t textBytes(const Record& record, const std::array<TextField<Record>, N>& fields) {
    std::size_t bytes = 0;
    for (const auto& field : fields)
        bytes += heapBytes(record.*field.member);
    return bytes;
}

std::size_t recordBytes(const FIELDBUS& fieldbus) {
    return sizeof(FIELDBUS) + textBytes(fieldbus, kFieldbusFields);
}

std::size_t recordBytes(const CONFIG& config) {
    std::size_t bytes = sizeof(CONFIG) + textBytes(config, kConfigFields);
    for (const NodeEntry& node : config.nodes)
        bytes += textBytes(node, kNodeFields);
    for (const INSTRUCTION& command : config.commands)
        bytes += textBytes(command, kCommandFields);
    return bytes;
}

}  // namespace

UndoHistory::UndoHistory(std::size_t byteBudget) : m_byteBudget(byteBudget) {}

void UndoHistory::reset(const Project& project, bool saved) {
    m_present.fieldbus = std::make_shared<const FIELDBUS>(project.fieldbus);
    for (std::size_t k = 0; k < kSubnetSlots; ++k)
        m_present.subnets[k] = std::make_shared<const CONFIG>(project.subnets[k]);
    m_steps.clear();
    m_position = 0;
    m_bytes = 0;
    m_saved = saved ? std::optional<std::size_t>(0) : std::nullopt;
}

bool UndoHistory::isCurrent(const Project& project) const {
    if (!m_present.fieldbus || project.fieldbus != *m_present.fieldbus)
        return false;
    for (std::size_t k = 0; k < kSubnetSlots; ++k)
        if (project.subnets[k] != *m_present.subnets[k])
            return false;
    return true;
}

bool UndoHistory::record(std::string name, const Project& project, const ItemLocator& undoFocus,
                         const ItemLocator& redoFocus) {
    if (!m_present.fieldbus)
        reset(Project{}, false);
    Step step{std::move(name), {}, {}, undoFocus, redoFocus};
    // The step owns only the records it brings; the ones before it are shared with the history.
    step.bytes = sizeof(Step) + step.name.capacity();
    bool changed = false;
    if (project.fieldbus != *m_present.fieldbus) {
        changed = true;
        step.before.fieldbus = m_present.fieldbus;
        step.after.fieldbus = std::make_shared<const FIELDBUS>(project.fieldbus);
        step.bytes += recordBytes(project.fieldbus);
    }
    for (std::size_t k = 0; k < kSubnetSlots; ++k) {
        if (project.subnets[k] != *m_present.subnets[k]) {
            changed = true;
            step.before.subnets[k] = m_present.subnets[k];
            step.after.subnets[k] = std::make_shared<const CONFIG>(project.subnets[k]);
            step.bytes += recordBytes(project.subnets[k]);
        }
    }
    if (!changed)
        return false;

    while (m_steps.size() > m_position) {
        m_bytes -= m_steps.back().bytes;
        m_steps.pop_back();
    }
    if (m_saved && *m_saved > m_position)
        m_saved.reset();
    m_bytes += step.bytes;
    m_steps.push_back(std::move(step));
    ++m_position;
    share(m_steps.back().after);
    // The newest step always stays, however large it is.
    while (m_bytes > m_byteBudget && m_steps.size() > 1)
        dropOldest();
    return true;
}
void UndoHistory::dropOldest() {
    m_bytes -= m_steps.front().bytes;
    m_steps.pop_front();
    --m_position;
    if (m_saved && *m_saved == 0)
        m_saved.reset();
    else if (m_saved)
        --*m_saved;
}

const std::string& UndoHistory::undoName() const {
    return canUndo() ? m_steps[m_position - 1].name : kNoName;
}

const std::string& UndoHistory::redoName() const {
    return canRedo() ? m_steps[m_position].name : kNoName;
}

std::optional<ItemLocator> UndoHistory::undo(Project& project) {
    if (!canUndo())
        return std::nullopt;
    const Step& step = m_steps[--m_position];
    apply(step.before, project);
    share(step.before);
    return step.undoFocus;
}

std::optional<ItemLocator> UndoHistory::redo(Project& project) {
    if (!canRedo())
        return std::nullopt;
    const Step& step = m_steps[m_position++];
    apply(step.after, project);
    share(step.after);
    return step.redoFocus;
}

void UndoHistory::apply(const RecordSnapshots& records, Project& project) {
    if (records.fieldbus)
        project.fieldbus = *records.fieldbus;
    for (std::size_t k = 0; k < kSubnetSlots; ++k)
        if (records.subnets[k])
            project.subnets[k] = *records.subnets[k];
}

void UndoHistory::share(const RecordSnapshots& records) {
    if (records.fieldbus)
        m_present.fieldbus = records.fieldbus;
    for (std::size_t k = 0; k < kSubnetSlots; ++k)
        if (records.subnets[k])
            m_present.subnets[k] = records.subnets[k];
}

}  // namespace veltrane
