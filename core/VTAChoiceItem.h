#pragma once
// One row of a picker list: the title shown, the value sent, and any object
// its owner attaches.
#include <any>
#include <string>

class VTAChoiceItem {
public:
    VTAChoiceItem(std::string title, std::string value, std::any userinfo = {})
        : title_(std::move(title)), value_(std::move(value)), userinfo_(std::move(userinfo)) {}
    const std::string& title() const { return title_; }
    const std::string& value() const { return value_; }
    const std::any& userinfo() const { return userinfo_; }

private:
    std::string title_;
    std::string value_;
    std::any userinfo_;
};
