#include "platform/safefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace xq {

namespace {

// Creates a new file beside `file` with a name no other file has; the umask applies to its mode.
int CreateTemporary(const std::filesystem::path& file, std::string* name) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = file.string() + "." + std::to_string(::getpid()) + "-" + std::to_string(++counter) +
                ".tmp";
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

FileWrite ReplaceFileContent(const std::filesystem::path& file, std::string_view bytes) {
    std::string temporary;
    const int fd = CreateTemporary(file, &temporary);
    if (fd < 0) return FileWrite::NotCreated;
    bool ok = true;
    struct stat existing {};
    if (::stat(file.c_str(), &existing) == 0) ok = ::fchmod(fd, existing.st_mode & 07777) == 0;
    ok = ok && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), file.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return FileWrite::Failed;
    }
    return FileWrite::Written;
}

}  // namespace xq
