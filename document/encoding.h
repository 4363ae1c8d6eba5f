// The two encodings of a document on disk and the recognition of a file's byte-order mark.
#ifndef TARNWICK_DOCUMENT_ENCODING_H
#define TARNWICK_DOCUMENT_ENCODING_H

#include "app/text_units.h"

#include <array>
#include <cstdint>

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

#endif
