// The picture pages on the exact bytes: test pattern, edge blend, colour
// adjust, uniformity.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>

#include "core/session.h"
#include "link/packets.h"
#include "link/pipe_transport.h"
#include "picture/uniformity_registers.h"
#include "scripted_peer.h"
#include "session_on_pipe.h"

namespace lumora {
namespace {

using link::Bytes;
using Packets = std::vector<Bytes>;
using picture::Uniformity;
using Window = std::array<std::uint16_t, 6>;
using std::chrono::milliseconds;

class PictureTest : public ::testing::Test, public testing::SessionOnPipe {
  protected:
    PictureTest() { session->link().open(); }
    Packets take() {
        Packets sent = pipe->written();
        pipe->clearWritten();
        return sent;
    }

    // The session's edge blend pauses 100 ms before each window; this one
    // does not, so that the tests run fast on the same link.
    std::unique_ptr<picture::EdgeBlend> fastBlend() {
        return std::make_unique<picture::EdgeBlend>(session->link(), session->state(),
                                                    session->guard(), milliseconds(0));
    }
    static Bytes width(std::uint8_t ch, int edge, std::uint16_t w) {
        return link::BlendWidthPacket(ch, edge, w);
    }
    static Bytes window(std::uint8_t ch, const Window& values) {
        return link::BlendWindowPacket(ch, values);
    }
    static Bytes reg(std::uint8_t ch, std::uint8_t r, std::uint8_t value) {
        return link::WriteRegister8Packet(ch, r, value);
    }
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
    EXPECT_FALSE(session->work().busy());
}

// The pipe as the line at 115200 baud: it carries 11,520 bytes a second.
class PacedPipe : public link::PipeTransport {
  public:
    static constexpr qint64 kNsPerByte = 86'806;

    PacedPipe() { clock_.start(); }
    void write(std::span<const std::uint8_t> bytes) override {
        PipeTransport::write(bytes);
        written_ += bytes.size();
        freeAt_ = std::max(freeAt_, clock_.nsecsElapsed()) +
                  static_cast<qint64>(bytes.size()) * kNsPerByte;
    }
    std::size_t outputQueued() const override {
        const qint64 ahead = freeAt_ - clock_.nsecsElapsed();
        return ahead > 0 ? static_cast<std::size_t>((ahead + kNsPerByte - 1) / kNsPerByte) : 0;
    }
    std::size_t written() const { return written_; }

  private:
    QElapsedTimer clock_;
    qint64 freeAt_ = 0;
    std::size_t written_ = 0;
};

TEST(UniformityOnTheLine, ResetPaintsShowsWhatTheLineCarriedAndStopsAtClose) {
    auto transport = std::make_unique<PacedPipe>();
    PacedPipe& line = *transport;
    core::Session session(std::move(transport));
    session.link().open();
    session.state().connected = true;
    session.setCurrentChannel(0);

    int ahead = 0;
    int shown = 0;
    QObject::connect(&session.uniformity(), &Uniformity::progress, [&](int sent, int total) {
        if (total > 0) {
            const std::size_t carried = line.written() - line.outputQueued();
            ahead += static_cast<std::size_t>(sent) * 6 > carried ? 1 : 0;
            shown = sent;
        }
    });
    QElapsedTimer sinceTurn;
    qint64 longestGap = 0;
    QTimer turns;
    turns.setInterval(5);
    QObject::connect(&turns, &QTimer::timeout,
                     [&] { longestGap = std::max(longestGap, sinceTurn.restart()); });
    std::size_t writtenAtClose = 0;
    std::size_t queuedAtClose = 0;
    QElapsedTimer sinceClose;
    QTimer::singleShot(1000, &session, [&] {
        writtenAtClose = line.written();
        queuedAtClose = line.outputQueued();
        sinceClose.start();
        session.shutdown();
    });
    sinceTurn.start();
    turns.start();
    session.uniformity().ResetUniformityClick(0);
    const qint64 endedAfterClose = sinceClose.elapsed();

    EXPECT_LE(longestGap, 100);
    EXPECT_EQ(ahead, 0);
    // About a second of line: 11,520 bytes, 1,920 writes.
    EXPECT_GT(shown, 1400);
    EXPECT_LT(shown, 2200);
    EXPECT_EQ(line.written(), writtenAtClose);
    EXPECT_LE(queuedAtClose, Uniformity::kBytesAhead + 11 * 6);
    EXPECT_LT(endedAfterClose, 50);
    EXPECT_FALSE(session.work().busy());
}

TEST_F(PictureTest, EdgeBlendWidthBarsReadTheCurrentChannel) {
    auto blend = fastBlend();
    session->setCurrentChannel(0);
    blend->page(0).width[2] = 300;
    blend->page(0).edgeEnabled[2] = true;
    blend->EdgeCheckBoxClick(2);  // "Top": the width alone
    EXPECT_EQ(take(), (Packets{{0x08, 0x91, 0x00, 0x04, 0x00, 0x2C, 0x01, 0xCA}}));

    // "Bottom" is off: its bar moves only its read-out.
    blend->page(0).width[3] = 120;
    blend->EBSBarChange(0, 3);
    EXPECT_TRUE(take().empty());
    EXPECT_EQ(blend->page(0).widthText[3], "120");

    // A's "Top" bar moved to 310 while B is current: B's box and read-out,
    // but the moved bar's position, not B's stale 400.
    session->setCurrentChannel(1);
    blend->page(1).edgeEnabled[2] = true;
    blend->page(1).width[2] = 400;
    blend->page(0).width[2] = 310;
    blend->EBSBarChange(0, 2);
    EXPECT_EQ(take(), (Packets{width(1, 2, 310)}));
    EXPECT_EQ(blend->page(1).widthText[2], "310");
    EXPECT_EQ(blend->page(0).widthText[2], "50");
    // A side edge places the windows with the current channel's bars.
    blend->page(1).edgeEnabled[0] = true;
    blend->page(1).width[1] = 300;
    blend->page(0).width[0] = 200;
    blend->EBSBarChange(0, 0);
    EXPECT_EQ(take(), (Packets{width(1, 0, 200), window(1, {0, 0, 0, 50, 1080, 1}),
                               window(1, {2, 50, 0, 1570, 1080, 1})}));
}

TEST_F(PictureTest, EdgeBlendSidesPlaceTheWindows) {
    auto blend = fastBlend();
    session->setCurrentChannel(0);
    auto& pg = blend->page(0);
    pg.width[0] = 200;
    pg.width[1] = 300;  // counts although "Right" is off
    pg.edgeEnabled[0] = true;
    blend->EdgeCheckBoxClick(0);
    EXPECT_EQ(take(), (Packets{width(0, 0, 200), window(0, {0, 0, 0, 200, 1080, 1}),
                               window(0, {2, 200, 0, 1420, 1080, 1})}));

    pg.edgeEnabled[1] = false;
    blend->EdgeCheckBoxClick(1);
    EXPECT_EQ(take(), (Packets{width(0, 1, 0), window(0, {2, 200, 0, 1720, 1080, 1}),
                               window(0, {0, 0, 0, 0, 0, 0})}));

    // Both at their widest leave 320 between them.
    pg.width = {800, 800, 50, 50};
    pg.edgeEnabled[1] = true;
    blend->EBSBarChange(0, 1);
    EXPECT_EQ(take(), (Packets{width(0, 1, 800), window(0, {2, 800, 0, 320, 1080, 1}),
                               window(0, {0, 1120, 0, 800, 1080, 1})}));

    pg.edgeEnabled[0] = false;
    blend->EdgeCheckBoxClick(0);
    EXPECT_EQ(take(), (Packets{width(0, 0, 0), window(0, {0, 0, 0, 0, 0, 0}),
                               window(0, {2, 0, 0, 1120, 1080, 1})}));
}

TEST_F(PictureTest, EdgeBlendOnAllSendsOnlyMarkerOffsetsAndGamma) {
    auto blend = fastBlend();
    session->setCurrentChannel(2);
    blend->page(0).edgeEnabled[0] = true;
    blend->page(0).width[0] = 300;
    blend->EdgeCheckBoxClick(0);
    blend->EBSBarChange(0, 0);
    EXPECT_TRUE(take().empty());
    EXPECT_EQ(blend->page(0).widthText[0], "50");

    blend->page(0).marker = true;
    blend->EBMarkerCbClick(0);
    blend->page(0).transition = 12;
    blend->TransitionSBarChange(0);
    blend->page(1).nonTransition = 48;
    blend->NonTransitionSBarChange(1);
    EXPECT_EQ(take(), (Packets{{0x06, 0x92, 0x02, 0x01, 0x00, 0x9B},
                               link::BlendOffsetPacket(2, 0, 12),
                               link::BlendOffsetPacket(2, 2, 48)}));
    EXPECT_EQ(blend->page(0).transitionText, "12");
    EXPECT_EQ(blend->page(1).nonTransitionText, "48");

    // The gamma bar rests on tenths only.
    for (auto [proposed, rest] :
         {std::pair{91, 100}, {95, 100}, {99, 100}, {100, 100}, {241, 250}}) {
        EXPECT_EQ(picture::EdgeBlend::GammaSCBarScroll(proposed), rest) << proposed;
    }
    blend->page(1).gamma = picture::EdgeBlend::GammaSCBarScroll(95);
    blend->GammaSCBarChange(1);
    EXPECT_EQ(take(), (Packets{{0x06, 0x95, 0x02, 0x64, 0x00, 0x01}}));
    EXPECT_EQ(blend->page(1).gammaText, "1");
    for (auto [position, text] : {std::pair{90, "0.9"}, {110, "1.1"}, {250, "2.5"}}) {
        EXPECT_EQ(picture::EdgeBlend::GammaText(position), text);
    }
}

TEST_F(PictureTest, EdgeBlendPauseEndsQuietlyWhenThePortCloses) {
    picture::EdgeBlend blend(session->link(), session->state(), session->guard(),
                             milliseconds(5000));
    blend.page(0).edgeEnabled[0] = true;
    QTimer::singleShot(10, [&] { session->link().close(); });
    const auto start = std::chrono::steady_clock::now();
    blend.EdgeCheckBoxClick(0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(2000));
    EXPECT_EQ(take(), (Packets{width(0, 0, 50)}));
    EXPECT_EQ(session->messages().errorsRaised(), 0);
}

TEST_F(PictureTest, ColourGainAndOffsetRegisters) {
    picture::ColourAdjust& colour = session->colourAdjust();
    colour.page(0).gainEnabled = true;
    colour.page(0).gain[0] = 2047;
    colour.InGainBarChange(0, 0);
    EXPECT_EQ(take(), (Packets{{0x06, 0x20, 0x00, 0x00, 0x05, 0x2B},
                               {0x06, 0x20, 0x00, 0x32, 0xFF, 0x57},
                               {0x06, 0x20, 0x00, 0x33, 0x07, 0x60},
                               {0x06, 0x20, 0x00, 0x00, 0x00, 0x26}}));
    EXPECT_EQ(colour.page(0).gainText[0], "2047");

    // 10-bit two's complement over a low and a high register.
    for (auto [offset, low, high] :
         {std::tuple{-1, 0xFF, 0x03}, {-512, 0x00, 0x02}, {511, 0xFF, 0x01}}) {
        colour.page(0).offset[0] = offset;
        colour.InOffsetBarChange(0, 0);
        EXPECT_EQ(take(), (Packets{reg(0, 0x00, 5), reg(0, 0x38, std::uint8_t(low)),
                                   reg(0, 0x39, std::uint8_t(high)), reg(0, 0x00, 0)}))
            << offset;
    }

    // With "Gain" off a gain bar sends nothing and its read-out stays.
    colour.page(0).gainEnabled = false;
    colour.page(0).gain[1] = 700;
    colour.InGainBarChange(0, 1);
    EXPECT_TRUE(take().empty());
    EXPECT_EQ(colour.page(0).gainText[1], "512");
}

TEST_F(PictureTest, ColourPagesAddressTheirOwnChannel) {
    picture::ColourAdjust& colour = session->colourAdjust();
    session->setCurrentChannel(0);
    colour.page(1).gainEnabled = true;
    colour.page(1).gain = {0x123, 0x456, 0x389};
    colour.InGainEnableCBClick(1);
    Packets expected;
    for (auto [r, value] : {std::pair{0x32, 0x123}, {0x34, 0x456}, {0x36, 0x389}}) {
        for (const Bytes& p :
             {reg(1, 0x00, 5), reg(1, std::uint8_t(r), std::uint8_t(value & 0xFF)),
              reg(1, std::uint8_t(r + 1), std::uint8_t(value >> 8)), reg(1, 0x00, 0)}) {
            expected.push_back(p);
        }
    }
    expected.insert(expected.end(), {reg(1, 0x00, 5), reg(1, 0x1F, 0x20), reg(1, 0x00, 0)});
    EXPECT_EQ(take(), expected);

    // A B slider moved while A is current goes to B and leaves B current.
    session->setCurrentChannel(0);
    colour.page(1).offset[2] = 5;
    colour.InOffsetBarChange(1, 2);
    EXPECT_EQ(take(),
              (Packets{reg(1, 0x00, 5), reg(1, 0x3C, 5), reg(1, 0x3D, 0), reg(1, 0x00, 0)}));
    EXPECT_EQ(session->currentChannel(), 1);

    // A line that fails ends the switch at once, with one message.
    pipe->failWritesWith("WriteFile function failed (Error: 5)");
    colour.InGainEnableCBClick(1);
    EXPECT_EQ(session->messages().errorsRaised(), 1);
    EXPECT_EQ(session->messages().lastError(), "WriteFile function failed (Error: 5)");
}

}  // namespace
}  // namespace lumora
