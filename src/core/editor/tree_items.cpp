#include "core/editor/tree_items.h"

#include "core/model/function_code.h"
#include "core/model/text_value.h"
#include "core/strings/strings.h"

namespace veltrane {

ItemKind kindOf(const TreeModel& tree, ItemId id) { return tree.kind(id); }

int subnetOf(const TreeModel& tree, ItemId id) { return tree.subnet(id); }

int nodeNumberOfText(const std::string& text) {
    const std::size_t prefix = tr(Str::NodeNamePrefix).size();
    return text.size() > prefix ? decimalValue(std::string_view(text).substr(prefix)) : 0;
}

const std::string& commandLabel(const std::string& functionCode) {
    static const std::string none;
    const FunctionCodeInfo& info = functionCodeInfo(functionCode);
    return info.supported ? tr(info.label) : none;
}

}  // namespace veltrane
