#pragma once
// Length limits of the input fields, counted in UTF-16 units as the platform's
// edit ranges are.
#include "platform/uikit/UITextInput.h"

#include <string>

// The byte offset in UTF-8 text of a UTF-16 offset (the end when past it; a
// position inside a surrogate pair moves to the character's start).
size_t utf8OffsetOfUtf16(const std::string& text, size_t utf16Offset);
// The longest leading part of the text, in whole characters, of at most `units` UTF-16 units.
std::string utf16Prefix(const std::string& text, size_t units);
// The text after replacing `range` by `replacement`, the replacement cut so
// that the result holds at most maxLength UTF-16 units (no limit when maxLength
// is 0 or less).
std::string replaceWithinLimit(const std::string& text, NSRange range, const std::string& replacement, int maxLength);
