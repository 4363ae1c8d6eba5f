#include "document/recovery_record.h"

#include <cstring>

namespace {

constexpr char kMark[8] = {'T', 'W', 'K', 'R', 'C', 'V', '0', '1'};
// The mark, four 32-bit sizes and flags, the stamp (8 + 8 + 4 + 4 + 8), the text's length and
// the checksum, which is last.
constexpr std::size_t kChecksumAt = 8 + 4 * 4 + 32 + 8;
constexpr std::size_t kFixedHead = kChecksumAt + 8;
// Paths of the program hold at most 32,767 units.
constexpr std::uint32_t kLongestPath = 32767;

// FNV-1a over every byte of the file but the checksum's own: a damaged or cut file is told
// from a whole one.
std::uint64_t Checksum(std::uint64_t hash, std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t byte : bytes) {
        hash = (hash ^ byte) * 1099511628211ull;
    }
    return hash;
}
constexpr std::uint64_t kChecksumStart = 14695981039346656037ull;

std::uint64_t FileChecksum(std::span<const std::uint8_t> head, std::span<const std::uint8_t> text) {
    const std::uint64_t hash = Checksum(kChecksumStart, head.first(kChecksumAt));
    return Checksum(Checksum(hash, head.subspan(kFixedHead)), text);
}

class Writer {
  public:
    explicit Writer(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    void Number(std::uint64_t value, int size) {
        for (int i = 0; i < size; ++i) {
            bytes_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    }
    void Units(const std::u16string& text) {
        for (const char16_t unit : text) {
            Number(unit, 2);
        }
    }

  private:
    std::vector<std::uint8_t>& bytes_;
};

class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool Number(std::uint64_t& value, int size) {
        if (bytes_.size() < static_cast<std::size_t>(size)) {
            return false;
        }
        value = 0;
        for (int i = 0; i < size; ++i) {
            value |= std::uint64_t{bytes_[i]} << (8 * i);
        }
        bytes_ = bytes_.subspan(size);
        return true;
    }
    bool Units(std::u16string& text, std::uint64_t count) {
        if (count > kLongestPath || bytes_.size() < count * 2) {
            return false;
        }
        text.resize(count);
        for (std::uint64_t i = 0; i < count; ++i) {
            text[i] = static_cast<char16_t>(bytes_[2 * i] | (bytes_[2 * i + 1] << 8));
        }
        bytes_ = bytes_.subspan(count * 2);
        return true;
    }
    std::span<const std::uint8_t> Rest() const { return bytes_; }

  private:
    std::span<const std::uint8_t> bytes_;
};

std::u16string Hexadecimal(std::uint64_t value) {
    std::u16string digits(16, u'0');
    for (int i = 15; i >= 0; --i, value >>= 4) {
        digits[i] = u"0123456789abcdef"[value & 15];
    }
    return digits;
}

} // namespace

std::vector<std::uint8_t> RecoveryFileHead(const RecoveryHeader& header,
                                           std::span<const std::uint8_t> text) {
    std::vector<std::uint8_t> bytes(std::begin(kMark), std::end(kMark));
    bytes.reserve(kFixedHead + 2 * (header.settingsPath.size() + header.documentPath.size()));
    Writer write(bytes);
    const FileStamp stamp = header.stamp.value_or(FileStamp{});
    write.Number(header.settingsPath.size(), 4);
    write.Number(header.documentPath.size(), 4);
    write.Number(header.encoding, 4);
    write.Number(header.stamp ? 1 : 0, 4);
    write.Number(stamp.lastWrite, 8);
    write.Number(stamp.size, 8);
    write.Number(stamp.volume, 4);
    write.Number(0, 4);
    write.Number(stamp.index, 8);
    write.Number(text.size(), 8);
    write.Number(0, 8);
    write.Units(header.settingsPath);
    write.Units(header.documentPath);
    const std::uint64_t checksum = FileChecksum(bytes, text);
    for (int i = 0; i < 8; ++i) {
        bytes[kChecksumAt + i] = static_cast<std::uint8_t>(checksum >> (8 * i));
    }
    return bytes;
}

std::optional<RecoveredText> ReadRecoveryFile(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kFixedHead || std::memcmp(bytes.data(), kMark, sizeof kMark) != 0) {
        return std::nullopt;
    }
    Reader read(bytes.subspan(sizeof kMark));
    std::uint64_t settingsUnits = 0, documentUnits = 0, encoding = 0, stamped = 0, volume = 0,
                  padding = 0, textBytes = 0, checksum = 0;
    RecoveredText recovered;
    FileStamp stamp;
    if (!read.Number(settingsUnits, 4) || !read.Number(documentUnits, 4) ||
        !read.Number(encoding, 4) || !read.Number(stamped, 4) || !read.Number(stamp.lastWrite, 8) ||
        !read.Number(stamp.size, 8) || !read.Number(volume, 4) || !read.Number(padding, 4) ||
        !read.Number(stamp.index, 8) || !read.Number(textBytes, 8) || !read.Number(checksum, 8) ||
        stamped > 1 || textBytes % 2 != 0 ||
        !read.Units(recovered.header.settingsPath, settingsUnits) ||
        !read.Units(recovered.header.documentPath, documentUnits) ||
        read.Rest().size() != textBytes ||
        FileChecksum(bytes.first(bytes.size() - textBytes), read.Rest()) != checksum) {
        return std::nullopt;
    }
    stamp.volume = static_cast<std::uint32_t>(volume);
    if (stamped != 0) {
        recovered.header.stamp = stamp;
    }
    recovered.header.encoding = static_cast<std::uint32_t>(encoding);
    recovered.text = read.Rest();
    return recovered;
}

std::u16string RecoveryFileName(const RecoveryOwner& owner) {
    std::u16string name = u"Tarnwick-";
    for (char c : std::to_string(owner.process)) {
        name += static_cast<char16_t>(c);
    }
    return name + u"-" + Hexadecimal(owner.started) + u".recovery";
}

std::optional<RecoveryOwner> RecoveryFileOwner(UnitView name) {
    constexpr UnitView kPrefix = u"Tarnwick-";
    constexpr UnitView kSuffix = u".recovery";
    if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) {
        return std::nullopt;
    }
    name = name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
    const std::size_t dash = name.find(u'-');
    if (dash == UnitView::npos || dash == 0 || dash > 10 || name.size() - dash - 1 != 16) {
        return std::nullopt;
    }
    RecoveryOwner owner{0, 0};
    for (const char16_t c : name.substr(0, dash)) {
        if (c < u'0' || c > u'9' || owner.process > (UINT32_MAX - (c - u'0')) / 10) {
            return std::nullopt;
        }
        owner.process = owner.process * 10 + (c - u'0');
    }
    for (const char16_t c : name.substr(dash + 1)) {
        const int digit = c >= u'0' && c <= u'9'   ? c - u'0'
                          : c >= u'a' && c <= u'f' ? c - u'a' + 10
                                                   : -1;
        if (digit < 0) {
            return std::nullopt;
        }
        owner.started = owner.started << 4 | static_cast<std::uint64_t>(digit);
    }
    return owner;
}
