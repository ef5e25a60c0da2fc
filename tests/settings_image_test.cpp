// The warp settings file: its byte layout, the round trip, and what a short,
// long or foreign file does to the state it is read into.
#include <gtest/gtest.h>

#include <bit>
#include <vector>

#include "settings/settings_image.h"

using lumora::settings::Axis;
using lumora::settings::ConnectionGainTable;
using lumora::settings::ConnectionOffsetTable;
using lumora::settings::CornerShiftIndex;
using lumora::settings::ReadSettingsImage;
using lumora::settings::SettingsBytes;
using lumora::settings::SettingsImage;
using lumora::settings::WriteSettingsImage;
namespace warp = lumora::warp;

namespace {

constexpr std::size_t kFileSize = 15728;

std::vector<std::uint8_t> At(const SettingsBytes& bytes, std::size_t offset, std::size_t count) {
    return {bytes.begin() + static_cast<std::ptrdiff_t>(offset),
            bytes.begin() + static_cast<std::ptrdiff_t>(offset + count)};
}

std::int32_t Int32At(const SettingsBytes& bytes, std::size_t offset) {
    return static_cast<std::int32_t>(
        std::uint32_t{bytes[offset]} | std::uint32_t{bytes[offset + 1]} << 8 |
        std::uint32_t{bytes[offset + 2]} << 16 | std::uint32_t{bytes[offset + 3]} << 24);
}

// Every number different from every other, and different for each seed.
SettingsImage Distinct(int seed) {
    SettingsImage s;
    for (int ch = 0; ch < 2; ++ch) {
        const auto c = static_cast<std::size_t>(ch);
        const int base = seed * 100000 + ch * 10000;
        s.gridSize[c] = base + 1;
        s.internalGrid[c] = base + 2;
        for (int p = 0; p < warp::kLatticePoints; ++p) {
            s.grids[c][static_cast<std::size_t>(p)] = {static_cast<float>(base + p) / 3.0f,
                                                       -static_cast<float>(base + p) * 0.7f};
        }
        for (std::size_t e = 0; e < s.uniformityGain[c].size(); ++e) {
            s.uniformityGain[c][e] = base + 3000 + static_cast<int>(e);
            s.uniformityOffset[c][e] = -(base + 4000 + static_cast<int>(e));
        }
        s.uniformityEnable[c] = base + 5;
        s.colourAdjust[c] = {base + 10, base + 11, base + 12, base + 13,
                             base + 14, base + 15, base + 16};
        s.edgeBlend[c] = {base + 20, base + 21, base + 22, base + 23, base + 24, base + 25,
                          base + 26, base + 27, base + 28, base + 29, base + 30, base + 31};
    }
    for (std::size_t i = 0; i < s.cornerShift.size(); ++i) {
        s.cornerShift[i] = static_cast<std::int16_t>(seed * 1000 - 300 + static_cast<int>(i) * 37);
    }
    return s;
}

}  // namespace

TEST(SettingsImage, HeaderAndSize) {
    const SettingsBytes bytes = WriteSettingsImage(SettingsImage{});
    ASSERT_EQ(bytes.size(), kFileSize);
    EXPECT_EQ(At(bytes, 0, 16), (std::vector<std::uint8_t>{'Z', 'M', 'Q', 'L', 'W', 'F', 0x01, 0, 0,
                                                           0, 0, 0, 0, 0, 0, 0}));
}

TEST(SettingsImage, StartValuesAndConnectionDefaults) {
    const SettingsBytes bytes = WriteSettingsImage(SettingsImage{});
    const std::vector<std::int32_t> colour = {0, 512, 512, 512, 0, 0, 0};
    const std::vector<std::int32_t> blend = {0, 0, 50, 0, 50, 0, 50, 0, 50, 0, 0, 90};
    for (std::size_t base : {std::size_t{15576}, std::size_t{15604}}) {
        for (std::size_t i = 0; i < colour.size(); ++i) {
            EXPECT_EQ(Int32At(bytes, base + 4 * i), colour[i]) << "at " << base + 4 * i;
        }
    }
    for (std::size_t base : {std::size_t{15632}, std::size_t{15680}}) {
        for (std::size_t i = 0; i < blend.size(); ++i) {
            EXPECT_EQ(Int32At(bytes, base + 4 * i), blend[i]) << "at " << base + 4 * i;
        }
    }

    const auto gain = ConnectionGainTable();
    const auto offset = ConnectionOffsetTable();
    for (std::size_t e = 0; e < gain.size(); ++e) {
        EXPECT_EQ(gain[e], e < 640 ? 8191 : 0) << "entry " << e;
        EXPECT_EQ(offset[e], 0) << "entry " << e;
    }
}

TEST(SettingsImage, BlocksLieAtTheirOffsets) {
    SettingsImage s;
    s.gridSize = {3, 2};
    s.internalGrid = {1, 0};
    s.grids[0][0] = {1.5f, -2.0f};
    s.grids[1][0] = {0.25f, 1080.0f};
    s.grids[0][warp::PointIndex(5, 11)] = {1920.0f, 0.5f};
    s.grids[1][warp::PointIndex(16, 16)] = {-1.0f, 3.0f};
    s.cornerShift[0] = -2;
    s.cornerShift[1] = 0x1234;
    s.cornerShift[CornerShiftIndex(warp::kTopRight, Axis::kX, 0)] = 10;
    s.cornerShift[CornerShiftIndex(warp::kBottomLeft, Axis::kY, 1)] = -10;
    s.cornerShift[CornerShiftIndex(warp::kBottomRight, Axis::kY, 1)] = 7;
    s.uniformityGain[0][0] = 16383;
    s.uniformityGain[1][679] = 0x0A0B0C0D;
    s.uniformityOffset[0][0] = -512;
    s.uniformityOffset[1][69] = 511;
    s.uniformityEnable = {1, 0x0100};
    s.colourAdjust[0].gainEnable = 1;
    s.colourAdjust[1].blueOffset = -1;
    s.edgeBlend[0].marker = 1;
    s.edgeBlend[1].gammaX100 = 250;
    const SettingsBytes b = WriteSettingsImage(s);

    using V = std::vector<std::uint8_t>;
    EXPECT_EQ(At(b, 16, 16), (V{3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(At(b, 32, 8), (V{0x00, 0x00, 0xC0, 0x3F, 0x00, 0x00, 0x00, 0xC0}));
    EXPECT_EQ(At(b, 32 + 2312, 8), (V{0x00, 0x00, 0x80, 0x3E, 0x00, 0x00, 0x87, 0x44}));
    // Column 5, row 11 of A; column 16, row 16 of B (the last point of the block).
    EXPECT_EQ(At(b, 32 + 5 * 136 + 11 * 8, 8), (V{0x00, 0x00, 0xF0, 0x44, 0x00, 0x00, 0x00, 0x3F}));
    EXPECT_EQ(At(b, 2344 + 16 * 136 + 16 * 8, 8),
              (V{0x00, 0x00, 0x80, 0xBF, 0x00, 0x00, 0x40, 0x40}));
    // TL X A, TL X B, then TL Y; TR X A is the fifth pair, BL Y B the second
    // half of the fourth, BR Y B the very last.
    EXPECT_EQ(At(b, 4656, 4), (V{0xFE, 0xFF, 0x34, 0x12}));
    EXPECT_EQ(At(b, 4656 + 16, 2), (V{0x0A, 0x00}));
    EXPECT_EQ(At(b, 4656 + 14, 2), (V{0xF6, 0xFF}));
    EXPECT_EQ(At(b, 4656 + 30, 2), (V{0x07, 0x00}));
    EXPECT_EQ(At(b, 4688, 4), (V{0xFF, 0x3F, 0x00, 0x00}));
    EXPECT_EQ(At(b, 10124, 4), (V{0x0D, 0x0C, 0x0B, 0x0A}));
    EXPECT_EQ(At(b, 10128, 4), (V{0x00, 0xFE, 0xFF, 0xFF}));
    EXPECT_EQ(At(b, 12848 + 69 * 4, 4), (V{0xFF, 0x01, 0x00, 0x00}));
    EXPECT_EQ(At(b, 15568, 8), (V{1, 0, 0, 0, 0, 1, 0, 0}));
    EXPECT_EQ(At(b, 15576, 8), (V{1, 0, 0, 0, 0x00, 0x02, 0x00, 0x00}));
    EXPECT_EQ(At(b, 15604 + 24, 4), (V{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(At(b, 15632, 4), (V{1, 0, 0, 0}));
    EXPECT_EQ(At(b, 15680, 4), (V{0, 0, 0, 0}));
    EXPECT_EQ(At(b, 15724, 4), (V{0xFA, 0x00, 0x00, 0x00}));
}

TEST(SettingsImage, RoundTripKeepsEveryField) {
    const SettingsImage saved = Distinct(1);
    SettingsImage loaded = Distinct(2);
    const auto result = ReadSettingsImage(WriteSettingsImage(saved), loaded);
    EXPECT_EQ(result.bytesUsed, kFileSize);
    EXPECT_TRUE(result.complete);
    EXPECT_TRUE(result.headerMatches);
    EXPECT_FALSE(result.firstShortBlock);
    EXPECT_EQ(loaded, saved);
    EXPECT_EQ(loaded.uniformityGain[1][679], saved.uniformityGain[1][679]);
    EXPECT_EQ(loaded.grids[1][warp::PointIndex(16, 16)], saved.grids[1][warp::PointIndex(16, 16)]);
}

TEST(SettingsImage, ValuesAreTakenUnchecked) {
    SettingsImage odd;
    odd.gridSize = {5, -1};
    odd.internalGrid = {7, 0};
    odd.uniformityGain[0][0] = 99999;
    odd.edgeBlend[1].leftWidth = 10;
    SettingsImage loaded;
    ReadSettingsImage(WriteSettingsImage(odd), loaded);
    EXPECT_EQ(loaded.gridSize[0], 5);
    EXPECT_EQ(loaded.gridSize[1], -1);
    EXPECT_EQ(loaded.internalGrid[0], 7);
    EXPECT_EQ(loaded.uniformityGain[0][0], 99999);
    EXPECT_EQ(loaded.edgeBlend[1].leftWidth, 10);
}

TEST(SettingsImage, ShortFileKeepsEverythingBeyondTheCut) {
    const SettingsImage before = Distinct(3);
    const SettingsBytes oldBytes = WriteSettingsImage(before);
    const SettingsBytes file = WriteSettingsImage(Distinct(4));
    std::vector<std::size_t> cuts = {0, 1, 15, 16, 17, 15727};
    for (std::size_t boundary : {20, 24, 28, 32, 2344, 4656, 4688, 7408, 10128, 12848, 15568, 15572,
                                 15576, 15604, 15632, 15680}) {
        cuts.insert(cuts.end(), {boundary - 1, boundary, boundary + 1});
    }
    for (std::size_t cut : cuts) {
        SCOPED_TRACE(cut);
        SettingsImage state = before;
        const auto result =
            ReadSettingsImage(std::span<const std::uint8_t>(file.data(), cut), state);
        EXPECT_EQ(result.bytesUsed, cut);
        EXPECT_FALSE(result.complete);
        EXPECT_EQ(result.headerMatches, cut >= 16);
        ASSERT_TRUE(result.firstShortBlock);
        EXPECT_LE(result.firstShortBlock->offset, cut);
        EXPECT_GT(result.firstShortBlock->offset + result.firstShortBlock->size, cut);

        const SettingsBytes after = WriteSettingsImage(state);
        for (std::size_t i = 16; i < kFileSize; ++i) {
            ASSERT_EQ(after[i], i < cut ? file[i] : oldBytes[i]) << "byte " << i;
        }
    }
}

TEST(SettingsImage, ShortFileNamesWhereItEnds) {
    const SettingsBytes file = WriteSettingsImage(SettingsImage{});
    const auto endsIn = [&](std::size_t cut) {
        SettingsImage state;
        const auto result =
            ReadSettingsImage(std::span<const std::uint8_t>(file.data(), cut), state);
        return result.firstShortBlock ? std::string(result.firstShortBlock->name) : std::string();
    };
    EXPECT_EQ(endsIn(0), "header");
    EXPECT_EQ(endsIn(16), "grid size A");
    EXPECT_EQ(endsIn(4655), "warp grid B");
    EXPECT_EQ(endsIn(4656), "corner shifts");
    EXPECT_EQ(endsIn(10128), "uniformity offset A");
    EXPECT_EQ(endsIn(15727), "edge blend B");
}

TEST(SettingsImage, CutInsideANumberKeepsItsOldHighBytes) {
    SettingsImage state;
    state.gridSize[1] = 0x01020304;
    state.grids[0][0].x = std::bit_cast<float>(0x11223344u);
    state.cornerShift[0] = 0x5566;
    SettingsImage next;
    next.gridSize[1] = 5;
    next.grids[0][0].x = std::bit_cast<float>(0xAABBCCDDu);
    next.cornerShift[0] = -1;
    const SettingsBytes file = WriteSettingsImage(next);

    SettingsImage a = state;
    ReadSettingsImage(std::span<const std::uint8_t>(file.data(), 21), a);
    EXPECT_EQ(a.gridSize[1], 0x01020305);

    SettingsImage b = state;
    ReadSettingsImage(std::span<const std::uint8_t>(file.data(), 34), b);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(b.grids[0][0].x), 0x1122CCDDu);
    EXPECT_EQ(b.gridSize[1], 5);

    SettingsImage c = state;
    ReadSettingsImage(std::span<const std::uint8_t>(file.data(), 4657), c);
    EXPECT_EQ(static_cast<std::uint16_t>(c.cornerShift[0]), 0x55FFu);
}

TEST(SettingsImage, LongOrForeignFilesAreTakenAsTheyAre) {
    const SettingsImage saved = Distinct(5);
    const SettingsBytes bytes = WriteSettingsImage(saved);

    std::vector<std::uint8_t> longer(bytes.begin(), bytes.end());
    longer.resize(kFileSize + 100, 0xEE);
    SettingsImage state = Distinct(6);
    auto result = ReadSettingsImage(longer, state);
    EXPECT_EQ(result.bytesUsed, kFileSize);
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(state, saved);

    std::vector<std::uint8_t> foreign(bytes.begin(), bytes.end());
    foreign[0] = 'X';
    foreign[15] = 1;
    state = Distinct(6);
    result = ReadSettingsImage(foreign, state);
    EXPECT_FALSE(result.headerMatches);
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(state, saved);
}
