#pragma once
// "New for Gateway": the device type by what it is, and the model switches that mean something for
// it, each with a line saying what it does.

#include "core/model/project_kind.h"

#include <QDialog>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;

namespace veltrane {

class NewForGatewayDialog : public QDialog {
    Q_OBJECT
public:
    explicit NewForGatewayDialog(const NewProjectKind& current, QWidget* parent = nullptr);

    // The type chosen and those of its switches that are ticked and shown.
    NewProjectKind kind() const;
    QComboBox* typeBox() const { return m_type; }
    QCheckBox* switchBox(std::string_view name) const;

private:
    void showSwitchesOfType();

    QComboBox* m_type = nullptr;
    struct SwitchRow {
        const ModelSwitch* modelSwitch;
        QCheckBox* box;
        QLabel* explanation;
    };
    std::vector<SwitchRow> m_switches;
};

}  // namespace veltrane
