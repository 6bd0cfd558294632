#include "core/editor/tree_model.h"

#include <algorithm>

namespace veltrane {

ItemId TreeModel::insert(ItemId parent, std::string text, int data) {
    Item item;
    item.text = std::move(text);
    item.data = data;
    item.subnet = subnet(parent);
    switch (kind(parent)) {
    case ItemKind::Subnet: item.kind = ItemKind::Node; break;
    case ItemKind::Node: item.kind = ItemKind::Command; break;
    default: break;
    }
    return add(parent, std::move(item));
}

ItemId TreeModel::insertTop(ItemKind kind, std::string text, int subnet) {
    Item item;
    item.text = std::move(text);
    item.kind = kind;
    item.subnet = subnet;
    return add(kNoItem, std::move(item));
}

ItemId TreeModel::add(ItemId parent, Item item) {
    const ItemId id = m_nextId++;
    item.parent = parent;
    m_items.emplace(id, std::move(item));
    if (parent == kNoItem)
        m_topLevel.push_back(id);
    else
        m_items.at(parent).children.push_back(id);
    changed();
    return id;
}

void TreeModel::removeRecursive(ItemId id) {
    const std::vector<ItemId> children = m_items.at(id).children;
    for (ItemId child : children)
        removeRecursive(child);
    if (m_selected == id)
        m_selected = kNoItem;
    m_items.erase(id);
}

void TreeModel::remove(ItemId id) {
    if (!contains(id))
        return;
    const ItemId parentId = item(id).parent;
    std::vector<ItemId>& siblings = parentId == kNoItem ? m_topLevel : m_items.at(parentId).children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), id), siblings.end());
    removeRecursive(id);
    changed();
}

void TreeModel::clear() {
    m_items.clear();
    m_topLevel.clear();
    m_selected = kNoItem;
    changed();
}

const std::vector<ItemId>& TreeModel::children(ItemId id) const {
    return id == kNoItem ? m_topLevel : item(id).children;
}

void TreeModel::setText(ItemId id, std::string text) {
    m_items.at(id).text = std::move(text);
    changed();
}

void TreeModel::setData(ItemId id, int data) {
    m_items.at(id).data = data;
    changed();
}

void TreeModel::setExpanded(ItemId id, bool expanded) {
    m_items.at(id).expanded = expanded;
    changed();
}

void TreeModel::select(ItemId id) {
    m_selected = contains(id) ? id : kNoItem;
    changed();
}

std::string TreeModel::path(ItemId id) const {
    std::string result;
    for (ItemId at = id; at != kNoItem && contains(at); at = item(at).parent)
        result = result.empty() ? item(at).text : item(at).text + "/" + result;
    return result;
}

std::vector<ItemId> TreeModel::allItems() const {
    std::vector<ItemId> out;
    std::function<void(ItemId)> walk = [&](ItemId id) {
        out.push_back(id);
        for (ItemId child : item(id).children)
            walk(child);
    };
    for (ItemId top : m_topLevel)
        walk(top);
    return out;
}

void TreeModel::changed() {
    m_changes.notify();
}

}  // namespace veltrane
