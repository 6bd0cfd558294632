#pragma once
// "Select Command": the list of Modbus commands; a double-click, Enter or "Add" adds the current
// entry's command under the selected node. Headings that add nothing are shown disabled. It stays
// open (non-modal) so that several commands can be added in a row; "Close" or Escape closes it.

#include "core/editor/editor.h"

#include <QDialog>

class QListWidget;
class QPushButton;

namespace veltrane {

class SelectCommandDialog : public QDialog {
    Q_OBJECT
public:
    explicit SelectCommandDialog(Editor& editor, QWidget* parent = nullptr);

    QListWidget* list() const { return m_list; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* closeButton() const { return m_close; }

    // Adds entry `row`'s command, as a double-click on it does.
    void activate(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Editor& m_editor;
    QListWidget* m_list = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_close = nullptr;
};

} // namespace veltrane
