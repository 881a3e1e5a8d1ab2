#pragma once
// Whole-file reads and atomic writes for the application's own files.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Who may read a written file: the usual permissions of a new file (or the
// old file's), or the owner only (files that hold secrets).
enum class FileAccess { Usual, OwnerOnly };

// Durable: the file and its folder are flushed to disk before the call returns
// (survives a power loss). AtomicOnly: the rename alone, which survives the
// program ending at any moment but costs no flush (settings written per change).
enum class FileDurability { Durable, AtomicOnly };

// Writes the bytes so that the file holds either its old content or the new
// one, never a mix: a temporary file in the same folder, fsync, rename over the
// target, fsync of the folder. On failure the temporary file is removed and
// the old file is left as it was.
bool writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                         FileAccess access = FileAccess::Usual, FileDurability durability = FileDurability::Durable);

// The whole file, or nullopt when it is missing, unreadable or larger than maxBytes.
std::optional<std::vector<uint8_t>> readWholeFile(const std::string& path, size_t maxBytes = 64u << 20);
