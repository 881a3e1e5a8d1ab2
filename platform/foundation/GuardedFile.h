#pragma once
// Files the customer cannot easily do without: the settings, the platform
// defaults, the saved accounts, the soft tokens. A file found damaged
// (emptied, cut short, overwritten: anything its owner cannot read) is never
// written over: it moves aside as "<name>.damaged-N" (moveFileAside), and its
// owner starts from the file's last good copy when it keeps one, else from
// nothing. Each such recovery is noted once, for the customer to be told
// (takeRecoveredFiles).
//
// Last good copy: "<name>.last-good" beside the file, written atomically and
// flushed after every durable write of the file, and refreshed when the file
// reads good but the copy differs. A write that is atomic only (one setting
// changed) leaves the copy alone: a power loss may leave such a file empty,
// and it must not take its copy with it.
//
// A missing file whose copy reads is put back from the copy without a note
// (nothing was lost); a missing file without one is a first start.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/FileIO.h"

enum class LastGoodCopy { None, Kept };

struct GuardedFileRead {
    // The bytes the owner accepted (the file's or its copy's); nullopt: start from nothing.
    std::optional<std::vector<uint8_t>> bytes;
    bool fromCopy = false;
    // Where the damaged file now lies; empty when the file was not damaged.
    std::string damagedKeptAs;
};

// Reads the file, asking `accept` whether the owner can use the bytes (asked
// for the file, then for the copy); moves a damaged file aside and puts the
// copy in its place when the copy is accepted.
GuardedFileRead readGuardedFile(const std::string& path, const std::function<bool(const std::vector<uint8_t>&)>& accept,
                                LastGoodCopy copy);

// Writes the file atomically (writeFileAtomically), then, for a durable write
// of a file that keeps a copy, the copy. False when the file was not written.
bool writeGuardedFile(const std::string& path, const std::vector<uint8_t>& bytes, FileDurability durability,
                      LastGoodCopy copy);

std::string lastGoodCopyPath(const std::string& path);

// A damaged file found by readGuardedFile.
struct RecoveredFile {
    std::string path;    // the file
    std::string keptAs;  // where the damaged one lies now
    bool fromCopy = false;
};

// The recoveries noted for files in `folder` (the Documents folder), each
// handed out once. Safe from any thread.
std::vector<RecoveredFile> takeRecoveredFiles(const std::string& folder);
