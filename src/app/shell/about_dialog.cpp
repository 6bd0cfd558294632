#include "app/shell/about_dialog.h"

#include "app/common/qt_text.h"
#include "app/shell/product_info.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace veltrane {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(qtr(Str::AboutTitle));
    m_version = qformat(Str::AboutVersion, {productVersion()});

    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(qtr(Str::MainCaption), this);
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    name->setFont(bold);
    layout->addWidget(name);
    layout->addWidget(new QLabel(m_version, this));
    auto* description = new QLabel(qtr(Str::AboutDescription), this);
    description->setWordWrap(true);
    layout->addWidget(description);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(qtr(Str::ButtonOk), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

QString AboutDialog::versionText() const {
    return m_version;
}

} // namespace veltrane
