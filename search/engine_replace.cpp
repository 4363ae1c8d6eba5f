// Replace All: the occurrences found left to right by the engine's scan, rewritten in place
// or, for a longer replacement, recorded in one scan and rebuilt from the end of the text.
#include "search/engine.h"

#include "search/engine_scan.h"

#include <cstring>
#include <new>

using namespace engine_scan;

namespace {

void CopyUnits(Unit* destination, const Unit* source, std::uint32_t count) {
    if (count != 0) {
        std::memcpy(destination, source, std::size_t{count} * sizeof(Unit));
    }
}

void MoveUnits(Unit* destination, const Unit* source, std::uint32_t count) {
    if (count != 0 && destination != source) {
        std::memmove(destination, source, std::size_t{count} * sizeof(Unit));
    }
}

template <bool kOneUnit, class Forms>
std::uint32_t ReplaceSameLength(BorrowedText& text, std::uint32_t n, UnitView replacement,
                                const Forms& forms) {
    std::uint32_t count = 0;
    ForEachMatch<kOneUnit>(text.units, text.length, n, forms, [&](std::uint32_t m) {
        CopyUnits(text.units + m, replacement.data(), n);
        ++count;
        return true;
    });
    return count;
}

template <bool kOneUnit, class Forms>
std::uint32_t ReplaceShorter(BorrowedText& text, std::uint32_t n, UnitView replacement,
                             const Forms& forms) {
    Unit* units = text.units;
    const auto r = static_cast<std::uint32_t>(replacement.size());
    std::uint32_t count = 0;
    std::uint32_t read = 0;
    std::uint32_t write = 0;
    // The write position stays at or below the read position, and the scan reads only at or
    // above it, so it sees the text as it was.
    ForEachMatch<kOneUnit>(units, text.length, n, forms, [&](std::uint32_t m) {
        MoveUnits(units + write, units + read, m - read);
        write += m - read;
        CopyUnits(units + write, replacement.data(), r);
        write += r;
        read = m + n;
        ++count;
        return true;
    });
    if (count == 0) {
        return 0;
    }
    MoveUnits(units + write, units + read, text.length - read);
    write += text.length - read;
    units[write] = u'\0';
    text.length = write;
    return count;
}

// The positions of the occurrences, recorded during the one scan of the text in chunks taken
// as they fill, so that no second scan is needed to learn how many to make room for. The
// chunks hold the positions and at most one chunk's worth more; they are linked from the
// newest back, the order in which the rebuild takes them.
class MatchPositions {
  public:
    explicit MatchPositions(ReplaceAllMemory& memory) : memory_(memory) {}
    MatchPositions(const MatchPositions&) = delete;
    MatchPositions& operator=(const MatchPositions&) = delete;

    ~MatchPositions() {
        while (newest_ != nullptr) {
            Chunk* previous = newest_->previous;
            memory_.FreeChunk(newest_);
            newest_ = previous;
        }
    }

    std::uint32_t Count() const { return count_; }

    // False when a new chunk was needed and there is no memory for it.
    [[nodiscard]] bool Add(std::uint32_t position) {
        if (newest_ == nullptr || newest_->filled == Chunk::kCapacity) {
            void* memory = memory_.AllocateChunk(sizeof(Chunk));
            if (memory == nullptr) {
                return false;
            }
            newest_ = new (memory) Chunk(newest_);
        }
        newest_->positions[newest_->filled++] = position;
        ++count_;
        return true;
    }

    // Calls visit(p) for each position, the last first.
    template <class Visit> void ForEachBackward(Visit&& visit) const {
        for (const Chunk* chunk = newest_; chunk != nullptr; chunk = chunk->previous) {
            for (std::uint32_t i = chunk->filled; i-- > 0;) {
                visit(chunk->positions[i]);
            }
        }
    }

  private:
    // 16 KB of positions: few allocations for a million occurrences, little memory for one.
    struct Chunk {
        static constexpr std::uint32_t kCapacity = 4096;
        explicit Chunk(Chunk* before) : previous(before) {}
        Chunk* previous;
        std::uint32_t filled = 0;
        std::uint32_t positions[kCapacity]; // written before they are read
    };

    ReplaceAllMemory& memory_;
    Chunk* newest_ = nullptr;
    std::uint32_t count_ = 0;
};

// The length after `count` occurrences each grow by `growth` units, or none when it passes
// `limit`. Computed in 64 bits, so that no count wraps around to a length that would fit:
// such a text is refused, never resized short and overrun.
std::optional<std::uint32_t> GrownLength(std::uint32_t length, std::uint32_t count,
                                         std::uint64_t growth, std::uint32_t limit) {
    if (growth > kMaxTextLength) {
        return std::nullopt;
    }
    const std::uint64_t grown = std::uint64_t{length} + std::uint64_t{count} * growth;
    if (grown > limit) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(grown);
}

// From the last occurrence to the first: the text after each occurrence moves up to its
// final place (destination at or above the source), then the replacement goes below it.
// The text in front of the first occurrence is already in place.
void Rebuild(Unit* units, std::uint32_t length, std::uint32_t newLength, std::uint32_t n,
             UnitView replacement, const MatchPositions& positions) {
    const auto r = static_cast<std::uint32_t>(replacement.size());
    units[newLength] = u'\0';
    std::uint32_t sourceEnd = length;
    std::uint32_t writeEnd = newLength;
    positions.ForEachBackward([&](std::uint32_t m) {
        const std::uint32_t between = sourceEnd - (m + n);
        writeEnd -= between;
        MoveUnits(units + writeEnd, units + m + n, between);
        writeEnd -= r;
        CopyUnits(units + writeEnd, replacement.data(), r);
        sourceEnd = m;
    });
}

template <bool kOneUnit, class Forms>
ReplaceAllResult ReplaceLonger(BorrowedText& text, std::uint32_t n, UnitView replacement,
                               ReplaceAllMemory& memory, const Forms& forms) {
    const std::uint32_t length = text.length;
    const std::uint64_t growth = replacement.size() - n;
    const std::uint32_t limit = memory.MaxTextLength();
    MatchPositions positions(memory);
    // The scan stops at the first occurrence that would make the text too long for the
    // caller's block, before it takes memory for the positions of any more.
    bool outOfMemory = false;
    ForEachMatch<kOneUnit>(text.units, length, n, forms, [&](std::uint32_t m) {
        outOfMemory = !GrownLength(length, positions.Count() + 1, growth, limit).has_value() ||
                      !positions.Add(m);
        return !outOfMemory;
    });
    if (outOfMemory) {
        return {0, true};
    }
    if (positions.Count() == 0) {
        return {};
    }
    const std::uint32_t newLength = *GrownLength(length, positions.Count(), growth, limit);
    Unit* units = memory.ResizeText(newLength);
    if (units == nullptr) {
        return {0, true};
    }
    Rebuild(units, length, newLength, n, replacement, positions);
    text.units = units;
    text.length = newLength;
    return {positions.Count(), false};
}

} // namespace

void* ReplaceAllMemory::AllocateChunk(std::size_t bytes) {
    return ::operator new(bytes, std::nothrow);
}

void ReplaceAllMemory::FreeChunk(void* chunk) {
    ::operator delete(chunk);
}

ReplaceAllResult ReplaceAll(BorrowedText& text, const SearchPattern& pattern, UnitView replacement,
                            ReplaceAllMemory& memory) {
    const std::uint32_t n = PatternLength(pattern);
    if (n == 0 || text.length < n) {
        return {};
    }
    return WithForms(pattern, n, [&](auto oneUnit, const auto& forms) -> ReplaceAllResult {
        if (replacement.size() == n) {
            return {ReplaceSameLength<oneUnit>(text, n, replacement, forms), false};
        }
        if (replacement.size() < n) {
            return {ReplaceShorter<oneUnit>(text, n, replacement, forms), false};
        }
        return ReplaceLonger<oneUnit>(text, n, replacement, memory, forms);
    });
}
