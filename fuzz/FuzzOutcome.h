#pragma once
// What an input produced, for a target whose inputs meet state that outlives
// them (a server): the target folds every answer of the input into the
// outcome, and the replay (replay_main.cpp, with --both-orders) runs the
// corpus a second time in the reverse order, where each input must produce
// the same again. So an input's outcome, and the coverage a merge credited
// it with, does not depend on the inputs run before it. Included by the
// target's one source file (it defines the replay's hook).
#include <cstdint>
#include <string_view>

namespace fuzz_outcome {
inline uint64_t digest = 0;
}

// Starts the digest of an input.
inline void fuzzOutcomeStart() { fuzz_outcome::digest = 14695981039346656037ull; }

// Folds bytes into it (FNV-1a, their length too, so that pieces cannot shift).
inline void fuzzOutcomeAdd(std::string_view bytes) {
    uint64_t& d = fuzz_outcome::digest;
    for (unsigned char c : bytes) d = (d ^ c) * 1099511628211ull;
    d = (d ^ bytes.size()) * 1099511628211ull;
}

// The replay's hook: the digest of the last input.
extern "C" uint64_t rdFuzzOutcome() { return fuzz_outcome::digest; }
