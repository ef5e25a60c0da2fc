// Packet bytes as they must appear on the wire.
#include <gtest/gtest.h>

#include <array>
#include <numeric>

#include "link/packets.h"

namespace lk = lumora::link;
using lk::Bytes;

TEST(Packets, RegisterAccessAndConnection) {
    EXPECT_EQ(lk::ConnectRequestPacket(), (Bytes{0x04, 0x30, 0x00, 0x34}));
    EXPECT_EQ(lk::WriteRegister16Packet(1, 0x55, 0x0123),
              (Bytes{0x07, 0x22, 0x01, 0x55, 0x23, 0x01, 0xA3}));
    EXPECT_EQ(lk::WriteRegister32Packet(0, 0x5F, 0x04C00000),
              (Bytes{0x09, 0x23, 0x00, 0x5F, 0x00, 0x00, 0xC0, 0x04, 0x4F}));
    EXPECT_EQ(lk::WriteRegister8Packet(0, 0x00, 0x05), (Bytes{0x06, 0x20, 0x00, 0x00, 0x05, 0x2B}));
    EXPECT_EQ(lk::ReadRegisterPacket(0, 0x45), (Bytes{0x05, 0x21, 0x00, 0x45, 0x6B}));
    EXPECT_EQ(lk::WarpResetPacket(1), (Bytes{0x04, 0x31, 0x01, 0x36}));
}

TEST(Packets, ChecksumWrapsModulo256) {
    // Header 3A E0 00 00 00 sums to 0x11A; one entry of 0x0089 brings the
    // first 57 bytes to 0x1A3.
    std::array<std::int16_t, lk::kMapBlockEntries> entries{};
    entries[0] = 0x89;
    lk::MapBlock block{};
    lk::BuildMapBlockPacket(block, lk::code::kLiveBlock, 0, 0, 0, entries);
    EXPECT_EQ(std::accumulate(block.begin(), block.end() - 1, 0), 0x1A3);
    EXPECT_EQ(block[57], 0xA3);
    EXPECT_EQ(lk::PacketChecksum(Bytes{0xFF, 0xFF, 0x03}), 0x01);
}

TEST(Packets, MapBlockLayout) {
    std::array<std::int16_t, lk::kMapBlockEntries> entries{};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i] = static_cast<std::int16_t>(-1 - static_cast<int>(i) * 256);
    }
    lk::MapBlock block{};
    lk::BuildMapBlockPacket(block, lk::code::kLiveBlock, 1, 5, 52, entries);
    EXPECT_EQ((Bytes(block.begin(), block.begin() + 5)), (Bytes{0x3A, 0xE0, 0x01, 0x05, 0x34}));
    EXPECT_EQ(block[5], 0xFF);  // -1, little-endian
    EXPECT_EQ(block[6], 0xFF);
    EXPECT_EQ(block[7], 0xFF);  // -257 = 0xFEFF
    EXPECT_EQ(block[8], 0xFE);
    EXPECT_EQ(lk::LiveTransferEndPacket(1), (Bytes{0x04, 0xE1, 0x01, 0xE6}));
    EXPECT_EQ(lk::StoreSlotPacket(0, 0), (Bytes{0x05, 0xE3, 0x00, 0x00, 0xE8}));
    EXPECT_EQ(lk::StoreSlotPacket(0, 1), (Bytes{0x05, 0xE3, 0x00, 0x01, 0xE9}));
}

TEST(Packets, BlendCommands) {
    const Bytes width = lk::BlendWidthPacket(0, 3, 300);
    ASSERT_EQ(width.size(), 8u);
    EXPECT_EQ(width[1], 0x91);
    EXPECT_EQ(width[3], 0x08);  // edge 3: mask 8
    EXPECT_EQ(width[4], 0x00);
    EXPECT_EQ(width[5], 0x2C);  // 300
    EXPECT_EQ(width[6], 0x01);
    for (int edge = 0; edge < 4; ++edge) {
        EXPECT_EQ(lk::BlendWidthPacket(1, edge, 50)[3], 1 << edge);
    }
    const Bytes window = lk::BlendWindowPacket(2, {0, 200, 0, 1420, 1080, 1});
    ASSERT_EQ(window.size(), 16u);
    EXPECT_EQ(window[2], 0x02);  // "All" goes out as channel byte 2
    EXPECT_EQ((Bytes(window.begin() + 3, window.end() - 1)),
              (Bytes{0x00, 0x00, 0xC8, 0x00, 0x00, 0x00, 0x8C, 0x05, 0x38, 0x04, 0x01, 0x00}));
    EXPECT_EQ(lk::BlendMarkerPacket(0, true), (Bytes{0x06, 0x92, 0x00, 0x01, 0x00, 0x99}));
    EXPECT_EQ(lk::BlendOffsetPacket(0, 2, 48).size(), 8u);
    EXPECT_EQ(lk::BlendGammaPacket(0, 100), (Bytes{0x06, 0x95, 0x00, 0x64, 0x00, 0xFF}));
}

TEST(Packets, FourCornerMoveAmounts) {
    // Up and left move by minus the step, down and right by plus it; byte 4 is
    // bit 0 of the direction.
    const Bytes up = lk::FourCornerMovePacket(0, 7, 0, 5);
    ASSERT_EQ(up.size(), 8u);
    EXPECT_EQ((Bytes(up.begin() + 2, up.end() - 1)), (Bytes{0x00, 0x07, 0x00, 0xFB, 0xFF}));
    const Bytes right = lk::FourCornerMovePacket(0, 7, 3, 5);
    EXPECT_EQ((Bytes(right.begin() + 4, right.end() - 1)), (Bytes{0x01, 0x05, 0x00}));
    const Bytes down = lk::FourCornerMovePacket(0, 7, 2, 50);
    EXPECT_EQ((Bytes(down.begin() + 4, down.end() - 1)), (Bytes{0x00, 0x32, 0x00}));
    const Bytes left = lk::FourCornerMovePacket(0, 0, 1, 1);
    EXPECT_EQ((Bytes(left.begin() + 4, left.end() - 1)), (Bytes{0x01, 0xFF, 0xFF}));
    EXPECT_EQ(lk::FourCornerModePacket(0, 1), (Bytes{0x05, 0x70, 0x00, 0x01, 0x76}));
    EXPECT_EQ(lk::FourCornerResetPacket(1), (Bytes{0x04, 0x10, 0x01, 0x15}));
}

TEST(Packets, PatternAndDiagnostics) {
    EXPECT_EQ(lk::PatternEnablePacket(0, 7, true), (Bytes{0x06, 0xA0, 0x00, 0x07, 0x01, 0xAE}));
    EXPECT_EQ(lk::PatternGridSizePacket(0, 100, 32), (Bytes{0x06, 0xA1, 0x00, 0x64, 0x20, 0x2B}));
    EXPECT_EQ(lk::DiagnosticPacket(0xF0), (Bytes{0x06, 0xF0, 0xF0, 0xF0, 0xF0, 0xC6}));
    EXPECT_EQ(lk::DiagnosticPacket(0xF1), (Bytes{0x06, 0xF1, 0xF0, 0xF0, 0xF0, 0xC7}));
}
