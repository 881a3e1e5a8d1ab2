// Reply decoding: deciphering and decompressing a 100 KB reply, beside zlib's
// own inflate of the same compressed bytes (the floor for the decompression).
// Throughput is counted in plain (decompressed) bytes, except BM_DecipherOnly.
// BM_DecodeOverInflate prints the goal's figure: decode time / inflate time
// (at most 1.5), the two alternating in every round.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "bench/PairedTiming.h"
#include "core/security/Blowfish.h"
#include "core/security/Compression.h"
#include "core/security/FrameCodec.h"

namespace {

const std::vector<uint8_t> kKey = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88,
                                   0x99, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xf0, 0x01};
constexpr size_t kReplySize = 100 * 1024;

// Quote-like rows: codes, names, prices and volumes from a fixed pseudo-random walk.
std::vector<uint8_t> makeReply() {
    std::string text;
    uint32_t state = 12345;
    auto next = [&state] { return state = state * 1103515245u + 12345u; };
    int price = 100000;
    while (text.size() < kReplySize) {
        price += int(next() >> 24) % 200 - 100;
        text += "600" + std::to_string(100 + next() % 900) + "|平安银行|" + std::to_string(price) + "|" +
                std::to_string(next() % 10000000) + "|" + std::to_string(next() % 1000) + "\n";
    }
    text.resize(kReplySize);
    return {text.begin(), text.end()};
}

struct Reply {
    std::vector<uint8_t> plain = makeReply();
    std::vector<uint8_t> compressed = compressWithLengthPrefix(plain);
    std::vector<uint8_t> frame = encipherFrame(compressed, kKey);
};

const Reply& reply() {
    static Reply r;
    return r;
}

void BM_DecipherAndDecompress(benchmark::State& state) {
    const Reply& r = reply();
    for (auto _ : state) {
        auto deciphered = decipherFrame(r.frame, kKey);
        auto plain = uncompressWithLengthPrefix(*deciphered);
        if (!plain || plain->size() != kReplySize) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(plain);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kReplySize));
    state.counters["compressed_bytes"] = double(r.compressed.size());
}

void BM_DecipherOnly(benchmark::State& state) {
    const Reply& r = reply();
    for (auto _ : state) {
        auto deciphered = decipherFrame(r.frame, kKey);
        benchmark::DoNotOptimize(deciphered);
    }
    // Counted in enciphered bytes: this is the Blowfish speed.
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(r.frame.size()));
}

void BM_DecompressOnly(benchmark::State& state) {
    const Reply& r = reply();
    for (auto _ : state) {
        auto plain = uncompressWithLengthPrefix(r.compressed);
        benchmark::DoNotOptimize(plain);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kReplySize));
}

void BM_ZlibUncompress(benchmark::State& state) {
    const Reply& r = reply();
    std::vector<uint8_t> out(kReplySize);
    for (auto _ : state) {
        uLongf size = out.size();
        int rc = uncompress(out.data(), &size, r.compressed.data() + 4, uLong(r.compressed.size() - 4));
        if (rc != Z_OK || size != kReplySize) state.SkipWithError("zlib failed");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kReplySize));
}

void BM_DecodeOverInflate(benchmark::State& state) {
    const Reply& r = reply();
    std::vector<uint8_t> out(kReplySize);
    bool failed = false;
    double ratio = medianTimeRatio(
        state,
        [&] {
            auto deciphered = decipherFrame(r.frame, kKey);
            auto plain = deciphered ? uncompressWithLengthPrefix(*deciphered) : std::nullopt;
            failed |= !plain || plain->size() != kReplySize;
        },
        [&] {
            uLongf size = out.size();
            failed |= uncompress(out.data(), &size, r.compressed.data() + 4, uLong(r.compressed.size() - 4)) != Z_OK;
        });
    if (failed) state.SkipWithError("decode failed");
    state.counters["decode_over_inflate"] = ratio;
    state.counters["goal_at_most"] = 1.5;
    state.counters["wide_decipher"] = Blowfish::decipherIsWide() ? 1 : 0;
}

}  // namespace

BENCHMARK(BM_DecodeOverInflate)->Iterations(400);
BENCHMARK(BM_DecipherAndDecompress);
BENCHMARK(BM_DecipherOnly);
BENCHMARK(BM_DecompressOnly);
BENCHMARK(BM_ZlibUncompress);

BENCHMARK_MAIN();
