#pragma once
// The brokerage's books as bytes, and back: what the books on disk keep
// instead of a journal that has grown long (the journal then holds only what
// came after).
//
// The books are every room's state that requests and the passing of time
// change (SimRooms.h: the rooms made so far, each whole, with the catalogues
// it was seeded with for its day), the counters beside them (order numbers,
// serials, message ids) and the clock's reading. Sessions are not: they end
// at a restart, as the journal's replay ends its own. The secrets of the
// books (trading passwords, typed codes, bank passwords, token seeds) are
// enciphered under a key the caller gives (Blowfish-CBC frames,
// core/security/FrameCodec.h, under a key derived from it), never in clear.
//
// The bytes (integers little-endian):
//   "RDSIMSNP"  8 bytes
//   version     uint32 (kSimSnapshotVersion)
//   seed        uint64: the server's seed; the books of another seed are refused
//   body        the clock's reading, then each room made: its name and fields
//               (SimSnapshotFields.h, SimSnapshotCoding.h)
//   CRC-32      uint32 (zlib's) of everything before it
#include <cstdint>
#include <string>
#include <typeindex>

class SimServer;

// Raised whenever a room's fields or the rules of the books change (with the
// journal's format, SimJournal.h); every earlier version is read as it was
// written, what it lacks taken as it was then. 1: no plan paid, and the
// plans' room keeps no day its plans were met (each customer's is taken as
// the snapshot's own day); 2: the plans' met days, plans paying on calendar
// days; 3: plans keep the market's trading days (the same fields as 2). A
// version above this one is refused for what it is rather than misread.
inline constexpr uint32_t kSimSnapshotVersion = 3;
inline constexpr uint32_t kSimSnapshotOldestVersion = 1;

// The brokerage's books (every room's state that requests change, the
// clock's books-relevant state, counters like the next order number) as bytes.
std::string simSnapshot(const SimServer& server, const std::string& key);
// Puts the books of `bytes` into a server just made from the same seed;
// false with why when the bytes cannot be read (nothing half-restored). The
// rooms the bytes hold replace the server's (a room they do not hold is made
// on first use, as in the server they came from); the clock is set forward
// to the snapshot's reading when it stands before it. Sessions are left as
// they are, trade sessions end.
// `version`, when given, is set to the version the bytes were written in.
bool simRestore(SimServer& server, const std::string& bytes, const std::string& key, std::string& why,
                uint32_t* version = nullptr);
// A digest of the same books (the secrets' digests in it, no secret): two
// servers, or one before and after a request, whose books are alike give the
// same. For the tests that check what a request changed.
std::string simBooksFingerprint(const SimServer& server);
// The name the books give a room of theirs ("" for a room they do not keep),
// and the room of that name made in the server (seeded as of its clock),
// when it is not yet: what the journal's "made" entries name and replay.
std::string simRoomName(std::type_index room);
void simMakeRoom(SimServer& server, const std::string& name);
