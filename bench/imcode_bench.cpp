// GetPinyin speed, per input byte. Target: at most 5 ns per byte.
#include "IMCode.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>

namespace {

constexpr std::size_t MixedSize = 1 << 20;

// 100 common characters of GB2312 level 1 and 2 and the extension, then ".jpg".
std::string ChineseFileName()
{
    std::mt19937 random(4);
    std::uniform_int_distribution<int> lead(0xB0, 0xF7), trail(0xA1, 0xFE);
    std::string name;
    for (int i = 0; i < 100; ++i) {
        name.push_back(static_cast<char>(lead(random)));
        name.push_back(static_cast<char>(trail(random)));
    }
    return name + ".jpg";
}

// Mostly Chinese characters from every area, ASCII, full-width ASCII, numbered symbols,
// Greek letters, other symbols, and now and then a lead byte on its own. The kind changes
// at random from one character to the next, which is harder on branch prediction than
// real text.
std::string MixedText(bool chineseOnly)
{
    std::mt19937 random(7);
    auto pick = [&random](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    std::string text;
    text.reserve(MixedSize + 2);
    while (text.size() < MixedSize) {
        const int kind = chineseOnly ? 0 : pick(0, 99);
        int lead = 0, trail = 0;
        if (kind < 45) { // GB2312
            lead = pick(0xB0, 0xF7);
            trail = pick(0xA1, 0xFE);
        } else if (kind < 60) { // GBK/3 and GBK/4
            lead = pick(0, 1) ? pick(0x81, 0xA0) : pick(0xAA, 0xFE);
            trail = pick(0x40, 0xA0);
        } else if (kind < 85) { // ASCII
            text.push_back(static_cast<char>(pick(0x20, 0x7E)));
            continue;
        } else if (kind < 90) {
            lead = 0xA3;
            trail = pick(0xA1, 0xFE);
        } else if (kind < 93) {
            lead = 0xA2;
            trail = pick(0xA1, 0xFE);
        } else if (kind < 96) {
            lead = 0xA6;
            trail = pick(0xA1, 0xD8);
        } else if (kind < 99) {
            lead = 0xA1;
            trail = pick(0xA1, 0xFE);
        } else { // a lone lead byte
            text.push_back(static_cast<char>(pick(0x81, 0xFE)));
            text.push_back(static_cast<char>(pick(0x20, 0x3F)));
            continue;
        }
        text.push_back(static_cast<char>(lead));
        text.push_back(static_cast<char>(trail));
    }
    return text;
}

void Run(benchmark::State& state, const std::string& text, std::int32_t options, std::int32_t maxLength)
{
    for (auto _ : state) {
        std::string result = GetPinyin(text, options, maxLength);
        benchmark::DoNotOptimize(result.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    // CPU time per input byte, shown with an SI prefix: "2.5ns" is 2.5 ns per byte.
    state.counters["per_byte"] = benchmark::Counter(
        static_cast<double>(text.size()),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The use that names the update package: options 5, at most 100 bytes.
void BM_FileName(benchmark::State& state)
{
    static const std::string name = ChineseFileName();
    Run(state, name, pyFullSyllable | pyKeepOthers, 100);
}
BENCHMARK(BM_FileName);

void BM_MixedText(benchmark::State& state)
{
    static const std::string text = MixedText(false);
    Run(state, text, static_cast<std::int32_t>(state.range(0)), INT32_MAX);
}
BENCHMARK(BM_MixedText)->DenseRange(0, 7)->Unit(benchmark::kMicrosecond);

void BM_ChineseText(benchmark::State& state)
{
    static const std::string text = MixedText(true);
    Run(state, text, static_cast<std::int32_t>(state.range(0)), INT32_MAX);
}
BENCHMARK(BM_ChineseText)->Arg(0)->Arg(pyFullSyllable)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
