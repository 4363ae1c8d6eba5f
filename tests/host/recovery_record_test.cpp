#include "document/recovery_record.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::uint8_t> WholeFile(const RecoveryHeader& header, const std::u16string& text) {
    const auto* units = reinterpret_cast<const std::uint8_t*>(text.data());
    const std::span<const std::uint8_t> bytes(units, text.size() * 2);
    std::vector<std::uint8_t> file = RecoveryFileHead(header, bytes);
    file.insert(file.end(), bytes.begin(), bytes.end());
    return file;
}

TEST(RecoveryFile, GivesBackWhatWasWrittenAndRefusesEveryDamage) {
    const RecoveryHeader headers[] = {
        {u"C:\\Tarnwick\\Tarnwick.ini", u"D:\\notes\\\u010Dtvrtek.txt",
         FileStamp{0x01DB12345678ABCDull, 40, 0xA1B2C3D4u, 0x0001000000000042ull}, 411},
        {u"C:\\Tarnwick\\Tarnwick.ini", u"", std::nullopt, 410},
    };
    for (const RecoveryHeader& header : headers) {
        const std::u16string text = u"line\r\n\u010Dnext\U0001F600";
        const std::vector<std::uint8_t> file = WholeFile(header, text);
        const auto read = ReadRecoveryFile(file);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->header.settingsPath, header.settingsPath);
        EXPECT_EQ(read->header.documentPath, header.documentPath);
        EXPECT_EQ(read->header.stamp, header.stamp);
        EXPECT_EQ(read->header.encoding, header.encoding);
        EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(read->text.data()),
                                 read->text.size() / 2),
                  text);
        // Any byte changed, and any cut, is a damaged file.
        for (std::size_t at = 0; at < file.size(); ++at) {
            std::vector<std::uint8_t> damaged = file;
            damaged[at] ^= 0x10;
            EXPECT_FALSE(ReadRecoveryFile(damaged)) << "byte " << at;
            EXPECT_FALSE(ReadRecoveryFile(std::span(file).first(at))) << "cut at " << at;
        }
    }
    EXPECT_FALSE(ReadRecoveryFile({}));
}

TEST(RecoveryFile, NameTellsItsOwnerAndNothingElseIsOne) {
    const RecoveryOwner owners[] = {{4242, 0x01DB12345678ABCDull}, {4294967295u, 0}};
    for (const RecoveryOwner& owner : owners) {
        const std::u16string name = RecoveryFileName(owner);
        EXPECT_EQ(RecoveryFileOwner(name), owner);
    }
    EXPECT_EQ(RecoveryFileName({7, 0xABCull}), u"Tarnwick-7-0000000000000abc.recovery");
    for (const UnitView name :
         {u"Tarnwick-7-0000000000000abc.tmp", u"Tarnwick--0000000000000abc.recovery",
          u"Tarnwick-7-000000000000abc.recovery", u"Tarnwick-4294967296-0000000000000abc.recovery",
          u"Tarnwick-7-0000000000000abg.recovery", u"twk7-1.tmp"}) {
        EXPECT_EQ(RecoveryFileOwner(name), std::nullopt) << std::string(name.begin(), name.end());
    }
}

} // namespace
