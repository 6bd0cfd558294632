#pragma once
// The preview of File > Import Commands: what the table adds and every refusal, before anything
// changes. The PLC address question is answered here once for the whole import, and --replace is
// a check box; each change runs the import again over a copy. Import applies it as one edit.

#include "core/table/command_import.h"

#include <QDialog>

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QTreeWidget;

namespace veltrane {

class CommandImportDialog : public QDialog {
    Q_OBJECT
public:
    CommandImportDialog(Editor& editor, CommandTable table, const QString& tableName, QWidget* parent = nullptr);

    const CommandImport& preview() const { return m_import; }

signals:
    // The import was applied to the project.
    void imported();

private:
    void refresh();
    void apply();

    Editor& m_editor;
    CommandTable m_table;
    CommandImport m_import;
    QCheckBox* m_replace = nullptr;
    QCheckBox* m_convert = nullptr;
    QLabel* m_summary = nullptr;
    QTreeWidget* m_added = nullptr;
    QTreeWidget* m_refusals = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};

}  // namespace veltrane
