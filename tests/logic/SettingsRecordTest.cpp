// The 768-byte settings record, byte for byte.

#include <gtest/gtest.h>

#include "history/SettingsRecord.h"

using history::DecodeSettingsRecord;
using history::EncodeSettingsRecord;
using history::TSettingsRec;

namespace {

std::uint8_t At(const std::string& record, std::size_t offset) {
    return static_cast<std::uint8_t>(record.at(offset));
}

TEST(SettingsRecord, DefaultsAreZerosAndTheVersion) {
    const std::string record = EncodeSettingsRecord(TSettingsRec{});

    ASSERT_EQ(record.size(), 768u);
    std::string expected(768, '\0');
    expected.replace(257, 5, "\x04" "3.42");
    EXPECT_EQ(record, expected);
    EXPECT_TRUE(history::HasCurrentSettingsVersion(record));
}

TEST(SettingsRecord, EveryFieldSitsAtItsOffset) {
    // GIVEN a record built by hand, one distinct value per field
    std::string hand(768, '\0');
    hand.replace(0, 6, "\x05" "C:\\S\\");
    hand[256] = 1;
    hand.replace(257, 5, "\x04" "3.42");
    hand[264] = 1;
    hand[265] = 1;
    hand[266] = static_cast<char>(-3);
    hand.replace(267, 4, "\x03" "-ab");
    hand[368] = 1;
    hand[369] = 1;
    hand[370] = 16;
    hand[371] = static_cast<char>(0xF2);
    hand[372] = 3;
    hand.replace(373, 4, "\x03\x02\x01\x00", 4);
    hand[377] = 0x77;
    hand[378] = 0x78;
    hand[379] = 1;
    hand[380] = 1;
    hand[381] = 1;
    hand[382] = 1;
    hand[383] = 1;
    hand[384] = static_cast<char>(0xE7);  // 999, little-endian
    hand[385] = 0x03;

    // WHEN it is decoded
    const TSettingsRec v = DecodeSettingsRecord(hand);

    // THEN each value is the one at its offset
    EXPECT_EQ(v.ClientPath, "C:\\S\\");
    EXPECT_TRUE(v.StartInTray);
    EXPECT_TRUE(v.HideClient);
    EXPECT_TRUE(v.PowerFailureOnly);
    EXPECT_EQ(v.OldCacheSize, -3);
    EXPECT_EQ(v.ClientParams, "-ab");
    EXPECT_TRUE(v.AutoConnect);
    EXPECT_TRUE(v.SaveGraphSettings);
    EXPECT_EQ(v.GraphScale, 16);
    EXPECT_EQ(v.HiddenKinds, 0xF2);
    EXPECT_EQ(v.TotalMode, 3);
    EXPECT_EQ(v.SignalPriority, (std::array<std::uint8_t, 4>{3, 2, 1, 0}));
    EXPECT_EQ(v.Reserved377, 0x77);
    EXPECT_EQ(v.Reserved378, 0x78);
    EXPECT_EQ(v.DotPlot, 1);
    EXPECT_TRUE(v.IgnoreFast);
    EXPECT_TRUE(v.ConnectPending);
    EXPECT_TRUE(v.MultipleInstances);
    EXPECT_TRUE(v.NoAlerts);
    EXPECT_EQ(v.CacheSize, 999);

    // AND encoding it again gives the same bytes
    EXPECT_EQ(EncodeSettingsRecord(v), hand);
}

TEST(SettingsRecord, LongTextsAreCutToTheirFields) {
    TSettingsRec v;
    v.ClientPath = std::string(300, 'p');
    v.ClientParams = std::string(150, 'q');

    const std::string record = EncodeSettingsRecord(v);

    EXPECT_EQ(At(record, 0), 255);
    EXPECT_EQ(At(record, 256), 0) << "the path must not spill into the next field";
    EXPECT_EQ(At(record, 267), 100);
    EXPECT_EQ(At(record, 368), 0);
    const TSettingsRec back = DecodeSettingsRecord(record);
    EXPECT_EQ(back.ClientPath, std::string(255, 'p'));
    EXPECT_EQ(back.ClientParams, std::string(100, 'q'));
}

TEST(SettingsRecord, NegativeCacheSizeAndFlagsOtherThanOne) {
    std::string record = EncodeSettingsRecord(TSettingsRec{});
    record[384] = static_cast<char>(0xFF);
    record[385] = static_cast<char>(0xFF);
    record[256] = 7;  // any non-zero flag is on

    const TSettingsRec v = DecodeSettingsRecord(record);

    EXPECT_EQ(v.CacheSize, -1);
    EXPECT_TRUE(v.StartInTray);
    EXPECT_EQ(At(EncodeSettingsRecord(v), 256), 1);
}

TEST(SettingsRecord, VersionMustMatchExactly) {
    std::string record = EncodeSettingsRecord(TSettingsRec{});
    EXPECT_TRUE(history::HasCurrentSettingsVersion(record));

    record[257] = 5;  // a longer text that begins with "3.42"
    EXPECT_FALSE(history::HasCurrentSettingsVersion(record));

    record.replace(257, 5, "\x04" "3.41");
    EXPECT_FALSE(history::HasCurrentSettingsVersion(record));

    // A short file is read as what it has and zeros after it.
    EXPECT_FALSE(history::HasCurrentSettingsVersion(record.substr(0, 259)));
    EXPECT_TRUE(history::HasCurrentSettingsVersion(EncodeSettingsRecord({}).substr(0, 262)));
}

}  // namespace
