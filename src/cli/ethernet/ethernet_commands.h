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
};

struct UploadOptions {
    GatewayTarget gateway;
    std::optional<std::string> into;
    std::string output;
};

// 0 when at least one gateway answered, 1 when none did.
int runScanCommand(const ScanOptions& options, std::ostream& out, std::ostream& err);
// 0 only when the gateway confirmed the write. FILE is never rewritten.
int runDownloadCommand(const DownloadOptions& options, std::ostream& out, std::ostream& err);
// 0 when the image was decoded and OUT saved; nothing is written otherwise.
int runUploadCommand(const UploadOptions& options, std::ostream& out, std::ostream& err);

}  // namespace veltrane::cli
