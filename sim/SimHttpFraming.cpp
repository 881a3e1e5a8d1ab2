#include "sim/SimHttpFraming.h"

#include <strings.h>

#include <cctype>
#include <string>

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr size_t kMaxChunkLine = 1024;  // a size and its extensions

// A field name is a token (RFC 9110 5.1): letters, digits and these marks, nothing else.
bool isToken(std::string_view name) {
    static constexpr std::string_view kMarks = "!#$%&'*+-.^_`|~";
    for (unsigned char c : name)
        if (!std::isalnum(c) && kMarks.find(char(c)) == std::string_view::npos) return false;
    return !name.empty();
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// A number of the base's digits only, at most `limit`; false for anything else.
bool parseNumber(std::string_view text, int base, size_t limit, size_t& out) {
    if (text.empty() || text.size() > 16) return false;
    size_t n = 0;
    for (char c : text) {
        int d = c >= '0' && c <= '9' ? c - '0' : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
                                             : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                                                  : -1;
        if (d < 0) return false;
        n = n * base + size_t(d);
        if (n > limit) n = limit + 1;  // no overflow: over the limit is all that matters
    }
    out = n;
    return true;
}

}  // namespace

SimHttpFraming::State SimHttpFraming::look(std::string_view received) {
    if (!headerEnd_) {
        State s = readHeaders(received);
        if (!headerEnd_) return s;
        if (s != State::Incomplete) return s;
    }
    if (chunked_) return readChunks(received);
    if (received.size() < headerEnd_ + contentLength_) return State::Incomplete;
    end_ = headerEnd_ + contentLength_;
    return State::Complete;
}

SimHttpFraming::State SimHttpFraming::readHeaders(std::string_view received) {
    // Look again only where the blank line may end: the last three bytes of before and what came since.
    const size_t from = scanned_ > 3 ? scanned_ - 3 : 0;
    const size_t blank = received.find("\r\n\r\n", from);
    if (blank == std::string_view::npos) {
        scanned_ = received.size();
        return received.size() > maxHeaderBytes_ ? State::HeadersTooLarge : State::Incomplete;
    }
    if (blank + 4 > maxHeaderBytes_) return State::HeadersTooLarge;
    headerEnd_ = blank + 4;
    size_t at = received.find(kLineEnd) + kLineEnd.size();  // past the request line
    std::string_view length;
    bool lengthsDiffer = false;
    int codings = 0;  // Transfer-Encoding headers, and whether each said "chunked" alone
    bool onlyChunked = true;
    while (at < blank + kLineEnd.size()) {
        const size_t eol = received.find(kLineEnd, at);
        const std::string_view line = received.substr(at, eol - at);
        at = eol + kLineEnd.size();
        // A line that starts with whitespace folds onto the one before (or, first of the block, onto the
        // request line): an obsolete form the handlers' parser would read as a line of its own, or not
        // at all, and a proxy before us as part of the header above. It makes no request.
        if (!line.empty() && (line.front() == ' ' || line.front() == '\t')) return State::Malformed;
        // A line without a colon, or a name that is no token (whitespace, a NUL, nothing at all),
        // is read one way by the handlers' parser and another by a proxy before us: the
        // handlers' takes "Transfer-Encoding :" as no coding, and skips "Content-Length 5"
        // where a proxy may not. It makes no request.
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos || !isToken(line.substr(0, colon))) return State::Malformed;
        const std::string_view name = line.substr(0, colon), value = trim(line.substr(colon + 1));
        // A CR or NUL in a value ends the line early for one reader and not for another.
        if (value.find_first_of(std::string_view("\r\0", 2)) != std::string_view::npos) return State::Malformed;
        if (sameName(name, "Content-Length")) {
            lengthsDiffer = lengthsDiffer || (hasLength_ && value != length);
            length = value;
            hasLength_ = true;
        } else if (sameName(name, "Transfer-Encoding")) {
            ++codings;
            onlyChunked = onlyChunked && sameName(value, "chunked");
        } else if (sameName(name, "Expect")) {
            expectsContinue_ = sameName(value, "100-continue");
        }
    }
    chunkAt_ = headerEnd_;
    // Chunks once, and nothing else: a second header would make them chunks of chunks.
    if (codings > 0 && (codings > 1 || !onlyChunked)) return State::UnknownCoding;
    chunked_ = codings == 1;
    // Two lengths: no telling where the body ends (nor which one a proxy before us went by).
    if (lengthsDiffer) return State::Malformed;
    if (chunked_ || !hasLength_) return State::Incomplete;  // chunks say their own length
    if (!parseNumber(length, 10, maxBodyBytes_, contentLength_)) return State::Malformed;
    return contentLength_ > maxBodyBytes_ ? State::BodyTooLarge : State::Incomplete;
}

SimHttpFraming::State SimHttpFraming::readChunks(std::string_view received) {
    for (;;) {
        const size_t eol = received.find(kLineEnd, chunkAt_);
        if (eol == std::string_view::npos) {
            const size_t pending = received.size() - chunkAt_;
            if (inTrailer_) return pending > maxHeaderBytes_ ? State::HeadersTooLarge : State::Incomplete;
            const bool endBegun = pending > 0 && received.back() == '\r';
            return pending - endBegun > kMaxChunkLine ? State::Malformed : State::Incomplete;
        }
        if (!inTrailer_ && eol - chunkAt_ > kMaxChunkLine) return State::Malformed;  // however it came
        if (inTrailer_) {
            if (eol == chunkAt_) {
                end_ = eol + kLineEnd.size();
                return State::Complete;
            }
            chunkAt_ = eol + kLineEnd.size();
            continue;
        }
        std::string_view sizeText = received.substr(chunkAt_, eol - chunkAt_);
        sizeText = trim(sizeText.substr(0, sizeText.find(';')));
        size_t size = 0;
        if (!parseNumber(sizeText, 16, maxBodyBytes_, size)) return State::Malformed;
        if (size == 0) {
            inTrailer_ = true;
            chunkAt_ = eol + kLineEnd.size();
            continue;
        }
        if (size > maxBodyBytes_ - bodySoFar_) return State::BodyTooLarge;
        const size_t dataEnd = eol + kLineEnd.size() + size;
        if (received.size() < dataEnd + kLineEnd.size()) return State::Incomplete;
        if (received.substr(dataEnd, kLineEnd.size()) != kLineEnd) return State::Malformed;
        bodySoFar_ += size;
        chunkAt_ = dataEnd + kLineEnd.size();
    }
}
