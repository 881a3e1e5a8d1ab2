// The brokerage's books opened from arbitrary bytes: a journal and the
// snapshot it names, as a server's start finds them on disk (SimJournal.h,
// SimSnapshot.h). The first byte says how the rest is laid out:
//   bit 0: a snapshot comes too: the next 4 bytes (little-endian) are the
//          journal's length, the journal follows and the snapshot is the
//          rest, written under the name the journal's first line gives it;
//   bit 1: the checksums are made to hold (every line's, the snapshot's own
//          and those by which the journal's first line names it), so that
//          what they guard is read.
// Whatever the bytes, opening the books neither throws nor aborts; books that
// open, open again the same, with nothing more to tell: what was damaged was
// set aside and told the first time.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzDocuments.h"
#include "FuzzRandom.h"
#include "core/security/Crc32.h"
#include "sim/SimJournal.h"
#include "sim/SimServer.h"
#include "sim/SimSnapshot.h"

namespace {

namespace fs = std::filesystem;

constexpr double kClock = 1709605800;  // 2024-03-05 10:30 in Shanghai
constexpr uint64_t kSeed = 11;
// The books' key (the corpus's books were written under it).
constexpr std::string_view kKey = "roduvede-fuzz-books-key-32-bytes";

uint32_t crcOf(std::string_view bytes) {
    return crc32Of(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::string crcText(uint32_t crc) {
    char text[9];
    std::snprintf(text, sizeof text, "%08x", crc);
    return text;
}

std::vector<std::string> split(const std::string& s, char at) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t end; (end = s.find(at, start)) != std::string::npos; start = end + 1)
        parts.push_back(s.substr(start, end - start));
    parts.push_back(s.substr(start));
    return parts;
}

std::string join(const std::vector<std::string>& parts, char at) {
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) out += (i ? std::string(1, at) : "") + parts[i];
    return out;
}

// The snapshot's number the journal's first line names ("" none).
std::string namedSnapshot(const std::string& journal) {
    const auto parts = split(journal.substr(0, journal.find('\n')), '\t');
    if (parts.size() != 9 || parts[6].empty() || parts[6].size() > 19 ||
        parts[6].find_first_not_of("0123456789") != std::string::npos)
        return "";
    return parts[6];
}

// Every line's checksum made for it, and the first line naming the snapshot by its own.
std::string sealed(const std::string& journal, const std::string* snapshot) {
    auto lines = split(journal, '\n');
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string& line = lines[i];
        if (line.size() < 9 || line[8] != ' ') continue;
        if (i == 0 && snapshot) {
            auto parts = split(line.substr(9), '\t');
            if (parts.size() == 9) {
                parts[7] = crcText(crcOf(*snapshot));
                parts[8] = std::to_string(snapshot->size());
                line = line.substr(0, 9) + join(parts, '\t');
            }
        }
        line = crcText(crcOf(std::string_view(line).substr(9))) + line.substr(8);
    }
    return join(lines, '\n');
}

void write(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) std::abort();
}

struct Fixture {
    std::string dir = fuzzDocuments() + "/books";
    std::string path = dir + "/books.journal";
    std::unique_ptr<SimServer> sim;

    Fixture() {
        fs::create_directories(dir);
        write(path + ".key", std::string(kKey));
        ::chmod((path + ".key").c_str(), 0600);
    }

    // The folder as a server would find it: the key and the bytes given.
    void lay(const std::string& journal, const std::string* snapshot) {
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path().filename() != "books.journal.key") fs::remove_all(entry.path());
        write(path, journal);
        ::chmod(path.c_str(), 0600);
        if (snapshot) {
            const std::string seq = namedSnapshot(journal);
            write(SimJournal::snapshotPath(path, seq.empty() ? 1 : std::stoull(seq)), *snapshot);
        }
    }

    // The books opened from the folder, as a server starting finds them.
    SimServer& open() {
        fuzzRestartRandom();
        if (sim && sim->setupError().empty()) {
            sim->resetState();  // opens the books again
        } else {
            SimOptions o;
            o.seed = kSeed;
            o.clock = kClock;
            o.frozenClock = true;
            o.booksPath = path;
            sim = std::make_unique<SimServer>(o);
        }
        return *sim;
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// The books, as bytes that are the same for the same books (their secrets
// as keyed digests, not enciphered under a new initial vector each time).
std::string booksOf(const SimServer& sim) { return simBooksFingerprint(sim); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    Fixture& f = fixture();
    const uint8_t mode = data[0];
    std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string journal = rest, snapshot;
    const bool withSnapshot = (mode & 1) && rest.size() >= 4;
    if (withSnapshot) {
        uint32_t length = 0;
        for (int i = 0; i < 4; ++i) length |= uint32_t(uint8_t(rest[i])) << (8 * i);
        journal = rest.substr(4, length);
        snapshot = rest.substr(4 + journal.size());
    }
    if (mode & 2) {
        if (withSnapshot && snapshot.size() >= 4) {
            const uint32_t crc = crcOf(std::string_view(snapshot).substr(0, snapshot.size() - 4));
            for (int i = 0; i < 4; ++i) snapshot[snapshot.size() - 4 + i] = char(crc >> (8 * i));
        }
        journal = sealed(journal, withSnapshot ? &snapshot : nullptr);
    }
    f.lay(journal, withSnapshot ? &snapshot : nullptr);

    SimServer& first = f.open();
    if (!first.setupError().empty()) return 0;  // books of another seed: refused, untouched
    // A snapshot that did not restore had its rooms made from the seed and
    // thrown away, drawing from the random stream the seed's own token seed
    // then draws from: those books are compared from their first restart on.
    const bool seedDrawnTwice = first.booksReport().snapshotLost;
    std::string books = booksOf(first);
    auto openedAgainClean = [&]() -> SimServer& {
        SimServer& again = f.open();
        const SimJournalReport& report = again.booksReport();
        if (!again.setupError().empty() || report.damaged() || report.created || report.snapshotLost ||
            !report.setAside.empty())
            std::abort();
        return again;
    };
    if (seedDrawnTwice) books = booksOf(openedAgainClean());
    if (booksOf(openedAgainClean()) != books) std::abort();
    return 0;
}
