// The recovery file: what a running copy keeps of a modified document's text, so that a copy
// started after a crash can offer it back. Little-endian: a mark, the sizes, the file's stamp,
// a checksum, then the settings file's path, the document's path and the text in UTF-16 LE.
// Its name tells the copy that wrote it: "Tarnwick-<process id>-<start time>.recovery", the
// start time as sixteen hexadecimal digits, so that a reused process id is not taken for the
// owner.
#ifndef TARNWICK_DOCUMENT_RECOVERY_RECORD_H
#define TARNWICK_DOCUMENT_RECOVERY_RECORD_H

#include "app/text_units.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// What tells one version of a file from another: its last write time, size, volume and index.
struct FileStamp {
    std::uint64_t lastWrite = 0;
    std::uint64_t size = 0;
    std::uint32_t volume = 0;
    std::uint64_t index = 0;

    bool operator==(const FileStamp&) const = default;
};

struct RecoveryHeader {
    std::u16string settingsPath;
    // Empty for a document that was never saved.
    std::u16string documentPath;
    std::optional<FileStamp> stamp;
    std::uint32_t encoding = 0;
};

struct RecoveredText {
    RecoveryHeader header;
    // The text's UTF-16 LE bytes, inside the bytes that were read.
    std::span<const std::uint8_t> text;
};

// The bytes that stand before the text's bytes in a recovery file of that text.
std::vector<std::uint8_t> RecoveryFileHead(const RecoveryHeader& header,
                                           std::span<const std::uint8_t> text);
// The content of a whole recovery file; nothing when it is damaged or no recovery file at all.
std::optional<RecoveredText> ReadRecoveryFile(std::span<const std::uint8_t> bytes);

struct RecoveryOwner {
    std::uint32_t process;
    std::uint64_t started;

    bool operator==(const RecoveryOwner&) const = default;
};

std::u16string RecoveryFileName(const RecoveryOwner& owner);
// The copy that wrote a recovery file of that name; nothing for any other name.
std::optional<RecoveryOwner> RecoveryFileOwner(UnitView name);
inline constexpr char16_t kRecoveryFilePattern[] = u"Tarnwick-*.recovery";

#endif
