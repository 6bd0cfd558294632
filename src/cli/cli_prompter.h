#pragma once
// The command line's prompter: prints every message and question as it is shown, one per line, and
// answers questions from the answers given on the command line, in order (then No or Cancel).

#include "core/interaction/prompter.h"

#include <iostream>

namespace veltrane::cli {

class PrintingPrompter : public ScriptedPrompter {
public:
    // With `answersShown` a question's line ends with the answer it got (" Yes"), for a transcript
    // whose reader did not see the question's buttons.
    explicit PrintingPrompter(std::vector<Answer> answers = {}, std::ostream& out = std::cout,
                              bool answersShown = false)
        : ScriptedPrompter(std::move(answers)), m_out(out), m_answersShown(answersShown) {}

    void message(const std::string& text) override {
        ScriptedPrompter::message(text);
        m_out << text << '\n';
    }
    Answer ask(const std::string& text, Buttons buttons) override {
        const Answer answer = ScriptedPrompter::ask(text, buttons);
        m_out << text;
        if (m_answersShown)
            m_out << ' ' << answerText(answer);
        m_out << '\n';
        return answer;
    }

private:
    static const char* answerText(Answer answer) {
        switch (answer) {
        case Answer::Yes: return "Yes";
        case Answer::No: return "No";
        case Answer::Ok: return "OK";
        case Answer::Cancel: return "Cancel";
        }
        return "";
    }

    std::ostream& m_out;
    bool m_answersShown;
};

}  // namespace veltrane::cli
