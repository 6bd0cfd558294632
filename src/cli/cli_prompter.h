#pragma once
// Prints every message and question to standard output, one per line, and answers questions from
// the --answer flags given on the command line, in order.

#include "core/interaction/prompter.h"

#include <iostream>

namespace veltrane::cli {

class PrintingPrompter : public ScriptedPrompter {
public:
    using ScriptedPrompter::ScriptedPrompter;

    void message(const std::string& text) override {
        ScriptedPrompter::message(text);
        std::cout << text << '\n';
    }
    Answer ask(const std::string& text, Buttons buttons) override {
        const Answer answer = ScriptedPrompter::ask(text, buttons);
        std::cout << text << '\n';
        return answer;
    }
};

}  // namespace veltrane::cli
