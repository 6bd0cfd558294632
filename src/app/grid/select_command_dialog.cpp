#include "app/grid/select_command_dialog.h"

#include "core/editor/select_command.h"
#include "core/strings/strings.h"

#include <QListWidget>
#include <QVBoxLayout>

namespace veltrane {

SelectCommandDialog::SelectCommandDialog(Editor& editor, QWidget* parent)
    : QDialog(parent), m_editor(editor) {
    setWindowTitle(QString::fromStdString(veltrane::tr(Str::SelectCommandTitle)));
    auto* layout = new QVBoxLayout(this);
    m_list = new QListWidget(this);
    for (const std::string& text : selectCommandTexts())
        m_list->addItem(QString::fromStdString(text));
    layout->addWidget(m_list);
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { activate(m_list->row(item)); });
    resize(280, 330);
}

void SelectCommandDialog::activate(int row) {
    selectCommandActivated(m_editor, row);
}

} // namespace veltrane
