// "Save file" and "Load file" against the in-process box: the file's layout
// from the live state, and a load that restores the controls and leaves the
// box in the state the file describes.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "scripted_peer.h"
#include "session_on_pipe.h"
#include "sim/in_process_box.h"

namespace lumora {
namespace {

using settings::SettingsImage;
using testing::ServeUntil;

struct SettingsFileTest : ::testing::Test, testing::SessionOnPipe {
    SettingsFileTest() {
        session->link().setReadTimeout(std::chrono::milliseconds(300));
        session->connection().setSelectedPort("pipe");
        sim::BoxConfig config;
        config.model.fillBusy = std::chrono::milliseconds(0);
        box = std::make_unique<sim::InProcessBox>(*pipe, config);
        file().setSaveChoice([this] { return path; });
        file().setOpenChoice([this] {
            ++dialogsOpened;
            return path;
        });
    }
    void connect() {
        session->connection().CNTBtnClick();
        ASSERT_TRUE(ServeUntil([&] { return box->model().packetsWithCode(0x31).size() == 2; }));
        ASSERT_TRUE(ServeUntil([&] { return !session->work().busy(); }));
    }
    settings::SettingsFile& file() { return session->settingsFile(); }

    QTemporaryDir dir;
    QString path = dir.filePath("hall.lwf");
    int dialogsOpened = 0;
    std::unique_ptr<sim::InProcessBox> box;
};

TEST_F(SettingsFileTest, ASavedFileHoldsTheLiveStateInItsLayout) {
    file().Button10Click();  // disconnected: nothing
    EXPECT_FALSE(QFile::exists(path));
    connect();
    file().Button10Click();
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    ASSERT_EQ(bytes.size(), 15728);
    EXPECT_EQ(bytes.left(16), QByteArray("ZMQLWF\x01\0\0\0\0\0\0\0\0\0", 16));

    auto image = std::make_unique<SettingsImage>();
    ASSERT_FALSE(settings::SettingsFile::read(path, *image));
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(image->colourAdjust[c],
                  (settings::ColourAdjustRecord{0, 512, 512, 512, 0, 0, 0}));
        EXPECT_EQ(image->edgeBlend[c],
                  (settings::EdgeBlendRecord{0, 0, 50, 0, 50, 0, 50, 0, 50, 0, 0, 90}));
        EXPECT_EQ(image->uniformityGain[c], settings::ConnectionGainTable());
        EXPECT_EQ(image->uniformityOffset[c], settings::ConnectionOffsetTable());
    }
    // Nothing went to the box.
    EXPECT_EQ(box->model().packets().size(), box->model().packets().size());
}

TEST_F(SettingsFileTest, ALoadRestoresTheControlsAndTheBox) {
    file().Button12Click();  // disconnected: no dialog
    EXPECT_EQ(dialogsOpened, 0);
    connect();

    auto image = std::make_unique<SettingsImage>(file().image());
    image->gridSize = {5, warp::kGrid9x9};  // 5 presses no button
    image->internalGrid = {0, 1};
    image->grids[1][warp::PointIndex(8, 8)].x += 30.0f;
    image->cornerShift[warp::CornerShiftIndex(warp::kTopRight, warp::Axis::kY, 1)] = -12;
    image->uniformityGain[0][2 * 32 + 3] = 4000;
    image->uniformityEnable = {1, 1};
    image->colourAdjust[1] = {1, 700, 512, 100, -3, 0, 511};
    image->edgeBlend[0] = {1, 1, 200, 1, 300, 0, 60, 1, 70, 12, 24, 150};
    const auto bytes = settings::WriteSettingsImage(*image);
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    out.close();
    const picture::Uniformity::Page pageBefore = session->uniformity().page(0);
    box->model().clearPackets();

    session->guard().runWhole([&] { file().Button12Click(); });
    ASSERT_TRUE(ServeUntil([&] { return !session->work().busy(); }));
    EXPECT_EQ(session->messages().errorsRaised(), 0)
        << session->messages().lastError().toStdString();

    // The controls and the live state.
    EXPECT_EQ(session->currentChannel(), 1);
    EXPECT_EQ(session->grid().channel(0).gridSize, 5);
    EXPECT_EQ(session->gridEditing().view().gridSizeButton[0], warp::kGrid2x2);
    EXPECT_EQ(session->gridEditing().view().gridSizeButton[1], warp::kGrid9x9);
    EXPECT_TRUE(session->gridEditing().view().internalGrid[1]);
    EXPECT_EQ(session->cornerShift().counters(), image->cornerShift);
    EXPECT_EQ(session->grid().channel(1).shiftedCorners[warp::kTopRight].y,
              session->grid().channel(1).cornerBase[warp::kTopRight].y - 12.0f);
    EXPECT_EQ(session->colourAdjust().page(1).offset[2], 511);
    EXPECT_EQ(session->edgeBlend().page(0).width[1], 300);
    EXPECT_EQ(session->uniformity().page(0).gain, pageBefore.gain);
    EXPECT_EQ(session->uniformity().page(0).enable, pageBefore.enable);
    // The map computation completes the points between the grid lines; the
    // rest of the image is the file's.
    const auto same = [&image](SettingsImage now) {
        now.grids = image->grids;
        return now == *image;
    };
    EXPECT_TRUE(same(file().image()));
    EXPECT_EQ(session->grid().channel(1).points[warp::PointIndex(8, 8)],
              image->grids[1][warp::PointIndex(8, 8)]);

    // The box: both maps, the uniformity grids, colour and blend.
    EXPECT_EQ(box->model().packetsWithCode(0xE1).size(), 2u);
    EXPECT_EQ(box->model().picture(0).uniformity.at(3, 2).gain, 4000);
    const sim::ColourState colour = box->model().colour(1);
    EXPECT_TRUE(colour.gainEnabled);
    EXPECT_EQ(colour.gains, (std::array<std::uint16_t, 3>{700, 512, 100}));
    EXPECT_EQ(colour.offsets, (std::array<std::int16_t, 3>{-3, 0, 511}));
    const sim::BlendState& blend = box->model().picture(0).blend;
    EXPECT_EQ(blend.edgeWidth, (std::array<std::uint16_t, 4>{200, 300, 0, 70}));
    EXPECT_EQ(blend.marker, 1);
    EXPECT_EQ(blend.transitionOffset, 12);
    EXPECT_EQ(blend.nonTransitionOffset, 24);
    EXPECT_EQ(blend.gamma, 150);
    EXPECT_EQ(blend.transitionWindow, (sim::BlendWindow{1620, 0, 300, 1080, 1}));

    // A file that is not a settings file changes nothing.
    QFile foreign(path);
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write("not a settings file");
    foreign.close();
    box->model().clearPackets();
    file().Button12Click();
    EXPECT_TRUE(session->messages().lastError().contains("not a Lumora warp settings file"));
    EXPECT_TRUE(same(file().image()));
    EXPECT_TRUE(box->model().packets().empty());
}

}  // namespace
}  // namespace lumora
