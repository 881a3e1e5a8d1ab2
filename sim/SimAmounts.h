#pragma once
// The numbers with decimals a request writes, as the brokerage reads them:
// amounts of money and of fund units in hundredths (分, 0.01 份), prices in
// 厘. A text is digits with at most one point ("100", "100.5", "100.",
// ".5"). Zeros past the decimals of its kind are the value they are
// ("100.500" is 100.50 元, as a customer who typed it meant); a non-zero
// digit past them is no such number, and so is a text longer than a valid
// value of its kind is written (a value padded with zeros: what the books
// keep of a request is no more than a valid value holds).
#include <cstddef>
#include <cstdint>
#include <string_view>

// The longest text of an amount.
inline constexpr size_t kSimAmountChars = 15;

// The value of a decimal text in units of 10^-`decimals`; -1 when it is
// none: no digit, another character, a non-zero digit past `decimals`, more
// than `longest` characters, or a whole part of more than 15 digits (zeros
// before it aside).
int64_t simParseDecimal(std::string_view text, int decimals, size_t longest);

// An amount of money in 分, or of fund units in 0.01 份: a decimal text of
// at most kSimAmountChars characters and two decimals (zeros past them are
// their value); -1 when it is none. Every function that reads an amount
// reads it so, and refuses -1 (and what else it does not take) in its own
// words.
int64_t simParseHundredths(std::string_view text);
