#include "platform/safefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>

namespace xq {

namespace {

namespace fs = std::filesystem;

// The kernel gives up on a chain of links at the same length.
constexpr int kLongestLinkChain = 40;

// The file a save replaces: `file` itself or, through any chain of symbolic links, the file the
// chain ends at (which need not exist yet), so that the links stay links. Nothing for a loop.
std::optional<fs::path> FileBehindLinks(fs::path file) {
    for (int hop = 0; hop < kLongestLinkChain; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(file, error))) return file;
        const fs::path target = fs::read_symlink(file, error);
        if (error) return std::nullopt;
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    return std::nullopt;
}

// Creates a new file in `folder` with a short name no other file has, so that it can be made
// beside a file whose own name is as long as the file system allows; the umask applies to its
// mode.
int CreateTemporary(const fs::path& folder, std::string* name) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string base =
            ".xq" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".tmp";
        *name = (folder / base).string();
        const int fd = ::open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

}  // namespace

FileWrite ReplaceFileContent(const fs::path& file, std::string_view bytes) {
    const std::optional<fs::path> target = FileBehindLinks(file);
    if (!target) return FileWrite::NotCreated;
    // A rename could replace a file that may not be written; opening it for writing could not.
    struct stat existing {};
    const bool exists = ::stat(target->c_str(), &existing) == 0;
    if (exists && ::faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0)
        return FileWrite::NotCreated;
    std::string temporary;
    const int fd = CreateTemporary(target->parent_path(), &temporary);
    if (fd < 0) return FileWrite::NotCreated;
    bool ok = !exists || ::fchmod(fd, existing.st_mode & 07777) == 0;
    ok = ok && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), target->c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return FileWrite::Failed;
    }
    return FileWrite::Written;
}

}  // namespace xq
