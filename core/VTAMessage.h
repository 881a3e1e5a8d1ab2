#pragma once
// The value one screen hands to the screen it opens (setViewMessage).
// Type 0 carries a request text (such as "stkcode=600000&market=2"), type 1 a
// VTAStock to trade (or, from the fund screens, a query text with "ofcode").
// The sender and the data are any object; the typed readers answer empty when
// the data is of another kind.
#include <any>
#include <memory>
#include <optional>
#include <string>

#include "core/VTAStock.h"

class VTAMessage {
public:
    VTAMessage(std::any sender, std::any message, int type)
        : sender_(std::move(sender)), data_(normalise(std::move(message))), type_(type) {}

    static std::shared_ptr<VTAMessage> messageWithSender(std::any sender, std::any msessage, int type) {
        return std::make_shared<VTAMessage>(std::move(sender), std::move(msessage), type);
    }

    int type() const { return type_; }
    const std::any& data() const { return data_; }
    const std::any& sender() const { return sender_; }

    // The data as text, when it is a text.
    std::optional<std::string> dataText() const {
        if (auto s = std::any_cast<std::string>(&data_)) return *s;
        return std::nullopt;
    }
    // The data as a stock, when it is one (null otherwise).
    std::shared_ptr<VTAStock> dataStock() const {
        if (auto p = std::any_cast<std::shared_ptr<VTAStock>>(&data_)) return *p;
        if (auto s = std::any_cast<VTAStock>(&data_)) return std::make_shared<VTAStock>(*s);
        return nullptr;
    }

private:
    // A C string literal becomes a std::string so dataText() finds it.
    static std::any normalise(std::any v) {
        if (auto p = std::any_cast<const char*>(&v)) return std::string(*p ? *p : "");
        return v;
    }
    std::any sender_;
    std::any data_;
    int type_ = 0;
};
