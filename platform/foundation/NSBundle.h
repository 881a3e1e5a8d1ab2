#pragma once
// The application bundle's localised texts: the file "Localizable.strings"
// of the bundle folder, one entry a line as the platform writes them,
//   "Favorite capacity full" = "收藏夹已满";
// (a backslash escapes a quote, a backslash, "n" a line break; lines that
// are not an entry, "//" comments among them, are passed over). Read once
// per bundle folder, on first use.
#include <map>
#include <string>

// The text for the key; the key itself when the bundle has none for it.
std::string NSLocalizedString(const std::string& key);
// The entries of a strings text (for the reader and its tests).
std::map<std::string, std::string> parseStringsFile(const std::string& text);
