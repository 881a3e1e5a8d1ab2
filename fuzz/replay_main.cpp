// Replays a fuzz target over every file of a corpus folder, so that the inputs
// found by fuzzing stay checked by the ordinary test run:
//
//   fuzz_NAME_replay [--both-orders] CORPUS_DIR
//
// --both-orders, for a target whose inputs meet state that outlives them
// (FuzzOutcome.h): the corpus runs again in the reverse order, and each input
// must produce what it produced the first time, whatever ran before it.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" [[gnu::weak]] uint64_t rdFuzzOutcome();

namespace {

struct Input {
    std::string name;
    std::vector<uint8_t> bytes;
    uint64_t outcome = 0;
};

uint64_t run(const Input& input) {
    LLVMFuzzerTestOneInput(input.bytes.data(), input.bytes.size());
    return rdFuzzOutcome ? rdFuzzOutcome() : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool bothOrders = argc == 3 && std::strcmp(argv[1], "--both-orders") == 0;
    if (argc != 2 && !bothOrders) {
        std::fprintf(stderr, "usage: %s [--both-orders] CORPUS_DIR\n", argv[0]);
        return 2;
    }
    if (bothOrders && !rdFuzzOutcome) {
        std::fprintf(stderr, "%s: the target tells no outcome (FuzzOutcome.h)\n", argv[0]);
        return 2;
    }
    std::vector<Input> inputs;
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[argc - 1], ec)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        inputs.push_back({entry.path().filename().string(), std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                                                                 std::istreambuf_iterator<char>())});
    }
    // An empty input must be handled as well.
    inputs.push_back({"(empty)", {}});
    std::sort(inputs.begin(), inputs.end(), [](const Input& a, const Input& b) { return a.name < b.name; });
    for (auto& input : inputs) input.outcome = run(input);
    int differ = 0;
    if (bothOrders) {
        for (auto it = inputs.rbegin(); it != inputs.rend(); ++it) {
            if (run(*it) == it->outcome) continue;
            if (++differ <= 10) std::fprintf(stderr, "%s: another outcome after other inputs\n", it->name.c_str());
        }
    }
    std::printf("replayed %zu inputs%s\n", inputs.size() - 1, bothOrders ? ", then in the reverse order" : "");
    if (differ) std::fprintf(stderr, "%d inputs' outcomes depend on the inputs before them\n", differ);
    return differ ? 1 : 0;
}
