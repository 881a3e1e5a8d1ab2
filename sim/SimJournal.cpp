#include "sim/SimJournal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string_view>

#include "core/security/Digests.h"
#include "core/security/PrivateFile.h"

namespace {

constexpr std::string_view kMagic = "roduvede-books";
constexpr std::string_view kFormat = "1";
constexpr std::string_view kRequest = "request";
constexpr std::string_view kPush = "push";
constexpr size_t kMaxJournalBytes = size_t(1) << 31;

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

std::string crcText(std::string_view payload) {
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08x", crc32Of(reinterpret_cast<const uint8_t*>(payload.data()), payload.size()));
    return crc;
}

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

std::string headerLine(uint64_t seed, double start) {
    return withCrc(std::string(kMagic) + "\t" + std::string(kFormat) + "\t" + std::to_string(seed) + "\t" +
                   timeText(start));
}

// Seed and start of a header line; false when it is none of this format.
bool readHeader(std::string_view line, uint64_t& seed, double& start) {
    auto payload = payloadOf(line);
    if (!payload) return false;
    auto parts = split(*payload, '\t');
    if (parts.size() != 4 || parts[0] != kMagic || parts[1] != kFormat) return false;
    std::string seedText(parts[2]);
    char* end = nullptr;
    seed = std::strtoull(seedText.c_str(), &end, 10);
    return !seedText.empty() && end == seedText.c_str() + seedText.size() && parseTime(parts[3], start);
}

// The file moved aside, beside it, under a name that says why and when; "" when that failed.
std::string setAside(const std::string& path, const char* why) {
    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string target = path + "." + why + "-" + stamp;
    struct stat st;
    for (int n = 2; ::stat(target.c_str(), &st) == 0; ++n) target = path + "." + why + "-" + stamp + "-" + std::to_string(n);
    return ::rename(path.c_str(), target.c_str()) == 0 ? target : std::string();
}

int openForAppend(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
}

bool writeNew(const std::string& path, const std::string& text) {
    return writePrivateFileAtomically(path, std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace

std::string SimJournal::line(const SimJournalEntry& e) {
    std::string secrets, fields;
    for (const auto& s : e.secrets) secrets += (secrets.empty() ? "" : ",") + escape(s);
    for (const auto& f : e.fields) fields += (fields.empty() ? "" : "&") + escape(f.key) + "=" + escape(f.value);
    return withCrc(timeText(e.time) + "\t" + std::string(e.kind == SimJournalEntry::Kind::Push ? kPush : kRequest) +
                   "\t" + escape(e.phone) + "\t" + escape(e.custid) + "\t" + escape(e.fundid) + "\t" + secrets +
                   "\t" + fields);
}

bool SimJournal::read(const std::string& text, SimJournalEntry& e) {
    std::string_view line(text);
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    auto payload = payloadOf(line);
    if (!payload) return false;
    auto parts = split(*payload, '\t');
    if (parts.size() != 7 || !parseTime(parts[0], e.time)) return false;
    if (parts[1] != kRequest && parts[1] != kPush) return false;
    e.kind = parts[1] == kPush ? SimJournalEntry::Kind::Push : SimJournalEntry::Kind::Request;
    if (!unescape(parts[2], e.phone) || !unescape(parts[3], e.custid) || !unescape(parts[4], e.fundid)) return false;
    e.secrets.clear();
    if (!parts[5].empty())
        for (auto s : split(parts[5], ',')) {
            if (!unescape(s, e.secrets.emplace_back())) return false;
        }
    e.fields.clear();
    if (!parts[6].empty())
        for (auto f : split(parts[6], '&')) {
            const size_t eq = f.find('=');
            if (eq == std::string_view::npos) return false;
            SimField& field = e.fields.emplace_back();
            if (!unescape(f.substr(0, eq), field.key) || !unescape(f.substr(eq + 1), field.value)) return false;
        }
    return true;
}

std::unique_ptr<SimJournal> SimJournal::open(const std::string& path, uint64_t seed, double start, bool fresh,
                                             std::vector<SimJournalEntry>& entries, SimJournalReport& report) {
    entries.clear();
    report = SimJournalReport{};
    struct stat st;
    const bool exists = ::lstat(path.c_str(), &st) == 0;
    auto create = [&](std::string_view body = {}) -> std::unique_ptr<SimJournal> {
        int fd = writeNew(path, headerLine(seed, start) + std::string(body)) ? openForAppend(path) : -1;
        if (fd < 0) {
            report.refusal = "the books cannot be written at " + path;
            return nullptr;
        }
        return std::unique_ptr<SimJournal>(new SimJournal(path, fd, start));
    };
    if (exists && fresh) {
        report.setAside = setAside(path, "old");
        if (report.setAside.empty()) {
            report.refusal = "the books at " + path + " cannot be moved aside";
            return nullptr;
        }
    }
    if (!exists || fresh) {
        report.created = true;
        return create();
    }
    auto bytes = readPrivateFile(path, kMaxJournalBytes);
    if (!bytes) {
        report.refusal = "the books at " + path + " cannot be read";
        return nullptr;
    }
    const std::string_view all(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    std::vector<std::string_view> lines = split(all, '\n');
    // What follows the last line end is a line the process did not finish writing: its reply never went.
    report.droppedCutLine = !lines.back().empty();
    lines.pop_back();

    uint64_t bookSeed = 0;
    double bookStart = 0;
    if (lines.empty() || !readHeader(lines[0], bookSeed, bookStart)) {
        report.damagedLine = 1;
        report.linesLost = lines.size() + (report.droppedCutLine ? 1 : 0);
        report.setAside = setAside(path, "damaged");
        if (report.setAside.empty()) {
            report.refusal = "the books at " + path + " are damaged and cannot be moved aside";
            return nullptr;
        }
        report.created = true;
        return create();
    }
    if (bookSeed != seed) {
        report.refusal = "the books at " + path + " are those of seed " + std::to_string(bookSeed) + ", not " +
                         std::to_string(seed) + ": start with --seed " + std::to_string(bookSeed) +
                         ", or with --fresh-books to open new ones";
        return nullptr;
    }
    size_t good = 1;  // lines that read back, the header first
    for (; good < lines.size(); ++good)
        if (!read(std::string(lines[good]), entries.emplace_back())) {
            entries.pop_back();
            break;
        }
    // The bytes of the lines that read back, with their ends.
    const size_t goodBytes = good < lines.size() ? size_t(lines[good].data() - all.data())
                                                 : size_t(lines.back().data() - all.data()) + lines.back().size() + 1;
    std::unique_ptr<SimJournal> journal;
    if (good < lines.size()) {
        report.damagedLine = good + 1;
        report.linesLost = lines.size() - good + (report.droppedCutLine ? 1 : 0);
        const std::string kept(all.substr(0, goodBytes));
        report.setAside = setAside(path, "damaged");
        if (report.setAside.empty() || !writeNew(path, kept)) {
            report.refusal = "the books at " + path + " are damaged and cannot be set aside";
            return nullptr;
        }
    } else if (report.droppedCutLine && ::truncate(path.c_str(), off_t(goodBytes)) != 0) {
        report.refusal = "the books at " + path + " end in a cut line that cannot be dropped";
        return nullptr;
    }
    int fd = openForAppend(path);
    if (fd < 0) {
        report.refusal = "the books cannot be written at " + path;
        return nullptr;
    }
    report.entries = entries.size();
    return std::unique_ptr<SimJournal>(new SimJournal(path, fd, bookStart));
}

SimJournal::~SimJournal() { ::close(fd_); }

bool SimJournal::append(const SimJournalEntry& entry) {
    const std::string text = line(entry);
    size_t written = 0;
    while (written < text.size()) {
        ssize_t n = ::write(fd_, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += size_t(n);
    }
    return ::fdatasync(fd_) == 0;
}
