#pragma once
// The one way the rules talk to the user. The GUI answers with dialogs, the CLI and tests with
// scripted answers; no rule ever touches a widget.

#include <string>
#include <vector>

namespace veltrane {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

class Prompter {
public:
    virtual ~Prompter() = default;
    // A message box with an OK button.
    virtual void message(const std::string& text) = 0;
    // A question; returns the button chosen.
    virtual Answer ask(const std::string& text, Buttons buttons) = 0;
    // A question in a dialog of its own name; where there is no title to show, a plain question.
    virtual Answer askTitled(const std::string& title, const std::string& text, Buttons buttons) {
        (void)title;
        return ask(text, buttons);
    }
    // A message or question with, below it, what the user needs to act on it (the names and
    // numbers behind a refusal). Where there is no second text to show, the two are one text.
    virtual void messageWithDetail(const std::string& text, const std::string& detail) {
        message(joinedWithDetail(text, detail));
    }
    virtual Answer askWithDetail(const std::string& text, const std::string& detail, Buttons buttons) {
        return ask(joinedWithDetail(text, detail), buttons);
    }

protected:
    static std::string joinedWithDetail(const std::string& text, const std::string& detail) {
        return detail.empty() ? text : text + '\n' + detail;
    }
};

// Answers questions from a list given in advance and records everything shown; used by the CLI
// and by tests. When the list runs out, questions are answered with Cancel (or No).
class ScriptedPrompter : public Prompter {
public:
    explicit ScriptedPrompter(std::vector<Answer> answers = {}) : m_answers(std::move(answers)) {}

    void message(const std::string& text) override { m_shown.push_back(text); }
    Answer ask(const std::string& text, Buttons buttons) override {
        m_shown.push_back(text);
        if (m_next < m_answers.size())
            return m_answers[m_next++];
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }

    void addAnswer(Answer answer) { m_answers.push_back(answer); }
    const std::vector<std::string>& shown() const { return m_shown; }
    void clearShown() { m_shown.clear(); }
    std::size_t answersUsed() const { return m_next; }

private:
    std::vector<Answer> m_answers;
    std::vector<std::string> m_shown;
    std::size_t m_next = 0;
};

}  // namespace veltrane
