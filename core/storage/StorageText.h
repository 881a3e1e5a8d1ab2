#pragma once
// Small text helpers of the storage layer.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace storage_text {

// Number of characters (UTF-8 code points) of the text.
size_t characterCount(std::string_view text);

// The parts of the text between separators; an empty text gives one empty part.
std::vector<std::string> split(std::string_view text, char separator);

// The text without blanks (spaces, tabs, line breaks) at both ends.
std::string trim(std::string_view text);

// The leading integer of the text, as the platform's intValue reads it:
// optional blanks and sign, then digits; 0 when there are none. Saturates
// instead of overflowing.
int64_t leadingInteger(std::string_view text);

// "code.market" split at its last point; nullopt unless the code is not
// empty and the market is a whole number.
std::optional<std::pair<std::string, int>> parseStockId(std::string_view text);

}  // namespace storage_text
