#pragma once
// The application's command line: an optional project file, and --help and --version, which answer
// on standard output and need no display.

#include <QString>

class QCommandLineParser;

namespace veltrane {

// Declares the options and the file argument on `parser`.
void describeCommandLine(QCommandLineParser& parser);

// Whether the arguments only ask for the help or the version text, so the program can answer them
// without a window system.
bool asksForInformationOnly(int argc, const char* const* argv);

// The project file named on the command line, or empty for a new project.
QString fileArgument(const QCommandLineParser& parser);

} // namespace veltrane
