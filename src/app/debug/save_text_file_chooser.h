#pragma once
// The save dialog of "Save Content" (text files) and "Save Trace" (CSV files, told by the suggested
// name's extension); no overwrite question (the file is truncated).

#include "core/interaction/file_chooser.h"

#include <QPointer>
#include <QWidget>

namespace veltrane {

class SaveTextFileChooser : public FileChooser {
public:
    explicit SaveTextFileChooser(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    std::optional<std::string> chooseOpenFile() override { return std::nullopt; }
    std::optional<std::string> chooseSaveFile(const std::string& suggestedName) override;
    // The monitor saves text only.
    std::optional<std::string> chooseWorkbookFile(const std::string&) override { return std::nullopt; }

private:
    QPointer<QWidget> m_parent;
};

}  // namespace veltrane
