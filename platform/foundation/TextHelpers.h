#pragma once
// Small text helpers shared by every layer (ASCII rules only: the customer's
// full-width blanks are the text fields' business).
#include <string>

// The text without the blanks (space, tab, CR, LF, VT, FF) at both ends.
std::string trimmedText(const std::string& text);
// The text with its ASCII letters in lower case; other bytes unchanged.
std::string lowercasedText(std::string text);
