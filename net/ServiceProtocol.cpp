#include "net/ServiceProtocol.h"

#include <strings.h>

#include <cctype>
#include <charconv>

namespace ServiceProtocol {

RequestType requestType(int type) {
    RequestType t;
    switch (type) {
        case 1:
        case 5:
        case 7:
            t.enciphered = true;
            t.compressedReply = true;
            break;
        case 2:
            t.retryOnce = true;
            break;
        case 3:
        case 6:
            t.compressedReply = true;
            break;
        case 4:
            t.enciphered = true;
            t.repeatable = false;
            break;
        default:
            break;
    }
    return t;
}

std::vector<Field> parseFields(const std::string& text) {
    std::vector<Field> fields;
    size_t start = 0;
    while (start <= text.size()) {
        size_t amp = text.find('&', start);
        if (amp == std::string::npos) amp = text.size();
        if (amp > start) {
            std::string piece = text.substr(start, amp - start);
            Field f;
            auto eq = piece.find('=');
            if (eq == std::string::npos) {
                f.key = piece;
                f.hasValue = false;
            } else {
                f.key = piece.substr(0, eq);
                f.value = piece.substr(eq + 1);
            }
            fields.push_back(std::move(f));
        }
        start = amp + 1;
    }
    return fields;
}

bool isHeaderField(const std::string& key) {
    if (key.size() < 3) return false;
    return std::tolower(static_cast<unsigned char>(key[0])) == 't' &&
           std::tolower(static_cast<unsigned char>(key[1])) == 'c' && key[2] == '_';
}

std::optional<std::string> fieldValue(const std::vector<Field>& fields, const std::string& key) {
    for (const auto& f : fields)
        if (strcasecmp(f.key.c_str(), key.c_str()) == 0) return f.value;
    return std::nullopt;
}

static int toInt(const std::optional<std::string>& s) {
    if (!s) return 0;
    int v = 0;
    auto r = std::from_chars(s->data(), s->data() + s->size(), v);
    return r.ec == std::errc() ? v : 0;
}

std::pair<int, int> functionNumbers(const std::string& text) {
    auto f = parseFields(text);
    return {toInt(fieldValue(f, "tc_mfuncno")), toInt(fieldValue(f, "tc_sfuncno"))};
}

Body buildBody(const std::string& text, int type, const std::string& session,
               const std::function<std::string(const std::string&)>& encipher) {
    RequestType t = requestType(type);
    Body b;
    b.enciphered = t.enciphered;
    b.compressedReply = t.compressedReply;
    std::string header = "tc_service=" + std::to_string(kServiceNumber) +
                         "&tc_isunicode=1&TC_ENCRYPT=" + std::to_string(t.encryptFlag());
    std::string rest;
    for (const auto& f : parseFields(text)) {
        if (isHeaderField(f.key)) {
            header += "&" + f.text();
        } else {
            if (!rest.empty()) rest += "&";
            rest += f.text();
        }
    }
    header += "&TC_SESSION={" + session + "}";
    if (t.enciphered) {
        b.plain = rest;
        b.text = header + "&TC_REQLENGTH=" + std::to_string(rest.size()) + "&TC_REQDATA=" + encipher(rest);
    } else {
        b.text = rest.empty() ? header : header + "&" + rest;
    }
    return b;
}

std::optional<ReplyFlags> parseEtag(const std::optional<std::string>& etag) {
    if (!etag) return std::nullopt;
    std::string s = *etag;
    // Tolerate the quotes HTTP allows around entity tags.
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        auto comma = s.find(',', start);
        parts.push_back(s.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (parts.size() != 4 || parts[0].empty()) return std::nullopt;
    ReplyFlags f;
    auto r = std::from_chars(parts[0].data(), parts[0].data() + parts[0].size(), f.status);
    if (r.ec != std::errc() || r.ptr != parts[0].data() + parts[0].size()) return std::nullopt;
    f.package = parts[1];
    f.compressed = parts[2] == "18";
    f.enciphered = parts[3] == "36";
    return f;
}

std::string formatEtag(int status, const std::string& package, bool compressed, bool enciphered) {
    return std::to_string(status) + "," + (package.empty() ? "0" : package) + "," + (compressed ? "18" : "0") + "," +
           (enciphered ? "36" : "0");
}

}  // namespace ServiceProtocol
