#pragma once
// Serial download and upload from the command line, as functions over plain options so that any
// argument parser can call them.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "core/link/serial_line_settings.h"

namespace veltrane::cli {

// Each unset value takes the usual setting of the project's device type.
struct SerialLineOptions {
    std::string port;
    std::optional<int> baudRate;
    std::optional<Parity> parity;
    std::optional<int> dataBits;
    std::optional<int> stopBits;
};

struct SerialDownloadOptions {
    std::string projectPath;
    SerialLineOptions line;
    bool acceptConflicts = false;  // answer Yes to the mapping conflict question
    bool verify = false;           // read the configuration back and compare it afterwards
};

struct SerialUploadOptions {
    // Its device type and model switches select what is read; without one, a new project of the
    // type the gateway reports.
    std::optional<std::string> basePath;
    std::string outputPath;  // written only after a complete upload
    SerialLineOptions line;
};

struct SerialCompareOptions {
    std::string projectPath;
    SerialLineOptions line;
    bool json = false;
};

// Exit codes: 0 success, 1 refused or failed, 2 wrong options; a download with verify: 3 written
// but read back differently.
int runSerialDownload(const SerialDownloadOptions& options, std::ostream& out, std::ostream& err);
int runSerialUpload(const SerialUploadOptions& options, std::ostream& out, std::ostream& err);
// 0 the gateway holds what a download of the project would write, 1 it holds something else,
// 2 the project or the gateway could not be read. Only upload requests are sent.
int runSerialCompare(const SerialCompareOptions& options, std::ostream& out, std::ostream& err);


}  // namespace veltrane::cli
