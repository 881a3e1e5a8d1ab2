#pragma once
// A branch of the brokerage (营业部): code and name.
#include <memory>
#include <string>

class VTAYYB {
public:
    VTAYYB(std::string code, std::string name) : code_(std::move(code)), name_(std::move(name)) {}
    const std::string& code() const { return code_; }
    const std::string& name() const { return name_; }

private:
    std::string code_;
    std::string name_;
};
