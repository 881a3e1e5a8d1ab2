#include "sim/SimRequest.h"

#include <strings.h>

#include <algorithm>
#include <charconv>

#include "core/contracts/TradeContract.h"
#include "core/security/Digests.h"

namespace {
constexpr const char* kMasked = "***";

// Whole keys without regard to case: a key with a NUL in it ("date\0x") is not "date".
bool sameKey(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// Keys whose values are session texts: the service session and the trade session's authid.
bool isSessionKey(std::string_view key) {
    return sameKey(key, "TC_SESSION") || sameKey(key, TradeContract::Key::kAuthId);
}

// What is kept of a value: "***" for a secret, a fingerprint for a session text.
std::string keptValue(std::string_view key, const std::string& value) {
    if (value.empty()) return value;
    if (TradeContract::isSecretKey(key)) return kMasked;
    if (isSessionKey(key)) return simMaskedSession(value);
    return value;
}
}  // namespace

std::string simMaskedSession(const std::string& text) {
    if (text.size() >= 2 && text.front() == '{' && text.back() == '}')  // TC_SESSION's braces stay
        return "{" + simMaskedSession(text.substr(1, text.size() - 2)) + "}";
    return text.empty() ? text : kMasked + md5Hex(text).substr(0, 8);
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
    for (auto& f : fields) f.value = keptValue(f.key, f.value);
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
        if (eq != std::string::npos) piece = piece.substr(0, eq + 1) + keptValue(piece.substr(0, eq), piece.substr(eq + 1));
        out += piece;
        if (amp < text.size()) out += '&';
        start = amp + 1;
    }
    return out;
}

void SimRequest::noteRead(size_t index) const {
    if (read_.size() < fields_.size()) read_.resize(fields_.size(), false);
    read_[index] = true;
}

const std::vector<SimField>& SimRequest::fields() const {
    read_.assign(fields_.size(), true);
    return fields_;
}

std::vector<SimField> SimRequest::fieldsWhere(const std::function<bool(const std::string& key)>& test) const {
    std::vector<SimField> found;
    for (size_t i = 0; i < fields_.size(); ++i)
        if (test(fields_[i].key)) {
            noteRead(i);
            found.push_back(fields_[i]);
        }
    return found;
}

std::vector<SimField> SimRequest::fieldsRead() const {
    std::vector<SimField> read;
    for (size_t i = 0; i < fields_.size() && i < read_.size(); ++i) {
        if (!read_[i]) continue;
        // The newest note of what the function took of fields of this key.
        auto taken =
            std::find_if(taken_.rbegin(), taken_.rend(), [&](const Taken& t) { return t.test(fields_[i].key); });
        if (taken == taken_.rend())
            read.push_back(fields_[i]);
        else if (taken->at == i)
            read.push_back(taken->field);
    }
    return read;
}

void SimRequest::noteTaken(const std::string& key, std::string value) const {
    for (const SimField& f : fields_)
        if (sameKey(f.key, key))
            return noteTakenWhere([key](const std::string& k) { return sameKey(k, key); }, {f.key, std::move(value)});
}

void SimRequest::noteTakenWhere(const std::function<bool(const std::string& key)>& test, SimField taken) const {
    for (size_t i = 0; i < fields_.size(); ++i)
        if (test(fields_[i].key)) {
            noteRead(i);
            taken_.push_back({test, i, std::move(taken)});
            return;
        }
}

// The first field of the key: the one whose value counts (and the one noted as read).
std::optional<std::string> SimRequest::find(const std::string& key) const {
    for (size_t i = 0; i < fields_.size(); ++i)
        if (sameKey(fields_[i].key, key)) {
            noteRead(i);
            return fields_[i].value;
        }
    return std::nullopt;
}

void SimRequest::setValue(const std::string& key, const std::string& value) {
    for (auto& f : fields_)
        if (sameKey(f.key, key)) f.value = value;
}

bool SimRequest::has(const std::string& key) const { return find(key).has_value(); }

std::string SimRequest::value(const std::string& key) const { return find(key).value_or(""); }

long long SimRequest::intValue(const std::string& key, long long fallback) const {
    auto v = find(key);
    if (!v || v->empty() || v->size() > 20) return fallback;
    long long n = 0;
    auto r = std::from_chars(v->data(), v->data() + v->size(), n);
    if (r.ec != std::errc() || r.ptr != v->data() + v->size()) return fallback;
    return n;
}
