#pragma once
// The random source of a fuzz process whose server keeps state: OpenSSL's
// RAND_bytes (session ids, trade sessions, secrets, cipher IVs) answers a
// fixed stream, which fuzzRestartRandom() starts again before each input. An
// input then draws the same bytes whatever ran before it, so its replies and
// the code they take depend on its own bytes alone, and a crash reproduces
// from them. For fuzz processes only: nothing here is secret.
#include <openssl/rand.h>

#include <cstdint>
#include <cstdlib>

namespace fuzz_random {

inline uint64_t state = 0;

// splitmix64: every byte of the stream from its one word of state.
inline int bytes(unsigned char* out, int count) {
    for (int i = 0; i < count; i += 8) {
        uint64_t z = (state += 0x9e3779b97f4a7c15);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9;
        z = (z ^ (z >> 27)) * 0x94d049bb133111eb;
        z ^= z >> 31;
        for (int j = 0; j < 8 && i + j < count; ++j) out[i + j] = static_cast<unsigned char>(z >> (8 * j));
    }
    return 1;
}

inline int ready() { return 1; }

}  // namespace fuzz_random

inline void fuzzRestartRandom() {
    static const RAND_METHOD method = {nullptr, fuzz_random::bytes, nullptr,
                                       nullptr, fuzz_random::bytes, fuzz_random::ready};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"  // the one way to replace the source
    static const bool installed = RAND_set_rand_method(&method) == 1;
#pragma GCC diagnostic pop
    if (!installed) std::abort();
    fuzz_random::state = 0;
}
