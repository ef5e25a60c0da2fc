// The grid overlay's register traffic against the virtual box, and the bound
// on its status poll against a box that stays busy or falls silent.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <utility>

#include "core/session.h"
#include "link/packets.h"
#include "link/pipe_transport.h"
#include "session_on_pipe.h"
#include "sim/in_process_box.h"

namespace lumora::warp {
namespace {

using link::Bytes;
using Packets = std::vector<Bytes>;

// A fill as the box's engine registers give it back.
struct Drawn {
    int x, y, width, height;
    int colour;

    friend bool operator==(const Drawn&, const Drawn&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Drawn& d) {
        return out << "{" << d.x << "," << d.y << " " << d.width << "x" << d.height << " colour "
                   << d.colour << "}";
    }
};

Bytes W8(std::uint8_t reg, std::uint8_t value) {
    return link::WriteRegister8Packet(0, reg, value);
}

// Steps 4-6 of an update: end the marker pass, display switch, bank 0.
Packets Display(std::uint8_t on) {
    return {W8(0x00, 0x00), W8(0x3D, 0x40), W8(0x00, 0x03), W8(0x60, on), W8(0x00, 0x00)};
}

class GridOverlayTest : public ::testing::Test, public testing::SessionOnPipe {
  protected:
    GridOverlayTest() {
        session->link().setReadTimeout(std::chrono::milliseconds(150));
        session->link().open();
        grid().setPictureSize(1920, 1080);
        grid().ResetGrid(0);
        grid().channel(0).showGrid = 1;
        // An engine that is never busy: one status read per fill.
        sim::BoxConfig config;
        config.model.fillBusy = std::chrono::milliseconds(0);
        box = std::make_unique<sim::InProcessBox>(*pipe, config);
    }

    GridModel& grid() { return session->grid(); }
    GridOverlay& overlay() { return session->gridEditing().overlay(); }
    void select(int column, int row) {
        grid().channel(0).currentColumn = column;
        grid().channel(0).currentRow = row;
    }
    void useGridSize(std::int32_t size, bool internalGrid = false) {
        grid().channel(0).internalGrid = internalGrid ? 1 : 0;
        grid().ApplyGridSize(0, size);
    }
    // Fills started since the last call.
    std::vector<Drawn> newFills() {
        std::vector<Drawn> out;
        const auto& fills = box->model().fills();
        for (; seenFills < fills.size(); ++seenFills) {
            const sim::Fill& f = fills[seenFills];
            const std::uint32_t offset = f.address - 0x4C00000;
            out.push_back({static_cast<int>(offset % 1024 * 2), static_cast<int>(offset / 1024),
                           (f.width + 1) * 2, f.height + 1, f.colour});
        }
        return out;
    }
    Packets lastWritten(std::size_t count) const {
        const Packets& all = pipe->written();
        return Packets(all.end() - static_cast<std::ptrdiff_t>(count), all.end());
    }

    std::unique_ptr<sim::InProcessBox> box;
    std::size_t seenFills = 0;
};

TEST_F(GridOverlayTest, MarkerBoxesDotsAndSelectionFrames) {
    overlay().DrawMarker(0, 8, 8, true);
    ASSERT_EQ(pipe->written().size(), 21u);  // three fills, one status read each
    EXPECT_EQ(Packets(pipe->written().begin(), pipe->written().begin() + 7),
              (Packets{{0x06, 0x20, 0x00, 0x00, 0x00, 0x26},
                       {0x06, 0x20, 0x00, 0x40, 0x88, 0xEE},
                       {0x07, 0x22, 0x00, 0x55, 0x0B, 0x00, 0x89},  // 24 / 2 - 1 = 11
                       {0x07, 0x22, 0x00, 0x57, 0x17, 0x00, 0x97},  // 24 - 1 = 23
                       // 0x4C00000 + 528 * 1024 + 474
                       {0x09, 0x23, 0x00, 0x5F, 0xDA, 0x41, 0xC8, 0x04, 0x72},
                       {0x06, 0x20, 0x00, 0x3D, 0x41, 0xA4},
                       {0x05, 0x21, 0x00, 0x66, 0x8C}}));
    EXPECT_EQ(newFills(),
              (std::vector<Drawn>{
                  {948, 528, 24, 24, 0x88}, {950, 530, 20, 20, 0}, {956, 536, 8, 8, 0x88}}));

    // On the border lines the marks are cut to the picture; the frame stays
    // open on the border side.
    overlay().EraseMarker(0, 16, 16);
    EXPECT_EQ(box->model().fills().back().address, 0x4C00000u + 1064 * 1024 + 952);
    overlay().DrawMarker(0, 16, 16, true);
    overlay().DrawMarker(0, 0, 0, true);
    overlay().DrawMarker(0, 0, 16, false);
    EXPECT_EQ(newFills(), (std::vector<Drawn>{{1904, 1064, 16, 16, 0},
                                              {1904, 1064, 16, 16, 0x88},
                                              {1906, 1066, 14, 14, 0},
                                              {1912, 1072, 8, 8, 0x88},
                                              {0, 0, 16, 16, 0x88},
                                              {0, 0, 14, 14, 0},
                                              {0, 0, 8, 8, 0x88},
                                              {0, 1072, 8, 8, 0x88}}));
}

TEST_F(GridOverlayTest, SelectionMoveRedrawsOnlyItsTwoPoints) {
    useGridSize(kGrid5x5);
    overlay().RebuildOverlay(0, true);
    newFills();
    grid().StepSelection(0, 1, 0);  // (0, 0) to (4, 0)
    overlay().UpdateOverlay(0, true);
    EXPECT_EQ(newFills(), (std::vector<Drawn>{{0, 0, 16, 16, 0},
                                              {0, 0, 8, 8, 0x88},
                                              {468, 0, 24, 16, 0},
                                              {468, 0, 24, 16, 0x88},
                                              {470, 0, 20, 14, 0},
                                              {476, 0, 8, 8, 0x88}}));
    EXPECT_EQ(lastWritten(5), Display(0x01));
    EXPECT_EQ(overlay().shownSelection(0), (LatticePoint{4, 0}));

    // A hidden grid still gets its markers; only the display stays off.
    grid().channel(0).showGrid = 0;
    grid().StepSelection(0, 1, 0);
    overlay().UpdateOverlay(0, true);
    EXPECT_EQ(newFills().size(), 6u);
    EXPECT_EQ(lastWritten(5), Display(0x00));
    grid().channel(0).showGrid = 1;
    overlay().UpdateOverlay(0, false);  // visibility not allowed
    EXPECT_EQ(lastWritten(5), Display(0x00));

    // A selection left on an inactive point (as an undo can) has no marker:
    // moving away erases it and draws nothing there.
    select(2, 0);
    overlay().UpdateOverlay(0, true);
    newFills();
    select(16, 0);
    overlay().UpdateOverlay(0, true);
    EXPECT_EQ(newFills(), (std::vector<Drawn>{{228, 0, 24, 16, 0},
                                              {1904, 0, 16, 16, 0},
                                              {1904, 0, 16, 16, 0x88},
                                              {1906, 0, 14, 14, 0},
                                              {1912, 0, 8, 8, 0x88}}));
}

TEST_F(GridOverlayTest, GridSizeChangeClearsEverythingThenDrawsTheNewMarkers) {
    useGridSize(kGrid17x17);
    overlay().RebuildOverlay(0, true);
    newFills();
    const std::size_t before = pipe->written().size();
    std::size_t sentWhenTimerFired = 0;
    QTimer::singleShot(30, [&] { sentWhenTimerFired = pipe->written().size() - before; });
    QElapsedTimer clock;
    clock.start();

    useGridSize(kGrid2x2);
    overlay().RebuildOverlay(0, true);
    EXPECT_GE(clock.elapsed(), 100);
    // The settling wait serves the event loop, before the first status read.
    EXPECT_EQ(sentWhenTimerFired, 6u);
    const Packets& all = pipe->written();
    EXPECT_EQ(Packets(all.begin() + before, all.begin() + before + 8),
              (Packets{W8(0x00, 0x00), W8(0x40, 0x00), link::WriteRegister16Packet(0, 0x55, 959),
                       link::WriteRegister16Packet(0, 0x57, 1079),
                       link::WriteRegister32Packet(0, 0x5F, 0x4C00000), W8(0x3D, 0x41),
                       link::ReadRegisterPacket(0, 0x66), W8(0x3D, 0x00)}));
    EXPECT_EQ(newFills(), (std::vector<Drawn>{{0, 0, 1920, 1080, 0},
                                              {0, 0, 16, 16, 0x88},
                                              {0, 0, 14, 14, 0},
                                              {0, 0, 8, 8, 0x88},
                                              {1912, 0, 8, 8, 0x88},
                                              {0, 1072, 8, 8, 0x88},
                                              {1912, 1072, 8, 8, 0x88}}));
    EXPECT_EQ(std::count(overlay().drawn(0).begin(), overlay().drawn(0).end(), 1), 4);
}

TEST_F(GridOverlayTest, TheUniformityPageShownDuringADrawingClearsAfterIt) {
    session->state().connected = true;
    useGridSize(kGrid17x17, true);
    // The page is shown once ten markers of the rebuild have gone out.
    QTimer shown;
    shown.setInterval(0);
    QObject::connect(&shown, &QTimer::timeout, [&] {
        if (box->model().fills().size() >= 11) {
            shown.stop();
            session->uniformity().TabSheet9Show();
        }
    });
    shown.start();
    overlay().RebuildOverlay(0, true);
    ASSERT_FALSE(shown.isActive());

    // Its clear and cursor came last, and no marker counts as drawn that
    // the overlay memory lacks.
    const std::vector<Drawn> fills = newFills();
    ASSERT_GE(fills.size(), 7u);
    EXPECT_EQ(fills[fills.size() - 7], (Drawn{0, 0, 1920, 1080, 0x00}));
    const sim::OverlayMemory& memory = box->model().overlay(0);
    for (int row = 0; row <= kLastLine; ++row) {
        for (int column = 0; column <= kLastLine; ++column) {
            // The middle of the point's 8 x 8 dot.
            const int x = column == 0 ? 4 : column == kLastLine ? 1916 : 1920 * column / 16;
            const int y = row == 0 ? 4 : row == kLastLine ? 1076 : 1080 * row / 16;
            EXPECT_EQ(overlay().drawn(0)[PointIndex(column, row)] != 0, memory.pixel(x, y) == 0x88)
                << column << "," << row;
        }
    }
}

class GridOverlayPollBound : public GridOverlayTest {
  protected:
    GridOverlayPollBound() {
        QObject::connect(&session->messages(), &base::OperatorMessages::errorRaised,
                         [this](const QString& message) { errors << message; });
        useGridSize(kGrid5x5);
        select(16, 16);
        overlay().RebuildOverlay(0, true);
        // Next: draw the 17x17 border, (1, 0) first, and move the frame.
        useGridSize(kGrid17x17);
        select(0, 16);
        pipe->clearWritten();
    }
    // From now on every read is answered with `status` after delayMs; with
    // no status the box is silent.
    void answerReads(std::optional<std::uint8_t> status, int delayMs = 0) {
        reads = 0;
        pipe->setPeer([this, status, delayMs](const Bytes& packet) {
            if (packet[1] == 0x21 && status) {
                ++reads;
                QTimer::singleShot(delayMs, pipe, [this, status] {
                    pipe->deliverFromPeer({0x21, *status, 0});
                });
            }
        });
    }
    void update() {
        session->guard().run([&] { overlay().UpdateOverlay(0, true); });
    }
    void expectAbandonedAtTheFirstNewMarker() {
        EXPECT_EQ(overlay().drawn(0)[PointIndex(1, 0)], 0);
        EXPECT_EQ(overlay().drawn(0)[PointIndex(4, 0)], 1);
        EXPECT_EQ(overlay().shownSelection(0), (LatticePoint{16, 16}));
        EXPECT_EQ(pipe->written().back(), link::ReadRegisterPacket(0, 0x66));  // no display writes
    }

    int reads = 0;
    QStringList errors;
};

TEST_F(GridOverlayPollBound, BusyEngineGivesUpAfterTwoSecondsOr2000Reads) {
    const QString stayedBusy =
        "The box did not finish drawing the grid overlay (register 0x66 stayed busy). Check the "
        "box, then show the Warp adjust page again to redraw the grid.";
    answerReads(0x01, 2);  // slow enough for the two seconds to come first
    QElapsedTimer clock;
    clock.start();
    update();
    EXPECT_GE(clock.elapsed(), 2000);
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_LT(reads, 2000);
    EXPECT_EQ(errors, QStringList{stayedBusy});
    expectAbandonedAtTheFirstNewMarker();

    answerReads(0x01);
    update();
    EXPECT_EQ(reads, 2000);
    EXPECT_EQ(errors, (QStringList{stayedBusy, stayedBusy}));
    expectAbandonedAtTheFirstNewMarker();

    // Once the engine finishes again, the next update draws that marker.
    answerReads(0x00);
    update();
    EXPECT_EQ(overlay().drawn(0)[PointIndex(1, 0)], 1);
    EXPECT_EQ(overlay().shownSelection(0), (LatticePoint{0, 16}));
}

TEST_F(GridOverlayPollBound, SilentBoxGivesUpAfterOneReadTimeOut) {
    answerReads(std::nullopt);
    QElapsedTimer clock;
    clock.start();
    update();
    EXPECT_LT(clock.elapsed(), 1000);
    ASSERT_EQ(errors.size(), 1);  // the link's own message only
    EXPECT_TRUE(errors[0].startsWith("The box does not answer."));
    expectAbandonedAtTheFirstNewMarker();
}

}  // namespace
}  // namespace lumora::warp

namespace lumora::warp {
namespace {

// An engine that is never busy and whose status read, once, runs what a
// click handled inside the wait would run. Logs the engine control writes.
class ReentrantPort : public RegisterPort {
  public:
    std::function<void()> duringRead;
    int readsBeforeHandler = 0;
    std::vector<std::string> engine;

    void write8(std::uint8_t, std::uint8_t reg, std::uint8_t value) override {
        if (reg == 0x3D) {
            engine.push_back(value == 0x41 ? "fill" : value == 0x40 ? "pass" : "clear");
        }
    }
    void write16(std::uint8_t, std::uint8_t, std::uint16_t) override {}
    void write32(std::uint8_t, std::uint8_t, std::uint32_t) override {}
    std::optional<std::uint8_t> read(std::uint8_t, std::uint8_t) override {
        if (duringRead && readsBeforeHandler-- == 0) {
            std::exchange(duringRead, nullptr)();
        }
        return 0x00;
    }
    void wait(std::chrono::milliseconds) override {}
};

TEST(GridOverlayReentry, ADrawingAskedForMeanwhileWaitsForTheOneInHand) {
    GridModel model;
    model.setPictureSize(1920, 1080);
    model.ResetGrid(0);
    model.channel(0).internalGrid = 1;
    model.ApplyGridSize(0, kGrid17x17);
    ReentrantPort port;
    GridOverlay overlay(port, model);
    // The operator picks 2x2 while the 17x17 markers are still going out.
    port.readsBeforeHandler = 10;
    port.duringRead = [&] {
        model.ApplyGridSize(0, kGrid2x2);
        overlay.FullClear(0);
        overlay.RebuildOverlay(0, true);
    };
    overlay.RebuildOverlay(0, true);

    const auto firstPass = std::find(port.engine.begin(), port.engine.end(), "pass");
    ASSERT_NE(firstPass, port.engine.end());
    EXPECT_EQ(std::count(port.engine.begin(), firstPass, "clear"), 1);
    EXPECT_EQ(std::count(port.engine.begin(), port.engine.end(), "clear"), 2);
    EXPECT_EQ(std::count(port.engine.begin(), port.engine.end(), "pass"), 2);
    for (int point = 0; point < kLatticePoints; ++point) {
        EXPECT_EQ(overlay.drawn(0)[point], model.channel(0).active[point]) << point;
    }
}

}  // namespace
}  // namespace lumora::warp
