#pragma once
// A headless tree: items with a text, a kind, the subnet they belong to, an integer item data, a
// parent, ordered children, an expanded state and one selected item. The Qt tree widget only
// mirrors it. Items are identified by kind and subnet, never by their texts.

#include "core/common/change_signal.h"

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace veltrane {

using ItemId = int;
inline constexpr ItemId kNoItem = -1;

enum class ItemKind { None, Fieldbus, Subnet, Node, Command };

class TreeModel {
public:
    struct Item {
        std::string text;
        ItemKind kind = ItemKind::None;
        int subnet = 0;  // 1-based subnet the item belongs to, 0 outside any subnet
        int data = 0;    // nodes and commands: their 1-based slot in the subnet
        ItemId parent = kNoItem;
        std::vector<ItemId> children;
        bool expanded = false;
    };

    // Notified after every change of structure, texts, data, expansion or selection.
    ChangeSignal<>& changes() { return m_changes; }

    // A child takes its kind from its parent (a subnet holds nodes, a node commands) and belongs to
    // its parent's subnet.
    ItemId insert(ItemId parent, std::string text, int data = 0);
    // A top-level item of the layout; `subnet` is 1 ... 4 for a subnet item.
    ItemId insertTop(ItemKind kind, std::string text, int subnet = 0);
    void remove(ItemId id);  // with its children; clears the selection when it was inside
    void clear();

    bool contains(ItemId id) const { return m_items.count(id) != 0; }
    const Item& item(ItemId id) const { return m_items.at(id); }
    const std::string& text(ItemId id) const { return item(id).text; }
    int data(ItemId id) const { return item(id).data; }
    ItemKind kind(ItemId id) const { return contains(id) ? item(id).kind : ItemKind::None; }
    int subnet(ItemId id) const { return contains(id) ? item(id).subnet : 0; }
    ItemId parent(ItemId id) const { return contains(id) ? item(id).parent : kNoItem; }
    const std::vector<ItemId>& children(ItemId id) const;  // kNoItem: the top-level items
    const std::vector<ItemId>& topLevel() const { return m_topLevel; }

    void setText(ItemId id, std::string text);
    void setData(ItemId id, int data);
    void setExpanded(ItemId id, bool expanded);
    bool isExpanded(ItemId id) const { return item(id).expanded; }

    ItemId selected() const { return m_selected; }
    void select(ItemId id);  // kNoItem clears the selection

    // Path of texts from the top level down, "Subnet 1/Node-1/03 Read Holding Register".
    std::string path(ItemId id) const;
    // Depth-first order of every item.
    std::vector<ItemId> allItems() const;

private:
    void changed();
    void removeRecursive(ItemId id);
    ItemId add(ItemId parent, Item item);

    std::unordered_map<ItemId, Item> m_items;
    std::vector<ItemId> m_topLevel;
    ItemId m_selected = kNoItem;
    ItemId m_nextId = 1;
    ChangeSignal<> m_changes;
};

}  // namespace veltrane
