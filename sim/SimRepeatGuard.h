#pragma once
// What the brokerage has carried out under one session key, so that a second
// sending of a request is not carried out again (a transport that re-sent
// it, a replay):
//  - Every enciphered frame (TC_REQDATA). The client enciphers each sending
//    under a fresh random IV, so two of its sendings never carry the same
//    frame; a captured request posted again carries its frame whatever the
//    clear fields around it say (another "X-VTA-Package", none, another
//    TC_ENCRYPT, another session of the key). A frame is known by a digest
//    of its bytes.
//  - The package ids of the requests that change the books (request type
//    4, TC_ENCRYPT 36): the client gives every sending a new one
//    (NetworkManager's counter, header "X-VTA-Package"), so within a session
//    a package id names one sending (the caller names the session in it).
// The server asks only once a frame has deciphered under the key: whoever
// holds no key spends no package id of the customer's.
// Bounded: the newest `capacity` frames and package ids (kCapacity unless
// given), the oldest forgotten first. Not thread-safe: the server holds its
// state lock around it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// 64 bits of SHA-1: two of a key's own sendings (or two session keys) do not
// meet by chance, and the same bytes posted again have the digest they had.
uint64_t simDigest64(const std::vector<uint8_t>& bytes);

class SimRepeatGuard {
public:
    static constexpr size_t kCapacity = 1024;
    explicit SimRepeatGuard(size_t capacity = kCapacity) : frames_(capacity), packages_(capacity) {}
    // Answers whether this is the first time the key carries out the
    // frame and, when one is given, the package id; remembers both when it is.
    bool firstSending(const std::vector<uint8_t>& frame, const std::string& packageId);

    // The error text of a repeated request.
    static constexpr const char* kRepeatedText = "重复提交的请求未再受理，请到当日委托中查询结果";

private:
    // The newest digests, in a ring (a look is a scan of at most `capacity`).
    class Recent {
    public:
        explicit Recent(size_t capacity) : capacity_(capacity) {}
        bool contains(uint64_t digest) const;
        void add(uint64_t digest);

    private:
        size_t capacity_;
        std::vector<uint64_t> ring_;
        size_t next_ = 0;
    };
    Recent frames_, packages_;
};
