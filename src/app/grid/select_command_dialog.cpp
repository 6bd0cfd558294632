#include "app/grid/select_command_dialog.h"

#include "core/editor/select_command.h"
#include "core/strings/strings.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace veltrane {

SelectCommandDialog::SelectCommandDialog(Editor& editor, QWidget* parent)
    : QDialog(parent), m_editor(editor) {
    setWindowTitle(QString::fromStdString(veltrane::tr(Str::SelectCommandTitle)));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    m_list = new QListWidget(this);
    const std::vector<std::string> texts = selectCommandTexts();
    for (int row = 0; row < static_cast<int>(texts.size()); ++row) {
        auto* item = new QListWidgetItem(QString::fromStdString(texts[static_cast<std::size_t>(row)]), m_list);
        if (!selectCommandAddsCommand(row))
            item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
    }
    m_list->installEventFilter(this);
    layout->addWidget(m_list);

    auto* buttons = new QDialogButtonBox(this);
    m_add = buttons->addButton(QString::fromStdString(veltrane::tr(Str::SelectCommandAdd)),
                               QDialogButtonBox::ActionRole);
    m_close = buttons->addButton(QString::fromStdString(veltrane::tr(Str::SelectCommandClose)),
                                 QDialogButtonBox::RejectRole);
    // Enter belongs to the list (it adds the current entry), never to a default button.
    for (QPushButton* button : {m_add, m_close}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    layout->addWidget(buttons);

    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { activate(m_list->row(item)); });
    connect(m_list, &QListWidget::currentRowChanged, this,
            [this](int row) { m_add->setEnabled(selectCommandAddsCommand(row)); });
    connect(m_add, &QPushButton::clicked, this, [this] { activate(m_list->currentRow()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // Start on the first entry that adds a command, so Enter works at once.
    for (int row = 0; row < m_list->count(); ++row) {
        if (selectCommandAddsCommand(row)) {
            m_list->setCurrentRow(row);
            break;
        }
    }
    m_add->setEnabled(selectCommandAddsCommand(m_list->currentRow()));
    resize(300, 340);
}

void SelectCommandDialog::activate(int row) {
    selectCommandActivated(m_editor, row);
}

bool SelectCommandDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            activate(m_list->currentRow());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace veltrane
