#include <gtest/gtest.h>
#include <cstdint>
#include <limits>
#include <string>
#include "core/dbcs.h"
#include "core/sizes.h"

namespace {

constexpr std::int64_t Int64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t Int64Min = std::numeric_limits<std::int64_t>::min();

// The two globals are shared by every test; each test leaves them as found.
class SizeGlobals : public testing::Test {
protected:
    void TearDown() override
    {
        SizeUnit = savedUnit_;
        ClusterSize = savedCluster_;
    }

private:
    std::int32_t savedUnit_ = SizeUnit;
    std::int32_t savedCluster_ = ClusterSize;
};

}  // namespace

TEST(CombineSize, TakesBothHalvesUnsigned)
{
    EXPECT_EQ(CombineSize(1, 0), 4294967296);
    EXPECT_EQ(CombineSize(0, 0xFFFFFFFFu), 4294967295);
    EXPECT_EQ(CombineSize(0, 0x80000000u), 2147483648);
    EXPECT_EQ(CombineSize(5, 7), 5 * 4294967296 + 7);
    EXPECT_EQ(CombineSize(0x7FFFFFFFu, 0xFFFFFFFFu), Int64Max);
    EXPECT_EQ(CombineSize(0, 0), 0);
}

TEST(CountNameChars, CountsDoubleByteCharactersOnce)
{
    EXPECT_EQ(CountNameChars(""), 0);
    EXPECT_EQ(CountNameChars("readme.txt"), 10);
    EXPECT_EQ(CountNameChars("\x9E\x40"), 1);
    EXPECT_EQ(CountNameChars("日本語.txt"), 7);
    // Second bytes 0x5C ("\") of 表, ソ and 十.
    EXPECT_EQ(CountNameChars("表ソ十"), 3);
    // Half-width katakana are one byte each.
    EXPECT_EQ(CountNameChars("ｱｲｳｴｵ"), 5);
    std::string longName;
    for (int i = 0; i < 64; ++i)
        longName += "あ";
    ASSERT_EQ(longName.size(), 128u);
    EXPECT_EQ(CountNameChars(longName), 64);
}

TEST(CountNameChars, SemicolonNegatesTheCount)
{
    EXPECT_EQ(CountNameChars("a;b"), -3);
    EXPECT_EQ(CountNameChars(";"), -1);
    EXPECT_EQ(CountNameChars("表;"), -2);
    // A trail byte 0x3B is part of its character, not a ";".
    EXPECT_EQ(CountNameChars("\x81\x3B"), 1);
    EXPECT_EQ(CountNameChars("a\x81;"), 2);
}

TEST(CountNameChars, OddBytesAndTruncatedCharacters)
{
    // A lead byte in the last position is one character.
    EXPECT_EQ(CountNameChars("ab\x81"), 3);
    EXPECT_EQ(CountNameChars("\xFC"), 1);
    // Bytes that never start a double-byte character.
    EXPECT_EQ(CountNameChars("\x80\xA0\xFD\xFE\xFF"), 5);
    EXPECT_EQ(CountNameChars(std::string("a\0b", 3)), 3);
}

TEST(IsLeadByte, MatchesTheShiftJisRanges)
{
    for (int byte = 0; byte < 256; ++byte) {
        const auto b = static_cast<unsigned char>(byte);
        const bool expected = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
        EXPECT_EQ(IsShiftJisLeadByte(b), expected) << byte;
        EXPECT_EQ(IsLeadByte(b), expected) << byte;
    }
}

TEST_F(SizeGlobals, SizeOnDiskRoundsUpToWholeClusters)
{
    ClusterSize = 4096;
    EXPECT_EQ(SizeOnDisk(0), 0);
    EXPECT_EQ(SizeOnDisk(1), 4096);
    EXPECT_EQ(SizeOnDisk(4095), 4096);
    EXPECT_EQ(SizeOnDisk(4096), 4096);
    EXPECT_EQ(SizeOnDisk(4097), 8192);
    EXPECT_EQ(SizeOnDisk(5 * 4294967296), 5 * 4294967296);
    EXPECT_EQ(SizeOnDisk(5 * 4294967296 + 1), 5 * 4294967296 + 4096);
    ClusterSize = 512;
    EXPECT_EQ(SizeOnDisk(511), 512);
    EXPECT_EQ(SizeOnDisk(513), 1024);
}

TEST_F(SizeGlobals, SizeOnDiskBeyondTwoToTheThirtyOneClusters)
{
    ClusterSize = 512;
    const std::int64_t clusters = std::int64_t{1} << 31;
    EXPECT_EQ(SizeOnDisk(clusters * 512), clusters * 512);
    EXPECT_EQ(SizeOnDisk(clusters * 512 + 1), (clusters + 1) * 512);
    EXPECT_EQ(SizeOnDisk(clusters * 3 * 512 - 5), clusters * 3 * 512);
    ClusterSize = 4096;
    EXPECT_EQ(SizeOnDisk(Int64Max - 4095), Int64Max - 4095);
    // No whole cluster above the largest size fits in 64 bits.
    EXPECT_EQ(SizeOnDisk(Int64Max), Int64Max);
}

TEST_F(SizeGlobals, SizeOnDiskWithoutAClusterSizeIsTheSize)
{
    ClusterSize = 0;
    EXPECT_EQ(SizeOnDisk(0), 0);
    EXPECT_EQ(SizeOnDisk(1), 1);
    EXPECT_EQ(SizeOnDisk(4097), 4097);
    EXPECT_EQ(SizeOnDisk(Int64Max), Int64Max);
}

TEST_F(SizeGlobals, ToDisplaySizeInBytesIsTheSize)
{
    UpdateSizeUnit(false);
    EXPECT_EQ(SizeUnit, 1);
    for (std::int64_t size : {std::int64_t{0}, std::int64_t{1}, std::int64_t{1023}, std::int64_t{1024},
                              5 * 4294967296, Int64Max, std::int64_t{-7}, Int64Min})
        EXPECT_EQ(ToDisplaySize(size), size);
}

TEST_F(SizeGlobals, ToDisplaySizeInKilobytes)
{
    UpdateSizeUnit(true);
    EXPECT_EQ(SizeUnit, 1024);
    EXPECT_EQ(ToDisplaySize(0), 0);
    EXPECT_EQ(ToDisplaySize(1), 1);
    EXPECT_EQ(ToDisplaySize(512), 1);
    EXPECT_EQ(ToDisplaySize(1023), 1);
    EXPECT_EQ(ToDisplaySize(1024), 2);
    EXPECT_EQ(ToDisplaySize(1025), 2);
    EXPECT_EQ(ToDisplaySize(2047), 2);
    EXPECT_EQ(ToDisplaySize(2048), 2);
    EXPECT_EQ(ToDisplaySize(3072), 4);
    EXPECT_EQ(ToDisplaySize(4096), 4);
    for (std::int64_t k = 0; k < 3000; ++k) {
        EXPECT_EQ(ToDisplaySize(k * 1024 + 1), k + 1) << k;
        EXPECT_EQ(ToDisplaySize(k * 1024 + 511), k + 1) << k;
        EXPECT_EQ(ToDisplaySize(k * 1024 + 512), k + 1) << k;
        EXPECT_EQ(ToDisplaySize(k * 1024 + 513), k + 1) << k;
        EXPECT_EQ(ToDisplaySize(k * 1024 + 1023), k + 1) << k;
        if (k >= 1) {
            EXPECT_EQ(ToDisplaySize(k * 1024), k % 2 == 0 ? k : k + 1) << k;
        }
    }
    // Folder totals beyond 4 GiB, and the ends of the range without overflow.
    EXPECT_EQ(ToDisplaySize(5 * 4294967296), 5 * 4194304);
    EXPECT_EQ(ToDisplaySize(5 * 4294967296 + 1), 5 * 4194304 + 1);
    EXPECT_EQ(ToDisplaySize(Int64Max), std::int64_t{1} << 53);
    EXPECT_EQ(ToDisplaySize(Int64Min), -(std::int64_t{1} << 53));
}

TEST_F(SizeGlobals, UpdateSizeUnitFollowsTheCheckBox)
{
    UpdateSizeUnit(true);
    EXPECT_EQ(SizeUnit, 1024);
    UpdateSizeUnit(false);
    EXPECT_EQ(SizeUnit, 1);
}
