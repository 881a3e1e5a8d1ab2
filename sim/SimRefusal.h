#pragma once
// Why a function refuses a request: the error set's code and text (simErrorSet
// of SimRegistry.h). A plain refusal is its text, with code -1; a trade
// request of a session the books no longer know carries a code of its own
// (TradeContract::Error::kSessionEndedCode), by which the phone tells it from
// every other refusal without reading the text.
#include <string>
#include <utility>

struct SimRefusal {
    int code = -1;
    std::string text;

    SimRefusal() = default;
    SimRefusal(std::string plain) : text(std::move(plain)) {}  // NOLINT(google-explicit-constructor)
    SimRefusal(const char* plain) : text(plain) {}             // NOLINT(google-explicit-constructor)
    SimRefusal(int withCode, std::string t) : code(withCode), text(std::move(t)) {}
};
