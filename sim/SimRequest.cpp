#include "sim/SimRequest.h"

#include <strings.h>

#include <charconv>

#include "core/contracts/TradeContract.h"

namespace {
constexpr const char* kMasked = "***";
}

std::vector<SimField> simParseFields(const std::string& text) {
    std::vector<SimField> out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t amp = text.find('&', start);
        if (amp == std::string::npos) amp = text.size();
        if (amp > start) {
            std::string_view piece(text.data() + start, amp - start);
            size_t eq = piece.find('=');
            if (eq == std::string_view::npos)
                out.push_back({std::string(piece), ""});
            else
                out.push_back({std::string(piece.substr(0, eq)), std::string(piece.substr(eq + 1))});
        }
        start = amp + 1;
    }
    return out;
}

std::vector<SimField> simMaskSecrets(std::vector<SimField> fields) {
    for (auto& f : fields)
        if (!f.value.empty() && TradeContract::isSecretKey(f.key)) f.value = kMasked;
    return fields;
}

std::string simMaskSecrets(const std::string& text) {
    std::string out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t amp = text.find('&', start);
        if (amp == std::string::npos) amp = text.size();
        std::string piece = text.substr(start, amp - start);
        size_t eq = piece.find('=');
        if (eq != std::string::npos && eq + 1 < piece.size() && TradeContract::isSecretKey(piece.substr(0, eq)))
            piece = piece.substr(0, eq + 1) + kMasked;
        out += piece;
        if (amp < text.size()) out += '&';
        start = amp + 1;
    }
    return out;
}

std::optional<std::string> SimRequest::find(const std::string& key) const {
    // Whole keys only: a key with a NUL in it ("date\0x") is not "date".
    auto sameKey = [&](const std::string& k) {
        return k.size() == key.size() && strncasecmp(k.data(), key.data(), key.size()) == 0;
    };
    for (const auto& f : fields_)
        if (sameKey(f.key)) return f.value;
    return std::nullopt;
}

bool SimRequest::has(const std::string& key) const { return find(key).has_value(); }

std::string SimRequest::value(const std::string& key) const { return find(key).value_or(""); }

long long SimRequest::intValue(const std::string& key, long long fallback) const {
    auto v = find(key);
    if (!v || v->empty()) return fallback;
    long long n = 0;
    auto r = std::from_chars(v->data(), v->data() + v->size(), n);
    if (r.ec != std::errc() || r.ptr != v->data() + v->size()) return fallback;
    return n;
}
