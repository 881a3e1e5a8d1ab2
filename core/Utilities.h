#pragma once
// Small text, byte and time helpers shared by every layer.
#include <cstdint>
#include <string>
#include <vector>

// The UTF-16 little-endian bytes of a UTF-8 text: two bytes per UTF-16 unit
// (characters beyond the basic plane take a surrogate pair). Malformed UTF-8
// bytes become U+FFFD.
std::vector<uint8_t> dataFromString(const std::string& text);

// The first `length` bytes (at most all of them) as hexadecimal text, two
// digits per byte, upper case when upperCase is 1, lower case otherwise.
std::string hexString(const std::vector<uint8_t>& bytes, size_t length, int upperCase);
std::string hexString(const std::vector<uint8_t>& bytes, int upperCase = 0);

// The exchanges' current time (Clock, China Standard Time: core/MarketTime.h)
// as hours * 100 + minutes; the trading windows are compared with it.
int currentHHmm();

// After trimming blanks at both ends: false when a blank remains inside,
// otherwise true when the text holds at most one ".". Letters pass: callers
// add a pattern test.
bool isDecimalText(const std::string& text);

// The integer a text reads as (the platform's intValue): leading blanks
// skipped, an optional sign, then the leading digits; 0 when there are none;
// held at the int's limits when larger.
int intValueOfText(const std::string& text);

// Whether the whole text matches the POSIX extended regular expression. The
// pattern is anchored as a whole ("^(" pattern ")$"), so every branch of an
// alternation must match the entire text. An invalid pattern matches nothing.
bool gtm_matchesPattern(const std::string& text, const std::string& pattern);

// The account number the soft token is bound to, from the account as typed,
// the branch code and the account type code:
//   "Z" (fund account): left-padded with zeros to 8 characters, then prefixed
//       with the branch code when shorter than 12 characters;
//   "0", "2" (Shenzhen A/B): left-padded with zeros to 10 characters when 9 or fewer;
//   "1" (Shanghai A) of exactly 9 characters: prefixed "B" when it starts with
//       "88", "D" when it starts with "89", otherwise "A";
//   "3" (Shanghai B) of exactly 9 characters: prefixed "C";
//   anything else unchanged.
std::string normalizeTokenAccount(const std::string& account, const std::string& branchCode,
                                  const std::string& typeCode);

// Number of characters (Unicode scalar values) of a UTF-8 text.
size_t utf8Length(const std::string& text);
