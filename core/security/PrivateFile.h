#pragma once
// Small files that hold secrets (enciphered token file, device salt): read
// whole with a size limit, written atomically and readable by the owner only.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// nullopt when missing, unreadable or larger than maxSize.
std::optional<std::vector<uint8_t>> readPrivateFile(const std::string& path, size_t maxSize);

// Writes a temporary file in the same folder (mode 0600), flushes it to disk
// and renames it over `path`: a crash leaves the old or the new file, never half
// of one. False when any step fails (the old file then stays).
bool writePrivateFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);
