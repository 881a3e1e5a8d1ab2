#pragma once
// One branch of the brokerage that the customer has used.
#include <string>

class QZUsedSalesDepartment {
public:
    QZUsedSalesDepartment() = default;
    QZUsedSalesDepartment(std::string code, std::string name) : code_(std::move(code)), name_(std::move(name)) {}

    const std::string& code() const { return code_; }
    void setCode(std::string v) { code_ = std::move(v); }
    const std::string& name() const { return name_; }
    void setName(std::string v) { name_ = std::move(v); }
    bool isDefault() const { return isDefault_; }
    void setIsDefault(bool v) { isDefault_ = v; }

private:
    std::string code_;
    std::string name_;
    bool isDefault_ = false;
};
