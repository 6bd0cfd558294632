#include "core/editor/tree_paths.h"

#include "core/common/windows1252.h"
#include "core/model/text_value.h"

namespace veltrane {

std::optional<ItemId> findItemByPath(const TreeModel& tree, const std::string& path) {
    ItemId at = kNoItem;
    std::size_t begin = 0;
    while (begin <= path.size()) {
        const std::size_t slash = path.find('/', begin);
        std::string segment = path.substr(begin, slash == std::string::npos ? std::string::npos : slash - begin);
        int wanted = 1;
        const std::size_t hash = segment.rfind('#');
        if (hash != std::string::npos && hash + 1 < segment.size() && isCanonical(segment.substr(hash + 1))) {
            wanted = decimalValue(segment.substr(hash + 1));
            segment.erase(hash);
        }
        ItemId found = kNoItem;
        int seen = 0;
        for (ItemId child : tree.children(at)) {
            if (windows1252ToUtf8(tree.text(child)) == segment && ++seen == wanted) {
                found = child;
                break;
            }
        }
        if (found == kNoItem)
            return std::nullopt;
        at = found;
        if (slash == std::string::npos)
            break;
        begin = slash + 1;
    }
    return at;
}

std::string itemPathOf(const TreeModel& tree, ItemId id) {
    std::string path;
    for (ItemId at = id; at != kNoItem; at = tree.parent(at)) {
        const std::string& text = tree.text(at);
        int equal = 0;
        int position = 0;
        for (ItemId sibling : tree.children(tree.parent(at))) {
            if (tree.text(sibling) != text)
                continue;
            ++equal;
            if (sibling == at)
                position = equal;
        }
        std::string segment = text;
        if (equal > 1)
            segment += "#" + std::to_string(position);
        path = path.empty() ? segment : segment + "/" + path;
    }
    return path;
}

}  // namespace veltrane
