#pragma once
// Keyed-archive files: the settings file, the platform user defaults, saved
// accounts and the menu cache are property lists written by this class.
//
// File format: an Apple binary property list ("bplist00"), written and read
// by libplist. A Value maps to it one to one:
//   Null -> UID 0 (the keyed archive's "$null"; read back as Null)
//   Bool -> boolean      Integer -> integer (signed 64-bit)   Real -> real
//   String -> string (UTF-8; a text is cut at an embedded NUL, and bytes that
//             are not UTF-8 read and write as U+FFFD)
//   Data -> data         Date -> date (seconds since 2001; kept to the microsecond,
//                        years 1933 to 2069 only: others make the write fail)
//   Array -> array       Dict -> dictionary (text keys; an entry whose key is
//             not UTF-8 or holds a NUL is skipped, written or read, so that one
//             damaged key costs its own entry and never the whole dictionary)
// Reading also accepts XML property lists. Anything else (garbage, a truncated
// file, nesting deeper than 256 levels) reads as nullopt, never a crash.
// Files are written atomically (writeFileAtomically: temporary file in the
// same folder, fsync, rename): a failed write leaves the old file untouched.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/FileIO.h"
#include "platform/foundation/GuardedFile.h"
#include "platform/foundation/Value.h"

class NSKeyedArchiver {
public:
    static bool archiveRootObject(const Value& root, const std::string& path,
                                  FileDurability durability = FileDurability::Durable,
                                  LastGoodCopy copy = LastGoodCopy::None);
    // Empty when the value cannot be archived (a date out of range, nesting too deep).
    static std::vector<uint8_t> archivedDataWithRootObject(const Value& root);
    // The same property list as XML text (debugging, readable test data).
    static std::string xmlWithRootObject(const Value& root);
};

class NSKeyedUnarchiver {
public:
    static std::optional<Value> unarchiveObjectWithFile(const std::string& path);  // nullopt: missing or corrupt
    static std::optional<Value> unarchiveObjectWithData(const std::vector<uint8_t>& bytes);
    // The dictionary at the root of a guarded file, or of its last good copy;
    // nullopt when there is neither (the file, if damaged, now set aside).
    static std::optional<Value::Dict> unarchiveDictionaryWithGuardedFile(const std::string& path, LastGoodCopy copy);
};
