#pragma once
// The kind of a trading account: "Z" fund account, "0" 深A股东, "1" 沪A股东,
// "2" 深B股东, "3" 沪B股东.
#include <memory>
#include <string>

class VTAAccountType {
public:
    VTAAccountType(std::string code, std::string name) : code_(std::move(code)), name_(std::move(name)) {}
    static std::shared_ptr<VTAAccountType> accountTypeWithCode(const std::string& code, const std::string& name) {
        return std::make_shared<VTAAccountType>(code, name);
    }
    const std::string& code() const { return code_; }
    const std::string& name() const { return name_; }

private:
    std::string code_;
    std::string name_;
};
