#pragma once
// The package ids of the requests that change the books, per session: a
// request that comes again with a package id its session already sent is a
// second sending of one request (a transport that re-sent it, a replay), and
// the server does not carry it out twice.
//
// The client gives every sending a new package id (NetworkManager's counter,
// header "X-VTA-Package", echoed in the reply flags) and sends the requests
// that change the books with request type 4 (TC_ENCRYPT 36), which it never
// repeats; so within a session a package id names one sending.
// Bounded: the oldest ids are forgotten first. Not thread-safe: the server
// holds its state lock around it.
#include <cstddef>
#include <deque>
#include <set>
#include <string>

class SimRepeatGuard {
public:
    explicit SimRepeatGuard(size_t capacity = 100000) : capacity_(capacity) {}
    // Answers whether this is the first time the session sends the package id,
    // and remembers it. An empty package id is always a first time.
    bool firstSending(const std::string& session, const std::string& packageId);
    void clear();

    // The error text of a repeated request.
    static constexpr const char* kRepeatedText = "重复提交的请求未再受理，请到当日委托中查询结果";

private:
    size_t capacity_;
    std::set<std::string> seen_;
    std::deque<std::string> order_;
};
