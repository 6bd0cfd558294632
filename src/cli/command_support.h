#pragma once
// What the sub-commands share: reporting a failure and a wrong command line.

#include "core/interaction/prompter.h"

#include <iostream>
#include <string>

namespace veltrane::cli {

// Prints the messages the application showed to standard error; the exit code of a failure.
inline int failure(const ScriptedPrompter& prompter) {
    for (const std::string& text : prompter.shown())
        std::cerr << text << '\n';
    return 1;
}

inline int usageError(const std::string& usage) {
    std::cerr << "usage: veltrane-cli " << usage << '\n';
    return 2;
}

}  // namespace veltrane::cli
