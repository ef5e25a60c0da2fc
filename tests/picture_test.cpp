// The picture pages on the exact bytes: test pattern, edge blend, colour
// adjust, uniformity.
#include <gtest/gtest.h>

#include "core/session.h"
#include "link/packets.h"
#include "link/pipe_transport.h"
#include "picture/uniformity_registers.h"
#include "scripted_peer.h"

namespace lumora {
namespace {

using link::Bytes;
using Packets = std::vector<Bytes>;
using picture::Uniformity;

class PictureTest : public ::testing::Test {
  protected:
    PictureTest() {
        auto transport = std::make_unique<link::PipeTransport>();
        pipe = transport.get();
        session = std::make_unique<core::Session>(std::move(transport));
        session->link().open();
    }
    Packets take() {
        Packets sent = pipe->written();
        pipe->clearWritten();
        return sent;
    }

    link::PipeTransport* pipe = nullptr;
    std::unique_ptr<core::Session> session;
};

TEST_F(PictureTest, TestPatternSwitchColourAndSizes) {
    picture::TestPattern& pattern = session->testPattern();
    session->setCurrentChannel(0);
    pattern.page(0).enabled = true;
    pattern.CBEnablePatternClick(0);
    pattern.page(0).enabled = false;
    pattern.CBEnablePatternClick(0);
    EXPECT_EQ(take(), (Packets{{0x06, 0xA0, 0x00, 0x07, 0x01, 0xAE},
                               {0x06, 0xA0, 0x00, 0x07, 0x00, 0xAD}}));

    // "Cyan" while off sends nothing; switching on then sends code 6.
    pattern.page(0).colourItem = 1;
    pattern.RGPtnColorClick(0);
    EXPECT_TRUE(take().empty());
    pattern.page(0).enabled = true;
    pattern.CBEnablePatternClick(0);
    EXPECT_EQ(take(), (Packets{{0x06, 0xA0, 0x00, 0x06, 0x01, 0xAD}}));

    // Channel A's sizes always go to channel 0; Channel B's to the current one.
    session->setCurrentChannel(1);
    pattern.page(0).horizontal = 100;
    pattern.SBarHGridSizeChange(0);
    pattern.page(1).vertical = 200;
    pattern.SBarVGridSizeChange(1);
    EXPECT_EQ(take(), (Packets{{0x06, 0xA1, 0x00, 0x64, 0x20, 0x2B},
                               {0x06, 0xA1, 0x01, 0x20, 0xC8, 0x90}}));
    EXPECT_EQ(pattern.page(0).horizontalText, "100");
    EXPECT_EQ(pattern.page(1).verticalText, "200");
}

// The bank-1 writes of one point: index low, index high, nine data bytes.
Packets PointWrites(std::uint8_t ch, int entry, const picture::PointData& data) {
    Packets out = {link::WriteRegister8Packet(ch, 0x25, static_cast<std::uint8_t>(entry & 0xFF)),
                   link::WriteRegister8Packet(ch, 0x25, static_cast<std::uint8_t>(entry >> 8))};
    for (std::uint8_t byte : data) {
        out.push_back(link::WriteRegister8Packet(ch, 0x26, byte));
    }
    return out;
}

TEST(UniformityPoint, ThreeCopiesOfOffsetAndGain) {
    EXPECT_EQ(picture::EncodePoint(8191, 0),
              (picture::PointData{0x00, 0x00, 0x00, 0xC0, 0xFF, 0xF7, 0xFF, 0xFD, 0x7F}));
    EXPECT_EQ(picture::EncodePoint(4096, -1),
              (picture::PointData{0xFF, 0xFF, 0xFF, 0x3F, 0x00, 0x04, 0x00, 0x01, 0x40}));
    EXPECT_EQ(picture::GainText(8191), "1.000000");
    EXPECT_EQ(picture::GainText(16383), "2.000000");
    EXPECT_EQ(picture::GainText(0), "0.000122");
}

class UniformityTest : public PictureTest {
  protected:
    UniformityTest() : box(*pipe) {
        session->grid().setPictureSize(1920, 1080);
        session->state().connected = true;
        uni().resetTables();
    }
    picture::Uniformity& uni() { return session->uniformity(); }

    testing::ScriptedPeer box;  // answers the overlay's status reads: idle
};

TEST_F(UniformityTest, UpdateResetAndTheirEnableState) {
    session->setCurrentChannel(0);
    uni().channel(0).cursorX = 5;
    uni().channel(0).cursorY = 2;
    uni().page(0).gain = 8191;
    uni().page(0).offset = 0;
    // As after a settings load: the stored flag on, the page's box off.
    uni().channel(0).enable = 1;
    uni().UnUpdateClick(0);
    Packets update = {link::WriteRegister8Packet(0, 0x00, 1),
                      link::WriteRegister8Packet(0, 0x24, 2)};
    const Packets point = PointWrites(0, 69, picture::EncodePoint(8191, 0));
    update.insert(update.end(), point.begin(), point.end());
    update.push_back(link::WriteRegister8Packet(0, 0x24, 1));  // the stored flag
    update.push_back(link::WriteRegister8Packet(0, 0x00, 0));
    EXPECT_EQ(take(), update);
    EXPECT_EQ(uni().channel(0).gain[69], 8191);

    uni().channel(0).gain[69] = 100;
    uni().ResetUniformityClick(0);
    const Packets reset = take();
    ASSERT_EQ(reset.size(), 7044u);
    EXPECT_EQ(reset[reset.size() - 2], link::WriteRegister8Packet(0, 0x24, 0));  // the page's box
    EXPECT_EQ(uni().channel(0).gain[69], 8191);
    // X outer, Y inner: the second point is (0, 1), entry 32.
    EXPECT_EQ(reset[13], link::WriteRegister8Packet(0, 0x25, 32));
}

TEST_F(UniformityTest, CursorWrapsAndLoadsOrRepeats) {
    session->setCurrentChannel(0);
    uni().channel(0).cursorX = 30;
    uni().BitBtn24Click();  // right at X = 30
    EXPECT_EQ(uni().channel(0).cursorX, 0);
    uni().BitBtn22Click();  // left at X = 0
    EXPECT_EQ(uni().channel(0).cursorX, 30);
    uni().BitBtn21Click();  // up at Y = 0
    EXPECT_EQ(uni().channel(0).cursorY, 17);

    // Auto Repeat off: the sliders take the new point's values, no point data.
    uni().channel(0).gain[Uniformity::Entry(30, 16)] = 4096;
    uni().channel(0).offset[Uniformity::Entry(30, 16)] = -1;
    take();
    uni().BitBtn21Click();
    EXPECT_EQ(uni().page(0).gain, 4096);
    EXPECT_EQ(uni().page(0).offsetText, "-1");
    const Packets moved = take();
    EXPECT_TRUE(std::none_of(moved.begin(), moved.end(),
                             [](const Bytes& p) { return p[1] == 0x20 && p[3] == 0x26; }));
    // Auto Repeat on: the sliders keep theirs and the new point gets them.
    uni().page(0).autoRepeat = true;
    uni().BitBtn23Click();
    EXPECT_EQ(uni().channel(0).gain[Uniformity::Entry(30, 17)], 4096);
    EXPECT_EQ(uni().page(0).gain, 4096);
}

TEST_F(UniformityTest, TheCursorMarkerIsSixFillsWithoutRepeatedRegisters) {
    picture::DrawCursorMarker(session->link(), 1, 2, 1, true);
    // Register numbers of the writes (0x20, 0x22, 0x23) and reads (0x21).
    std::vector<int> regs;
    std::vector<std::uint32_t> addresses;
    for (const Bytes& p : take()) {
        regs.push_back(p[3]);
        if (p[1] == 0x23) {
            addresses.push_back(p[4] | p[5] << 8 | p[6] << 16 |
                                static_cast<std::uint32_t>(p[7]) << 24);
        }
    }
    const std::vector<int> fill = {0x40, 0x55, 0x57, 0x5F, 0x3D, 0x66};
    std::vector<int> expected = {0x00};
    for (int f = 0; f < 6; ++f) {
        expected.insert(expected.end(),
                        f == 4   ? fill.begin() + 3
                        : f == 1 ? fill.begin() + 1
                                 : fill.begin(),
                        fill.end());
    }
    EXPECT_EQ(regs, expected);
    const std::uint32_t point = 0x04C00000 + 2 * 32 + 1 * 65536;
    EXPECT_EQ(addresses, (std::vector<std::uint32_t>{
                             point - 0x8000, point - 0x10, point - 0x8000 - 0x10,
                             point - 0x8000 - 0x10, point + 0x8000 - 0x10, point - 0x8000 + 0x10}));
}

TEST_F(UniformityTest, AllAndLargePicturesStayWithinTheTables) {
    session->setCurrentChannel(2);
    uni().UnUpdateClick(0);
    uni().BitBtn24Click();
    EXPECT_TRUE(take().empty());
    uni().page(0).enable = true;
    uni().CBUniformityEnableClick(0);
    EXPECT_EQ(take(), (Packets{link::WriteRegister8Packet(2, 0x00, 1),
                               link::WriteRegister8Packet(2, 0x24, 1),
                               link::WriteRegister8Packet(2, 0x00, 0)}));

    session->grid().setPictureSize(2560, 1600);
    EXPECT_EQ(uni().lastColumn(), 31);
    EXPECT_EQ(uni().lastRow(), 19);
}

TEST_F(UniformityTest, APortFailingDuringAnUploadEndsItWithOneMessage) {
    session->setCurrentChannel(1);
    int writes = 0;
    pipe->setPeer([&](const Bytes&) {
        if (++writes == 100) {
            pipe->failWritesWith("WriteFile function failed (Error: 5)");
        }
    });
    uni().UploadUniformityGrid();
    EXPECT_EQ(pipe->written().size(), 100u);
    EXPECT_EQ(session->messages().errorsRaised(), 1);
    EXPECT_EQ(session->messages().lastError(), "WriteFile function failed (Error: 5)");
}

}  // namespace
}  // namespace lumora
