// The warp settings file: its byte layout, the round trip, and what a short,
// long or foreign file does to the state it is read into.
#include <gtest/gtest.h>

#include <bit>
#include <vector>

#include "settings/settings_image.h"

using lumora::settings::Axis;
using lumora::settings::CornerShiftIndex;
using lumora::settings::ReadSettingsImage;
using lumora::settings::SettingsBytes;
using lumora::settings::SettingsImage;
using lumora::settings::WriteSettingsImage;
namespace warp = lumora::warp;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes At(const SettingsBytes& b, std::size_t offset, std::size_t count) {
    return {b.begin() + static_cast<long>(offset), b.begin() + static_cast<long>(offset + count)};
}

// Every number different from every other, and different for each seed.
SettingsImage Distinct(int seed) {
    SettingsImage s;
    for (std::size_t c = 0; c < 2; ++c) {
        const int base = seed * 100000 + static_cast<int>(c) * 10000;
        s.gridSize[c] = base + 1;
        s.internalGrid[c] = base + 2;
        s.uniformityEnable[c] = base + 3;
        for (std::size_t p = 0; p < s.grids[c].size(); ++p) {
            s.grids[c][p] = {static_cast<float>(base + p) / 3.0f, -0.7f * (base + p)};
        }
        for (std::size_t e = 0; e < s.uniformityGain[c].size(); ++e) {
            s.uniformityGain[c][e] = base + 1000 + static_cast<int>(e);
            s.uniformityOffset[c][e] = -base - 2000 - static_cast<int>(e);
        }
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

TEST(SettingsImage, StartValuesAndConnectionDefaults) {
    const SettingsBytes b = WriteSettingsImage(SettingsImage{});
    ASSERT_EQ(b.size(), 15728u);
    EXPECT_EQ(At(b, 0, 16), (Bytes{'Z', 'M', 'Q', 'L', 'W', 'F', 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    const Bytes colour = {0, 0, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 2,
                          0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // 0, 512 x3, 0 x3
    Bytes blend(48, 0);
    for (std::size_t field : {2, 4, 6, 8}) {
        blend[field * 4] = 50;
    }
    blend[44] = 90;
    EXPECT_EQ(At(b, 15576, 28), colour);
    EXPECT_EQ(At(b, 15604, 28), colour);
    EXPECT_EQ(At(b, 15632, 48), blend);
    EXPECT_EQ(At(b, 15680, 48), blend);

    const auto gain = lumora::settings::ConnectionGainTable();
    const auto offset = lumora::settings::ConnectionOffsetTable();
    for (std::size_t e = 0; e < gain.size(); ++e) {
        ASSERT_EQ(gain[e], e < 640 ? 8191 : 0) << e;
        ASSERT_EQ(offset[e], 0) << e;
    }
}

TEST(SettingsImage, BlocksLieAtTheirOffsets) {
    SettingsImage s;
    s.gridSize = {3, 2};
    s.internalGrid = {1, 0};
    s.grids[0][0] = {1.5f, -2.0f};
    s.grids[1][0] = {0.25f, 1080.0f};
    s.grids[0][warp::PointIndex(5, 11)] = {1920.0f, 0.5f};
    s.cornerShift = {-2, 0x1234};
    s.cornerShift[CornerShiftIndex(warp::kTopRight, Axis::kX, 0)] = 10;
    s.cornerShift[CornerShiftIndex(warp::kBottomLeft, Axis::kY, 1)] = -10;
    s.uniformityGain[0][0] = 16383;
    s.uniformityGain[1][679] = 0x0A0B0C0D;
    s.uniformityOffset[0][0] = -512;
    s.uniformityEnable = {1, 0x0100};
    s.colourAdjust[0].gainEnable = 1;
    s.edgeBlend[0].marker = 1;
    s.edgeBlend[1].gammaX100 = 250;
    const SettingsBytes b = WriteSettingsImage(s);

    EXPECT_EQ(At(b, 16, 16), (Bytes{3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(At(b, 32, 8), (Bytes{0, 0, 0xC0, 0x3F, 0, 0, 0, 0xC0}));
    EXPECT_EQ(At(b, 32 + 2312, 8), (Bytes{0, 0, 0x80, 0x3E, 0, 0, 0x87, 0x44}));
    EXPECT_EQ(At(b, 32 + 5 * 136 + 11 * 8, 8), (Bytes{0, 0, 0xF0, 0x44, 0, 0, 0, 0x3F}));
    // Pairs TL X, TL Y, BL X, BL Y, TR X, ...: TR X A is the fifth, BL Y B ends the fourth.
    EXPECT_EQ(At(b, 4656, 4), (Bytes{0xFE, 0xFF, 0x34, 0x12}));
    EXPECT_EQ(At(b, 4656 + 16, 2), (Bytes{0x0A, 0x00}));
    EXPECT_EQ(At(b, 4656 + 14, 2), (Bytes{0xF6, 0xFF}));
    EXPECT_EQ(At(b, 4688, 4), (Bytes{0xFF, 0x3F, 0, 0}));
    EXPECT_EQ(At(b, 10124, 4), (Bytes{0x0D, 0x0C, 0x0B, 0x0A}));
    EXPECT_EQ(At(b, 10128, 4), (Bytes{0x00, 0xFE, 0xFF, 0xFF}));
    EXPECT_EQ(At(b, 15568, 8), (Bytes{1, 0, 0, 0, 0, 1, 0, 0}));
    EXPECT_EQ(At(b, 15576, 8), (Bytes{1, 0, 0, 0, 0, 2, 0, 0}));
    EXPECT_EQ(At(b, 15632, 4), (Bytes{1, 0, 0, 0}));
    EXPECT_EQ(At(b, 15680, 4), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(At(b, 15724, 4), (Bytes{0xFA, 0, 0, 0}));
}

TEST(SettingsImage, AnyWholeFileIsTakenAsItIs) {
    SettingsImage saved = Distinct(1);
    saved.gridSize[0] = 5;  // not a grid size: still read as it stands
    const SettingsBytes bytes = WriteSettingsImage(saved);
    SettingsImage loaded = Distinct(2);
    auto result = ReadSettingsImage(bytes, loaded);
    EXPECT_TRUE(result.complete && result.headerMatches && !result.firstShortBlock);
    EXPECT_EQ(loaded, saved);

    // A foreign header and bytes past the end change nothing in what is read.
    Bytes longer(bytes.begin(), bytes.end());
    longer[0] = 'X';
    longer.resize(15728 + 100, 0xEE);
    loaded = Distinct(2);
    result = ReadSettingsImage(longer, loaded);
    EXPECT_EQ(result.bytesUsed, 15728u);
    EXPECT_TRUE(result.complete);
    EXPECT_FALSE(result.headerMatches);
    EXPECT_EQ(loaded, saved);
}

TEST(SettingsImage, ShortFileKeepsEverythingBeyondTheCut) {
    const SettingsImage before = Distinct(3);
    const SettingsBytes old = WriteSettingsImage(before);
    const SettingsBytes file = WriteSettingsImage(Distinct(4));
    std::vector<std::size_t> cuts = {0, 1, 15, 16, 17, 15727};
    for (std::size_t boundary : {20, 24, 28, 32, 2344, 4656, 4688, 7408, 10128, 12848, 15568, 15572,
                                 15576, 15604, 15632, 15680}) {
        cuts.insert(cuts.end(), {boundary - 1, boundary, boundary + 1});
    }
    for (std::size_t cut : cuts) {
        SCOPED_TRACE(cut);
        SettingsImage state = before;
        const auto result = ReadSettingsImage(std::span(file.data(), cut), state);
        EXPECT_EQ(result.bytesUsed, cut);
        EXPECT_FALSE(result.complete);
        EXPECT_EQ(result.headerMatches, cut >= 16);
        ASSERT_TRUE(result.firstShortBlock);
        EXPECT_LE(result.firstShortBlock->offset, cut);
        EXPECT_GT(result.firstShortBlock->end(), cut);
        const SettingsBytes after = WriteSettingsImage(state);
        for (std::size_t i = 16; i < after.size(); ++i) {
            ASSERT_EQ(after[i], i < cut ? file[i] : old[i]) << "byte " << i;
        }
    }
    SettingsImage state;
    EXPECT_EQ(ReadSettingsImage(std::span(file.data(), 4655), state).firstShortBlock->name,
              "warp grid B");
    EXPECT_EQ(ReadSettingsImage(std::span(file.data(), 4656), state).firstShortBlock->name,
              "corner shifts");
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
    ReadSettingsImage(std::span(file.data(), 21), a);
    EXPECT_EQ(a.gridSize[1], 0x01020305);
    ReadSettingsImage(std::span(file.data(), 34), a);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(a.grids[0][0].x), 0x1122CCDDu);
    ReadSettingsImage(std::span(file.data(), 4657), a);
    EXPECT_EQ(static_cast<std::uint16_t>(a.cornerShift[0]), 0x55FFu);
}
