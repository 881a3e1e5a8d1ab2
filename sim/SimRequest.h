#pragma once
// A request as the simulated server reads it. The wire format is the one of
// the client's request service (net/ServiceProtocol.h); it is read here
// independently: the body is split at "&" and each pair at its FIRST "=" only
// ("a=b=c" is key "a", value "b=c"), fields may come in any order, keys are
// matched without regard to case. A piece without "=" is a key with an empty
// value. Enciphered requests carry their other fields in TC_REQDATA (Base64 of
// a FrameCodec frame under the session key) with TC_REQLENGTH the plain length.
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct SimField {
    std::string key;
    std::string value;
};

// Splits a request text (see above); empty pieces are dropped.
std::vector<SimField> simParseFields(const std::string& text);

// What the server keeps of a request (its log of requests received): the
// values of the keys that carry secrets (passwords, one-time codes:
// TradeContract::isSecretKey) are replaced by "***", those of session texts
// (TC_SESSION, "authid") by simMaskedSession; an empty value stays empty. In
// the fields and in a request text alike.
std::vector<SimField> simMaskSecrets(std::vector<SimField> fields);
std::string simMaskSecrets(const std::string& text);
// A session text as the log keeps it: "***" and a short fingerprint, enough
// to tell two sessions apart (a test compares it with the masked text of the
// session it expects), nothing a session could be taken back from. Braces
// around it stay ("{}", a login that names no session, stays as it is).
std::string simMaskedSession(const std::string& text);

// It notes which of its fields were read (a function's handler reads what it
// acts on through these, so the fields read are all that a replay of the
// request needs: the books on disk keep those, SimJournal.h).
class SimRequest {
public:
    SimRequest() = default;
    explicit SimRequest(std::vector<SimField> fields) : fields_(std::move(fields)) {}

    // Every field (each noted as read).
    const std::vector<SimField>& fields() const;
    // The fields whose key passes the test, in order (each noted as read).
    std::vector<SimField> fieldsWhere(const std::function<bool(const std::string& key)>& test) const;
    void addFields(const std::vector<SimField>& more) { fields_.insert(fields_.end(), more.begin(), more.end()); }
    // Forgets what was read so far; the fields read from now on, in order.
    void forgetReads() const {
        read_.assign(fields_.size(), false);
        taken_.clear();
    }
    // The fields read, each with the value its function took (below).
    std::vector<SimField> fieldsRead() const;
    // Notes that the function took of the key no more than `value`: an id as
    // the market writes it, a text cut to what is kept, a list of the lines
    // it carried out, nothing ("") of a value it found no use for.
    // fieldsRead() gives the key's first field with it in place of what
    // came, and none of the key's other fields, so that the books on disk
    // write what the function kept, and its replay, reading that, takes the
    // same.
    void noteTaken(const std::string& key, std::string value) const;
    // The same for the fields whose key passes the test (those a function
    // reads by a test, fieldsWhere): fieldsRead() gives `taken` in place of
    // the first of them, and none of the others.
    void noteTakenWhere(const std::function<bool(const std::string& key)>& test, SimField taken) const;
    // Gives every field of the key this value.
    void setValue(const std::string& key, const std::string& value);
    bool has(const std::string& key) const;
    // Value of the first field of that key, "" when absent.
    std::string value(const std::string& key) const;
    std::optional<std::string> find(const std::string& key) const;
    // Integer value; `fallback` when absent or not a number, or longer than
    // any number of its kind is written (20 characters): a number padded
    // with zeros is none, so that no function takes it and writes it whole.
    long long intValue(const std::string& key, long long fallback = 0) const;
    int mainFunction() const { return int(intValue("tc_mfuncno")); }
    int subFunction() const { return int(intValue("tc_sfuncno")); }

private:
    void noteRead(size_t index) const;
    std::vector<SimField> fields_;
    mutable std::vector<bool> read_;  // by index into fields_
    struct Taken {
        std::function<bool(const std::string& key)> test;  // the fields it stands for
        size_t at = 0;                                     // the first of them, where it is given
        SimField field;
    };
    mutable std::vector<Taken> taken_;  // in the order noted
};
