#pragma once
// The secrets the brokerage's books hold (soft-token seeds): from the
// cryptographic random source, never from the server's seed. The books are
// rebuilt at start by replaying the requests of their journal, so a replay
// must hand out the very secrets the requests were given then: a tape on the
// thread that runs a request records what it issues (written into the
// journal with the request), and plays them back when the request is
// replayed. Session ids are secrets of the running server only: they come
// from randomHex (core/security/RandomBytes.h) and are never recorded.
#include <cstddef>
#include <string>
#include <vector>

// A new secret of `bytes` random bytes as hex text: the next one of the
// thread's tape when it plays back and has one left, else a new random one
// (recorded when the thread's tape records).
std::string simNewSecret(size_t bytes);

// The thread's tape while it lives (tapes nest: the inner one is used).
class SimSecretTape {
public:
    // Records what is issued; with `playback`, hands those out first, in order.
    explicit SimSecretTape(std::vector<std::string> playback = {});
    ~SimSecretTape();
    SimSecretTape(const SimSecretTape&) = delete;
    SimSecretTape& operator=(const SimSecretTape&) = delete;

    // Every secret issued under the tape, in order (played back ones too).
    const std::vector<std::string>& issued() const { return issued_; }

private:
    friend std::string simNewSecret(size_t bytes);
    SimSecretTape* outer_;
    std::vector<std::string> playback_;
    size_t played_ = 0;
    std::vector<std::string> issued_;
};
