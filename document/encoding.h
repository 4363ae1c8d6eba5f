// The two encodings of a document on disk and the recognition of a file's byte-order mark.
#ifndef TARNWICK_DOCUMENT_ENCODING_H
#define TARNWICK_DOCUMENT_ENCODING_H

#include "app/text_units.h"

#include <array>
#include <cstdint>
#include <span>

// Encoding ids are also the ids of the two Encoding menu commands.
using EncodingId = std::uint32_t;
inline constexpr EncodingId kEncodingAnsi = 410;
inline constexpr EncodingId kEncodingUtf16Le = 411;

// The status bar label of an encoding; every id other than ANSI is written as UTF-16 LE.
UnitView EncodingLabel(EncodingId encoding);

inline constexpr std::array<unsigned char, 2> kUtf16LeMark = {0xFF, 0xFE};

struct Recognition {
    bool accepted;
    EncodingId encoding;      // when accepted
    std::uint32_t markLength; // 0 or 2
};

// The encoding of a file from its size (the low 32 bits) and its first four bytes, read into
// a zero-filled buffer. UTF-8, UTF-16 BE and both UTF-32 marks are refused; a file without
// a mark is ANSI whatever its content.
Recognition Recognise(std::uint32_t size, const std::array<unsigned char, 4>& firstBytes);

// Where a slice of double-byte text may end so that no character is cut: the slice's length, or
// one less when its last byte is a lead byte waiting for its trail byte. The slice must start at
// a character's start. Lead byte values also occur as trail bytes, so the run of lead values at
// the end is counted back to the first byte that can only end a character: an odd run ends in a
// lead byte.
std::size_t CompleteCharactersEnd(std::span<const unsigned char> slice,
                                  const std::array<bool, 256>& leadBytes);

#endif
