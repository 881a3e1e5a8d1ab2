#pragma once
// An error object: a domain, a code and the text that screens show
// (localizedDescription). The request road (net/ServiceErrors.h) and the web view
// use it alike.
#include <string>

class NSError {
public:
    NSError() = default;
    NSError(std::string domain, int code, std::string localizedDescription)
        : domain_(std::move(domain)), code_(code), text_(std::move(localizedDescription)) {}

    static NSError errorWithDomain(std::string domain, int code, std::string text) {
        return NSError(std::move(domain), code, std::move(text));
    }

    int code() const { return code_; }
    const std::string& domain() const { return domain_; }
    const std::string& localizedDescription() const { return text_; }

private:
    std::string domain_;
    int code_ = 0;
    std::string text_;
};
