#include "core/security/PrivateFile.h"

#include <filesystem>

#include "platform/foundation/FileIO.h"

std::optional<std::vector<uint8_t>> readPrivateFile(const std::string& path, size_t maxSize) {
    return readWholeFile(path, maxSize);
}

bool writePrivateFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::path target(path);
    if (target.has_parent_path() && !createPrivateDirectories(target.parent_path().string())) return false;
    return writeFileAtomically(path, bytes);
}
