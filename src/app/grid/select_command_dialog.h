#pragma once
// "Select Command": the list of Modbus commands; a double-click adds the entry's command under the
// selected node. It stays open so that several commands can be added in a row.

#include "core/editor/editor.h"

#include <QDialog>

#include <functional>

class QListWidget;

namespace veltrane {

class SelectCommandDialog : public QDialog {
    Q_OBJECT
public:
    explicit SelectCommandDialog(Editor& editor, QWidget* parent = nullptr);

    QListWidget* list() const { return m_list; }

    // A double-click on entry `row`, as the list forwards it.
    void activate(int row);

private:
    Editor& m_editor;
    QListWidget* m_list = nullptr;
};

} // namespace veltrane
