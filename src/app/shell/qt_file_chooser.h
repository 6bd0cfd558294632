#pragma once
// The open and save dialogs for project files and exported workbooks.

#include "core/interaction/file_chooser.h"

#include <QPointer>
#include <QWidget>

namespace veltrane {

class QtFileChooser : public FileChooser {
public:
    explicit QtFileChooser(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    std::optional<std::string> chooseOpenFile() override;
    std::optional<std::string> chooseSaveFile(const std::string& suggestedName) override;
    std::optional<std::string> chooseWorkbookFile(const std::string& suggestedPath) override;

private:
    QPointer<QWidget> m_parent;
    QString m_lastDirectory;
};

} // namespace veltrane
