#include "platform/foundation/TextHelpers.h"

#include <algorithm>
#include <cctype>
#include <cstring>

std::string trimmedText(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

std::string lowercasedText(std::string text) {
    for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

namespace {

// UTF-8 validation as a state machine over bytes, after Unicode's table of
// well-formed byte sequences. Each state is a bit offset (a multiple of 6);
// the table's entry for a byte holds, at every state's offset, the state that
// byte leads to. One shift a byte then, and no branch that mispredicts where
// Chinese text meets digits. The error state is offset 0, so that anything
// not listed leads there and stays.
namespace utf8 {

enum State : unsigned {
    Error = 0,
    Accept = 6,
    Tail1 = 12,  // one continuation byte to come
    Tail2 = 18,
    Tail3 = 24,
    AfterE0 = 30,  // the second byte must be A0..BF (no overlong form)
    AfterED = 36,  // 80..9F (no surrogate)
    AfterF0 = 42,  // 90..BF (no overlong form)
    AfterF4 = 48,  // 80..8F (nothing above U+10FFFF)
};

struct Table {
    uint64_t next[256] = {};

    constexpr void on(State from, unsigned first, unsigned last, State to) {
        for (unsigned b = first; b <= last; ++b) next[b] |= uint64_t(to) << from;
    }

    constexpr Table() {
        on(Accept, 0x00, 0x7F, Accept);
        on(Accept, 0xC2, 0xDF, Tail1);
        on(Accept, 0xE0, 0xE0, AfterE0);
        on(Accept, 0xE1, 0xEC, Tail2);
        on(Accept, 0xED, 0xED, AfterED);
        on(Accept, 0xEE, 0xEF, Tail2);
        on(Accept, 0xF0, 0xF0, AfterF0);
        on(Accept, 0xF1, 0xF3, Tail3);
        on(Accept, 0xF4, 0xF4, AfterF4);
        on(Tail1, 0x80, 0xBF, Accept);
        on(Tail2, 0x80, 0xBF, Tail1);
        on(Tail3, 0x80, 0xBF, Tail2);
        on(AfterE0, 0xA0, 0xBF, Tail1);
        on(AfterED, 0x80, 0x9F, Tail1);
        on(AfterF0, 0x90, 0xBF, Tail2);
        on(AfterF4, 0x80, 0x8F, Tail2);
    }
};

constexpr Table kTable;

}  // namespace utf8

bool isAsciiWord(const uint8_t* p) {
    uint64_t a, b;
    std::memcpy(&a, p, 8);
    std::memcpy(&b, p + 8, 8);
    return ((a | b) & 0x8080808080808080ull) == 0;
}

// Runs the machine over the bytes from `state`; only the low six bits of a
// state count (the shift takes its count modulo 64).
uint64_t run(uint64_t state, const uint8_t* s, size_t n) {
    size_t i = 0;
    while (i < n) {
        // Between characters, ASCII goes sixteen bytes at a time.
        if ((state & 63) == utf8::Accept)
            while (i + 16 <= n && isAsciiWord(s + i)) i += 16;
        const size_t stop = std::min(n, i + 64);
        for (; i < stop; ++i) state = utf8::kTable.next[s[i]] >> (state & 63);
        if ((state & 63) == utf8::Error) break;
    }
    return state & 63;
}

constexpr size_t kLanes = 4;
constexpr size_t kLaneMinimum = 256;

// A long text is cut into four lanes at character starts, and the lanes run
// side by side: one state machine waits on the previous byte, four keep the
// processor busy. A text that is valid as a whole is valid in every lane and
// the other way round, since each lane starts at a character's first byte.
bool validInLanes(const uint8_t* s, size_t n) {
    size_t begin[kLanes + 1];
    begin[0] = 0;
    begin[kLanes] = n;
    for (size_t k = 1; k < kLanes; ++k) {
        size_t at = n * k / kLanes;
        // Back to a character's first byte; more than three continuation bytes cannot be valid.
        for (int back = 0; (s[at] & 0xC0) == 0x80; ++back, --at)
            if (back == 3) return false;
        begin[k] = at;
    }
    size_t common = n;
    for (size_t k = 0; k < kLanes; ++k) common = std::min(common, begin[k + 1] - begin[k]);
    // Four named states, so that they stay in registers.
    const uint8_t *p0 = s + begin[0], *p1 = s + begin[1], *p2 = s + begin[2], *p3 = s + begin[3];
    uint64_t s0 = utf8::Accept, s1 = utf8::Accept, s2 = utf8::Accept, s3 = utf8::Accept;
    const uint64_t* next = utf8::kTable.next;
    for (size_t i = 0; i < common; ++i) {
        s0 = next[p0[i]] >> (s0 & 63);
        s1 = next[p1[i]] >> (s1 & 63);
        s2 = next[p2[i]] >> (s2 & 63);
        s3 = next[p3[i]] >> (s3 & 63);
    }
    const uint64_t state[kLanes] = {s0, s1, s2, s3};
    for (size_t k = 0; k < kLanes; ++k)
        if (run(state[k], s + begin[k] + common, begin[k + 1] - begin[k] - common) != utf8::Accept) return false;
    return true;
}

}  // namespace

bool isValidUTF8(const uint8_t* s, size_t n) {
    if (n >= kLaneMinimum) return validInLanes(s, n);
    return run(utf8::Accept, s, n) == utf8::Accept;
}

bool isValidUTF8(const std::string& text) {
    return isValidUTF8(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::string repairedUTF8(const std::string& text) {
    if (isValidUTF8(text)) return text;
    std::string out;
    out.reserve(text.size() + 8);
    const auto* s = reinterpret_cast<const uint8_t*>(text.data());
    size_t i = 0;
    while (i < text.size()) {
        // The longest well-formed character at i (1 to 4 bytes), else one bad byte.
        size_t len = 0;
        for (size_t k = 1; k <= 4 && i + k <= text.size(); ++k)
            if (isValidUTF8(s + i, k)) {
                len = k;
                break;
            }
        if (len) {
            out.append(text, i, len);
            i += len;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}
