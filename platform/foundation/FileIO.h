#pragma once
// Whole-file reads and atomic writes for the application's own files. They
// hold the customer's data (phone number, push token, own stocks), so every
// file written is readable by its owner only (0600) and every folder made is
// the owner's only (0700), from the first write on.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Durable: the file and its folder are flushed to disk before the call returns
// (survives a power loss). AtomicOnly: the rename alone, which survives the
// program ending at any moment but costs no flush (settings written per change).
enum class FileDurability { Durable, AtomicOnly };

// Writes the bytes so that the file holds either its old content or the new
// one, never a mix: a temporary file in the same folder, fsync, rename over the
// target, fsync of the folder. On failure the temporary file is removed and
// the old file is left as it was. The file is the owner's only (0600), also
// when it replaces one that others could read.
bool writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                         FileDurability durability = FileDurability::Durable);

// Makes the folder and any missing folders above it, each new one 0700 (folders
// already there keep their permissions). True when the folder exists afterwards.
bool createPrivateDirectories(const std::string& path);

// Moves a file that cannot be used out of the way without losing it:
// "<path>.damaged-N", N the first number free for the file and each of its
// companions ("<path><companion>", such as a database's "-journal"), which
// move with it when present. Kept for support, never deleted. The new path,
// or empty when the file could not be moved.
std::string moveFileAside(const std::string& path, const std::vector<std::string>& companions = {});

// The whole file, or nullopt when it is missing, unreadable or larger than maxBytes.
std::optional<std::vector<uint8_t>> readWholeFile(const std::string& path, size_t maxBytes = 64u << 20);
