#pragma once
// The open and save file dialogs, behind an interface so that tests answer them without a window.

#include <optional>
#include <string>

namespace veltrane {

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The file to open; nothing when the user cancelled.
    virtual std::optional<std::string> chooseOpenFile() = 0;
    // The file to save to, starting from a suggested name; nothing when the user cancelled.
    virtual std::optional<std::string> chooseSaveFile(const std::string& suggestedName) = 0;
};

} // namespace veltrane
