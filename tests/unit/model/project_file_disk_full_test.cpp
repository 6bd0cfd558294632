// A save on a full disk. The test runs itself again inside a private mount namespace
// (unshare -rm) where a 64 KiB tmpfs can be mounted without touching the host.

#include "core/document/document.h"
#include "file_test_support.h"
#include "support/cli_runner.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace veltrane;
using namespace veltrane::testing;

namespace {

constexpr const char* kInsideVariable = "VELTRANE_DISK_FULL_CHILD";
constexpr int kCannotMount = 77;

// Writes zeros until the disk refuses more, then frees `spare` bytes again.
void fillDisk(const std::string& path, off_t spare) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    std::array<char, 1024> zeros{};
    off_t total = 0;
    for (;;) {
        const ssize_t written = ::write(fd, zeros.data(), zeros.size());
        if (written <= 0)
            break;
        total += written;
    }
    ASSERT_EQ(errno, ENOSPC);
    ASSERT_EQ(::ftruncate(fd, total > spare ? total - spare : 0), 0);
    ::close(fd);
}

void saveOnFullDisk() {
    TempDir dir;
    if (::mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=64k") != 0)
        std::exit(kCannotMount);
    const std::string path = dir.file("project.chg");

    ScriptedPrompter prompter;
    Document document(prompter);
    document.newDocument();
    ASSERT_TRUE(document.saveDocument(path));
    const std::vector<std::uint8_t> saved = readBytes(path);

    // A project far larger than the space left: long node names in both subnets.
    for (CONFIG& subnet : document.project().subnets) {
        subnet.nodeCount = kMaxNodes;
        for (NodeEntry& node : subnet.nodes)
            node = NodeEntry{"1", std::string(600, 'n')};
    }
    document.state().ProjectModified = true;
    fillDisk(dir.file("filler"), 8 * 1024);

    EXPECT_FALSE(document.saveDocument(path));
    EXPECT_EQ(prompter.shown(), std::vector<std::string>{"Disk full while accessing " + path + "."});
    EXPECT_EQ(readBytes(path), saved);
    EXPECT_TRUE(document.state().ProjectModified);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"filler", "project.chg"}));
    ::umount(dir.path().c_str());
}

}  // namespace

TEST(ProjectFileSave, FullDiskLeavesThePreviousFileIntact) {
    if (std::getenv(kInsideVariable) != nullptr) {
        saveOnFullDisk();
        return;
    }
    if (runProgram("/usr/bin/unshare", {"-rm", "true"}).exitCode != 0)
        GTEST_SKIP() << "unshare -rm is not permitted here";
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const RunResult run =
        runProgram("/usr/bin/env", {std::string(kInsideVariable) + "=1", "/usr/bin/unshare", "-rm", self,
                                    "--gtest_filter=ProjectFileSave.FullDiskLeavesThePreviousFileIntact"});
    if (run.exitCode == kCannotMount)
        GTEST_SKIP() << "tmpfs cannot be mounted here";
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
}
