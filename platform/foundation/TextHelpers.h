#pragma once
// Small text helpers shared by every layer (ASCII rules only: the customer's
// full-width blanks are the text fields' business).
#include <cstddef>
#include <cstdint>
#include <string>

// The text without the blanks (space, tab, CR, LF, VT, FF) at both ends.
std::string trimmedText(const std::string& text);
// The text with its ASCII letters in lower case; other bytes unchanged.
std::string lowercasedText(std::string text);

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool isValidUTF8(const uint8_t* data, size_t size);
bool isValidUTF8(const std::string& text);
// The text with each byte that starts no well-formed character replaced by
// U+FFFD; a well-formed text unchanged.
std::string repairedUTF8(const std::string& text);
