#include "core/RequestBuilder.h"

#include "core/RequestText.h"
#include "core/VTAFloat.h"

bool changesRequestShape(const std::string& value) { return value.find_first_of("&=") != std::string::npos; }

RequestBuilder::RequestBuilder(FunctionId function) : RequestBuilder(function.main, function.sub) {}

RequestBuilder::RequestBuilder(int mainFunction, int subFunction)
    : text_("tc_mfuncno=" + std::to_string(mainFunction) + "&tc_sfuncno=" + std::to_string(subFunction)) {}

RequestBuilder RequestBuilder::trade(int subFunction) { return fromText(tradeRequestString(subFunction)); }

RequestBuilder RequestBuilder::trade(FunctionId function, bool withFundId) {
    return fromText(tradeRequestStringWithFunc(function.main, function.sub, withFundId ? 1 : 0));
}

RequestBuilder RequestBuilder::fromText(std::string text) {
    RequestBuilder r;
    r.text_ = std::move(text);
    return r;
}

RequestBuilder RequestBuilder::fromLinkQuery(const std::string& link) {
    RequestBuilder r;
    if (link.find('?') == std::string::npos) return r;
    for (const auto& [key, value] : parseQuery(link)) r.add(key, value);
    return r;
}

RequestBuilder& RequestBuilder::add(const std::string& key, const std::string& value) {
    return addTyped(key, value, kRefusalText);
}

RequestBuilder& RequestBuilder::add(const std::string& key, const char* value) {
    return add(key, std::string(value ? value : ""));
}

RequestBuilder& RequestBuilder::add(const std::string& key, const std::optional<std::string>& value) {
    return add(key, value.value_or(std::string()));
}

RequestBuilder& RequestBuilder::add(const std::string& key, long long value) { return add(key, std::to_string(value)); }

RequestBuilder& RequestBuilder::add(const std::string& key, const std::optional<VTAFloat>& value) {
    return add(key, value ? value->toString() : std::string());
}

RequestBuilder& RequestBuilder::addTyped(const std::string& key, const std::string& value,
                                         const std::string& refusalText) {
    if (refused_) return *this;
    if (changesRequestShape(value)) {
        refuse(refusalText);
        return *this;
    }
    if (!text_.empty()) text_ += '&';
    text_ += key;
    text_ += '=';
    text_ += value;
    return *this;
}

RequestBuilder& RequestBuilder::appendFields(const std::string& fields) {
    if (refused_ || fields.empty()) return *this;
    if (!text_.empty() && fields.front() != '&') text_ += '&';
    text_ += fields;
    return *this;
}

void RequestBuilder::refuse(const std::string& text) {
    refused_ = true;
    refusal_ = text;
}
