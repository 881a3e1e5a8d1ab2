#include "platform/uikit/UITextInput.h"

#include <cstring>

namespace {
// Decodes one UTF-8 sequence at i; advances i. Invalid bytes read as U+FFFD.
char32_t decode(const std::string& s, size_t& i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (extra < 0 || i + static_cast<size_t>(extra) >= s.size() + (extra == 0 ? 1 : 0)) {
        ++i;
        return 0xFFFD;
    }
    char32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
    for (int k = 1; k <= extra; ++k) {
        unsigned char n = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
        if ((n & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (n & 0x3F);
    }
    i += static_cast<size_t>(extra) + 1;
    return cp;
}

// Byte offset of the UTF-16 position (clamped to the text's end).
size_t byteOffsetOfUtf16(const std::string& s, size_t units) {
    size_t i = 0, u = 0;
    while (i < s.size() && u < units) {
        char32_t cp = decode(s, i);
        u += cp >= 0x10000 ? 2 : 1;
    }
    return i;
}
}  // namespace

bool keyboardAcceptsCharacter(UIKeyboardType type, char32_t c) {
    const bool digit = c >= '0' && c <= '9';
    const bool ascii = c >= 0x20 && c < 0x7F;
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    const bool punct = ascii && !digit && !letter && c != ' ';
    switch (type) {
        case UIKeyboardType::NumberPad:
            return digit;
        case UIKeyboardType::DecimalPad:
            return digit || c == '.';
        case UIKeyboardType::PhonePad:
            return digit || (c && std::strchr("+*#-", static_cast<int>(c)));
        case UIKeyboardType::NamePhonePad:
            return digit || letter || c == ' ' || (c && std::strchr("+*#-", static_cast<int>(c)));
        case UIKeyboardType::NumbersAndPunctuation:
            return digit || punct;
        case UIKeyboardType::ASCIICapable:
            return ascii || c == '\n';
        case UIKeyboardType::URL:
        case UIKeyboardType::EmailAddress:
            return (ascii && c != ' ') || c == '\n';
        case UIKeyboardType::Default:
            return c >= 0x20 || c == '\n';
    }
    return false;
}

std::string filterTextForKeyboard(UIKeyboardType type, const std::string& text) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        size_t start = i;
        char32_t cp = decode(text, i);
        if (cp != 0xFFFD && keyboardAcceptsCharacter(type, cp)) out.append(text, start, i - start);
    }
    return out;
}

size_t utf16Length(const std::string& text) {
    size_t i = 0, u = 0;
    while (i < text.size()) u += decode(text, i) >= 0x10000 ? 2 : 1;
    return u;
}

size_t utf16LengthOfLastCharacter(const std::string& text) {
    if (text.empty()) return 0;
    size_t i = text.size() - 1;
    while (i > 0 && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) --i;
    size_t j = i;
    return decode(text, j) >= 0x10000 ? 2 : 1;
}

std::string dropLastCharacter(const std::string& text) {
    if (text.empty()) return text;
    size_t i = text.size() - 1;
    while (i > 0 && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) --i;
    return text.substr(0, i);
}

std::string replaceUtf16Range(const std::string& text, NSRange range, const std::string& replacement) {
    size_t a = byteOffsetOfUtf16(text, range.location);
    size_t b = byteOffsetOfUtf16(text, range.location + range.length);
    return text.substr(0, a) + replacement + text.substr(b);
}
