#pragma once
// The brokerage's books on disk: a journal of every request that changed (or
// read) the server's state, with the sim's clock time it ran at, replayed at
// start. The books are deterministic given the seed, the requests and their
// times, so the replay rebuilds them: orders, transfers, own stocks, tokens.
// Each entry is written and flushed to disk (fdatasync) before its reply
// goes, so that a kill between an accepted order and the next request loses
// nothing the customer was told.
//
// What an entry keeps: the request's fields (deciphered, without the
// protocol's envelope), the phone of its service session, the customer and
// fund account of the trade session it named (never the session text: a
// replay opens sessions of its own, which end when it is done), and the
// secrets it was issued (token seeds, SimSecrets.h). Like any brokerage's
// books the file holds its customers' secrets (passwords of the requests,
// token seeds): it is the owner's only (0600).
//
// The file: text lines, each "<crc-32 in hex> <fields joined by tabs>\n"
// (escaped as %XX where a field would end). The first line names the
// journal's format, the seed and the time the books were opened: a journal
// of another seed is refused (SimJournal::open answers why). A last line cut
// short (the process died writing it: its reply never went) is dropped. Any
// other line that does not read back is damage: the file is set aside under
// another name, beside it, and the books go on from the entries before it,
// with a report of what happened for the customer.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/SimRequest.h"

// What every request is answered once a change could not be written: the
// books in memory are then ahead of those on disk, and a restart goes back
// to what the disk holds (the customer was told it failed).
inline constexpr const char* kSimBooksUnwritable = "系统故障：交易记录无法保存，请稍后再试";

struct SimJournalEntry {
    enum class Kind { Request, Push };
    Kind kind = Kind::Request;
    double time = 0;
    std::string phone;                 // of the service session ("" none)
    std::string custid, fundid;        // of the trade session it named ("" none)
    std::vector<std::string> secrets;  // issued while it ran, in order
    std::vector<SimField> fields;      // a request's, or a pushed message's
};

// What opening found, for the people who run the server and the customer.
struct SimJournalReport {
    bool created = false;       // a new journal (none was there, or --fresh-books)
    size_t entries = 0;         // read back, to replay
    std::string setAside;       // where a damaged or replaced journal went ("" none)
    size_t damagedLine = 0;     // the first line that did not read back (0 none)
    size_t linesLost = 0;       // from it to the end
    bool droppedCutLine = false;  // a last line cut short was dropped
    std::string refusal;        // why the journal cannot be used ("" it can)
};

class SimJournal {
public:
    // Opens the journal at `path` for the books of `seed`, creating it (the
    // books opened at `start`) when there is none or `fresh` (the old one is
    // set aside); the entries to replay go into `entries`. Null with the
    // report's refusal when the file belongs to other books or cannot be
    // written.
    static std::unique_ptr<SimJournal> open(const std::string& path, uint64_t seed, double start, bool fresh,
                                            std::vector<SimJournalEntry>& entries, SimJournalReport& report);
    ~SimJournal();
    SimJournal(const SimJournal&) = delete;
    SimJournal& operator=(const SimJournal&) = delete;

    // Writes the entry and flushes it to disk; false when that fails.
    bool append(const SimJournalEntry& entry);
    const std::string& path() const { return path_; }
    double start() const { return start_; }

    // One entry as a line and back (for the tests of the format).
    static std::string line(const SimJournalEntry& entry);
    static bool read(const std::string& line, SimJournalEntry& entry);

private:
    SimJournal(std::string path, int fd, double start) : path_(std::move(path)), fd_(fd), start_(start) {}
    std::string path_;
    int fd_;
    double start_;
};
