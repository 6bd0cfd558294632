#pragma once
// Help > About: the product's name and version. It does not touch the project.

#include <QDialog>

namespace veltrane {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
    QString versionText() const;

private:
    QString m_version;
};

} // namespace veltrane
