#include "core/model/file_io.h"

#include "core/strings/strings.h"

#include <cerrno>
#include <climits>
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

// Links followed before a name counts as a loop, as the kernel's own bound.
constexpr int kMaxLinkHops = 40;

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

std::string withFileName(Str id, const std::string& path) {
    std::string text = tr(id);
    const std::size_t at = text.find("%1");
    if (at != std::string::npos)
        text.replace(at, 2, path);
    return text;
}

// The message for a failed file-system call; `fallback` covers causes without a text of their own.
Error fileError(int error, const std::string& path, bool reading) {
    const auto io = [](std::string message) { return makeError(ErrorKind::Io, std::move(message)); };
    switch (error) {
    case ENOENT:
        // A missing file is "not found"; a missing folder on the way to it is a wrong path.
        if (!reading || path.empty())
            return io(withFileName(Str::FileBadPath, path));
        return io(withFileName(isDirectory(directoryOf(path)) ? Str::FileNotFound : Str::FileBadPath, path));
    case ELOOP:
        return io(withFileName(Str::FileLinkLoop, path));
    case ENOTDIR:
    case ENAMETOOLONG:
        return io(withFileName(Str::FileBadPath, path));
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return io(withFileName(Str::FileAccessDenied, path));
    case ETXTBSY:
    case EBUSY:
        return io(withFileName(Str::FileSharingViolation, path));
    case ENOSPC:
    case EDQUOT:
        return io(withFileName(Str::FileDiskFull, path));
    default:
        return io(tr(reading ? Str::FileOpenFailed : Str::FileSaveFailed));
    }
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

// The name to write through: a symbolic link keeps pointing at the file it names, also when that
// file does not exist yet. 0 or an errno value (ELOOP for a loop).
int resolveTarget(const std::string& path, std::string& target) {
    target = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return 0;  // not a link (or nothing yet): this is the file
        char link[PATH_MAX];
        const ssize_t length = ::readlink(target.c_str(), link, sizeof link);
        if (length < 0)
            return errno;
        if (static_cast<std::size_t>(length) >= sizeof link)
            return ENAMETOOLONG;
        const std::string next(link, static_cast<std::size_t>(length));
        target = next.starts_with('/') ? next : directoryOf(target) + "/" + next;
    }
    return ELOOP;
}

// ".NAME.XXXXXX" beside the target, with NAME shortened so that the whole stays a valid name.
std::string temporaryPattern(const std::string& directory, const std::string& baseName) {
    constexpr std::string_view suffix = ".XXXXXX";
    const long limit = ::pathconf(directory.c_str(), _PC_NAME_MAX);
    const std::size_t nameMax = limit > 0 ? static_cast<std::size_t>(limit) : NAME_MAX;
    const std::size_t room = nameMax > suffix.size() + 1 ? nameMax - suffix.size() - 1 : 0;
    std::size_t keep = std::min(baseName.size(), room);
    // Never cut a UTF-8 character in two.
    while (keep > 0 && keep < baseName.size() && (static_cast<unsigned char>(baseName[keep]) & 0xC0) == 0x80)
        --keep;
    return directory + "/." + baseName.substr(0, keep) + std::string(suffix);
}
}  // namespace

Result<std::vector<std::uint8_t>> readWholeFile(const std::string& path, std::uint64_t maxBytes) {
    if (path.empty())
        return fileError(ENOENT, path, true);
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        return fileError(errno, path, true);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return fileError(errno, path, true);
    if (!S_ISREG(info.st_mode))
        return fileError(EACCES, path, true);
    if (static_cast<std::uint64_t>(info.st_size) > maxBytes)
        return makeError(ErrorKind::Refused, withFileName(Str::FileTooLarge, path));
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return fileError(errno, path, true);
        }
        if (got == 0)
            break;
        // A file that grows while it is read is still held to the bound.
        if (bytes.size() + static_cast<std::size_t>(got) > maxBytes)
            return makeError(ErrorKind::Refused, withFileName(Str::FileTooLarge, path));
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

bool isDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

namespace {
// Where a save of `path` lands, and what is there now. Only a regular file (or nothing) may be
// replaced: renaming over a FIFO or a device node would swap it for a plain file, and opening one
// to write could block or feed the device. Nothing is opened here.
Status saveTarget(const std::string& path, std::string& target, struct stat& existing, bool& exists) {
    if (path.empty())
        return fileError(ENOENT, path, false);
    if (const int error = resolveTarget(path, target); error != 0)
        return fileError(error, path, false);
    exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return fileError(EISDIR, path, false);
    if (exists && !S_ISREG(existing.st_mode))
        return makeError(ErrorKind::Refused, withFileName(Str::FileNotRegular, path));
    return {};
}
}  // namespace

Status checkSaveTarget(const std::string& path) {
    std::string target;
    struct stat existing {};
    bool exists = false;
    return saveTarget(path, target, existing, exists);
}

Status writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::string target;
    struct stat existing {};
    bool exists = false;
    if (Status usable = saveTarget(path, target, existing, exists); !usable)
        return usable;
    // The rename below would replace a file that may not be written to; refuse it as writing in
    // place would.
    if (exists && ::access(target.c_str(), W_OK) != 0)
        return fileError(errno, path, false);

    const std::string directory = directoryOf(target);
    std::string temporary = temporaryPattern(directory, baseNameOf(target));
    Descriptor fd(::mkstemp(temporary.data()));
    if (fd.get() < 0)
        return fileError(errno, path, false);

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
        return fileError(error, path, false);
    }
    // The rename itself reaches the disk with the directory; a failure here leaves a complete
    // file either way, so it is not reported.
    Descriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
    return {};
}

}  // namespace veltrane
