#include "core/RequestText.h"

#include <vector>

#include "core/VTAParamter.h"
#include "core/VTATCRS.h"

std::vector<std::string> splitText(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    if (separator.empty()) {
        parts.push_back(text);
        return parts;
    }
    size_t start = 0;
    while (true) {
        size_t at = text.find(separator, start);
        if (at == std::string::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
}

bool tradeRequestCarriesFundId(int subFunction) {
    switch (subFunction) {
        case 6:
        case 7:
        case 22:
        case 67:
        case 85:
            return false;
        default:
            return true;
    }
}

namespace {

std::string tradeSessionText() { return VTAParamter::shareParamter().getStringForKey("tradeUserInfo").value_or(""); }

}  // namespace

std::string tradeFundId() {
    auto customer = VTAParamter::shareParamter().getTCRSForKey("tradeUserTCRS");
    if (!customer) return "";
    customer->fetchFirst();
    return customer->toStringWithFieldName("fundid").value_or("");
}

std::string tradeRequestString(int subFunction) {
    std::string fundid = tradeFundId();  // also moves the cursor to the first record
    std::string text = "tc_mfuncno=500&tc_sfuncno=" + std::to_string(subFunction) + "&" + tradeSessionText();
    if (tradeRequestCarriesFundId(subFunction)) text += "&fundid=" + fundid;
    return text;
}

std::string tradeRequestStringWithFunc(int mainFunction, int subFunction, int withFundId) {
    std::string text = "tc_mfuncno=" + std::to_string(mainFunction) + "&tc_sfuncno=" + std::to_string(subFunction) +
                       "&" + tradeSessionText();
    if (withFundId == 1) text += "&fundid=" + tradeFundId();
    return text;
}

VTAStringDictionary parseQuery(const std::string& text) {
    VTAStringDictionary pairs;
    size_t mark = text.rfind('?');
    std::string query = mark == std::string::npos ? text : text.substr(mark + 1);
    for (const std::string& part : splitText(query, "&")) {
        std::vector<std::string> kv = splitText(part, "=");
        if (kv.size() != 2 || kv[0].empty()) continue;
        pairs.setValue(kv[1], kv[0]);
    }
    return pairs;
}

std::optional<std::string> queryValue(const std::string& text, const std::string& key) {
    return parseQuery(text).getValueForKey(key);
}

std::string stripQuery(const std::string& text) {
    size_t mark = text.find('?');
    return mark == std::string::npos ? text : text.substr(0, mark);
}

std::string replaceParam(const std::string& text, const std::string& value, const std::string& key) {
    std::vector<std::string> parts = splitText(text, "&");
    const std::string prefix = key + "=";
    for (std::string& part : parts) {
        if (part.compare(0, prefix.size(), prefix) == 0) {
            part = prefix + value;
            std::string joined;
            for (size_t i = 0; i < parts.size(); ++i) {
                if (i) joined += '&';
                joined += parts[i];
            }
            return joined;
        }
    }
    return text;
}
