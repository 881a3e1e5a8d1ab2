#pragma once
// Request texts and the query part of menu links.
//
// A request is a text of "&"-joined key=value fields led by the main and the
// sub function number ("tc_mfuncno=500&tc_sfuncno=6&..."). A trade request
// carries the trade session text "tradeUserInfo" of VTAParamter and, for most
// sub-functions, the customer's fund account.
#include <optional>
#include <string>
#include <vector>

#include "core/VTADictionary.h"

// "tc_mfuncno=500&tc_sfuncno=<N>&<tradeUserInfo>", followed by
// "&fundid=<fundid of the first record of tradeUserTCRS>" unless N is 6, 7,
// 22, 67 or 85. Moves the cursor of "tradeUserTCRS" to its first record.
// Without a trade session the missing parts are empty (never "(null)").
std::string tradeRequestString(int subFunction);
// "tc_mfuncno=<M>&tc_sfuncno=<N>&<tradeUserInfo>", followed by "&fundid=..."
// (first record of "tradeUserTCRS") when withFundId is 1.
std::string tradeRequestStringWithFunc(int mainFunction, int subFunction, int withFundId);
// The login's fund account: "fundid" of the first record of "tradeUserTCRS"
// ("" without a trade session). Moves that set's cursor to its first record.
std::string tradeFundId();
// Whether tradeRequestString adds the fund account for that sub-function.
bool tradeRequestCarriesFundId(int subFunction);

// The key=value pairs of the text after its last "?" (the whole text when it
// has none), split at "&". Pairs that do not split at "=" into exactly two
// parts, or whose key is empty, are left out. Values are not decoded. A key
// that repeats takes the later value at the place of its first appearance.
VTAStringDictionary parseQuery(const std::string& text);
// That key's value among the pairs of parseQuery; nullopt when absent.
std::optional<std::string> queryValue(const std::string& text, const std::string& key);
// The text before the first "?"; the whole text when there is none.
std::string stripQuery(const std::string& text);
// Splits the request text at "&", replaces the first part that begins with
// "<key>=" by "<key>=<value>" and joins again; unchanged when no part matches.
std::string replaceParam(const std::string& text, const std::string& value, const std::string& key);

// Splits a text at every occurrence of the separator (empty parts kept), as
// the platform's componentsSeparatedByString does.
std::vector<std::string> splitText(const std::string& text, const std::string& separator);
