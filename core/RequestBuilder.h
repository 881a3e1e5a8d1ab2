#pragma once
// Builds a request text: "tc_mfuncno=M&tc_sfuncno=S" followed by "&key=value"
// fields, in the order added.
//
// A value that holds "&" or "=" would change the request's shape (another
// field, another function): the builder refuses it, keeps building nothing
// more, and answers the refusal text for the screen to show; a screen sends
// nothing while refused() is true. A missing value (nullopt) is written empty,
// never "(null)".
//
//   RequestBuilder r(QuoteContract::kSearch);
//   r.add(QuoteContract::Key::kKey, typed).add("count", 10);
//   if (r.refused()) { showAlert(r.refusal()); return; }
//   service.requestStr(r.text(), 3, tag);
#include <cstdint>
#include <optional>
#include <string>

#include "core/VTAFloat.h"
#include "core/contracts/FunctionId.h"

class RequestBuilder {
public:
    static constexpr const char* kRefusalText = "输入内容不能包含&或=";

    explicit RequestBuilder(FunctionId function);
    RequestBuilder(int mainFunction, int subFunction);
    // A trade request: "tc_mfuncno=500&tc_sfuncno=N&<tradeUserInfo>" and, for
    // the sub-functions that carry it, "&fundid=..." (tradeRequestString).
    static RequestBuilder trade(int subFunction);
    // The same for another main function, with the fund account when asked
    // (tradeRequestStringWithFunc).
    static RequestBuilder trade(FunctionId function, bool withFundId);
    // Continues a text that is already a request (a menu link's query, a text
    // handed over by another screen); it is taken as it stands.
    static RequestBuilder fromText(std::string text);
    // The pairs of a menu link's query (parseQuery), in their order: the
    // request a link names. Empty text when the link has no pairs.
    static RequestBuilder fromLinkQuery(const std::string& link);

    RequestBuilder& add(const std::string& key, const std::string& value);
    RequestBuilder& add(const std::string& key, const char* value);
    RequestBuilder& add(const std::string& key, const std::optional<std::string>& value);
    RequestBuilder& add(const std::string& key, long long value);
    RequestBuilder& add(const std::string& key, int value) { return add(key, static_cast<long long>(value)); }
    // The number's text with its own decimals ("12.30"); empty for no value.
    RequestBuilder& add(const std::string& key, const std::optional<VTAFloat>& value);
    // Like add, with the customer's own words for the refusal ("反馈内容不能包含&或=").
    RequestBuilder& addTyped(const std::string& key, const std::string& value, const std::string& refusalText);
    // Appends a fragment of fields that other code built ("market=1&secuid=A1",
    // the trade session text); nothing is added for an empty fragment.
    RequestBuilder& appendFields(const std::string& fields);

    bool refused() const { return refused_; }
    // The text to show for a refused value ("" while nothing was refused).
    const std::string& refusal() const { return refusal_; }
    // The request text ("" once refused: nothing of a refused request is sent).
    std::string text() const { return refused_ ? std::string() : text_; }

private:
    RequestBuilder() = default;
    void refuse(const std::string& text);

    std::string text_;
    bool refused_ = false;
    std::string refusal_;
};

// Whether a value would change a request's shape ("&" or "=").
bool changesRequestShape(const std::string& value);
