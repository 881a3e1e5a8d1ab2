#pragma once
// The secrets the brokerage's books hold, and how they are kept.
//
// Soft-token seeds come from the cryptographic random source, never from the
// server's seed. The books are rebuilt at start by replaying the requests of
// their journal, so a replay must hand out the very secrets the requests
// were given then: a tape on the thread that runs a request records what it
// issues (written into the journal with the request, enciphered under the
// books' key), and plays them back when the request is replayed. Session
// ids are secrets of the running server only: they come from randomHex
// (core/security/RandomBytes.h) and are never recorded.
//
// Passwords, typed codes and the banks' passwords are held only as digests
// under the books' key (HMAC-SHA-1, hex), which is what a check compares; a
// request's secret fields (TradeContract::kSecretKeys) reach the journal as
// the same digests, never in clear. A replayed request carries those digests
// (its tape says so), and a check then compares them as they stand: a
// password right or wrong when the request ran is right or wrong again.
//
// The books' key: 32 random bytes, in a file of its own beside the journal
// (NAME.key, the owner's only), so that neither the seed nor the journal
// alone gives away a digest's password or a token's seed.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A new secret of `bytes` random bytes as hex text: the next one of the
// thread's tape when it plays back and has one left, else a new random one
// (recorded when the thread's tape records).
std::string simNewSecret(size_t bytes);

// The thread's tape while it lives (tapes nest: the inner one is used).
class SimSecretTape {
public:
    // Records what is issued; with `playback`, hands those out first, in
    // order. `digested`: the request running is a replayed one, whose
    // secret fields are the books' digests.
    explicit SimSecretTape(std::vector<std::string> playback = {}, bool digested = false);
    ~SimSecretTape();
    SimSecretTape(const SimSecretTape&) = delete;
    SimSecretTape& operator=(const SimSecretTape&) = delete;

    // Every secret issued under the tape, in order (played back ones too).
    const std::vector<std::string>& issued() const { return issued_; }

private:
    friend std::string simNewSecret(size_t bytes);
    friend bool simSecretsDigested();
    SimSecretTape* outer_;
    std::vector<std::string> playback_;
    size_t played_ = 0;
    bool digested_;
    std::vector<std::string> issued_;
};

// True while a replayed request runs: its secret fields are digests already.
bool simSecretsDigested();

// The books' digest of a secret (a password, a code) under their key.
std::string simSecretDigest(const std::vector<uint8_t>& key, const std::string& secret);
// A secret field of a request as the journal keeps it: its digest ("" stays
// ""; a new password the books could never take, "").
std::string simJournalSecret(const std::vector<uint8_t>& key, const std::string& name, const std::string& value);

// A token seed enciphered under the books' key as the client's token file
// is (FrameCodec.h), as hex; and back (nullopt when it does not decipher).
std::string simEncipherSecret(const std::vector<uint8_t>& key, const std::string& secret);
std::optional<std::string> simDecipherSecret(const std::vector<uint8_t>& key, const std::string& text);

// The books' key in `path`: read when there (nullopt when unreadable or of
// another size), else made and written (0600); nullopt when it cannot be.
std::optional<std::vector<uint8_t>> simBooksKey(const std::string& path, bool& made);
// What names a key in the journal's first line without giving it away.
std::string simKeyCheck(const std::vector<uint8_t>& key);
