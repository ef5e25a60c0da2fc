#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <chrono>
#include <cstdint>

#include "link/packets.h"
#include "overlay_image_probe.h"
#include "sim/box_model.h"
#include "sim/overlay_png.h"
#include "sim/overlay_refresh.h"

namespace lumora::sim {
namespace {

using link::Bytes;
using probe::FindLitComponents;
using probe::LitComponent;
using probe::LitComponents;
using std::chrono::milliseconds;

constexpr std::uint32_t kBase = 0x4C00000;
constexpr std::uint8_t kMarker = 0x88;

class OverlayTest : public ::testing::Test {
  protected:
    void Send(const Bytes& packet) { model.feed(packet, milliseconds(0)); }

    // The engine writes of one fill, register values as given.
    void FillRegisters(std::uint8_t channel, std::uint16_t widthReg, std::uint16_t heightReg,
                       std::uint32_t address, std::uint8_t colour) {
        Send(link::WriteRegister8Packet(channel, 0x00, 0x00));
        Send(link::WriteRegister8Packet(channel, 0x40, colour));
        Send(link::WriteRegister16Packet(channel, 0x55, widthReg));
        Send(link::WriteRegister16Packet(channel, 0x57, heightReg));
        Send(link::WriteRegister32Packet(channel, 0x5F, address));
        Send(link::WriteRegister8Packet(channel, 0x3D, 0x41));
    }
    // A pixel rectangle turned into registers the way the host does it.
    void Fill(std::uint8_t channel, int x, int y, int w, int h, std::uint8_t colour) {
        FillRegisters(channel, static_cast<std::uint16_t>((w / 2 - 1) & 0xFFF),
                      static_cast<std::uint16_t>((h - 1) & 0xFFF),
                      (kBase + static_cast<std::uint32_t>(y * 1024 + x / 2)) & 0x7FFFFFF, colour);
    }
    void FullClear(std::uint8_t channel) {
        FillRegisters(channel, 1920 / 2 - 1, 1080 - 1, kBase, 0x00);
        Send(link::WriteRegister8Packet(channel, 0x3D, 0x00));
    }
    LitComponents Drawn(int channel) const {
        const OverlayMemory& memory = model.overlay(channel);
        return FindLitComponents(memory.width(), memory.height(),
                                 [&](int x, int y) { return memory.pixel(x, y) != 0; });
    }

    BoxModel model;  // 1920 x 1080
};

void ExpectBox(const LitComponent& c, int left, int top, int w, int h, int pixels) {
    EXPECT_EQ(c.left, left);
    EXPECT_EQ(c.top, top);
    EXPECT_EQ(c.width(), w);
    EXPECT_EQ(c.height(), h);
    EXPECT_EQ(c.pixels, pixels);
}

// --- Fills at their pixels -----------------------------------------------

TEST_F(OverlayTest, SelectionFrameAndDotAroundPointEightEight) {
    FillRegisters(0, 11, 23, kBase + 528 * 1024 + 474, kMarker);
    LitComponents drawn = Drawn(0);
    ASSERT_EQ(drawn.size(), 1u);
    ExpectBox(drawn.components[0], 948, 528, 24, 24, 24 * 24);

    Fill(0, 950, 530, 20, 20, 0x00);
    Fill(0, 956, 536, 8, 8, kMarker);
    drawn = Drawn(0);
    ASSERT_EQ(drawn.size(), 2u);
    ExpectBox(*drawn.at(948, 528), 948, 528, 24, 24, 24 * 24 - 20 * 20);
    ExpectBox(*drawn.at(956, 536), 956, 536, 8, 8, 64);
    EXPECT_EQ(model.overlay(0).pixel(971, 551), kMarker);
    EXPECT_EQ(model.overlay(0).pixel(950, 530), 0x00);
    EXPECT_EQ(model.overlay(0).pixel(972, 528), 0x00);
    EXPECT_EQ(Drawn(1).size(), 0u);  // the other channel's memory is its own
}

TEST_F(OverlayTest, FullClearEmptiesTheWholeMemory) {
    Fill(0, 0, 0, 16, 16, kMarker);
    Fill(0, 1904, 1064, 16, 16, kMarker);
    Fill(1, 948, 528, 24, 24, kMarker);
    FullClear(0);
    EXPECT_EQ(Drawn(0).size(), 0u);
    EXPECT_EQ(Drawn(1).size(), 1u);

    FullClear(2);  // "All" clears both
    EXPECT_EQ(Drawn(1).size(), 0u);
}

TEST_F(OverlayTest, ChannelAllDrawsIntoBothAndOtherBanksDrawNothing) {
    Fill(2, 956, 536, 8, 8, kMarker);
    EXPECT_EQ(Drawn(0).count(8, 8, 64), 1);
    EXPECT_EQ(Drawn(1).count(8, 8, 64), 1);

    const std::uint64_t before = model.overlay(0).revision();
    Send(link::WriteRegister8Packet(0, 0x00, 0x03));
    Send(link::WriteRegister8Packet(0, 0x3D, 0x41));
    EXPECT_EQ(model.overlay(0).revision(), before);
}

// --- Clipping -------------------------------------------------------------

TEST_F(OverlayTest, FillPastTheRightAndBottomEdgesKeepsOnlyTheInside) {
    Fill(0, 1910, 1075, 32, 32, kMarker);
    const LitComponents drawn = Drawn(0);
    ASSERT_EQ(drawn.size(), 1u);
    ExpectBox(drawn.components[0], 1910, 1075, 10, 5, 50);
    EXPECT_EQ(model.overlay(0).pixel(1920, 1075), 0x00);
}

TEST_F(OverlayTest, LinesBeforeTheBaseAreClippedAndLinesNeverWrap) {
    // Two lines and ten units below the base: lines -2 and -1 fall away.
    FillRegisters(0, 3, 5, kBase - 2 * 1024 + 10, kMarker);
    ASSERT_EQ(Drawn(0).size(), 1u);
    ExpectBox(Drawn(0).components[0], 20, 0, 8, 4, 32);

    // Unit 950 of line 5 starts at pixel 1900: 42 pixels reach only to 1919.
    FillRegisters(0, 20, 0, kBase + 5 * 1024 + 950, kMarker);
    EXPECT_EQ(Drawn(0).count(20, 1, 20), 1);
    EXPECT_EQ(model.overlay(0).pixel(0, 6), 0x00);

    const std::uint64_t revision = model.overlay(0).revision();
    FillRegisters(0, 100, 0, kBase + 5 * 1024 + 1000, kMarker);  // pixel 2000: off the picture
    FillRegisters(0, 0, 0, kBase - 1, kMarker);                  // line -1, pixel 2046
    FillRegisters(0, 0xFFFF, 0xFFFF, 0, kMarker);                // ends below the base
    FillRegisters(0, 0xFFFF, 0xFFFF, 0xFFFFFFFF, kMarker);       // starts past the last line
    FillRegisters(0, 0, 0, kBase + 1080 * 1024, kMarker);
    EXPECT_EQ(model.overlay(0).revision(), revision);
    EXPECT_EQ(Drawn(0).size(), 2u);

    FillRegisters(0, 0xFFFF, 0xFFFF, kBase, kMarker);  // clipped to the whole picture
    EXPECT_EQ(Drawn(0).count(1920, 1080, 1920 * 1080), 1);
}

TEST(OverlaySize, MemoryFollowsThePictureUpToTheLinePitch) {
    const BoxModel small(ModelConfig{.width = 1280, .height = 720});
    EXPECT_EQ(small.overlay(1).width(), 1280);
    EXPECT_EQ(small.overlay(1).height(), 720);
    const BoxModel wide(ModelConfig{.width = 3000, .height = 100});
    EXPECT_EQ(wide.overlay(0).width(), 2048);
}

// --- Display switch and passes -------------------------------------------

TEST_F(OverlayTest, DisplaySwitchIsBankThreeRegisterSixty) {
    Send(link::WriteRegister8Packet(0, 0x00, 0x03));
    Send(link::WriteRegister8Packet(0, 0x60, 0x01));
    Send(link::WriteRegister8Packet(0, 0x00, 0x00));
    EXPECT_TRUE(model.overlayShown(0));
    EXPECT_FALSE(model.overlayShown(1));

    // In bank 0, 0x60 is a byte of the fill address, not the switch.
    Send(link::WriteRegister32Packet(1, 0x5F, 0x01010101));
    EXPECT_FALSE(model.overlayShown(1));

    Send(link::WriteRegister8Packet(0, 0x00, 0x03));
    Send(link::WriteRegister8Packet(0, 0x60, 0x00));
    EXPECT_FALSE(model.overlayShown(0));
}

// --- When pictures are written ------------------------------------------

using Micros = std::chrono::microseconds;
constexpr Micros Ms(int ms) {
    return std::chrono::milliseconds(ms);
}

TEST(OverlayRefreshPolicy, ChangesWaitForThePassEndOrTheQuietTime) {
    OverlayRefresh refresh;
    EXPECT_FALSE(refresh.due(0, {1, 0, false}, Ms(0)));
    EXPECT_EQ(refresh.nextDeadline(), Ms(200));
    EXPECT_FALSE(refresh.due(0, {2, 0, false}, Ms(150)));
    EXPECT_EQ(refresh.nextDeadline(), Ms(350));
    EXPECT_TRUE(refresh.due(0, {3, 1, false}, Ms(160)));  // pass ended: at once
    EXPECT_EQ(refresh.nextDeadline(), std::nullopt);
    EXPECT_FALSE(refresh.due(0, {3, 1, false}, Ms(900)));

    EXPECT_FALSE(refresh.due(0, {4, 1, false}, Ms(1000)));  // a host that stopped halfway
    EXPECT_FALSE(refresh.due(0, {4, 1, false}, Ms(1199)));
    EXPECT_TRUE(refresh.due(0, {4, 1, false}, Ms(1200)));
}

TEST(OverlayRefreshPolicy, EmptyPassesAndTheDisplaySwitch) {
    OverlayRefresh refresh;
    // A pass that drew nothing writes nothing, and the next change still waits.
    EXPECT_FALSE(refresh.due(1, {0, 1, false}, Ms(0)));
    EXPECT_FALSE(refresh.due(1, {1, 1, false}, Ms(10)));
    EXPECT_FALSE(refresh.due(0, {0, 0, false}, Ms(300)));  // channels are apart
    EXPECT_TRUE(refresh.due(1, {1, 1, false}, Ms(210)));

    EXPECT_FALSE(refresh.due(1, {1, 1, true}, Ms(300)));
    EXPECT_TRUE(refresh.pending(1, {1, 1, true}));
    EXPECT_TRUE(refresh.due(1, {1, 1, true}, Ms(500)));
    EXPECT_FALSE(refresh.pending(1, {1, 1, true}));
}

// --- Pictures ------------------------------------------------------------

TEST_F(OverlayTest, PictureIsBlackWithGreenMarkersDimWhenHidden) {
    Fill(0, 956, 536, 8, 8, kMarker);
    Fill(0, 0, 0, 2, 1, 0x01);
    const QImage shown = OverlayImage(model.overlay(0), true).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.size(), QSize(1920, 1080));
    EXPECT_EQ(shown.pixel(956, 536), qRgb(0, 255, 0));
    EXPECT_EQ(shown.pixel(955, 536), qRgb(0, 0, 0));
    EXPECT_NE(shown.pixel(0, 0), qRgb(0, 0, 0));  // any colour but 0 is visible

    const QImage hidden = OverlayImage(model.overlay(0), false);
    EXPECT_GT(qGreen(hidden.pixel(956, 536)), 0);
    EXPECT_LT(qGreen(hidden.pixel(956, 536)), 255);
    EXPECT_EQ(FindLitComponents(hidden).size(), 2u);
}

TEST_F(OverlayTest, WriterReplacesEachFileWhole) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Fill(1, 948, 528, 24, 24, kMarker);
    {
        OverlayPngWriter writer(dir.path().toStdString());
        writer.submit(0, model.overlay(0), true);
        writer.submit(1, model.overlay(1), true);
        writer.drain();
        EXPECT_EQ(writer.written(), 2);
        Fill(1, 0, 0, 8, 8, kMarker);
        writer.submit(1, model.overlay(1), true);
    }  // the last picture is written before the writer goes

    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              (QStringList{"overlay-A.png", "overlay-B.png"}));  // no temporary files left
    const QImage b(dir.filePath("overlay-B.png"));
    ASSERT_EQ(b.size(), QSize(1920, 1080));
    EXPECT_EQ(FindLitComponents(b).size(), 2u);
    EXPECT_EQ(FindLitComponents(QImage(dir.filePath("overlay-A.png"))).size(), 0u);

    OverlayPngWriter broken(dir.filePath("missing").toStdString());
    broken.submit(0, model.overlay(0), true);
    broken.drain();
    EXPECT_EQ(broken.failed(), 1);
}

}  // namespace
}  // namespace lumora::sim
