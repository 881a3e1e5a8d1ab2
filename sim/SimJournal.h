#pragma once
// The brokerage's books on disk: a journal of every request that changed the
// server's books, with the sim's clock time it ran at, replayed at start.
// The books are deterministic given the seed, the requests and their times,
// so the replay rebuilds them: orders, transfers, own stocks, tokens. Each
// entry is written and flushed to disk (fdatasync) before its reply goes,
// so that a kill between an accepted order and the next request loses
// nothing the customer was told. A write that fails (a full disk, a
// file-size limit) is cut back: the file goes back to its last whole record,
// which the next record follows, and its request is refused.
//
// What is written: a request that changed the books (one whose handler
// reached a room to change it, SimServer.h; a query is not, nor a refusal);
// the settling or matching a query brought about, as an "advance" of the
// customer's books to the query's time (its replay settles and matches them
// again at that time); a wrong password or code a refused login counted
// toward the lock-out, as a "failure" of the customer at that time (the count
// alone: nothing of the request); the rooms such a request made (seeded as of
// its time), as "made"; a pushed message. What an entry keeps: the request's fields that its
// handler read (SimRequest.h; deciphered, without the protocol's envelope and without its
// secret fields: passwords are never written), the phone of its service
// session, the customer and fund account of the trade session it named
// (never the session text: a replay opens sessions of its own, which end
// when it is done), and the secrets it was issued (token seeds, enciphered:
// SimSecrets.h). The file is the owner's only (0600).
//
// The file: text lines, each "<crc-32 in hex> <payload>\n" (fields escaped
// as %XX where a field would end). The first line names the journal's
// format, the seed and the time the books were opened: a journal of another
// seed is refused (SimJournal::open answers why). Every later line carries
// its record's number, 1, 2, 3 ... in order, so that a line removed whole is
// found (a gap) and so is one written twice (a repeat).
//
// Every line also names the numbers the books had given when it was written
// (the last order number, fund order number, transfer serial ...: the
// books' counters, SimJournal::Numbers), and so does the header of a
// compacted journal: the records after a damage are not replayed, but what
// they name still tells how far the numbers went, and the books go on past
// them (a "numbers" record written after the damage keeps that for the next
// start), so that no number a customer was given is given again.
//
// Reading back: a line repeated whole (its number and checksum those of an
// earlier line) is dropped. Anything else that does not read back in order
// (a changed byte, a gap, a last line cut short by a damaged disk or a copy
// cut short) is damage: the books go on from the records before it, and
// none after it is replayed (a record replayed without one before it may
// book differently from what its customer was told: a sale of shares whose
// buy is lost). The file as it was is kept beside it (NAME.damaged-<time>)
// and the journal goes on with the records restored; the report says how
// many were not. Sizes and offsets are 64-bit: a journal of any size reads.
// A line after the damage that does not read names nothing, so the books
// take each such line after the last one that does to have given as many
// numbers of each kind as any record can (kNumbersARecordMayGive); a last
// line cut short is a write that never finished (its answer waits for the
// flush) and counts for none.
//
// The format names the rules its records replay under (SimBooksRules.h):
// what a handler or the night does with a request is part of the format,
// and a change to it raises the format (and the snapshot's version,
// SimSnapshot.h), the earlier rules kept for the records written under them.
// The formats read: 3 (every line names the books' numbers; the plans' rules
// by the snapshot it names: simBooksRulesOf) and 4, today's (plans keep the
// market's trading days and end on their end dates). Format 2 and before
// named no numbers and are set aside as damaged. Books of an earlier format
// are read as they were written, each record under its own rules, and
// compacted at once into today's format (a snapshot of the books and a
// journal of format 4 naming it), so that a journal file never holds records
// of two rules: nothing is appended under an earlier format's header, and
// until that compaction has been made the books take no change
// (SimServer::upgradeBooks, which SimServer::bringBooksBack retries as it
// does a change not written).
//
// Compaction: a journal grown long is replaced by a snapshot of the books
// (SimSnapshot.h) and a new journal whose header names it (the number of the
// last record it holds, its CRC-32 and size) and whose records go on from
// there. The snapshot is written beside the journal as NAME.snapshot-<seq>,
// flushed and renamed into place, before the new journal is renamed over the
// old one: until that rename the old journal (and the snapshot it names, if
// any) is the books, and a snapshot no journal names is never read: a start
// removes such snapshots and the temporary files of an unfinished
// compaction (never a file set aside). A named snapshot that is missing or
// does not read back makes the books unknown: the journal and the snapshot
// are set aside as damaged and the books start again from the seed, past
// the numbers the file's records name.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sim/SimRequest.h"

// The format this version writes, and the oldest it reads (see above).
inline constexpr int kSimJournalFormat = 4;
inline constexpr int kSimJournalOldestFormat = 3;

// What a request is answered when what it changed could not be written (a
// full disk, a file-size limit): it was not carried out, and may be tried
// again. The books in memory are then ahead of the disk's by it, and every
// request is answered so until the disk takes a record again and the books
// are read back from it (SimServer.h).
inline constexpr const char* kSimBooksUnwritable =
    "系统故障：交易记录无法保存（存储空间不足），本次操作未执行，请稍后再试";

// The snapshot a journal's records follow (seq 0: none, they start from the seed).
struct SimSnapshotName {
    uint64_t seq = 0;   // the number of the last record the snapshot holds
    uint32_t crc = 0;   // CRC-32 of its bytes
    uint64_t size = 0;  // their count
};

struct SimJournalEntry {
    // A request that changed the books; a pushed message; the settling and
    // matching of a customer's books (custid) at `time`, which a query did;
    // the books' numbers raised to `numbers` after a damage; a wrong
    // password or code of a customer (custid) at `time`, which a refused
    // login counted toward the lock-out; the rooms (fields "room") a request
    // that changed nothing else made, seeded as of `time`.
    enum class Kind { Request, Push, Advance, Numbers, Failure, Made };
    Kind kind = Kind::Request;
    uint64_t seq = 0;  // its number in the journal (set when it is written)
    double time = 0;
    std::string phone;                 // of the service session ("" none)
    std::string custid, fundid;        // of the trade session it named ("" none)
    std::vector<std::string> secrets;  // issued while it ran, in order (as written: enciphered)
    std::vector<SimField> fields;      // a request's, or a pushed message's
    std::vector<uint64_t> numbers;     // the books' counters once it ran (set when it is written)
};

// What opening found, for the people who run the server and the customer.
struct SimJournalReport {
    bool created = false;     // a new journal (none was there, or --fresh-books)
    int format = 0;           // the format its records were written in (0: none read)
    size_t entries = 0;       // read back and replayed
    std::string setAside;     // where a damaged or replaced journal went ("" none)
    bool snapshotLost = false;     // the snapshot it named is missing or does not read back
    std::string snapshotSetAside;  // where that snapshot went ("" none, or missing)
    bool restoredSnapshot = false; // the books began from the journal's snapshot
    size_t damagedLine = 0;   // the first line that did not read back in order (0 none)
    size_t recordsLost = 0;   // records after the damage, not restored (as far as the file tells)
    bool lostAtLeast = false; // the file ends cut short: more records may have followed
    bool lostUnknown = false; // nothing of the file reads (emptied, its first line damaged, its key lost)
    bool keyLost = false;     // the books' key file is not the journal's (missing or damaged)
    size_t repeatsDropped = 0;  // lines written twice, dropped
    bool tornLast = false;    // the last line was cut short (kept in the set-aside copy)
    std::string refusal;      // why the journal cannot be used ("" it can)
    // After damage: each of the books' counters at least as far as any
    // record of the file names (empty: none named); the books go on past them.
    std::vector<uint64_t> numbersNamed;
    // Something the customer is to be told of.
    bool damaged() const { return damagedLine != 0 || repeatsDropped != 0; }
};

class SimJournal {
public:
    using Replay = std::function<void(const SimJournalEntry&)>;
    // Puts a snapshot's bytes into the books; false when they cannot be
    // read (nothing of them restored).
    using Restore = std::function<bool(const std::string& bytes)>;
    // The books' counters as they stand: the last number of each kind given,
    // in an order of the books' choosing that stays (a later kind goes last).
    using Numbers = std::function<std::vector<uint64_t>()>;
    // Opens the journal at `path` for the books of `seed`, creating it (the
    // books opened at `start`) when there is none or `fresh` (the old one is
    // set aside); each entry read back goes to `replay` in order, as it is
    // read, after the snapshot the journal names has gone to `restore`. Null
    // with the report's refusal when the file belongs to other books or
    // cannot be written. The report's format is set as soon as the first
    // line reads, before the snapshot is restored and any entry replayed:
    // the rules the entries replay under (SimBooksRules.h).
    // `keyCheck` names the books' key (simKeyCheck): a journal of another
    // key cannot be read soundly and is set aside as damaged. `numbers` is
    // asked at every record and compaction written.
    static std::unique_ptr<SimJournal> open(const std::string& path, uint64_t seed, const std::string& keyCheck,
                                            double start, bool fresh,
                                            const Restore& restore, const Replay& replay, Numbers numbers,
                                            SimJournalReport& report);
    ~SimJournal();
    SimJournal(const SimJournal&) = delete;
    SimJournal& operator=(const SimJournal&) = delete;

    // Numbers the entries, names the books' counters in each, writes them
    // and flushes them to disk, all or none: false when that fails (a full
    // disk, a file-size limit), the file then cut back to its last whole
    // record, so that the next append goes on from it and a start reads no
    // damage where a write failed. Should even the cut fail, the next append
    // tries it again first, and writes nothing until it holds.
    bool append(std::vector<SimJournalEntry> entries);
    bool append(SimJournalEntry entry);
    const std::string& path() const { return path_; }
    double start() const { return start_; }
    uint64_t records() const { return next_ - 1; }
    // The format of the journal on disk: an earlier one until a compaction
    // has written it anew in today's (kSimJournalFormat), and until then
    // append() takes no record.
    int format() const { return format_; }
    // The bytes of the journal file (its header and records since the snapshot).
    uint64_t size() const { return size_; }
    const SimSnapshotName& snapshot() const { return snapshot_; }
    static std::string snapshotPath(const std::string& path, uint64_t seq);
    // Replaces the journal by `books` (the snapshot of the books after every
    // record written so far) and a new journal of today's format that names
    // it; false when that fails (no descriptor free, a full disk), the old
    // journal then going on as it was. A journal of an earlier format that
    // holds no record since its snapshot gets a header of today's format
    // naming the same snapshot.
    bool compact(const std::string& books);

    // One entry as a line and back (for the tests of the format).
    static std::string line(const SimJournalEntry& entry);
    static bool read(const std::string& line, SimJournalEntry& entry);

private:
    SimJournal(std::string path, int fd, double start, uint64_t next, std::string seedKey, uint64_t seed,
               SimSnapshotName snapshot, uint64_t size, int format)
        : path_(std::move(path)),
          fd_(fd),
          start_(start),
          next_(next),
          keyCheck_(std::move(seedKey)),
          seed_(seed),
          snapshot_(snapshot),
          size_(size),
          format_(format) {}
    std::string path_;
    int fd_;
    double start_;
    uint64_t next_;  // the number of the next record
    std::string keyCheck_;
    uint64_t seed_;
    SimSnapshotName snapshot_;
    uint64_t size_;
    int format_;
    Numbers numbers_;
    // The file holds whole records only (size_ bytes): false from a write
    // that failed until it is cut back to them.
    bool whole_ = true;
    bool cutBack();
};
