// The rows of a subnet item, as the grid shows them; the rules are in SubnetParameters.
#include "core/editor/editor.h"
#include "core/editor/row_provider.h"
#include "core/editor/subnet_parameters.h"
#include "core/strings/strings.h"

namespace veltrane {

namespace {

class SubnetRows : public RowProvider {
public:
    void fillRows(Editor& editor) override {
        const int index = editor.view().subnetIndex;
        editor.view().outputPulseEnabled = editor.subnet(index).outputMode == tr(Str::OutputPulse);
        showRows(editor.grid(), SubnetParameters(editor, index).rows());
    }
    bool isEditable(const Editor& editor, int row) const override { return parameters(editor).editable(row); }
    std::vector<std::string> optionsFor(const Editor& editor, int row) const override {
        return parameters(editor).options(row);
    }
    bool commitOption(Editor& editor, int row, const std::string& text) override {
        const SubnetCommit commit = SubnetParameters(editor, editor.view().subnetIndex).commitOption(row, text);
        // Picks change colours and editability (output mode, frame type, auto sending) and a
        // protocol change the whole layout; a cancelled change shows the stored protocol again.
        if (!editor.view().inFieldbusBranch && editor.selectionUnchanged()) {
            editor.grid().clear();
            fillRows(editor);
        }
        return commit.modified;
    }
    void commitEdit(Editor& editor, int row, std::string& editText) override {
        editText = SubnetParameters(editor, editor.view().subnetIndex).commitEdit(row, editText);
    }
    HelpText helpFor(const Editor& editor, int row) const override { return parameters(editor).help(row); }

private:
    // The read-only rules need the editor only to read the records.
    static SubnetParameters parameters(const Editor& editor) {
        return SubnetParameters(const_cast<Editor&>(editor), editor.view().subnetIndex);
    }
};

}  // namespace

std::unique_ptr<RowProvider> makeSubnetRows() { return std::make_unique<SubnetRows>(); }

}  // namespace veltrane
