#pragma once
// What the sub-commands share: reporting a failure.

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

}  // namespace veltrane::cli
