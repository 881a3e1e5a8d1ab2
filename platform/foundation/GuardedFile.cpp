#include "platform/foundation/GuardedFile.h"

#include <filesystem>
#include <mutex>

namespace fs = std::filesystem;

namespace {

std::mutex gNotesMutex;
std::vector<RecoveredFile> gNotes;

void note(RecoveredFile file) {
    std::lock_guard lock(gNotesMutex);
    gNotes.push_back(std::move(file));
}

// A folder's path without "." or ".." parts and without a closing separator.
fs::path folderKey(const fs::path& folder) {
    fs::path normal = folder.lexically_normal();
    return normal.has_filename() ? normal : normal.parent_path();
}

}  // namespace

std::string lastGoodCopyPath(const std::string& path) { return path + ".last-good"; }

GuardedFileRead readGuardedFile(const std::string& path, const std::function<bool(const std::vector<uint8_t>&)>& accept,
                                LastGoodCopy copy) {
    GuardedFileRead read;
    std::error_code ec;
    const bool present = fs::exists(fs::symlink_status(path, ec));
    auto bytes = readWholeFile(path);
    const bool keepsCopy = copy == LastGoodCopy::Kept;
    if (bytes && accept(*bytes)) {
        if (keepsCopy && readWholeFile(lastGoodCopyPath(path)) != bytes)
            writeFileAtomically(lastGoodCopyPath(path), *bytes);
        read.bytes = std::move(bytes);
        return read;
    }
    // A damaged file that cannot be moved (its folder is read-only) stays
    // where it is and is not written over: the owner starts without it.
    bool movedAside = false;
    if (present) {
        read.damagedKeptAs = moveFileAside(path);
        movedAside = !read.damagedKeptAs.empty();
        if (!movedAside) read.damagedKeptAs = path;
    }
    if (keepsCopy) {
        auto saved = readWholeFile(lastGoodCopyPath(path));
        if (saved && accept(*saved)) {
            if (!present || movedAside) writeFileAtomically(path, *saved);
            read.bytes = std::move(saved);
            read.fromCopy = true;
        }
    }
    if (present) note({path, read.damagedKeptAs, read.fromCopy});
    return read;
}

bool writeGuardedFile(const std::string& path, const std::vector<uint8_t>& bytes, FileDurability durability,
                      LastGoodCopy copy) {
    if (!writeFileAtomically(path, bytes, durability)) return false;
    if (copy == LastGoodCopy::Kept && durability == FileDurability::Durable)
        writeFileAtomically(lastGoodCopyPath(path), bytes, FileDurability::Durable);
    return true;
}

std::vector<RecoveredFile> takeRecoveredFiles(const std::string& folder) {
    const fs::path key = folderKey(folder);
    std::lock_guard lock(gNotesMutex);
    std::vector<RecoveredFile> taken, kept;
    for (auto& file : gNotes)
        (folderKey(fs::path(file.path).parent_path()) == key ? taken : kept).push_back(std::move(file));
    gNotes = std::move(kept);
    return taken;
}
