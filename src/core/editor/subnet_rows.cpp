// The rows of a subnet item. For now only its protocol is shown; the full rows per protocol and
// device type replace this file.
#include "editor/editor.h"
#include "editor/row_provider.h"
#include "strings/strings.h"

namespace veltrane {

namespace {

class SubnetRows : public RowProvider {
public:
    void fillRows(Editor& editor) override {
        editor.grid().setRow(0, tr(Str::RowTypeOfProtocolBasic), editor.subnet(editor.view().subnetIndex).protocolType,
                             CellColour::Grey);
    }
    bool isEditable(const Editor&, int) const override { return false; }
    std::vector<std::string> optionsFor(const Editor&, int) const override { return {}; }
    bool commitOption(Editor&, int, const std::string&) override { return true; }
    void commitEdit(Editor&, int, std::string&) override {}
    HelpText helpFor(const Editor&, int) const override { return HelpText::unchanged(); }
};

}  // namespace

std::unique_ptr<RowProvider> makeSubnetRows() { return std::make_unique<SubnetRows>(); }

}  // namespace veltrane
