#include "app/table/command_import_dialog.h"

#include "app/common/qt_text.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace veltrane {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

CommandImportDialog::CommandImportDialog(Editor& editor, CommandTable table, const QString& tableName, QWidget* parent)
    : QDialog(parent), m_editor(editor), m_table(std::move(table)) {
    setWindowTitle(qformat(Str::ImportDialogTitle, {tableName.toStdString()}));
    auto* layout = new QVBoxLayout(this);
    m_replace = new QCheckBox(qtr(Str::ImportReplaceOption), this);
    m_convert = new QCheckBox(qtr(Str::ImportConvertOption), this);
    m_summary = new QLabel(this);
    m_added = new QTreeWidget(this);
    m_added->setHeaderLabels({qtr(Str::ImportColumnLine), qtr(Str::TableSubnet), qtr(Str::TableSlaveAddress),
                              qtr(Str::ImportColumnCommand), qtr(Str::ImportColumnNode)});
    m_added->setRootIsDecorated(false);
    m_refusals = new QTreeWidget(this);
    m_refusals->setHeaderLabels({qtr(Str::ImportColumnRefusal)});
    m_refusals->setRootIsDecorated(false);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->button(QDialogButtonBox::Ok)->setText(qtr(Str::ImportButton));
    layout->addWidget(m_replace);
    layout->addWidget(m_convert);
    layout->addWidget(m_summary);
    layout->addWidget(m_added, 3);
    layout->addWidget(new QLabel(qtr(Str::ImportRefusalsHeading), this));
    layout->addWidget(m_refusals, 2);
    layout->addWidget(m_buttons);
    connect(m_replace, &QCheckBox::toggled, this, &CommandImportDialog::refresh);
    connect(m_convert, &QCheckBox::toggled, this, &CommandImportDialog::refresh);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &CommandImportDialog::apply);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(720, 480);
    refresh();
}

void CommandImportDialog::refresh() {
    const ImportOptions options{m_replace->isChecked(), m_convert->isChecked() ? Answer::Ok : Answer::Cancel};
    m_import = prepareCommandImport(m_editor.project(), m_editor.state(), m_table, options);
    m_added->clear();
    for (const ImportedCommand& command : m_import.added)
        m_added->addTopLevelItem(new QTreeWidgetItem(
            {QString::number(command.line), QString::number(command.subnet), qs(command.slaveAddress),
             qs(command.command), command.newNode ? qtr(Str::ImportNewNode) : QString()}));
    m_refusals->clear();
    for (const std::string& refusal : m_import.refusals) {
        auto* item = new QTreeWidgetItem({qs(refusal)});
        item->setForeground(0, QColor(Qt::red));
        m_refusals->addTopLevelItem(item);
    }
    for (int column = 0; column < m_added->columnCount(); ++column)
        m_added->resizeColumnToContents(column);
    m_summary->setText(m_import.accepted()
                           ? qformat(Str::ImportSummary, {std::to_string(m_import.added.size())})
                           : qformat(Str::ImportSummaryRefused, {std::to_string(m_import.refusals.size())}));
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(m_import.accepted());
}

void CommandImportDialog::apply() {
    if (!applyCommandImport(m_editor, m_import))
        return;
    emit imported();
    accept();
}

}  // namespace veltrane
