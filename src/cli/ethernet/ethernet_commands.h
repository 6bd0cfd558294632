#pragma once
// The Ethernet commands of veltrane-cli, each a function over its options so that any argument
// parser can drive it. Messages the application would show go to `out`, one per line.

#include <ostream>
#include <optional>
#include <string>
#include <vector>

namespace veltrane::cli {

struct ScanOptions {
    std::optional<std::string> direct;        // the direct query of this address instead of a broadcast
    std::vector<std::string> localAddresses;  // empty: every local address
    bool json = false;
};

// The gateway and how the Log In finds it: the direct query of `to`, or a broadcast scan.
struct GatewayTarget {
    std::string to;
    bool broadcast = false;
    std::vector<std::string> localAddresses;  // empty: every local address
};

struct DownloadOptions {
    std::string file;
    GatewayTarget gateway;
    bool restart = false;
    bool verify = false;  // read the image back and compare it before the restart question
};

struct CompareOptions {
    std::string file;
    GatewayTarget gateway;
    bool json = false;
};

struct UploadOptions {
    GatewayTarget gateway;
    std::optional<std::string> into;
    std::string output;
};

// 0 when at least one gateway answered, 1 when none did.
int runScanCommand(const ScanOptions& options, std::ostream& out, std::ostream& err);
// 0 only when the gateway confirmed the write (and, with verify, the image read back is the one
// written; 3 when it is not). FILE is never rewritten.
int runDownloadCommand(const DownloadOptions& options, std::ostream& out, std::ostream& err);
// 0 when the image was decoded and OUT saved; nothing is written otherwise.
int runUploadCommand(const UploadOptions& options, std::ostream& out, std::ostream& err);
// 0 the gateway holds what a download of FILE would write, 1 it holds something else, 2 the file or
// the gateway could not be read. Only the read request is sent.
int runCompareCommand(const CompareOptions& options, std::ostream& out, std::ostream& err);

}  // namespace veltrane::cli
