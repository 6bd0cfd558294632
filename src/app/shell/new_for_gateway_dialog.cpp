#include "app/shell/new_for_gateway_dialog.h"

#include "app/common/qt_text.h"
#include "core/strings/strings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

namespace veltrane {

NewForGatewayDialog::NewForGatewayDialog(const NewProjectKind& current, QWidget* parent) : QDialog(parent) {
    setWindowTitle(qtr(Str::NewKindTitle));
    m_type = new QComboBox(this);
    for (std::int32_t type = kFirstDeviceType; type <= kLastDeviceType; ++type)
        m_type->addItem(toQString(deviceTypeDescription(type)), type);
    m_type->setCurrentIndex(m_type->findData(current.deviceType));

    auto* group = new QGroupBox(qtr(Str::NewKindSwitchesLabel), this);
    auto* switches = new QVBoxLayout(group);
    for (const ModelSwitch& s : modelSwitches()) {
        auto* box = new QCheckBox(QString::fromLatin1(s.name.data(), static_cast<qsizetype>(s.name.size())), group);
        box->setChecked(current.flags.*s.flag);
        auto* explanation = new QLabel(qtr(s.explanation), group);
        // Indented under its box, so that each line reads as the box's own.
        explanation->setContentsMargins(box->style()->pixelMetric(QStyle::PM_IndicatorWidth) + 6, 0, 0, 4);
        explanation->setForegroundRole(QPalette::PlaceholderText);
        switches->addWidget(box);
        switches->addWidget(explanation);
        m_switches.push_back({&s, box, explanation});
    }

    auto* form = new QFormLayout;
    form->addRow(qtr(Str::NewKindTypeLabel), m_type);
    auto* note = new QLabel(qtr(Str::NewKindNote), this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(group);
    layout->addWidget(note);
    layout->addStretch();
    layout->addWidget(buttons);
    setMinimumWidth(600);

    connect(m_type, &QComboBox::currentIndexChanged, this, &NewForGatewayDialog::showSwitchesOfType);
    showSwitchesOfType();
}

void NewForGatewayDialog::showSwitchesOfType() {
    const std::int32_t type = m_type->currentData().toInt();
    for (const SwitchRow& row : m_switches) {
        const bool shown = switchTakesEffect(*row.modelSwitch, type);
        row.box->setVisible(shown);
        row.explanation->setVisible(shown);
    }
    // Fewer switches take less room: the dialog shrinks to them rather than spreading them out.
    layout()->activate();
    resize(width(), sizeHint().height());
}

NewProjectKind NewForGatewayDialog::kind() const {
    NewProjectKind kind{m_type->currentData().toInt(), {}};
    for (const SwitchRow& row : m_switches)
        if (switchTakesEffect(*row.modelSwitch, kind.deviceType) && row.box->isChecked())
            kind.flags.*row.modelSwitch->flag = true;
    return kind;
}

QCheckBox* NewForGatewayDialog::switchBox(std::string_view name) const {
    for (const SwitchRow& row : m_switches)
        if (row.modelSwitch->name == name)
            return row.box;
    return nullptr;
}

}  // namespace veltrane
