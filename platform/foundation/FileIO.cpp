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

bool writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, FileDurability durability) {
    const bool durable = durability == FileDurability::Durable;
    if (path.empty()) return false;
    fs::path target(path);
    fs::path folder = target.parent_path();
    std::string pattern = (folder / ("." + target.filename().string() + ".tmp-XXXXXX")).string();
    // mkstemp makes the file 0600 whatever the umask.
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) return false;
    bool ok = writeAll(fd, bytes.data(), bytes.size()) && (!durable || ::fsync(fd) == 0);
    if (::close(fd) != 0) ok = false;
    if (ok && ::rename(pattern.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) {
        ::unlink(pattern.c_str());
        return false;
    }
    if (durable) syncFolder(folder);
    return true;
}

bool createPrivateDirectories(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    if (fs::is_directory(path, ec)) return true;
    fs::path parent = fs::path(path).parent_path();
    if (!parent.empty() && parent != fs::path(path) && !createPrivateDirectories(parent.string())) return false;
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    return fs::is_directory(path, ec);
}

std::string moveFileAside(const std::string& path, const std::vector<std::string>& companions) {
    std::error_code ec;
    std::string aside;
    for (int n = 1;; ++n) {
        aside = path + ".damaged-" + std::to_string(n);
        bool taken = fs::exists(aside, ec);
        for (const auto& companion : companions) taken = taken || fs::exists(aside + companion, ec);
        if (!taken) break;
    }
    fs::rename(path, aside, ec);
    if (ec) return {};
    for (const auto& companion : companions)
        if (fs::exists(path + companion, ec)) fs::rename(path + companion, aside + companion, ec);
    return aside;
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
