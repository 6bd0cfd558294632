#pragma once
// The Conflict Detection dialog: the list of commands with check boxes, the input and output
// buffer grids, the legend, and the bit pop-up shown while a grid cell is pressed. Opening it
// clears the conflict flag and colours both grids, which sets the flag again on any conflict.

#include "core/mapping/conflict_detection.h"

#include <QDialog>

class QListWidget;
class QListWidgetItem;
class QTableView;

namespace veltrane {

class BitPopup;
class BufferGridModel;

class ConflictDetectionDialog : public QDialog {
    Q_OBJECT
public:
    ConflictDetectionDialog(const Project& project, const ProjectState& state,
                            MappingConflictState& conflictState, QWidget* parent = nullptr);
    ~ConflictDetectionDialog() override;

    const ConflictDetection& detection() const { return m_detection; }
    QListWidget* commandList() const { return m_list; }
    QTableView* view(BufferGrid grid) const;
    BufferGridModel* model(BufferGrid grid) const;
    // The bit pop-up while it exists (it is hidden, not destroyed, when the button is released).
    BitPopup* bitPopup() const { return m_popup; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QTableView* makeGridView(BufferGridModel* model);
    void onItemChanged(QListWidgetItem* item);
    void showBits(BufferGrid grid, std::int64_t byte, const QPoint& globalPos);

    ConflictDetection m_detection;
    QListWidget* m_list = nullptr;
    BufferGridModel* m_inputModel = nullptr;
    BufferGridModel* m_outputModel = nullptr;
    QTableView* m_inputView = nullptr;
    QTableView* m_outputView = nullptr;
    BitPopup* m_popup = nullptr;
    bool m_skipNextGridPress = false;
};

}  // namespace veltrane
