#pragma once
// The parameter grid on screen: a two-column table mirroring the editor's headless grid, with the
// edit box and the option list placed over the clicked value cell. Clicks, typing, picks, focus
// loss and resizes are forwarded to the editor; the widget decides nothing itself.
//
// Keys follow Qt's item editors: Tab and Shift+Tab commit and open the next or previous editable
// row (wrapping around), Escape closes the editor and keeps the stored value, Enter commits; with
// no editor open, Up and Down move the current row (showing its help, as a click on its title
// does), Enter or F2 open its editor, and a typed character opens it holding that character.
// After a commit (and any message or question it showed) the keys stay with the grid.

#include "core/editor/editor.h"

#include <QWidget>

#include <functional>

class QComboBox;
class QKeyEvent;
class QLineEdit;
class QTableWidget;

namespace veltrane {

class ParameterGridWidget : public QWidget {
    Q_OBJECT
public:
    explicit ParameterGridWidget(Editor& editor, QWidget* parent = nullptr);
    ~ParameterGridWidget() override;

    // Receives the help text whenever a click shows it (the main window's "Info" tab).
    std::function<void(const QString&)> onHelpText;
    // The help text went with the selection it belonged to.
    std::function<void()> onHelpCleared;

    QTableWidget* table() const { return m_table; }
    QLineEdit* editBox() const { return m_editBox; }
    QComboBox* optionList() const { return m_options; }

    // Shows the editor's grid and cell editors as they are now.
    void refresh();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void scheduleRefresh();
    void onCellClicked(int row, int column);
    void onOptionActivated(int index);
    void commitEdit();
    void placeEditors();
    bool editorKey(QObject* watched, int key, Qt::KeyboardModifiers modifiers);
    bool tableKey(const QKeyEvent& event);
    bool typedOnRow(int row, const QKeyEvent& event);
    bool keysInGrid() const;
    void keepKeysInGrid(bool hadKeys);
    // Commits or closes the open editor, then opens the editable row after (or before) it.
    void moveToEditableRow(int step);
    void openRow(int row);
    QRect cellRect(int row, int column) const;

    Editor& m_editor;
    ChangeSignal<>::Subscription m_gridSubscription;
    QTableWidget* m_table = nullptr;
    QLineEdit* m_editBox = nullptr;
    QComboBox* m_options = nullptr;
    bool m_refreshQueued = false;
    bool m_refreshing = false;
    bool m_committing = false;
    int m_editBoxRow = -1;
};

} // namespace veltrane
