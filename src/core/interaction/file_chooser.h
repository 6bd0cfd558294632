#pragma once
// The open and save file dialogs, behind an interface so that tests answer them without a window.

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace veltrane {

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The file to open; nothing when the user cancelled.
    virtual std::optional<std::string> chooseOpenFile() = 0;
    // The file to save to, starting from a suggested name; nothing when the user cancelled.
    virtual std::optional<std::string> chooseSaveFile(const std::string& suggestedName) = 0;
    // The workbook to export to, starting from a suggested path; nothing when the user cancelled.
    virtual std::optional<std::string> chooseWorkbookFile(const std::string& suggestedPath) = 0;
};

// Answers the dialogs from lists given in advance (nothing, as if cancelled, once a list runs out)
// and counts the calls; used by tests, like ScriptedPrompter.
class ScriptedFileChooser : public FileChooser {
public:
    std::deque<std::optional<std::string>> openAnswers;
    std::deque<std::optional<std::string>> saveAnswers;
    std::deque<std::optional<std::string>> workbookAnswers;
    int openCalls = 0;
    int saveCalls = 0;
    std::string lastSuggestion;
    std::vector<std::string> workbookSuggestions;

    std::optional<std::string> chooseOpenFile() override {
        ++openCalls;
        return next(openAnswers);
    }
    std::optional<std::string> chooseSaveFile(const std::string& suggestedName) override {
        ++saveCalls;
        lastSuggestion = suggestedName;
        return next(saveAnswers);
    }
    std::optional<std::string> chooseWorkbookFile(const std::string& suggestedPath) override {
        workbookSuggestions.push_back(suggestedPath);
        return next(workbookAnswers);
    }

private:
    static std::optional<std::string> next(std::deque<std::optional<std::string>>& answers) {
        if (answers.empty())
            return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

} // namespace veltrane
