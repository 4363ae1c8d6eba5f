#include "document/encoding.h"

UnitView EncodingLabel(EncodingId encoding) {
    return encoding == kEncodingAnsi ? u" ANSI" : u" UTF-16 LE";
}

namespace {

constexpr Recognition kRefused{false, 0, 0};
constexpr Recognition kAnsi{true, kEncodingAnsi, 0};

Recognition TwoByteTest(std::uint32_t v) {
    switch (v & 0xFFFFu) {
    case 0xFEFFu:
        return {true, kEncodingUtf16Le, 2};
    case 0xFFFEu:
        return kRefused;
    default:
        return kAnsi;
    }
}

bool ThreeByteMarkIsUtf8(std::uint32_t v) {
    return (v & 0xFFFFFFu) == 0xBFBBEFu;
}

bool FourByteMarkIsUtf32(std::uint32_t v) {
    return v == 0x0000FEFFu || v == 0xFFFE0000u;
}

} // namespace

Recognition Recognise(std::uint32_t size, const std::array<unsigned char, 4>& firstBytes) {
    const std::uint32_t v = std::uint32_t{firstBytes[0]} | std::uint32_t{firstBytes[1]} << 8 |
                            std::uint32_t{firstBytes[2]} << 16 | std::uint32_t{firstBytes[3]} << 24;
    if (size < 2) {
        return kAnsi;
    }
    if (size == 2) {
        return TwoByteTest(v);
    }
    if (size >= 4 && FourByteMarkIsUtf32(v)) {
        return kRefused;
    }
    if (ThreeByteMarkIsUtf8(v)) {
        return kRefused;
    }
    return TwoByteTest(v);
}

std::size_t CompleteCharactersEnd(std::span<const unsigned char> slice,
                                  const std::array<bool, 256>& leadBytes) {
    std::size_t run = 0;
    while (run < slice.size() && leadBytes[slice[slice.size() - 1 - run]]) {
        ++run;
    }
    return run % 2 == 1 ? slice.size() - 1 : slice.size();
}
