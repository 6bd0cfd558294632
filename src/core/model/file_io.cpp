#include "core/model/file_io.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veltrane {

namespace {
// A descriptor closed on every path out; the write path closes it itself to see close's result.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int writeAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        // A write that moves nothing will never finish the file; on a full disk some systems
        // report it this way instead of with ENOSPC.
        if (written == 0)
            return ENOSPC;
        done += static_cast<std::size_t>(written);
    }
    return 0;
}

// The name to write through: a symbolic link keeps pointing at the file it named.
std::string resolveTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) != nullptr)
            return resolved;
    }
    return path;
}
}  // namespace

int readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    if (path.empty())
        return ENOENT;
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        return errno;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return errno;
    if (!S_ISREG(info.st_mode))
        return EACCES;
    bytes.clear();
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (got == 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return 0;
}

bool isDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    if (path.empty())
        return ENOENT;
    const std::string target = resolveTarget(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return EISDIR;
    // The rename below would replace a file that may not be written to; refuse it as writing in
    // place would.
    if (exists && ::access(target.c_str(), W_OK) != 0)
        return errno;

    const std::string directory = directoryOf(target);
    std::string temporary = directory + "/." + baseNameOf(target) + ".XXXXXX";
    Descriptor fd(::mkstemp(temporary.data()));
    if (fd.get() < 0)
        return errno;

    int error = 0;
    // mkstemp creates the file for its owner only; the saved file gets the old file's mode, or
    // the mode a newly created file would get.
    mode_t mode = 0;
    if (exists) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd.get(), mode) != 0)
        error = errno;
    if (error == 0)
        error = writeAll(fd.get(), bytes);
    if (error == 0 && ::fsync(fd.get()) != 0)
        error = errno;
    const int raw = fd.release();
    if (::close(raw) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return error;
    }
    // The rename itself reaches the disk with the directory; a failure here leaves a complete
    // file either way, so it is not reported.
    Descriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
    return 0;
}

}  // namespace veltrane
