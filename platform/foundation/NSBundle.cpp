#include "platform/foundation/NSBundle.h"

#include <mutex>
#include <optional>

#include "platform/foundation/FileIO.h"
#include "platform/foundation/Paths.h"

namespace {

// A quoted text starting at `i` (on the quote); advances past its end.
std::optional<std::string> quoted(const std::string& line, size_t& i) {
    if (i >= line.size() || line[i] != '"') return std::nullopt;
    std::string out;
    for (++i; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') {
            ++i;
            return out;
        }
        if (c == '\\' && i + 1 < line.size()) {
            char e = line[++i];
            out += e == 'n' ? '\n' : e;
        } else {
            out += c;
        }
    }
    return std::nullopt;  // no closing quote
}

void skipBlanks(const std::string& line, size_t& i) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
}

}  // namespace

std::map<std::string, std::string> parseStringsFile(const std::string& text) {
    std::map<std::string, std::string> entries;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        size_t i = 0;
        skipBlanks(line, i);
        auto key = quoted(line, i);
        if (!key) continue;
        skipBlanks(line, i);
        if (i >= line.size() || line[i] != '=') continue;
        ++i;
        skipBlanks(line, i);
        auto value = quoted(line, i);
        if (!value) continue;
        entries[*key] = *value;
    }
    return entries;
}

std::string NSLocalizedString(const std::string& key) {
    static std::mutex mutex;
    static std::string loadedFrom;
    static std::map<std::string, std::string> entries;
    std::lock_guard<std::mutex> lock(mutex);
    std::string path = bundlePath("Localizable.strings");
    if (path != loadedFrom) {
        loadedFrom = path;
        auto bytes = readWholeFile(path, 1u << 20);
        entries =
            bytes ? parseStringsFile(std::string(bytes->begin(), bytes->end())) : std::map<std::string, std::string>{};
    }
    auto it = entries.find(key);
    return it == entries.end() ? key : it->second;
}
