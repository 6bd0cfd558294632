// The rows of the fieldbus item, as the grid shows them; the rules are in FieldbusParameters.
#include "core/editor/editor.h"
#include "core/editor/fieldbus_parameters.h"
#include "core/editor/row_provider.h"

namespace veltrane {

namespace {

class FieldbusRows : public RowProvider {
public:
    void fillRows(Editor& editor) override {
        showRows(editor.grid(), parameters(editor).rows());
    }
    bool isEditable(const Editor& editor, int row) const override { return parameters(editor).editable(row); }
    std::vector<std::string> optionsFor(const Editor& editor, int row) const override {
        return parameters(editor).options(row);
    }
    bool commitOption(Editor& editor, int row, const std::string& text) override {
        parameters(editor).commitOption(row, text);
        // A pick changes which rows are white and editable (the IP mode, the configuration mode,
        // the timeout choice), so the rows are shown again.
        if (editor.selectionUnchanged()) {
            editor.grid().clear();
            fillRows(editor);
        }
        return true;
    }
    void commitEdit(Editor& editor, int row, std::string& editText) override {
        std::string refusedAccepts;
        editText = parameters(editor).commitEdit(row, editText, &refusedAccepts);
        if (!refusedAccepts.empty())
            editor.refuseInput(refusedAccepts);
    }
    HelpText helpFor(const Editor& editor, int row) const override { return parameters(editor).help(row); }

private:
    // The rules read the records only; the const_cast lets the read-only calls share one type.
    static FieldbusParameters parameters(const Editor& editor) {
        Editor& e = const_cast<Editor&>(editor);
        return FieldbusParameters(e.project(), e.state());
    }
};

}  // namespace

std::unique_ptr<RowProvider> makeFieldbusRows() { return std::make_unique<FieldbusRows>(); }

}  // namespace veltrane
