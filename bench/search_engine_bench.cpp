// The search engine on a 100 MB UTF-16 text (50 000 000 units), against references measured
// in the same run: a plain scan for one unit over the buffer (bound by memory bandwidth),
// std::search, std::boyer_moore_horspool_searcher, and one memcpy of the text Replace All
// produces. After Google Benchmark's own table comes a table of ratios to those references.
#include "search/engine.h"

#include <benchmark/benchmark.h>
#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kTextUnits = 50'000'000;
constexpr std::uint32_t kOccurrences = 1'000'000;

// The needles contain the one letter the generated text never holds, 'z', so each occurs
// only where it is planted and every search runs over (nearly) the whole text. The forward
// needles lie near the end, the backward ones near the start; in the frequent ones the first
// unit is 'e', about one unit in ten.
constexpr UnitView kRareNeedle = u"zymurgy";
constexpr UnitView kFrequentNeedle = u"every zebra";
constexpr UnitView kBackwardNeedle = u"zugzwang";
constexpr UnitView kBackwardFrequentNeedle = u"ever zealous";
constexpr std::uint32_t kPlantedNearEnd = kTextUnits - 1000; // and the frequent one 100 later
constexpr std::uint32_t kPlantedNearStart = 1000;            // and the frequent one 100 later
constexpr UnitView kReplaced = u"zeta"; // planted kOccurrences times in the replace text

struct Block {
    std::unique_ptr<Unit[]> units;
    std::uint32_t length = 0;
};

// English-like text without 'z': words of weighted letters, blanks, and a line break every
// seventy-odd units. Deterministic, so every run measures the same bytes.
Block MakeText(std::uint32_t capacity) {
    static constexpr char kLetters[] =
        "eeeeeeeeeeeetttttttttaaaaaaaaooooooooiiiiiiinnnnnnnsssssshhhhhhrrrrrrddddlllluuucccmmm"
        "wwffggyyppbbvkjxq";
    Block block{std::make_unique<Unit[]>(std::size_t{capacity} + 1), kTextUnits};
    std::uint64_t state = 0x9E3779B97F4A7C15u;
    const auto next = [&state](std::uint32_t bound) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        return static_cast<std::uint32_t>((state >> 33) % bound);
    };
    std::uint32_t lineStart = 0;
    for (std::uint32_t i = 0; i < kTextUnits;) {
        if (i - lineStart > 70 && i + 2 <= kTextUnits) {
            block.units[i++] = u'\r';
            block.units[i++] = u'\n';
            lineStart = i;
            continue;
        }
        const std::uint32_t word = 1 + next(9);
        for (std::uint32_t k = 0; k < word && i < kTextUnits; ++k) {
            block.units[i++] = static_cast<Unit>(kLetters[next(sizeof kLetters - 1)]);
        }
        if (i < kTextUnits) {
            block.units[i++] = u' ';
        }
    }
    block.units[kTextUnits] = u'\0';
    return block;
}

void Plant(Block& block, std::uint32_t at, UnitView needle) {
    std::copy(needle.begin(), needle.end(), block.units.get() + at);
}

const Block& SearchText() {
    static const Block text = [] {
        Block block = MakeText(kTextUnits);
        Plant(block, kPlantedNearEnd, kRareNeedle);
        Plant(block, kPlantedNearEnd + 100, kFrequentNeedle);
        Plant(block, kPlantedNearStart, kBackwardNeedle);
        Plant(block, kPlantedNearStart + 100, kBackwardFrequentNeedle);
        return block;
    }();
    return text;
}

// The text with kOccurrences of "zeta", one somewhere in each slice of 50 units.
const Block& ReplaceText() {
    static const Block text = [] {
        Block block = MakeText(kTextUnits);
        constexpr std::uint32_t slice = kTextUnits / kOccurrences;
        for (std::uint32_t k = 0; k < kOccurrences; ++k) {
            Plant(block, k * slice + (k * 7919u) % (slice - 4), kReplaced);
        }
        return block;
    }();
    return text;
}

BorrowedText Borrow(const Block& block) {
    return {block.units.get(), block.length};
}

struct Needle {
    UnitView find;
    bool matchCase;
    std::u16string lower;
    std::u16string upper;

    SearchPattern Pattern() const { return {find, matchCase, lower, upper}; }
};

// The case forms as the caller makes them, here for ASCII letters.
Needle MakeNeedle(UnitView find, bool matchCase) {
    Needle needle{find, matchCase, std::u16string(find), std::u16string(find)};
    for (Unit& unit : needle.lower) {
        if (unit >= u'A' && unit <= u'Z') {
            unit = static_cast<Unit>(unit - u'A' + u'a');
        }
    }
    for (Unit& unit : needle.upper) {
        if (unit >= u'a' && unit <= u'z') {
            unit = static_cast<Unit>(unit - u'a' + u'A');
        }
    }
    return needle;
}

void CountBytes(benchmark::State& state, std::uint64_t units) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * units * sizeof(Unit)));
}

// The reference for memory bandwidth: every unit compared with one value, sixteen at a time,
// with no early exit and nothing else to do.
bool Occurs(const Unit* units, std::uint32_t length, Unit value) {
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(value));
    __m128i low = _mm_setzero_si128();
    __m128i high = _mm_setzero_si128();
    std::uint32_t i = 0;
    for (; length - i >= 16; i += 16) {
        const auto* block = reinterpret_cast<const __m128i*>(units + i);
        low = _mm_or_si128(low, _mm_cmpeq_epi16(_mm_loadu_si128(block), wanted));
        high = _mm_or_si128(high, _mm_cmpeq_epi16(_mm_loadu_si128(block + 1), wanted));
    }
    bool seen = _mm_movemask_epi8(_mm_or_si128(low, high)) != 0;
    for (; i < length; ++i) {
        seen |= units[i] == value;
    }
    return seen;
}

void PlainScan(benchmark::State& state) {
    const Block& text = SearchText();
    for (auto _ : state) {
        benchmark::DoNotOptimize(Occurs(text.units.get(), text.length, u'Q'));
    }
    CountBytes(state, text.length);
}

template <class Search> void StdSearch(benchmark::State& state, Search search) {
    const Block& text = SearchText();
    for (auto _ : state) {
        const Unit* found = search(text.units.get(), text.units.get() + text.length);
        benchmark::DoNotOptimize(found);
        if (found != text.units.get() + kPlantedNearEnd) {
            state.SkipWithError("the planted needle was not found");
        }
    }
    CountBytes(state, text.length);
}

void StdSearchPlain(benchmark::State& state) {
    StdSearch(state, [](const Unit* first, const Unit* last) {
        return std::search(first, last, kRareNeedle.begin(), kRareNeedle.end());
    });
}

void StdSearchHorspool(benchmark::State& state) {
    const std::boyer_moore_horspool_searcher searcher(kRareNeedle.begin(), kRareNeedle.end());
    StdSearch(state, [&searcher](const Unit* first, const Unit* last) {
        return std::search(first, last, searcher);
    });
}

void Forward(benchmark::State& state, UnitView find, bool matchCase, std::uint32_t expected) {
    const Block& text = SearchText();
    const Needle needle = MakeNeedle(find, matchCase);
    for (auto _ : state) {
        const auto found = FindForward(Borrow(text), needle.Pattern(), 0);
        benchmark::DoNotOptimize(found);
        if (found != expected) {
            state.SkipWithError("the planted needle was not found");
        }
    }
    CountBytes(state, expected);
}

void Backward(benchmark::State& state, UnitView find, bool matchCase, std::uint32_t expected) {
    const Block& text = SearchText();
    const Needle needle = MakeNeedle(find, matchCase);
    for (auto _ : state) {
        const auto found = FindBackward(Borrow(text), needle.Pattern(), text.length);
        benchmark::DoNotOptimize(found);
        if (found != expected) {
            state.SkipWithError("the planted needle was not found");
        }
    }
    CountBytes(state, text.length - expected);
}

// A block that can grow in place to the longest text Replace All makes here, as a
// GlobalReAlloc that finds room behind the block does: the resize only zero-fills the
// units gained. The chunks of match positions that one run gives back serve the next, as a
// heap keeps the memory freed to it; glibc would instead return the freed top of its heap to
// the system after every run and fault it in again, which times the allocator, not the
// engine (a single Replace All pays those faults once, whatever its method).
class WorkBlock : public ReplaceAllMemory {
  public:
    explicit WorkBlock(std::uint32_t capacity)
        : units_(std::make_unique<Unit[]>(std::size_t{capacity} + 1)), capacity_(capacity) {}
    WorkBlock(const WorkBlock&) = delete;
    WorkBlock& operator=(const WorkBlock&) = delete;

    ~WorkBlock() {
        for (void* chunk : spare_) {
            ReplaceAllMemory::FreeChunk(chunk);
        }
    }

    BorrowedText Reset(const Block& original) {
        std::memcpy(units_.get(), original.units.get(),
                    (std::size_t{original.length} + 1) * sizeof(Unit));
        length_ = original.length;
        return {units_.get(), length_};
    }

    Unit* ResizeText(std::uint32_t length) override {
        if (length > capacity_) {
            return nullptr;
        }
        if (length > length_) {
            std::memset(units_.get() + length_ + 1, 0, (length - length_) * sizeof(Unit));
        }
        length_ = length;
        return units_.get();
    }

    void* AllocateChunk(std::size_t bytes) override {
        if (!spare_.empty()) { // every chunk has the same size
            void* chunk = spare_.back();
            spare_.pop_back();
            return chunk;
        }
        return ReplaceAllMemory::AllocateChunk(bytes);
    }
    void FreeChunk(void* chunk) override { spare_.push_back(chunk); }

  private:
    std::vector<void*> spare_;
    std::unique_ptr<Unit[]> units_;
    std::uint32_t capacity_;
    std::uint32_t length_ = 0;
};

std::uint32_t LongestReplaced() {
    return kTextUnits + kOccurrences * 3;
}

void Replace(benchmark::State& state, UnitView replacement) {
    const Block& original = ReplaceText();
    const Needle needle = MakeNeedle(kReplaced, true);
    WorkBlock block(LongestReplaced());
    const std::uint64_t finalLength = original.length +
                                      std::uint64_t{kOccurrences} * replacement.size() -
                                      std::uint64_t{kOccurrences} * kReplaced.size();
    for (auto _ : state) {
        state.PauseTiming();
        BorrowedText text = block.Reset(original);
        state.ResumeTiming();
        const ReplaceAllResult result = ReplaceAll(text, needle.Pattern(), replacement, block);
        benchmark::DoNotOptimize(text.units);
        if (result.count != kOccurrences || text.length != finalLength) {
            state.SkipWithError("Replace All did not replace every planted occurrence");
        }
    }
    CountBytes(state, original.length);
}

void CopyFinalText(benchmark::State& state) {
    const std::size_t units = std::size_t{LongestReplaced()} + 1;
    std::vector<Unit> source(units, u'x');
    std::vector<Unit> destination(units, u'y');
    for (auto _ : state) {
        std::memcpy(destination.data(), source.data(), units * sizeof(Unit));
        benchmark::DoNotOptimize(destination.data());
        benchmark::ClobberMemory();
    }
    CountBytes(state, units);
}

// Names, with the references first.
constexpr const char* kPlainScan = "plain scan for one unit (SSE2, no early exit)";
constexpr const char* kStdSearch = "std::search";
constexpr const char* kHorspool = "std::boyer_moore_horspool_searcher";
constexpr const char* kMemcpy = "memcpy of the longer Replace All's text";
constexpr const char* kForwardRare = "FindForward, match case, rare first unit";
constexpr const char* kForwardFrequent = "FindForward, match case, frequent first unit";
constexpr const char* kIgnoredRare = "FindForward, case ignored, rare first unit";
constexpr const char* kIgnoredFrequent = "FindForward, case ignored, frequent first unit";
constexpr const char* kBackwardRare = "FindBackward, match case, rare first unit";
constexpr const char* kBackwardFrequent = "FindBackward, match case, frequent first unit";
constexpr const char* kBackwardIgnoredRare = "FindBackward, case ignored, rare first unit";
constexpr const char* kBackwardIgnoredFrequent = "FindBackward, case ignored, frequent first unit";
constexpr const char* kSearches[] = {
    kForwardRare,  kForwardFrequent,  kIgnoredRare,         kIgnoredFrequent,
    kBackwardRare, kBackwardFrequent, kBackwardIgnoredRare, kBackwardIgnoredFrequent};
constexpr const char* kReplaceSame = "ReplaceAll 1M, same length (4 -> 4)";
constexpr const char* kReplaceShorter = "ReplaceAll 1M, shorter (4 -> 1)";
constexpr const char* kReplaceLonger = "ReplaceAll 1M, longer (4 -> 7)";

void RegisterAll() {
    const auto add = [](const char* name, auto function) {
        benchmark::RegisterBenchmark(name, function)->Unit(benchmark::kMillisecond);
    };
    add(kPlainScan, PlainScan);
    add(kStdSearch, StdSearchPlain);
    add(kHorspool, StdSearchHorspool);
    add(kMemcpy, CopyFinalText);
    add(kForwardRare, [](benchmark::State& s) { Forward(s, kRareNeedle, true, kPlantedNearEnd); });
    add(kForwardFrequent,
        [](benchmark::State& s) { Forward(s, kFrequentNeedle, true, kPlantedNearEnd + 100); });
    add(kIgnoredRare, [](benchmark::State& s) { Forward(s, u"ZyMurGY", false, kPlantedNearEnd); });
    add(kIgnoredFrequent,
        [](benchmark::State& s) { Forward(s, u"Every Zebra", false, kPlantedNearEnd + 100); });
    add(kBackwardRare,
        [](benchmark::State& s) { Backward(s, kBackwardNeedle, true, kPlantedNearStart); });
    add(kBackwardFrequent, [](benchmark::State& s) {
        Backward(s, kBackwardFrequentNeedle, true, kPlantedNearStart + 100);
    });
    add(kBackwardIgnoredRare,
        [](benchmark::State& s) { Backward(s, u"ZugZWanG", false, kPlantedNearStart); });
    add(kBackwardIgnoredFrequent,
        [](benchmark::State& s) { Backward(s, u"Ever ZeaLous", false, kPlantedNearStart + 100); });
    add(kReplaceSame, [](benchmark::State& s) { Replace(s, u"beta"); });
    add(kReplaceShorter, [](benchmark::State& s) { Replace(s, u"z"); });
    add(kReplaceLonger, [](benchmark::State& s) { Replace(s, u"zetetic"); });
}

// Google Benchmark's console table, then the ratios of each result to the references. With
// repetitions the median of each benchmark is used, which a passing disturbance moves least.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations <= 0) {
                continue;
            }
            const double seconds = run.real_accumulated_time / static_cast<double>(run.iterations);
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians_[run.run_name.str()] = seconds;
            } else if (run.run_type == Run::RT_Iteration) {
                singles_[run.run_name.str()] = seconds;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatios() const {
        std::printf("\nSearch engine, %u units (%u MB) of UTF-16 text, one run%s\n", kTextUnits,
                    kTextUnits * 2 / 1'000'000,
                    medians_.empty() ? "" : ", medians of interleaved repetitions");
        std::printf("%-48s %9s %12s %12s %12s\n", "", "ms", "vs scan", "vs search", "vs Horspool");
        for (const char* name : {kPlainScan, kStdSearch, kHorspool}) {
            PrintSearch(name);
        }
        for (const char* name : kSearches) {
            PrintSearch(name);
        }
        std::printf("%-48s %9s %12s\n", "", "ms", "vs memcpy");
        for (const char* name : {kMemcpy, kReplaceSame, kReplaceShorter, kReplaceLonger}) {
            std::printf("%-48s %9.2f %12s\n", name, Milliseconds(name).value_or(NAN),
                        Time(name, kMemcpy).c_str());
        }
        std::printf("\nGoals (speed is the reference's time over the engine's):\n");
        for (const char* name : kSearches) {
            Goal((std::string(name) + ", speed vs plain scan >= 0.5").c_str(),
                 Ratio(kPlainScan, name), 0.5, true);
        }
        Goal("FindForward, match case, rare first unit, speed vs std::search > 1",
             Ratio(kStdSearch, kForwardRare), 1.0, true);
        Goal("FindForward, match case, rare first unit, speed vs Horspool > 1",
             Ratio(kHorspool, kForwardRare), 1.0, true);
        Goal("longer Replace All, time vs memcpy <= 2.5", Ratio(kReplaceLonger, kMemcpy), 2.5,
             false);
    }

  private:
    void PrintSearch(const char* name) const {
        std::printf("%-48s %9.2f %12s %12s %12s\n", name, Milliseconds(name).value_or(NAN),
                    Speed(name, kPlainScan).c_str(), Speed(name, kStdSearch).c_str(),
                    Speed(name, kHorspool).c_str());
    }

    std::optional<double> Milliseconds(const std::string& name) const {
        for (const auto* seconds : {&medians_, &singles_}) {
            if (const auto found = seconds->find(name); found != seconds->end()) {
                return found->second * 1000.0;
            }
        }
        return std::nullopt;
    }

    // numerator time / denominator time, when both were measured.
    std::optional<double> Ratio(const std::string& numerator,
                                const std::string& denominator) const {
        const auto top = Milliseconds(numerator);
        const auto bottom = Milliseconds(denominator);
        if (!top || !bottom || *bottom <= 0) {
            return std::nullopt;
        }
        return *top / *bottom;
    }

    static std::string Format(std::optional<double> ratio) {
        if (!ratio) {
            return "-";
        }
        char text[32];
        std::snprintf(text, sizeof text, "%.2fx", *ratio);
        return text;
    }

    std::string Speed(const std::string& name, const std::string& reference) const {
        return Format(Ratio(reference, name));
    }

    std::string Time(const std::string& name, const std::string& reference) const {
        return Format(Ratio(name, reference));
    }

    static void Goal(const char* what, std::optional<double> ratio, double bound, bool atLeast) {
        const char* verdict = !ratio                                          ? "not measured"
                              : (atLeast ? *ratio >= bound : *ratio <= bound) ? "met"
                                                                              : "MISSED";
        std::printf("  %-72s %8s  %s\n", what, Format(ratio).c_str(), verdict);
    }

    std::map<std::string, double> medians_;
    std::map<std::string, double> singles_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RegisterAll();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
