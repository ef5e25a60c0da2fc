// What the tool draws over the picture, seen the way a person sees it: the
// virtual box's overlay written out as a PNG, and the markers counted in it.
#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>
#include <set>

#include "core/session.h"
#include "link/serial_transport.h"
#include "overlay_image_probe.h"
#include "scripted_peer.h"
#include "sim/boxsim_process.h"

using lumora::core::Session;
using lumora::testing::ServeUntil;

TEST(OverlayPng, FiveByFiveWithInternalGridShowsTwentyFiveMarkersAndTheFrame) {
    QTemporaryDir pictures;
    lumora::sim::BoxsimProcess box(LUMORA_BOXSIM_PATH, {"--size", "1920x1080", "--overlay-png",
                                                        pictures.path().toStdString()});
    ASSERT_TRUE(box.started()) << box.error();

    Session session(std::make_unique<lumora::link::SerialTransport>());
    session.connection().setSelectedPort(QString::fromStdString(box.portPath()));
    session.connection().CNTBtnClick();
    ASSERT_TRUE(
        ServeUntil([&] { return session.connection().view().resolution == "1920 x 1080"; }));

    session.setCurrentChannel(0);
    session.grid().ResetGrid(0);
    session.gridEditing().InterGridAClick(true);
    session.gridEditing().WP5x5AClick();  // the grid size, then the overlay rebuilt
    ASSERT_TRUE(session.messages().lastError().isEmpty())
        << session.messages().lastError().toStdString();

    lumora::probe::LitComponents drawn;
    const bool complete = ServeUntil(
        [&] {
            drawn = lumora::probe::FindLitComponents(
                QImage(pictures.filePath(QStringLiteral("overlay-A.png"))));
            return drawn.size() == 26;
        },
        5000);
    ASSERT_TRUE(complete) << drawn.size() << " groups of lit pixels in overlay-A.png";

    // 25 dots of 8 x 8 at the 5x5 lattice: X = 0, 480, .., 1920 and
    // Y = 0, 270, .., 1080, inset so that the border dots stay inside.
    EXPECT_EQ(drawn.count(8, 8, 64), 25);
    std::set<std::pair<int, int>> corners;
    for (const auto& group : drawn.components) {
        if (group.pixels == 64) {
            corners.insert({group.left, group.top});
        }
    }
    std::set<std::pair<int, int>> expected;
    for (int x : {0, 476, 956, 1436, 1912}) {
        for (int y : {0, 266, 536, 806, 1072}) {
            expected.insert({x, y});
        }
    }
    EXPECT_EQ(corners, expected);

    // The selection frame around (0, 0): 16 x 16 less the cleared 14 x 14,
    // open toward the picture border, apart from the dot inside it.
    const auto* frame = drawn.at(15, 15);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->left, 0);
    EXPECT_EQ(frame->top, 0);
    EXPECT_EQ(frame->width(), 16);
    EXPECT_EQ(frame->height(), 16);
    EXPECT_EQ(frame->pixels, 16 * 16 - 14 * 14);
    EXPECT_EQ(drawn.at(13, 13), nullptr);
    EXPECT_NE(drawn.at(0, 0), frame);

    // Channel B holds only what the initialisation after connect drew: its
    // 2x2 corners, the frame around (0, 0) apart from its dot.
    EXPECT_EQ(
        lumora::probe::FindLitComponents(QImage(pictures.filePath(QStringLiteral("overlay-B.png"))))
            .size(),
        5u);
}
