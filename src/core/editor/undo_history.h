#pragma once
// The undo history of one project. Each step keeps the records it changed (the fieldbus record and
// whole subnet records) as they were before and after it, so an undo or redo puts back every field,
// count and node index exactly, whatever rule made the change. A record is stored once and shared:
// what one step leaves is what the next step that changes that record starts from. The history
// also knows the records as its last step left them: a change made outside the history (a
// download's recomputed byte counts) is seen as a difference from them, and the history starts
// again from there, so no undo can bring such values back stale.

#include "core/editor/tree_model.h"
#include "core/model/records.h"

#include <array>
#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>

namespace veltrane {

// An item of the tree by what it stands for, so that it can be found again after a rebuild.
struct ItemLocator {
    ItemKind kind = ItemKind::None;
    int subnet = 0;  // 1-based, 0 for the fieldbus item
    int slot = 0;    // a node's or command's 1-based slot
    int row = -1;    // the grid row a value was committed in, -1 for none

    bool operator==(const ItemLocator&) const = default;
};

// Records as the history keeps them: shared between the steps and never changed.
struct RecordSnapshots {
    std::shared_ptr<const FIELDBUS> fieldbus;
    std::array<std::shared_ptr<const CONFIG>, kSubnetSlots> subnets{};
};

class UndoHistory {
public:
    // About 800 steps that each change one subnet record.
    static constexpr std::size_t kDefaultByteBudget = std::size_t{16} << 20;

    explicit UndoHistory(std::size_t byteBudget = kDefaultByteBudget);

    // Forgets every step; the history starts at `project`, which is the saved state when `saved`.
    void reset(const Project& project, bool saved);
    // Whether `project` is still where the history stands (nothing changed it from outside).
    bool isCurrent(const Project& project) const;

    // Records the change from where the history stands to `project` as one step, dropping the
    // steps that could have been redone. False (and nothing recorded) when no record changed.
    bool record(std::string name, const Project& project, const ItemLocator& undoFocus,
                const ItemLocator& redoFocus);

    bool canUndo() const { return m_position > 0; }
    bool canRedo() const { return m_position < m_steps.size(); }
    // The name of the step an undo or redo would take back or apply; empty when there is none.
    const std::string& undoName() const;
    const std::string& redoName() const;
    // Puts the step's records into `project` and returns the item that shows the change.
    std::optional<ItemLocator> undo(Project& project);
    std::optional<ItemLocator> redo(Project& project);

    // The project was saved where the history stands now.
    void markSaved() { m_saved = m_position; }
    bool atSavedState() const { return m_saved && *m_saved == m_position; }

    std::size_t stepCount() const { return m_steps.size(); }
    // What the steps' own records hold, by the estimate the budget is kept with.
    std::size_t bytes() const { return m_bytes; }

private:
    struct Step {
        std::string name;
        RecordSnapshots before;  // only the records the step changed
        RecordSnapshots after;
        ItemLocator undoFocus;
        ItemLocator redoFocus;
        std::size_t bytes = 0;
    };
    static void apply(const RecordSnapshots& records, Project& project);
    // The records become where the history stands.
    void share(const RecordSnapshots& records);
    void dropOldest();

    std::size_t m_byteBudget;
    RecordSnapshots m_present;  // every record, as the last step left it
    std::deque<Step> m_steps;
    std::size_t m_position = 0;  // steps before it are done
    std::optional<std::size_t> m_saved;  // none when the saved state is no longer in the history
    std::size_t m_bytes = 0;
};

}  // namespace veltrane
