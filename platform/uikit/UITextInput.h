#pragma once
// What the on-screen keyboard talks to: the text responder's keyboard type,
// return key and the edits a key makes. Text fields, text views and search
// bars implement it.
#include <cstddef>
#include <string>

enum class UIKeyboardType {
    Default = 0,
    ASCIICapable = 1,
    NumbersAndPunctuation = 2,
    URL = 3,
    NumberPad = 4,
    PhonePad = 5,
    NamePhonePad = 6,
    EmailAddress = 7,
    DecimalPad = 8
};
enum class UIReturnKeyType { Default = 0, Go, Google, Join, Next, Route, Search, Send, Yahoo, Done, EmergencyCall };
enum class UITextAutocapitalizationType { None, Words, Sentences, AllCharacters };
enum class UITextAutocorrectionType { Default, No, Yes };

// A range of UTF-16 code units, as the delegates of text edits receive it.
struct NSRange {
    size_t location = 0;
    size_t length = 0;
    bool operator==(const NSRange& o) const { return location == o.location && length == o.length; }
};
inline NSRange NSMakeRange(size_t location, size_t length) { return NSRange{location, length}; }

class UIKeyInput {
public:
    virtual ~UIKeyInput() = default;
    // Text typed or pasted; a newline presses the return key.
    virtual void insertText(const std::string& text) = 0;
    virtual void deleteBackward() = 0;
    virtual bool hasText() const = 0;
    virtual void returnKeyPressed() = 0;
    virtual UIKeyboardType keyboardType() const = 0;
    virtual UIReturnKeyType returnKeyType() const = 0;
};

// Whether a keyboard of the type offers the character (UTF-32): number pads
// only digits (and "." on the decimal pad, "+*#-" on the phone pad), the
// numbers-and-punctuation keyboard digits and ASCII punctuation, ASCII
// keyboards printable ASCII.
bool keyboardAcceptsCharacter(UIKeyboardType type, char32_t c);
// The text with the characters the keyboard does not offer left out.
std::string filterTextForKeyboard(UIKeyboardType type, const std::string& text);
// UTF-16 length of UTF-8 text, and the UTF-16 length of its last character.
size_t utf16Length(const std::string& text);
size_t utf16LengthOfLastCharacter(const std::string& text);
// Removes the last character (a whole UTF-8 sequence).
std::string dropLastCharacter(const std::string& text);
// Replaces a UTF-16 range of UTF-8 text (clamped to the text).
std::string replaceUtf16Range(const std::string& text, NSRange range, const std::string& replacement);
