#include "sim/SimJournal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string_view>

#include "core/security/Digests.h"
#include "core/security/PrivateFile.h"

namespace {

constexpr std::string_view kMagic = "roduvede-books";
constexpr std::string_view kRequest = "request";
constexpr std::string_view kPush = "push";
constexpr std::string_view kAdvance = "advance";
constexpr std::string_view kNumbers = "numbers";
constexpr std::string_view kFailure = "failure";
constexpr std::string_view kMade = "made";
// The most numbers of one kind a record can give: one per order, transfer or
// message it books (a subscription one per issue), and the seeded past orders
// of a room it makes, a few dozen at most.
constexpr uint64_t kNumbersARecordMayGive = 1000;
// A line longer than any entry the server writes (a request is at most a few
// MiB escaped) is damage, read past without being held.
constexpr size_t kMaxLineBytes = size_t(64) << 20;

bool needsEscape(unsigned char c) {
    return c < 0x20 || c == 0x7f || c == '%' || c == '&' || c == '=' || c == ',';
}

std::string escape(std::string_view s) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(s.size());
    for (unsigned char c : s) {
        if (!needsEscape(c)) {
            out += char(c);
            continue;
        }
        out += '%';
        out += kHex[c >> 4];
        out += kHex[c & 15];
    }
    return out;
}

bool unescape(std::string_view s, std::string& out) {
    out.clear();
    auto digit = [](char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1; };
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out += s[i];
            continue;
        }
        if (i + 2 >= s.size()) return false;
        int hi = digit(s[i + 1]), lo = digit(s[i + 2]);
        if (hi < 0 || lo < 0) return false;
        out += char(hi * 16 + lo);
        i += 2;
    }
    return true;
}

std::vector<std::string_view> split(std::string_view s, char at) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t end; (end = s.find(at, start)) != std::string_view::npos; start = end + 1)
        parts.push_back(s.substr(start, end - start));
    parts.push_back(s.substr(start));
    return parts;
}

uint32_t crcOf(std::string_view bytes) {
    return crc32Of(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::string crcText(uint32_t value) {
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08x", value);
    return crc;
}

std::string crcText(std::string_view payload) { return crcText(crcOf(payload)); }

std::string withCrc(const std::string& payload) { return crcText(payload) + " " + payload + "\n"; }

// The payload of a line (without its end) whose checksum holds.
std::optional<std::string_view> payloadOf(std::string_view line) {
    if (line.size() < 9 || line[8] != ' ') return std::nullopt;
    std::string_view payload = line.substr(9);
    if (line.substr(0, 8) != crcText(payload)) return std::nullopt;
    return payload;
}

std::string timeText(double t) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", t);
    return text;
}

bool parseTime(std::string_view text, double& out) {
    std::string s(text);
    char* end = nullptr;
    out = std::strtod(s.c_str(), &end);
    return !s.empty() && end == s.c_str() + s.size();
}

bool parseUnsigned(std::string_view text, uint64_t& out) {
    std::string s(text);
    char* end = nullptr;
    out = std::strtoull(s.c_str(), &end, 10);
    return !s.empty() && s[0] != '-' && end == s.c_str() + s.size();
}

std::string numbersText(const std::vector<uint64_t>& numbers) {
    std::string text;
    for (uint64_t n : numbers) text += (text.empty() ? "" : ",") + std::to_string(n);
    return text;
}

// The books keep a handful of counters; a line naming more is not one of ours.
constexpr size_t kMostNumbers = 64;

bool parseNumbers(std::string_view text, std::vector<uint64_t>& out) {
    out.clear();
    if (text.empty()) return true;
    if (size_t(std::count(text.begin(), text.end(), ',')) >= kMostNumbers) return false;
    for (auto n : split(text, ','))
        if (!parseUnsigned(n, out.emplace_back())) return false;
    return true;
}

// Each of `into` raised to the one of `numbers` in its place.
void raiseTo(std::vector<uint64_t>& into, const std::vector<uint64_t>& numbers) {
    if (into.size() < numbers.size()) into.resize(numbers.size());
    for (size_t i = 0; i < numbers.size(); ++i) into[i] = std::max(into[i], numbers[i]);
}

// Every header written is of today's format: a journal of an earlier one is only read.
std::string headerLine(uint64_t seed, double start, const std::string& keyCheck, const std::vector<uint64_t>& numbers,
                       const SimSnapshotName& snapshot) {
    std::string payload = std::string(kMagic) + "\t" + std::to_string(kSimJournalFormat) + "\t" + std::to_string(seed) +
                          "\t" + timeText(start) + "\t" + keyCheck + "\t" + numbersText(numbers);
    if (snapshot.seq)
        payload += "\t" + std::to_string(snapshot.seq) + "\t" + crcText(snapshot.crc) + "\t" +
                   std::to_string(snapshot.size);
    return withCrc(payload);
}

// What a journal's first line says of the books it holds.
struct JournalHeader {
    int format = 0;  // the rules its records were written under (SimJournal.h)
    uint64_t seed = 0;
    double start = 0;
    std::string keyCheck;
    std::vector<uint64_t> numbers;  // the books' counters when it was written
    SimSnapshotName snapshot;       // the snapshot the records follow (seq 0: none)
};

// A header line read into `h`; false when it is none of this format.
bool readHeader(std::string_view line, JournalHeader& h) {
    auto& [format, seed, start, keyCheck, numbers, snapshot] = h;
    auto payload = payloadOf(line);
    if (!payload || std::count(payload->begin(), payload->end(), '\t') > 8) return false;
    auto parts = split(*payload, '\t');
    if ((parts.size() != 6 && parts.size() != 9) || parts[0] != kMagic) return false;
    // The formats this version reads: the lines of 3 and 4 are alike, their records replay under other rules.
    format = 0;
    for (int f = kSimJournalOldestFormat; f <= kSimJournalFormat; ++f)
        if (parts[1] == std::to_string(f)) format = f;
    if (!format) return false;
    keyCheck = std::string(parts[4]);
    if (!parseNumbers(parts[5], numbers)) return false;
    snapshot = {};
    if (parts.size() == 9) {
        uint64_t crc = 0;
        const std::string crcHex(parts[7]);
        char* end = nullptr;
        crc = std::strtoull(crcHex.c_str(), &end, 16);
        if (crcHex.size() != 8 || end != crcHex.c_str() + 8 || !parseUnsigned(parts[6], snapshot.seq) ||
            snapshot.seq == 0 || !parseUnsigned(parts[8], snapshot.size))
            return false;
        snapshot.crc = uint32_t(crc);
    }
    return parseUnsigned(parts[2], seed) && parseTime(parts[3], start);
}

// The whole of a small file; false when it cannot be read.
bool readFile(const std::string& path, uint64_t limit, std::string& out) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && uint64_t(st.st_size) <= limit;
    out.assign(ok ? size_t(st.st_size) : 0, '\0');
    for (size_t done = 0; ok && done < out.size();) {
        ssize_t n = ::pread(fd, out.data() + done, out.size() - done, off_t(done));
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        done += ok ? size_t(n) : 0;
    }
    ::close(fd);
    return ok;
}

std::string timeStamp() {
    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return stamp;
}

// A free name beside the file that says why and when.
std::string asideName(const std::string& path, const char* why) {
    const std::string stamp = timeStamp();
    std::string target = path + "." + why + "-" + stamp;
    struct stat st;
    for (int n = 2; ::lstat(target.c_str(), &st) == 0; ++n)
        target = path + "." + why + "-" + stamp + "-" + std::to_string(n);
    return target;
}

// The file moved aside under a name that says why and when; "" when that failed.
std::string setAside(const std::string& path, const char* why) {
    std::string target = asideName(path, why);
    return ::rename(path.c_str(), target.c_str()) == 0 ? target : std::string();
}

int openForAppend(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
}

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

bool syncFolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// Writes `text` to a new file beside `path` (0600, flushed to disk) and
// renames it over `path`; answers it open for appending, or -1 when a step
// failed (`path` then as it was). The new file is held before the old one's
// descriptor is given up, so that no other thread's open or accept (a
// connection's) can take the number the books need and leave them without a
// file. `synced` tells whether the folder, and so the rename, reached the disk.
int replaceForAppend(const std::string& path, const std::string& text, bool& synced) {
    const size_t slash = path.rfind('/');
    std::string temp = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "." +
                       (slash == std::string::npos ? path : path.substr(slash + 1)) + ".tmp-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_APPEND | O_CLOEXEC);
    if (fd < 0) return -1;
    if (!writeAll(fd, text.data(), text.size()) || ::fsync(fd) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::close(fd);
        ::unlink(temp.c_str());
        return -1;
    }
    synced = syncFolderOf(path);
    return fd;
}

// A byte range of the file being read: what a rewritten journal keeps.
struct Range {
    uint64_t offset = 0, size = 0;
};

// Writes `path` anew (0600, through a temporary file flushed to disk and
// renamed over it): the header, then the ranges of `from` (an open file).
bool rewrite(const std::string& path, int from, const std::vector<Range>& ranges) {
    const std::string temp = path + ".new";
    ::unlink(temp.c_str());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    bool ok = true;
    std::vector<char> buffer(1 << 16);
    for (const Range& r : ranges)
        for (uint64_t done = 0; ok && done < r.size;) {
            const size_t want = size_t(std::min<uint64_t>(buffer.size(), r.size - done));
            ssize_t n = ::pread(from, buffer.data(), want, off_t(r.offset + done));
            if (n < 0 && errno == EINTR) continue;
            ok = n > 0 && writeAll(fd, buffer.data(), size_t(n));
            done += n > 0 ? uint64_t(n) : 0;
        }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0 && syncFolderOf(path);
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

// Keeps the file as it is under another name beside it (a second name for
// the same bytes, or a copy where the folder has no such names); "" when
// that failed.
std::string keepCopy(const std::string& path, int fd, uint64_t size) {
    std::string target = asideName(path, "damaged");
    if (::link(path.c_str(), target.c_str()) == 0) return syncFolderOf(target) ? target : std::string();
    return rewrite(target, fd, {{0, size}}) ? target : std::string();
}

// The lines of a file, read in pieces: any size, 64-bit offsets.
class LineReader {
public:
    explicit LineReader(int fd) : fd_(fd) {}
    // The next line (without its end) and where it starts; `whole` false for
    // a last line without an end, `tooLong` for one longer than
    // kMaxLineBytes (read past, not held). False at the end of the file.
    bool next(std::string_view& line, uint64_t& offset, bool& whole, bool& tooLong) {
        offset = consumed_;
        tooLong = false;
        held_.clear();
        while (true) {
            if (pos_ == end_) {
                // A hole of the file (a sparse one) holds no line end: read past it, not through it.
                if (const uint64_t zeros = holeAhead()) {
                    if (!tooLong && held_.size() + zeros > kMaxLineBytes) {
                        tooLong = true;
                        held_.clear();
                    }
                    if (!tooLong) held_.append(size_t(zeros), '\0');
                    consumed_ += zeros;
                    continue;
                }
            }
            if (pos_ == end_ && !fill()) {
                if (held_.empty() && !tooLong) return false;
                consumed_ += held_.size();
                line = held_;
                whole = false;
                return true;
            }
            const char* start = buffer_.data() + pos_;
            const void* found = std::memchr(start, '\n', end_ - pos_);
            const size_t n = found ? size_t(static_cast<const char*>(found) - start) : end_ - pos_;
            if (!tooLong && held_.size() + n > kMaxLineBytes) {
                tooLong = true;
                held_.clear();
            }
            if (!tooLong) held_.append(start, n);
            consumed_ += n;
            pos_ += n;
            if (found) {
                ++pos_;
                ++consumed_;
                line = held_;
                whole = true;
                return true;
            }
        }
    }
    uint64_t consumed() const { return consumed_; }

private:
    // The bytes of a hole from the place reached (0 none, or no holes known).
    uint64_t holeAhead() {
        const off_t here = ::lseek(fd_, 0, SEEK_CUR);
        if (here < 0) return 0;
        off_t data = ::lseek(fd_, here, SEEK_DATA);
        if (data < 0 && errno == ENXIO) {  // a hole to the end
            struct stat st;
            data = ::fstat(fd_, &st) == 0 ? st.st_size : here;
        }
        if (data <= here || ::lseek(fd_, data, SEEK_SET) != data) {
            ::lseek(fd_, here, SEEK_SET);
            return 0;
        }
        return uint64_t(data - here);
    }
    bool fill() {
        while (true) {
            ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            pos_ = 0;
            end_ = size_t(n);
            return true;
        }
    }
    int fd_;
    std::vector<char> buffer_ = std::vector<char>(1 << 20);
    size_t pos_ = 0, end_ = 0;
    uint64_t consumed_ = 0;
    std::string held_;
};

// What the lines of a journal name of the books' numbers: the highest of
// each kind, and how many whole lines after the last that read do not.
struct NumbersSeen {
    std::vector<uint64_t> highest;
    size_t unreadSince = 0;
    void line(bool readable, bool whole, const std::vector<uint64_t>& numbers) {
        if (readable) {
            raiseTo(highest, numbers);
            unreadSince = 0;
        } else if (whole) {
            ++unreadSince;
        }
    }
    // How far the numbers of `kinds` kinds (at least) may have gone.
    std::vector<uint64_t> reach(size_t kinds) const {
        std::vector<uint64_t> out = highest;
        if (unreadSince == 0) return out;
        out.resize(std::max(out.size(), kinds));
        for (auto& n : out) n += kNumbersARecordMayGive * unreadSince;
        return out;
    }
};

bool allDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The number of the snapshot the journal at `path` names (0 none, or not known).
uint64_t snapshotNamedBy(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return 0;
    LineReader lines(fd);
    std::string_view text;
    uint64_t offset = 0;
    bool whole = false, tooLong = false;
    JournalHeader h;
    const bool named = lines.next(text, offset, whole, tooLong) && whole && !tooLong && readHeader(text, h);
    ::close(fd);
    return named ? h.snapshot.seq : 0;
}

// Removes what no journal at `path` names: the snapshots beside it other
// than `keep`'s, and the temporary files a compaction writes through (a crash
// in one leaves them). A file set aside (".damaged-", ".old-") stays.
void removeLeftovers(const std::string& path, uint64_t keep) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string snapshot = name + ".snapshot-", temporary = "." + name + ".";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    std::vector<std::string> leftovers;
    while (const dirent* d = ::readdir(dir)) {
        const std::string_view f(d->d_name);
        bool leftover = false;
        if (f.rfind(snapshot, 0) == 0) {  // NAME.snapshot-<seq>
            const std::string_view seq = f.substr(snapshot.size());
            leftover = allDigits(seq) && seq != std::to_string(keep);
        } else if (f.rfind(temporary, 0) == 0) {  // .NAME.tmp-X, .NAME.snapshot-<seq>.tmp-X
            std::string_view rest = f.substr(temporary.size());
            if (rest.rfind("snapshot-", 0) == 0) {
                rest.remove_prefix(9);
                const size_t dot = rest.find('.');
                leftover = dot != std::string_view::npos && allDigits(rest.substr(0, dot)) &&
                           rest.substr(dot).rfind(".tmp-", 0) == 0;
            } else {
                leftover = rest.rfind("tmp-", 0) == 0;
            }
        }
        if (leftover) leftovers.push_back(folder + "/" + std::string(f));
    }
    ::closedir(dir);
    for (const auto& f : leftovers) ::unlink(f.c_str());
}

}  // namespace

std::string SimJournal::line(const SimJournalEntry& e) {
    std::string secrets, fields;
    for (const auto& s : e.secrets) secrets += (secrets.empty() ? "" : ",") + escape(s);
    for (const auto& f : e.fields) fields += (fields.empty() ? "" : "&") + escape(f.key) + "=" + escape(f.value);
    const std::string_view kind = e.kind == SimJournalEntry::Kind::Push      ? kPush
                                  : e.kind == SimJournalEntry::Kind::Advance ? kAdvance
                                  : e.kind == SimJournalEntry::Kind::Numbers ? kNumbers
                                  : e.kind == SimJournalEntry::Kind::Failure ? kFailure
                                  : e.kind == SimJournalEntry::Kind::Made    ? kMade
                                                                             : kRequest;
    return withCrc(std::to_string(e.seq) + "\t" + timeText(e.time) + "\t" + std::string(kind) + "\t" +
                   numbersText(e.numbers) + "\t" + escape(e.phone) + "\t" + escape(e.custid) + "\t" +
                   escape(e.fundid) + "\t" + secrets + "\t" + fields);
}

namespace {

// The most secrets and fields a record holds together: more than a request
// the server takes can carry (a body of at most SimOptions::maxRequestBytes,
// 1 MiB), and few enough that a line of empty fields costs some tens of MiB
// to read, not tens of times its own size.
constexpr size_t kMaxRecordItems = size_t(1) << 20;

// Calls `each` on the pieces of `s` between `at`s, in order; false as soon as it answers false.
template <class F>
bool eachPiece(std::string_view s, char at, F&& each) {
    for (size_t start = 0;;) {
        const size_t end = s.find(at, start);
        if (!each(s.substr(start, end == std::string_view::npos ? end : end - start))) return false;
        if (end == std::string_view::npos) return true;
        start = end + 1;
    }
}

size_t piecesOf(std::string_view s, char at) { return s.empty() ? 0 : size_t(std::count(s.begin(), s.end(), at)) + 1; }

// A record's line read into `e`, without a copy of it and with no more room
// made than its pieces need; false when it does not read (and, should memory
// still run short, as damage: the books must open all the same).
bool readRecord(std::string_view line, SimJournalEntry& e) try {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    auto payload = payloadOf(line);
    if (!payload) return false;
    std::array<std::string_view, 9> parts;
    size_t n = 0;
    const auto part = [&](std::string_view piece) { return n < parts.size() && (parts[n++] = piece, true); };
    if (!eachPiece(*payload, '\t', part) || n != parts.size() || !parseUnsigned(parts[0], e.seq) ||
        !parseTime(parts[1], e.time) || !parseNumbers(parts[3], e.numbers))
        return false;
    if (parts[2] == kRequest)
        e.kind = SimJournalEntry::Kind::Request;
    else if (parts[2] == kPush)
        e.kind = SimJournalEntry::Kind::Push;
    else if (parts[2] == kAdvance)
        e.kind = SimJournalEntry::Kind::Advance;
    else if (parts[2] == kNumbers)
        e.kind = SimJournalEntry::Kind::Numbers;
    else if (parts[2] == kFailure)
        e.kind = SimJournalEntry::Kind::Failure;
    else if (parts[2] == kMade)
        e.kind = SimJournalEntry::Kind::Made;
    else
        return false;
    if (!unescape(parts[4], e.phone) || !unescape(parts[5], e.custid) || !unescape(parts[6], e.fundid)) return false;
    const size_t secrets = piecesOf(parts[7], ','), fields = piecesOf(parts[8], '&');
    if (secrets + fields > kMaxRecordItems) return false;
    e.secrets.clear();
    e.secrets.reserve(secrets);
    if (secrets && !eachPiece(parts[7], ',', [&](std::string_view s) { return unescape(s, e.secrets.emplace_back()); }))
        return false;
    e.fields.clear();
    e.fields.reserve(fields);
    return !fields || eachPiece(parts[8], '&', [&](std::string_view f) {
        const size_t eq = f.find('=');
        if (eq == std::string_view::npos) return false;
        SimField& field = e.fields.emplace_back();
        return unescape(f.substr(0, eq), field.key) && unescape(f.substr(eq + 1), field.value);
    });
} catch (const std::exception&) {
    return false;
}

}  // namespace

bool SimJournal::read(const std::string& text, SimJournalEntry& e) { return readRecord(text, e); }

std::unique_ptr<SimJournal> SimJournal::open(const std::string& path, uint64_t seed, const std::string& keyCheck,
                                             double start, bool fresh, const Restore& restore,
                                             const Replay& replay, Numbers numbers, SimJournalReport& report) {
    report = SimJournalReport{};
    struct stat st;
    const bool exists = ::lstat(path.c_str(), &st) == 0;
    auto opened = [&](SimJournal* journal) {
        removeLeftovers(path, journal->snapshot_.seq);
        journal->numbers_ = std::move(numbers);
        return std::unique_ptr<SimJournal>(journal);
    };
    auto create = [&]() -> std::unique_ptr<SimJournal> {
        const std::string header = headerLine(seed, start, keyCheck, {}, {});
        int fd = writePrivateFileAtomically(path, std::vector<uint8_t>(header.begin(), header.end()))
                     ? openForAppend(path)
                     : -1;
        if (fd < 0) {
            report.refusal = "the books cannot be written at " + path;
            return nullptr;
        }
        report.created = true;
        report.format = kSimJournalFormat;
        return opened(new SimJournal(path, fd, start, 1, keyCheck, seed, {}, header.size(), kSimJournalFormat));
    };
    if (exists && fresh) {
        const uint64_t oldSnapshot = snapshotNamedBy(path);
        report.setAside = setAside(path, "old");
        if (report.setAside.empty()) {
            report.refusal = "the books at " + path + " cannot be moved aside";
            return nullptr;
        }
        if (oldSnapshot) setAside(snapshotPath(path, oldSnapshot), "old");  // it goes with its journal
    }
    if (!exists || fresh) return create();

    int in = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (in < 0 || ::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (in >= 0) ::close(in);
        report.refusal = "the books at " + path + " cannot be read";
        return nullptr;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{in};
    const uint64_t fileSize = uint64_t(st.st_size);
    LineReader lines(in);
    std::string_view text;
    uint64_t offset = 0;
    bool whole = false, tooLong = false;

    JournalHeader book;
    const bool header = lines.next(text, offset, whole, tooLong) && whole && !tooLong && readHeader(text, book);
    const SimSnapshotName& snapshot = book.snapshot;
    report.format = header ? book.format : 0;
    SimJournalEntry e;
    NumbersSeen seen;
    auto kinds = [&] { return numbers ? numbers().size() : 0; };
    seen.line(header, true, book.numbers);
    // The books of the file are lost: new ones from the seed, past every number its lines name.
    auto startAgain = [&]() -> std::unique_ptr<SimJournal> {
        while (lines.next(text, offset, whole, tooLong)) {
            const bool readable = whole && !tooLong && readRecord(text, e);
            seen.line(readable, whole, e.numbers);
        }
        report.numbersNamed = seen.reach(header ? kinds() : 0);  // a file of no format names nothing
        return create();
    };
    report.keyLost = header && book.seed == seed && book.keyCheck != keyCheck;
    if (!header || report.keyLost) {
        // Nothing of it can be trusted, not even how much it held; or its secrets are under a key gone.
        report.damagedLine = 1;
        report.lostUnknown = true;
        report.tornLast = !whole;
        report.setAside = setAside(path, "damaged");
        if (report.setAside.empty()) {
            report.refusal = "the books at " + path + " are damaged and cannot be moved aside";
            return nullptr;
        }
        if (snapshot.seq) report.snapshotSetAside = setAside(snapshotPath(path, snapshot.seq), "damaged");
        return startAgain();
    }
    if (book.seed != seed) {
        report.refusal = "the books at " + path + " are those of seed " + std::to_string(book.seed) + ", not " +
                         std::to_string(seed) + ": start with --seed " + std::to_string(book.seed) +
                         ", or with --fresh-books to open new ones";
        return nullptr;
    }

    if (snapshot.seq) {
        // The books it goes on from; without them no record after can be replayed soundly.
        const std::string snapPath = snapshotPath(path, snapshot.seq);
        std::string bytes;
        if (!readFile(snapPath, snapshot.size, bytes) || bytes.size() != snapshot.size ||
            crcOf(bytes) != snapshot.crc || !restore(bytes)) {
            report.damagedLine = 1;
            report.lostUnknown = true;
            report.setAside = setAside(path, "damaged");
            if (report.setAside.empty()) {
                report.refusal = "the books at " + path + " are damaged and cannot be moved aside";
                return nullptr;
            }
            report.snapshotLost = true;
            report.snapshotSetAside = setAside(snapPath, "damaged");  // "" when it was missing
            return startAgain();
        }
        report.restoredSnapshot = true;
    }

    std::vector<Range> kept{{0, lines.consumed()}};  // what the journal goes on with
    std::vector<uint32_t> crcs{0};                   // of each record restored, by its number after the snapshot
    const uint64_t base = snapshot.seq;
    uint64_t expected = base + 1;
    size_t lineNo = 1;
    // After the damage: the highest record number read, and the lines that
    // do not read since it.
    uint64_t highest = 0;
    size_t unreadSince = 0;
    while (lines.next(text, offset, whole, tooLong)) {
        ++lineNo;
        const uint64_t end = lines.consumed();
        const bool readable = whole && !tooLong && readRecord(text, e);
        if (!whole) report.tornLast = true;
        seen.line(readable, whole, e.numbers);
        if (!report.damagedLine) {
            const uint32_t crc = readable ? uint32_t(std::strtoul(std::string(text.substr(0, 8)).c_str(), nullptr, 16))
                                          : 0;
            if (readable && e.seq == expected) {
                replay(e);
                crcs.push_back(crc);
                ++expected;
                ++report.entries;
                if (kept.back().offset + kept.back().size == offset)
                    kept.back().size = end - kept.back().offset;
                else
                    kept.push_back({offset, end - offset});
                continue;
            }
            if (readable && e.seq < expected && e.seq > base && crcs[e.seq - base] == crc) {
                ++report.repeatsDropped;  // written twice: booked once
                continue;
            }
            report.damagedLine = lineNo;
        }
        if (readable && e.seq > highest) {
            highest = e.seq;
            unreadSince = 0;
        } else if (!readable) {
            ++unreadSince;
        }
    }
    if (report.damagedLine) {
        report.recordsLost = (highest >= expected ? highest - expected + 1 : 0) + unreadSince;
        report.lostAtLeast = report.tornLast;
        report.numbersNamed = seen.reach(kinds());
    }
    if (report.damaged()) {
        report.setAside = keepCopy(path, in, fileSize);
        if (report.setAside.empty() || !rewrite(path, in, kept)) {
            // The file stays as it was, and so does the next start's copy of it: this one goes.
            if (!report.setAside.empty()) ::unlink(report.setAside.c_str());
            report.setAside.clear();
            report.refusal = "the books at " + path + " are damaged and cannot be set aside";
            return nullptr;
        }
    }
    int fd = openForAppend(path);
    if (fd < 0) {
        report.refusal = "the books cannot be written at " + path;
        return nullptr;
    }
    struct stat now;
    const uint64_t size = ::fstat(fd, &now) == 0 ? uint64_t(now.st_size) : fileSize;
    return opened(
        new SimJournal(path, fd, book.start, expected, book.keyCheck, book.seed, snapshot, size, book.format));
}

std::string SimJournal::snapshotPath(const std::string& path, uint64_t seq) {
    return path + ".snapshot-" + std::to_string(seq);
}

bool SimJournal::compact(const std::string& books) {
    SimSnapshotName named{next_ - 1, crcOf(books), books.size()};
    const bool nothingSince = named.seq == snapshot_.seq;
    if (nothingSince && format_ == kSimJournalFormat) return true;  // nothing since the last one
    // A journal of an earlier format with no record since its snapshot (or
    // none at all) holds no record of other rules: a header of today's
    // format naming the same snapshot is all it takes, and the snapshot's
    // file, which the old header names, is never written over.
    if (nothingSince) named = snapshot_;
    const std::string snapPath = snapshotPath(path_, named.seq);
    // The snapshot first, on disk under its own name: no journal names it yet.
    if (!nothingSince && !writePrivateFileAtomically(snapPath, std::vector<uint8_t>(books.begin(), books.end()))) {
        ::unlink(snapPath.c_str());
        return false;
    }
    // Then the journal that names it, in place of the old one at once, and
    // held open before the old one is closed.
    const std::string header =
        headerLine(seed_, start_, keyCheck_, numbers_ ? numbers_() : std::vector<uint64_t>{}, named);
    bool synced = false;
    const int fd = replaceForAppend(path_, header, synced);
    if (fd < 0) {
        if (!nothingSince) ::unlink(snapPath.c_str());
        return false;
    }
    const SimSnapshotName before = snapshot_;
    snapshot_ = named;
    format_ = kSimJournalFormat;
    size_ = header.size();
    ::close(fd_);
    fd_ = fd;
    whole_ = true;
    // The old snapshot goes once no journal on disk names it (else the next start removes it).
    if (before.seq && before.seq != named.seq && synced) ::unlink(snapshotPath(path_, before.seq).c_str());
    return true;
}

SimJournal::~SimJournal() {
    if (fd_ >= 0) ::close(fd_);
}

bool SimJournal::append(SimJournalEntry entry) {
    std::vector<SimJournalEntry> one;
    one.push_back(std::move(entry));
    return append(std::move(one));
}

bool SimJournal::append(std::vector<SimJournalEntry> entries) {
    // A record of today's rules under an earlier format's header would replay under that format's rules.
    if (format_ != kSimJournalFormat) return false;
    if (fd_ < 0 || !cutBack()) return false;
    if (entries.empty()) return true;
    const std::vector<uint64_t> counters = numbers_ ? numbers_() : std::vector<uint64_t>{};
    std::string text;
    uint64_t next = next_;
    for (auto& entry : entries) {
        entry.seq = next++;
        raiseTo(entry.numbers, counters);
        text += line(entry);
    }
    if (!writeAll(fd_, text.data(), text.size()) || ::fdatasync(fd_) != 0) {
        // Some of it may have reached the file, or all of it without the flush.
        whole_ = false;
        cutBack();
        return false;
    }
    next_ = next;
    size_ += text.size();
    return true;
}

bool SimJournal::cutBack() {
    if (!whole_) whole_ = ::ftruncate(fd_, off_t(size_)) == 0 && ::fdatasync(fd_) == 0;
    return whole_;
}
