// The UTF-8 check against a plain decoder: every string of up to three bytes,
// four-byte characters at their limits, and long texts that the check cuts
// into lanes, with the fault placed everywhere, lane cuts included.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/foundation/TextHelpers.h"

namespace {

// Decodes each character and checks its value: shortest form, no surrogate, at most U+10FFFF.
bool decodes(const std::vector<uint8_t>& s) {
    size_t i = 0;
    while (i < s.size()) {
        uint8_t c = s[i];
        size_t len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        if (len == 0 || s.size() - i < len) return false;
        uint32_t cp = len == 1 ? c : c & (0x7F >> len);
        for (size_t k = 1; k < len; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) return false;
            cp = cp << 6 | (s[i + k] & 0x3F);
        }
        const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < least[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += len;
    }
    return true;
}

bool valid(const std::vector<uint8_t>& s) { return isValidUTF8(s.data(), s.size()); }

std::vector<uint8_t> bytes(const std::string& s) { return {s.begin(), s.end()}; }

}  // namespace

TEST(TextHelpersTest, UTF8CheckAgreesWithADecoderOnEveryShortString) {
    int mismatches = 0;
    std::vector<uint8_t> s;
    for (size_t len = 1; len <= 3; ++len) {
        s.assign(len, 0);
        for (uint32_t v = 0; v < (1u << (8 * len)); ++v) {
            for (size_t k = 0; k < len; ++k) s[k] = uint8_t(v >> (8 * k));
            if (valid(s) != decodes(s) && ++mismatches < 5) ADD_FAILURE() << std::hex << v << " of " << len;
        }
    }
    EXPECT_EQ(mismatches, 0);
    // Four bytes: every lead byte with the second byte's edges.
    for (int lead = 0xF0; lead <= 0xFF; ++lead)
        for (int second : {0x7F, 0x80, 0x8F, 0x90, 0xBF, 0xC0}) {
            s = {uint8_t(lead), uint8_t(second), 0x80, 0xBF};
            EXPECT_EQ(valid(s), decodes(s)) << std::hex << lead << " " << second;
            s[3] = 0x41;
            EXPECT_FALSE(valid(s));
        }
}

TEST(TextHelpersTest, LongTextsAreCheckedWholeWhereverTheFaultLies) {
    // Chinese, digits and a four-byte character, so that characters straddle every place the check may cut.
    std::string unit = "股票名称12345\xF0\x9F\x98\x80 ab";
    std::string text;
    while (text.size() < 1000) text += unit;
    const auto good = bytes(text);
    ASSERT_TRUE(valid(good));
    for (size_t n = 250; n <= good.size(); n += 37) {
        std::vector<uint8_t> prefix(good.begin(), good.begin() + long(n));
        EXPECT_EQ(valid(prefix), decodes(prefix)) << n;
    }
    for (size_t at = 0; at < good.size(); ++at) {
        auto bad = good;
        bad[at] = 0xFF;
        if (valid(bad)) ADD_FAILURE() << "0xFF at " << at;
        bad[at] = good[at] < 0x80 ? 0x80 : 0x41;  // a stray continuation byte, or a character cut short
        if (valid(bad) != decodes(bad)) ADD_FAILURE() << "changed byte at " << at;
    }
    // A surrogate and an overlong form far from the start.
    auto surrogate = good;
    surrogate.insert(surrogate.begin() + 700, {0xED, 0xA0, 0x80});
    EXPECT_FALSE(valid(surrogate));
    auto overlong = good;
    overlong.insert(overlong.begin() + 900, {0xE0, 0x80, 0xAF});
    EXPECT_FALSE(valid(overlong));
    // Nothing but continuation bytes where a lane would start.
    std::vector<uint8_t> continuations(600, 0x80);
    EXPECT_FALSE(valid(continuations));
}
