#include "core/security/PrivateFile.h"

#include <filesystem>

#include "platform/foundation/FileIO.h"

std::optional<std::vector<uint8_t>> readPrivateFile(const std::string& path, size_t maxSize) {
    return readWholeFile(path, maxSize);
}

bool writePrivateFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::path target(path);
    std::error_code ec;
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
    return writeFileAtomically(path, bytes, FileAccess::OwnerOnly);
}
