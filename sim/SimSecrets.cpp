#include "sim/SimSecrets.h"

#include "core/security/RandomBytes.h"

namespace {
thread_local SimSecretTape* tTape = nullptr;
}

SimSecretTape::SimSecretTape(std::vector<std::string> playback) : outer_(tTape), playback_(std::move(playback)) {
    tTape = this;
}

SimSecretTape::~SimSecretTape() { tTape = outer_; }

std::string simNewSecret(size_t bytes) {
    SimSecretTape* tape = tTape;
    if (!tape) return randomHex(bytes);
    std::string secret =
        tape->played_ < tape->playback_.size() ? tape->playback_[tape->played_++] : randomHex(bytes);
    tape->issued_.push_back(secret);
    return secret;
}
