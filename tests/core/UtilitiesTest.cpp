#include <gtest/gtest.h>

#include "core/Utilities.h"
#include "platform/foundation/Clock.h"

namespace {

TEST(DataFromString, GivesUtf16LittleEndianUnits) {
    EXPECT_EQ(hexString(dataFromString("abc"), 0), "610062006300");
    EXPECT_EQ(hexString(dataFromString("中"), 1), "2D4E");
    EXPECT_TRUE(dataFromString("").empty());
    // Beyond the basic plane: a surrogate pair (U+1F600 -> D83D DE00).
    EXPECT_EQ(hexString(dataFromString("\xF0\x9F\x98\x80"), 1), "3DD800DE");
}

TEST(DataFromString, MalformedBytesBecomeReplacementCharacters) {
    EXPECT_EQ(hexString(dataFromString("a\xFF"), 1), "6100FDFF");
    // A sequence cut short at the end of the text.
    EXPECT_EQ(hexString(dataFromString("\xE4\xB8"), 1), "FDFFFDFF");
    // An overlong encoding of "/" is refused, not decoded.
    EXPECT_EQ(hexString(dataFromString("\xC0\xAF"), 1).substr(0, 4), "FDFF");
}

TEST(HexString, CaseFlagAndLengthLimit) {
    std::vector<uint8_t> bytes{0x00, 0xAB, 0xFF, 0x10};
    EXPECT_EQ(hexString(bytes, 4, 1), "00ABFF10");
    EXPECT_EQ(hexString(bytes, 4, 0), "00abff10");
    EXPECT_EQ(hexString(bytes, 4, 2), "00abff10");  // only 1 means upper case
    EXPECT_EQ(hexString(bytes, 2, 1), "00AB");
    EXPECT_EQ(hexString(bytes, 99, 1), "00ABFF10");  // never past the end
    EXPECT_EQ(hexString({}, 3, 1), "");
}

TEST(IsDecimalText, BlanksInsideAndPoints) {
    EXPECT_TRUE(isDecimalText("12.5"));
    EXPECT_TRUE(isDecimalText("  12.5 \t"));
    EXPECT_TRUE(isDecimalText("100"));
    EXPECT_TRUE(isDecimalText(""));
    EXPECT_TRUE(isDecimalText("abc"));  // letters pass; the pattern test refuses them
    EXPECT_FALSE(isDecimalText("1 2"));
    EXPECT_FALSE(isDecimalText(" 1. 2 "));
    EXPECT_FALSE(isDecimalText("1.2.3"));
    EXPECT_FALSE(isDecimalText(".."));
}

TEST(MatchesPattern, WholeTextMustMatchEveryBranch) {
    const std::string decimal = "([0-9]+\\.[0-9]*)|([0-9]*\\.[0-9]+)|([0-9]+)";
    EXPECT_TRUE(gtm_matchesPattern("12.5", decimal));
    EXPECT_TRUE(gtm_matchesPattern("12.", decimal));
    EXPECT_TRUE(gtm_matchesPattern(".5", decimal));
    EXPECT_TRUE(gtm_matchesPattern("100", decimal));
    // Without anchoring the whole alternation, these would match a branch in part.
    EXPECT_FALSE(gtm_matchesPattern("12.5x", decimal));
    EXPECT_FALSE(gtm_matchesPattern("x12", decimal));
    EXPECT_FALSE(gtm_matchesPattern("1.2.3", decimal));
    EXPECT_FALSE(gtm_matchesPattern("", decimal));
    EXPECT_FALSE(gtm_matchesPattern("12\n", decimal));

    const std::string price = "([1-9][0-9]*)|([1-9][0-9]*)(\\.[0-9]+)|([0-9]\\.[1-9]+)";
    EXPECT_TRUE(gtm_matchesPattern("10.25", price));
    EXPECT_TRUE(gtm_matchesPattern("0.5", price));
    EXPECT_FALSE(gtm_matchesPattern("0.0", price));
    EXPECT_FALSE(gtm_matchesPattern("012", price));
}

TEST(MatchesPattern, BadPatternOrEmbeddedNulMatchesNothing) {
    EXPECT_FALSE(gtm_matchesPattern("a", "("));
    EXPECT_FALSE(gtm_matchesPattern("a", "a{2,1}"));
    EXPECT_FALSE(gtm_matchesPattern(std::string("12\0x", 4), "[0-9]+"));
    EXPECT_TRUE(gtm_matchesPattern("", ""));
}

TEST(NormalizeTokenAccount, FundAccountIsPaddedAndPrefixedWithTheBranch) {
    EXPECT_EQ(normalizeTokenAccount("12345", "0101", "Z"), "010100012345");
    EXPECT_EQ(normalizeTokenAccount("12345678", "0101", "Z"), "010112345678");
    // 12 characters or more already: no branch prefix.
    EXPECT_EQ(normalizeTokenAccount("123456789012", "0101", "Z"), "123456789012");
    // 10 characters: prefixed, as it is shorter than 12.
    EXPECT_EQ(normalizeTokenAccount("1234567890", "01", "Z"), "011234567890");
}

TEST(NormalizeTokenAccount, ShareholderAccountsByMarket) {
    EXPECT_EQ(normalizeTokenAccount("123456789", "0101", "0"), "0123456789");
    EXPECT_EQ(normalizeTokenAccount("12", "0101", "2"), "0000000012");
    EXPECT_EQ(normalizeTokenAccount("0123456789", "0101", "0"), "0123456789");
    EXPECT_EQ(normalizeTokenAccount("881234567", "0101", "1"), "B881234567");
    EXPECT_EQ(normalizeTokenAccount("891234567", "0101", "1"), "D891234567");
    EXPECT_EQ(normalizeTokenAccount("123456789", "0101", "1"), "A123456789");
    EXPECT_EQ(normalizeTokenAccount("12345678", "0101", "1"), "12345678");
    EXPECT_EQ(normalizeTokenAccount("123456789", "0101", "3"), "C123456789");
    EXPECT_EQ(normalizeTokenAccount("C12345678", "0101", "3"), "CC12345678");
    EXPECT_EQ(normalizeTokenAccount("1234567890", "0101", "3"), "1234567890");
    EXPECT_EQ(normalizeTokenAccount("123", "0101", "9"), "123");
    EXPECT_EQ(normalizeTokenAccount("", "0101", "Z"), "010100000000");
}

TEST(IntValueOfText, ReadsLeadingDigitsWithASignAndHoldsAtTheLimits) {
    EXPECT_EQ(intValueOfText("2"), 2);
    EXPECT_EQ(intValueOfText("  -17abc"), -17);
    EXPECT_EQ(intValueOfText("+8"), 8);
    EXPECT_EQ(intValueOfText("3.9"), 3);
    EXPECT_EQ(intValueOfText(""), 0);
    EXPECT_EQ(intValueOfText("沪A"), 0);
    EXPECT_EQ(intValueOfText("- 5"), 0);
    EXPECT_EQ(intValueOfText("99999999999999999999"), INT32_MAX);
    EXPECT_EQ(intValueOfText("-99999999999999999999"), INT32_MIN);
}

TEST(CurrentHHmm, ReadsTheInjectedClockOnTheExchangesClock) {
    Clock::freezeAt(1710464730);  // 2024-03-15 09:05:30 at UTC+8; 21:05 the day before in New York
    EXPECT_EQ(currentHHmm(), 905);
    Clock::advance(3 * 3600 + 55 * 60);
    EXPECT_EQ(currentHHmm(), 1300);
    Clock::useSystemTime();
}

}  // namespace
