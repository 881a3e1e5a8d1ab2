// Parsing a 10,000-record quote reply, beside a memcpy of the same bytes.
// BM_ParseOverMemcpy prints the goal's figure: the parse's speed as a share of
// memcpy's (at least 10 %), the two alternating in every round.
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench/PairedTiming.h"
#include "core/TCRSWriter.h"
#include "core/VTATCRS.h"

namespace {

const std::vector<uint8_t>& reply() {
    static const std::vector<uint8_t> bytes = [] {
        TCRSWriter w;
        w.beginSet("ranking")
            .addField("zqdm", TCRSFieldType::FixedText, 8, "代码")
            .addField("zqmc", TCRSFieldType::VarText, 0, "名称")
            .addField("zjcj", TCRSFieldType::Packed, 4, "最新")
            .addField("zrsp", TCRSFieldType::Packed, 4, "昨收")
            .addField("zhd", TCRSFieldType::Packed, 4, "涨跌")
            .addField("zdf", TCRSFieldType::Packed, 4, "涨幅")
            .addField("cjsl", TCRSFieldType::Packed, 8, "总手")
            .addField("cjje", TCRSFieldType::Packed, 8, "金额")
            .addField("tm", TCRSFieldType::Integer, 4, "时间")
            .addField("market", TCRSFieldType::Integer, 4, "市场");
        for (int i = 0; i < 10000; ++i) {
            w.addRecord({std::to_string(600000 + i), "股票名称" + std::to_string(i), "12.34", "12.00", "0.34", "2.83",
                         int64_t(100000 + i), "1234.5", 1500, 1 + i % 2});
        }
        return w.bytes();
    }();
    return bytes;
}

void BM_ParseReply(benchmark::State& state) {
    const auto& bytes = reply();
    for (auto _ : state) {
        auto sets = VTATCRS::buildMuTableTCRSWithData(bytes);
        benchmark::DoNotOptimize(sets);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
    state.counters["bytes"] = double(bytes.size());
}

void BM_ParseAndReadEveryField(benchmark::State& state) {
    const auto& bytes = reply();
    for (auto _ : state) {
        auto sets = VTATCRS::buildMuTableTCRSWithData(bytes);
        auto& set = *(*sets)[0];
        int64_t sum = 0;
        for (set.fetchFirst(); !set.isEOF(); set.fetchNext()) {
            sum += int64_t(set.toStringWithFieldName("zqmc")->size());
            sum += set.toVTAFloatWithFieldName("zjcj")->value();
            sum += set.toIntWithFieldName("tm");
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

void BM_MemcpyReply(benchmark::State& state) {
    const auto& bytes = reply();
    std::vector<uint8_t> copy(bytes.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

void BM_ParseOverMemcpy(benchmark::State& state) {
    const auto& bytes = reply();
    std::vector<uint8_t> copy(bytes.size());
    bool failed = false;
    double parseOverCopy = medianTimeRatio(
        state,
        [&] {
            auto sets = VTATCRS::buildMuTableTCRSWithData(bytes);
            failed |= !sets || sets->size() != 1;
        },
        [&] {
            std::memcpy(copy.data(), bytes.data(), bytes.size());
            benchmark::DoNotOptimize(copy.data());
            benchmark::ClobberMemory();
        });
    if (failed) state.SkipWithError("parse failed");
    state.counters["parse_speed_pct_of_memcpy"] = parseOverCopy > 0 ? 100 / parseOverCopy : 0;
    state.counters["goal_at_least"] = 10;
}

}  // namespace

BENCHMARK(BM_ParseOverMemcpy)->Iterations(1000);
BENCHMARK(BM_ParseReply);
BENCHMARK(BM_ParseAndReadEveryField);
BENCHMARK(BM_MemcpyReply);
BENCHMARK_MAIN();
