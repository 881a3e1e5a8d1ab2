#include "platform/foundation/FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

bool writeAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

void syncFolder(const fs::path& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

bool writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, FileAccess access,
                         FileDurability durability) {
    const bool durable = durability == FileDurability::Durable;
    if (path.empty()) return false;
    fs::path target(path);
    fs::path folder = target.parent_path();
    std::string pattern = (folder / ("." + target.filename().string() + ".tmp-XXXXXX")).string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) return false;
    bool ok = writeAll(fd, bytes.data(), bytes.size()) && (!durable || ::fsync(fd) == 0);
    // mkstemp makes the file private to the owner; otherwise keep the old
    // file's permissions, or those of a new file.
    if (ok && access == FileAccess::Usual) {
        struct stat st;
        if (::stat(path.c_str(), &st) == 0)
            ::fchmod(fd, st.st_mode & 07777);
        else {
            mode_t mask = ::umask(0);
            ::umask(mask);
            ::fchmod(fd, 0666 & ~mask);
        }
    }
    if (::close(fd) != 0) ok = false;
    if (ok && ::rename(pattern.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) {
        ::unlink(pattern.c_str());
        return false;
    }
    if (durable) syncFolder(folder);
    return true;
}

std::optional<std::vector<uint8_t>> readWholeFile(const std::string& path, size_t maxBytes) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<uint64_t>(st.st_size) > maxBytes) {
        ::close(fd);
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    bytes.reserve(static_cast<size_t>(st.st_size));
    uint8_t buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        if (bytes.size() + static_cast<size_t>(n) > maxBytes) {
            ::close(fd);
            return std::nullopt;
        }
        bytes.insert(bytes.end(), buf, buf + n);
    }
    ::close(fd);
    return bytes;
}
