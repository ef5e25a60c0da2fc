#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <random>
#include <vector>

#include "link/packets.h"
#include "sim/box_model.h"

namespace lumora::sim {
namespace {

using link::Bytes;
using std::chrono::milliseconds;

const Bytes kConnect{0x04, 0x30, 0x00, 0x34};
const Bytes kWrite16Ch1{0x07, 0x22, 0x01, 0x55, 0x23, 0x01, 0xA3};
const Bytes kWrite32Ch0{0x09, 0x23, 0x00, 0x5F, 0x00, 0x00, 0xC0, 0x04, 0x4F};

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

// `packet` with its last (checksum) byte replaced.
Bytes WithChecksum(const Bytes& packet, std::uint8_t checksum) {
    Bytes out(packet.begin(), packet.end() - 1);
    out.push_back(checksum);
    return out;
}

std::vector<Reply> Replies(const std::vector<Exchange>& exchanges) {
    std::vector<Reply> out;
    for (const Exchange& e : exchanges) {
        if (e.reply) {
            out.push_back(*e.reply);
        }
    }
    return out;
}

class BoxModelTest : public ::testing::Test {
  protected:
    std::vector<Reply> Send(const Bytes& bytes, int atMs = 0) {
        return Replies(model.feed(bytes, milliseconds(atMs)));
    }
    std::uint8_t Read(std::uint8_t channel, std::uint8_t reg, int atMs = 0) {
        const std::vector<Reply> replies = Send(link::ReadRegisterPacket(channel, reg), atMs);
        EXPECT_EQ(replies.size(), 1u);
        EXPECT_EQ(replies.at(0)[0], 0x21);
        EXPECT_EQ(replies.at(0)[2], 0x00);
        return replies.at(0)[1];
    }

    BoxModel model;
};

// --- Framing -------------------------------------------------------------

TEST_F(BoxModelTest, ConnectRequestIsAnsweredWithThirtyAndTheVersion) {
    EXPECT_EQ(Send(kConnect), (std::vector<Reply>{{0x30, 0x01, 0x00}}));
    EXPECT_EQ(model.goodPackets(), 1);
    EXPECT_EQ(model.badPackets(), 0);
}

TEST_F(BoxModelTest, BadChecksumIsDiscardedAndTheNextPacketStillAnswered) {
    const Bytes corrupt = WithChecksum(kWrite16Ch1, 0xA4);
    const std::vector<Exchange> out = model.feed(Concat({corrupt, kConnect}), milliseconds(0));

    ASSERT_EQ(out.size(), 2u);
    EXPECT_FALSE(out[0].packet.good);
    EXPECT_EQ(out[0].packet.bytes, corrupt);
    EXPECT_TRUE(out[1].packet.good);
    ASSERT_TRUE(out[1].reply);
    EXPECT_EQ((*out[1].reply)[0], 0x30);
    EXPECT_EQ(model.badPackets(), 1);
    EXPECT_EQ(model.storedRegister(1, 0, 0x55), 0x00);  // the corrupt write did nothing
}

TEST_F(BoxModelTest, LengthBytesOutsideFourToFiftyEightAreSkipped) {
    const std::vector<Reply> replies = Send(Concat({{0x03, 0x00, 0x3B, 0xFF}, kConnect}));
    EXPECT_EQ(replies.size(), 1u);
    EXPECT_EQ(model.badPackets(), 1);  // one bad record for the whole run of garbage
    EXPECT_EQ(model.packets().front().bytes, (Bytes{0x03, 0x00, 0x3B, 0xFF}));
}

TEST_F(BoxModelTest, PacketSplitAcrossFeedsIsAnsweredOnItsLastByte) {
    for (std::size_t i = 0; i + 1 < kConnect.size(); ++i) {
        EXPECT_TRUE(Send({kConnect[i]}, static_cast<int>(i)).empty());
    }
    EXPECT_EQ(Send({kConnect.back()}, 3).size(), 1u);
    EXPECT_EQ(model.badPackets(), 0);
}

TEST_F(BoxModelTest, MergedPacketsAreAnsweredInOrder) {
    const Bytes merged = Concat({kConnect, link::ReadRegisterPacket(0, 0x45), kConnect});
    const std::vector<Reply> replies = Send(merged);
    ASSERT_EQ(replies.size(), 3u);
    EXPECT_EQ(replies[0][0], 0x30);
    EXPECT_EQ(replies[1], (Reply{0x21, 0x80, 0x00}));
    EXPECT_EQ(replies[2][0], 0x30);
}

TEST_F(BoxModelTest, PartialPacketIsDroppedAfterSilence) {
    EXPECT_TRUE(Send({0x07, 0x22, 0x01}, 0).empty());
    // 25 ms later the rest of that write can no longer be coming.
    EXPECT_EQ(Send(kConnect, 25).size(), 1u);
    EXPECT_EQ(model.badPackets(), 1);
    EXPECT_EQ(model.packets().front().bytes, (Bytes{0x07, 0x22, 0x01}));
}

TEST_F(BoxModelTest, PartialPacketWithinTheSilenceLimitIsJoined) {
    EXPECT_TRUE(Send({0x07, 0x22, 0x01}, 0).empty());
    Send({0x55, 0x23, 0x01, 0xA3}, 10);
    EXPECT_EQ(model.badPackets(), 0);
    EXPECT_EQ(model.storedRegister(1, 0, 0x55), 0x23);
}

TEST_F(BoxModelTest, PartialPacketReadLateIsGivenUpOnlyOnceTheLineIsSeenQuiet) {
    // A busy reader takes the rest 25 ms later, but it may have been waiting
    // all along: joined.
    EXPECT_TRUE(model.feed(Bytes{0x07, 0x22, 0x01}, milliseconds(0), Intake::kWaited).empty());
    EXPECT_EQ(model.feed(Bytes{0x55, 0x23, 0x01, 0xA3}, milliseconds(25), Intake::kWaited).size(),
              1u);
    EXPECT_EQ(model.storedRegister(1, 0, 0x55), 0x23);

    // The line seen idle: 19 ms after the last byte is not yet silence, 20 ms is.
    model.feed(Bytes{0x07, 0x22, 0x01}, milliseconds(100), Intake::kWaited);
    EXPECT_TRUE(model.feed({}, milliseconds(119)).empty());
    const std::vector<Exchange> out = model.feed({}, milliseconds(120));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].packet.bytes, (Bytes{0x07, 0x22, 0x01}));
    EXPECT_EQ(model.badPackets(), 1);
}

TEST_F(BoxModelTest, StrayLengthByteAheadOfAPacketCostsOnlyTheWait) {
    // 0x3A promises a 58-byte packet that never comes; once the line has
    // been quiet, the connect request behind it is still served.
    EXPECT_TRUE(Send(Concat({{0x3A}, kConnect}), 0).empty());
    const std::vector<Exchange> out = model.feed({}, milliseconds(20));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].packet.bytes, (Bytes{0x3A}));
    EXPECT_FALSE(out[0].packet.good);
    ASSERT_TRUE(out[1].reply);
    EXPECT_EQ((*out[1].reply)[0], 0x30);
}

TEST_F(BoxModelTest, GarbageAfterAFailedPacketDoesNotHoldBackALaterPacket) {
    // After a bad checksum the box does not wait for a length byte inside the
    // rejected bytes (0x22 would promise 34 bytes) when a valid packet follows.
    const Bytes corrupt = WithChecksum(kWrite16Ch1, 0x00);
    EXPECT_EQ(Send(Concat({corrupt, kConnect})).size(), 1u);
}

TEST_F(BoxModelTest, ResetLineForgetsAHalfPacket) {
    Send({0x07, 0x22, 0x01});
    model.resetLine();
    EXPECT_EQ(Send(kConnect).size(), 1u);
    EXPECT_EQ(model.badPackets(), 0);
}

TEST_F(BoxModelTest, EndlessGarbageNeverGrowsOneRecordPastItsCap) {
    const Bytes junk(2000, 0xFF);
    Send(junk);
    Send(kConnect, 50);
    for (const ReceivedPacket& p : model.packets()) {
        EXPECT_LE(p.bytes.size(), 256u);
    }
    EXPECT_EQ(model.goodPackets(), 1);
}

TEST_F(BoxModelTest, RandomNoiseInRandomPiecesNeverStopsTheBox) {
    std::mt19937 random(1234);
    int now = 0;
    for (int piece = 0; piece < 2000; ++piece) {
        Bytes bytes(random() % 70);
        for (std::uint8_t& b : bytes) {
            b = static_cast<std::uint8_t>(random());
        }
        now += static_cast<int>(random() % 30);
        model.feed(bytes, milliseconds(now));
    }
    const std::vector<Reply> replies = Send(kConnect, now + 100);
    ASSERT_FALSE(replies.empty());
    EXPECT_EQ(replies.back()[0], 0x30);
}

// --- Registers ------------------------------------------------------------

TEST_F(BoxModelTest, SixteenBitWriteStoresLowThenHighByte) {
    EXPECT_TRUE(Send(kWrite16Ch1).empty());
    EXPECT_EQ(model.storedRegister(1, 0, 0x55), 0x23);
    EXPECT_EQ(model.storedRegister(1, 0, 0x56), 0x01);
    EXPECT_EQ(model.storedRegister(0, 0, 0x55), 0x00);
    EXPECT_EQ(Read(1, 0x55), 0x23);
}

TEST_F(BoxModelTest, ThirtyTwoBitWriteStoresFourBytesLittleEndian) {
    Send(kWrite32Ch0);
    EXPECT_EQ(model.storedRegister(0, 0, 0x5F), 0x00);
    EXPECT_EQ(model.storedRegister(0, 0, 0x60), 0x00);
    EXPECT_EQ(model.storedRegister(0, 0, 0x61), 0xC0);
    EXPECT_EQ(model.storedRegister(0, 0, 0x62), 0x04);
    EXPECT_EQ(model.storedRegister(1, 0, 0x61), 0x00);
}

TEST_F(BoxModelTest, ChannelAllWritesBothChannels) {
    Send(link::WriteRegister8Packet(2, 0x40, 0x88));
    EXPECT_EQ(model.storedRegister(0, 0, 0x40), 0x88);
    EXPECT_EQ(model.storedRegister(1, 0, 0x40), 0x88);
}

TEST_F(BoxModelTest, RegisterZeroSelectsTheBankPerChannel) {
    Send(link::WriteRegister8Packet(0, 0x00, 0x03));
    Send(link::WriteRegister8Packet(0, 0x60, 0x01));
    EXPECT_EQ(model.selectedBank(0), 3);
    EXPECT_EQ(model.selectedBank(1), 0);
    EXPECT_EQ(model.storedRegister(0, 3, 0x60), 0x01);
    EXPECT_EQ(model.storedRegister(0, 0, 0x60), 0x00);
    EXPECT_EQ(Read(0, 0x60), 0x01);
    Send(link::WriteRegister8Packet(0, 0x00, 0x00));
    EXPECT_EQ(Read(0, 0x60), 0x00);
}

TEST_F(BoxModelTest, WriteEndingPastRegisterFFDoesNotTouchTheBankSelect) {
    Send(link::WriteRegister32Packet(0, 0xFE, 0x44332211));
    EXPECT_EQ(model.storedRegister(0, 0, 0xFE), 0x11);
    EXPECT_EQ(model.storedRegister(0, 0, 0xFF), 0x22);
    EXPECT_EQ(model.selectedBank(0), 0);
}

TEST_F(BoxModelTest, PictureSizeReadsInAnyBankAndChannel) {
    EXPECT_EQ(Read(0, 0x45), 0x80);  // 1920 = 0x0780
    EXPECT_EQ(Read(0, 0x46), 0x07);
    EXPECT_EQ(Read(0, 0x49), 0x38);  // 1080 = 0x0438
    EXPECT_EQ(Read(0, 0x4A), 0x04);
    Send(link::WriteRegister8Packet(1, 0x00, 0x05));
    EXPECT_EQ(Read(1, 0x45), 0x80);
    EXPECT_EQ(Read(1, 0x4A), 0x04);
}

TEST(BoxModelSize, ConfiguredSizeIsReported) {
    BoxModel model(ModelConfig{.width = 1280, .height = 800});
    const auto read = [&](std::uint8_t reg) {
        return Replies(model.feed(link::ReadRegisterPacket(0, reg), milliseconds(0))).at(0)[1];
    };
    EXPECT_EQ(read(0x45), 0x00);  // 0x0500
    EXPECT_EQ(read(0x46), 0x05);
    EXPECT_EQ(read(0x49), 0x20);  // 0x0320
    EXPECT_EQ(read(0x4A), 0x03);
}

TEST_F(BoxModelTest, StatusIsBusyForTwoMillisecondsAfterAFillStarts) {
    EXPECT_EQ(Read(0, 0x66, 100), 0x00);
    Send(link::WriteRegister8Packet(0, 0x3D, 0x41), 100);
    EXPECT_EQ(Read(0, 0x66, 100), 0x01);
    EXPECT_EQ(Read(0, 0x66, 101), 0x01);
    EXPECT_EQ(Read(0, 0x66, 102), 0x00);
    EXPECT_EQ(Read(1, 0x66, 100), 0x00);  // the other channel's engine is idle
}

TEST(BoxModelFill, BusyTimeIsConfigurableAndOnlyBankZeroStartsAFill) {
    BoxModel model(ModelConfig{.fillBusy = milliseconds(10)});
    const auto status = [&](int atMs) {
        return Replies(model.feed(link::ReadRegisterPacket(0, 0x66), milliseconds(atMs))).at(0)[1];
    };
    model.feed(link::WriteRegister8Packet(0, 0x00, 0x03), milliseconds(0));
    model.feed(link::WriteRegister8Packet(0, 0x3D, 0x41), milliseconds(0));
    model.feed(link::WriteRegister8Packet(0, 0x00, 0x00), milliseconds(0));
    EXPECT_EQ(status(0), 0x00);
    model.feed(link::WriteRegister8Packet(0, 0x3D, 0x41), milliseconds(0));
    EXPECT_EQ(status(9), 0x01);
    EXPECT_EQ(status(10), 0x00);
}

TEST_F(BoxModelTest, FillRecordsTheEngineRegisters) {
    // Marker box of point (8, 8) at 1920 x 1080: 24 x 24 at (948, 528).
    const std::uint32_t address = 0x4C00000 + 528 * 1024 + 474;
    Send(link::WriteRegister8Packet(0, 0x00, 0x00));
    Send(link::WriteRegister8Packet(0, 0x40, 0x88));
    Send(link::WriteRegister16Packet(0, 0x55, 11));
    Send(link::WriteRegister16Packet(0, 0x57, 23));
    Send(link::WriteRegister32Packet(0, 0x5F, address));
    Send(link::WriteRegister8Packet(0, 0x3D, 0x41));
    ASSERT_EQ(model.fills().size(), 1u);
    const Fill& fill = model.fills()[0];
    EXPECT_EQ(fill.channel, 0);
    EXPECT_EQ(fill.colour, 0x88);
    EXPECT_EQ(fill.width, 11);
    EXPECT_EQ(fill.height, 23);
    EXPECT_EQ(fill.address, address);
}

// --- Other commands --------------------------------------------------------

TEST_F(BoxModelTest, WarpResetIsAcknowledged) {
    EXPECT_EQ(Send(link::WarpResetPacket(1)), (std::vector<Reply>{{0x31, 0x00, 0x00}}));
}

TEST_F(BoxModelTest, PictureCommandsAreTakenSilentlyAndRecorded) {
    const std::vector<Bytes> packets = {
        link::BlendWidthPacket(0, 3, 100),     link::BlendGammaPacket(1, 22),
        link::PatternEnablePacket(0, 1, true), link::FourCornerMovePacket(0, 2, 0, 5),
        link::FourCornerResetPacket(1),        link::DiagnosticPacket(0xF0)};
    for (const Bytes& p : packets) {
        EXPECT_TRUE(Send(p).empty());
    }
    EXPECT_EQ(model.goodPackets(), static_cast<int>(packets.size()));
    EXPECT_EQ(model.packetsWithCode(0x91), std::vector<Bytes>{packets[0]});
    EXPECT_EQ(model.packets().size(), packets.size());
}

TEST_F(BoxModelTest, ReadWithTheWrongLengthGetsNoReply) {
    EXPECT_TRUE(Send(link::FramePacket(0x21, Bytes{0x00, 0x45, 0x00})).empty());
}

// --- Picture settings ------------------------------------------------------

// One uniformity point as the tool writes it: the index low then high, then
// nine data bytes.
Bytes PointWrites(std::uint8_t channel, int x, int y, const Bytes& data) {
    const int index = y * 32 + x;
    Bytes out = Concat({link::WriteRegister8Packet(channel, 0x25, index & 0xFF),
                        link::WriteRegister8Packet(channel, 0x25, index >> 8)});
    for (std::uint8_t byte : data) {
        out = Concat({out, link::WriteRegister8Packet(channel, 0x26, byte)});
    }
    return out;
}

TEST_F(BoxModelTest, PictureSettingsLandWhereThePacketsPutThem) {
    const Bytes gain8191Offset0{0x00, 0x00, 0x00, 0xC0, 0xFF, 0xF7, 0xFF, 0xFD, 0x7F};
    const Bytes gain4096OffsetMinus1{0xFF, 0xFF, 0xFF, 0x3F, 0x00, 0x04, 0x00, 0x01, 0x40};
    Send(Concat({link::WriteRegister8Packet(0, 0x00, 1), link::WriteRegister8Packet(0, 0x24, 2),
                 PointWrites(0, 5, 2, gain4096OffsetMinus1),
                 PointWrites(0, 31, 19, gain4096OffsetMinus1),
                 PointWrites(0, 31, 19, gain8191Offset0)}));
    EXPECT_EQ(model.picture(0).uniformity.mode, 2);
    EXPECT_FALSE(model.picture(0).uniformity.enabled);
    Send(Concat({link::WriteRegister8Packet(0, 0x24, 1), link::WriteRegister8Packet(0, 0x00, 0)}));

    const UniformityState& uniformity = model.picture(0).uniformity;
    EXPECT_EQ(uniformity.at(5, 2), (UniformityPoint{4096, -1}));
    EXPECT_EQ(uniformity.at(31, 19), (UniformityPoint{8191, 0}));
    EXPECT_EQ(uniformity.at(4, 2), (UniformityPoint{8191, 0}));  // untouched neighbour
    EXPECT_EQ(uniformity.mode, 1);
    EXPECT_TRUE(uniformity.enabled);
    EXPECT_EQ(model.picture(1).uniformity.at(5, 2), (UniformityPoint{8191, 0}));

    // Transition window x 0, y 0, 200 x 1080, enabled, on "All".
    Send({0x10, 0x94, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC8, 0x00, 0x38, 0x04, 0x01, 0x00,
          0xAB});
    for (int channel : {0, 1}) {
        EXPECT_EQ(model.picture(channel).blend.transitionWindow, (BlendWindow{0, 0, 200, 1080, 1}));
        EXPECT_EQ(model.picture(channel).blend.nonTransitionWindow, BlendWindow{});
    }

    // Channel B, bank 5: red offset 0x3FF (-1), red gain 2047, gain enable on.
    Send(Concat(
        {link::WriteRegister8Packet(1, 0x00, 5), link::WriteRegister8Packet(1, 0x38, 0xFF),
         link::WriteRegister8Packet(1, 0x39, 0x03), link::WriteRegister8Packet(1, 0x32, 0xFF),
         link::WriteRegister8Packet(1, 0x33, 0x07), link::WriteRegister8Packet(1, 0x1F, 0x20)}));
    const ColourState colour = model.colour(1);
    EXPECT_EQ(colour.offsets, (std::array<std::int16_t, 3>{-1, 0, 0}));
    EXPECT_EQ(colour.gains, (std::array<std::uint16_t, 3>{2047, 0, 0}));
    EXPECT_TRUE(colour.gainEnabled);
    EXPECT_FALSE(model.colour(0).gainEnabled);
}

// --- Warp maps -------------------------------------------------------------

std::array<std::int16_t, link::kMapBlockEntries> Entries(int first) {
    std::array<std::int16_t, link::kMapBlockEntries> e{};
    for (std::size_t i = 0; i < e.size(); ++i) {
        e[i] = static_cast<std::int16_t>(first - static_cast<int>(i) * 7);
    }
    return e;
}

Bytes Block(std::uint8_t command, std::uint8_t table, std::uint8_t block, std::uint8_t offset,
            int first) {
    link::MapBlock packet{};
    const auto entries = Entries(first);
    link::BuildMapBlockPacket(packet, command, table, block, offset, entries);
    return Bytes(packet.begin(), packet.end());
}

TEST_F(BoxModelTest, LiveBlockLandsInItsColumnAndRows) {
    // Third part of column 5 of the Y table: 3A E0 01 05 34 ...
    const Bytes block = Block(0xE0, 1, 5, 52, 40);
    ASSERT_EQ(Bytes(block.begin(), block.begin() + 5), (Bytes{0x3A, 0xE0, 0x01, 0x05, 0x34}));
    EXPECT_EQ(Send(block), (std::vector<Reply>{{0xE0, 0x00, 0x00}}));

    const MapTables& tables = model.liveReceiving();
    const auto entries = Entries(40);
    for (int i = 0; i < 26; ++i) {
        EXPECT_EQ(tables.at(1, 5, 52 + i), entries[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_EQ(tables.at(1, 5, 51), 0);
    EXPECT_EQ(tables.at(0, 5, 52), 0);  // X table untouched
    EXPECT_EQ(tables.at(1, 4, 52), 0);
    EXPECT_LT(tables.at(1, 5, 77), 0);  // negative entries survive
}

TEST_F(BoxModelTest, LiveMapIsCommittedToTheChannelNamedByE1) {
    Send(Block(0xE0, 0, 0, 0, 1000));
    EXPECT_FALSE(model.liveMap(1).has_value());
    EXPECT_EQ(Send({0x04, 0xE1, 0x01, 0xE6}), (std::vector<Reply>{{0xE1, 0x00, 0x00}}));
    ASSERT_TRUE(model.liveMap(1).has_value());
    EXPECT_FALSE(model.liveMap(0).has_value());
    EXPECT_EQ(model.liveMap(1)->at(0, 0, 0), 1000);
    EXPECT_EQ(model.liveMap(1)->at(0, 0, 25), 1000 - 25 * 7);

    // Blocks after the commit do not change the committed map.
    Send(Block(0xE0, 0, 0, 0, -5));
    EXPECT_EQ(model.liveMap(1)->at(0, 0, 0), 1000);
}

TEST_F(BoxModelTest, SaveBlocksGoToTheSlotNamedByE3AndPass) {
    Send(Block(0xE2, 0, 124, 26, 300));
    EXPECT_EQ(model.liveReceiving().at(0, 124, 26), 0);  // not the live tables
    EXPECT_EQ(Send({0x05, 0xE3, 0x00, 0x00, 0xE8}), (std::vector<Reply>{{0xE3, 0x00, 0x00}}));
    Send(Block(0xE2, 0, 124, 26, 600));
    EXPECT_EQ(Send({0x05, 0xE3, 0x00, 0x01, 0xE9}).size(), 1u);
    Send(link::StoreSlotPacket(9, 1));

    ASSERT_TRUE(model.slot(0, 0) && model.slot(0, 1) && model.slot(9, 1));
    EXPECT_EQ(model.slot(0, 0)->at(0, 124, 26), 300);
    EXPECT_EQ(model.slot(0, 1)->at(0, 124, 26), 600);
    EXPECT_EQ(model.slot(9, 1)->at(0, 124, 26), 600);
    EXPECT_FALSE(model.slot(9, 0).has_value());
    EXPECT_FALSE(model.liveMap(0).has_value());
}

TEST_F(BoxModelTest, OutOfRangeBlocksAreAcknowledgedButStoreNothingOutside) {
    EXPECT_EQ(Send(Block(0xE0, 2, 0, 0, 1)).size(), 1u);    // no table 2
    EXPECT_EQ(Send(Block(0xE0, 0, 125, 0, 1)).size(), 1u);  // no column 125
    EXPECT_EQ(Send(Block(0xE0, 0, 3, 70, 9)).size(), 1u);   // rows 70..77 fit
    EXPECT_EQ(model.liveReceiving().at(0, 3, 77), 9 - 7 * 7);
    EXPECT_EQ(Send(link::StoreSlotPacket(10, 0)).size(), 1u);  // no slot 10
    for (int slot = 0; slot < BoxModel::kSlots; ++slot) {
        EXPECT_FALSE(model.slot(slot, 0).has_value()) << slot;
    }
}

}  // namespace
}  // namespace lumora::sim
