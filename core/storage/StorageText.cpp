#include "core/storage/StorageText.h"

#include <charconv>
#include <limits>

namespace storage_text {

size_t characterCount(std::string_view text) {
    size_t count = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++count;
    return count;
}

std::vector<std::string> split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t at = text.find(separator, start);
        if (at == std::string_view::npos) {
            parts.emplace_back(text.substr(start));
            return parts;
        }
        parts.emplace_back(text.substr(start, at - start));
        start = at + 1;
    }
}

std::string trim(std::string_view text) {
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    size_t last = text.find_last_not_of(blanks);
    return std::string(text.substr(first, last - first + 1));
}

int64_t leadingInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    const int64_t limit = std::numeric_limits<int64_t>::max() / 10;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value > limit) return negative ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

std::optional<std::pair<std::string, int>> parseStockId(std::string_view text) {
    size_t dot = text.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 >= text.size()) return std::nullopt;
    std::string_view market = text.substr(dot + 1);
    int value = 0;
    auto [end, ec] = std::from_chars(market.data(), market.data() + market.size(), value);
    if (ec != std::errc() || end != market.data() + market.size()) return std::nullopt;
    return std::make_pair(std::string(text.substr(0, dot)), value);
}

}  // namespace storage_text
