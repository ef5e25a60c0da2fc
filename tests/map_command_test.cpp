// `map`: the tables a move of one channel would send, computed from a settings
// file, and the cases it refuses.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <sstream>

#include "cli/cli_commands.h"
#include "cli/render_command.h"
#include "settings/settings_image.h"

namespace {

using lumora::settings::SettingsImage;

struct MapRun {
    int code;
    std::string err;
    QByteArray x;
    QByteArray y;
};

class MapCommandTest : public ::testing::Test {
  protected:
    // Both channels at the nominal 1920 x 1080 lattice, 17x17.
    void SetUp() override {
        image = std::make_unique<SettingsImage>();
        for (int c = 0; c < 2; ++c) {
            image->gridSize[c] = 3;
            for (int j = 0; j < 17; ++j) {
                for (int i = 0; i < 17; ++i) {
                    image->grids[c][lumora::warp::PointIndex(j, i)] = {
                        static_cast<float>(1920 * j / 16), static_cast<float>(1080 * i / 16)};
                }
            }
        }
    }
    // Writes the image to in.lwf and asks for the tables in x.bin and y.bin.
    lumora::cli::Options mapOptions(const std::string& channel, int width, int height,
                                    bool noCorners = false) {
        const auto bytes = lumora::settings::WriteSettingsImage(*image);
        QFile file(dir.filePath("in.lwf"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        file.close();

        lumora::cli::Options options;
        options.command = "map";
        options.positional = {file.fileName().toStdString()};
        options.channel = channel == "A" ? 0 : 1;
        options.width = width;
        options.height = height;
        options.noCorners = noCorners;
        options.outX = dir.filePath("x.bin").toStdString();
        options.outY = dir.filePath("y.bin").toStdString();
        return options;
    }
    MapRun map(const std::string& channel, int width, int height, bool noCorners = false) {
        const lumora::cli::Options options = mapOptions(channel, width, height, noCorners);
        QFile::remove(dir.filePath("x.bin"));
        QFile::remove(dir.filePath("y.bin"));
        std::ostringstream out;
        std::ostringstream err;
        MapRun run{lumora::cli::RunCommand(options, out, err), err.str(), {}, {}};
        QFile x(dir.filePath("x.bin"));
        QFile y(dir.filePath("y.bin"));
        if (x.open(QIODevice::ReadOnly) && y.open(QIODevice::ReadOnly)) {
            run.x = x.readAll();
            run.y = y.readAll();
        }
        return run;
    }
    static int Entry(const QByteArray& table, int a, int b) {
        const int at = 2 * (a * 78 + b);
        return static_cast<std::uint8_t>(table[at]) | static_cast<std::uint8_t>(table[at + 1]) << 8;
    }

    QTemporaryDir dir;
    std::unique_ptr<SettingsImage> image;
};

TEST_F(MapCommandTest, NominalFileGivesTheIdentityTablesColumnAfterColumn) {
    const MapRun run = map("B", 1920, 1080);
    ASSERT_EQ(run.code, 0) << run.err;
    ASSERT_EQ(run.x.size(), 19500);
    ASSERT_EQ(run.y.size(), 19500);
    for (int a = 0; a < 125; ++a) {
        for (int b = 0; b < 78; ++b) {
            // Computed or left as the identity the tables start from.
            ASSERT_EQ(Entry(run.x, a, b), 256 * a);
            ASSERT_EQ(Entry(run.y, a, b), 256 * b);
        }
    }
}

TEST_F(MapCommandTest, TheChannelsCornerShiftCountersMoveTheMapUnlessNoCorners) {
    using lumora::settings::Axis;
    using lumora::settings::CornerShiftIndex;
    image->cornerShift[CornerShiftIndex(lumora::warp::kTopLeft, Axis::kX, 0)] = 32;
    MapRun run = map("A", 1920, 1080);
    ASSERT_EQ(run.code, 0) << run.err;
    // Output x = 32 now shows source x = 0 on the top line.
    EXPECT_EQ(Entry(run.x, 2, 0), 0);
    EXPECT_EQ(Entry(run.y, 2, 0), 0);

    run = map("A", 1920, 1080, true);
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(Entry(run.x, 2, 0), 512);

    run = map("B", 1920, 1080);  // B's counters are still 0
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(Entry(run.x, 2, 0), 512);
}

TEST_F(MapCommandTest, RefusedMapsWriteNoTables) {
    MapRun run = map("A", 2000, 1080);
    EXPECT_EQ(run.code, 6);
    EXPECT_NE(run.err.find("at most 1984 x 1232"), std::string::npos) << run.err;
    EXPECT_TRUE(run.x.isEmpty());

    // An edge point: with Internal Grid off the interior is derived anyway.
    image->grids[0][lumora::warp::PointIndex(5, 0)] =
        image->grids[0][lumora::warp::PointIndex(4, 0)];
    run = map("A", 1920, 1080);
    EXPECT_EQ(run.code, 6);
    EXPECT_NE(run.err.find("points (4, 0) and (5, 0) of Channel A have the same x (480)"),
              std::string::npos)
        << run.err;
    EXPECT_TRUE(run.x.isEmpty());
}

TEST_F(MapCommandTest, AnUnwritableYTableLeavesTheXTableAsItWas) {
    QFile x(dir.filePath("x.bin"));
    ASSERT_TRUE(x.open(QIODevice::WriteOnly));
    x.write("earlier run");
    x.close();
    lumora::cli::Options options = mapOptions("A", 1920, 1080);
    options.outY = dir.filePath("missing/y.bin").toStdString();
    std::ostringstream out;
    std::ostringstream err;

    EXPECT_EQ(lumora::cli::RunCommand(options, out, err), 5);
    EXPECT_EQ(err.str(), "map: cannot write " + options.outY + ": " + std::strerror(ENOENT) + "\n");
    ASSERT_TRUE(x.open(QIODevice::ReadOnly));
    EXPECT_EQ(x.readAll(), "earlier run");
}

TEST_F(MapCommandTest, APointThatCannotBeComputedWithIsNamedWithItsCause) {
    // Internal Grid on: every point of the 17x17 grid is taken as it stands.
    image->internalGrid[0] = 1;
    auto& point = image->grids[0][lumora::warp::PointIndex(8, 8)];

    point.x = 3e38f;
    MapRun run = map("A", 1920, 1080);
    EXPECT_EQ(run.code, 6);
    EXPECT_NE(run.err.find("point (8, 8) of Channel A lies too far out (x = 3e+38)"),
              std::string::npos)
        << run.err;
    EXPECT_TRUE(run.x.isEmpty());

    point.x = std::numeric_limits<float>::quiet_NaN();
    run = map("A", 1920, 1080);
    EXPECT_EQ(run.code, 6);
    EXPECT_NE(run.err.find("point (8, 8) of Channel A holds x = nan, which is not a finite number"),
              std::string::npos)
        << run.err;
    EXPECT_TRUE(run.x.isEmpty());
}

}  // namespace

// `render`: the channel's output as a PNG; refusals leave nothing behind and
// an existing output as it was.
TEST_F(MapCommandTest, RenderWritesThePictureOrLeavesTheOutputAsItWas) {
    lumora::cli::Options options = mapOptions("A", 320, 240);
    options.command = "render";
    options.out = dir.filePath("out.png").toStdString();
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(lumora::cli::RunRenderCommand(options, out, err), 0) << err.str();
    const QImage picture(dir.filePath("out.png"));
    EXPECT_EQ(picture.size(), QSize(320, 240));
    const QByteArray before = [&] {
        QFile file(dir.filePath("out.png"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();

    options.input = dir.filePath("missing.png").toStdString();
    EXPECT_EQ(lumora::cli::RunRenderCommand(options, out, err), 5);
    EXPECT_NE(err.str().find("missing.png"), std::string::npos) << err.str();
    options.input.clear();
    options.width = 2000;
    EXPECT_EQ(lumora::cli::RunRenderCommand(options, out, err), 2);
    EXPECT_NE(err.str().find("2000 x 240"), std::string::npos) << err.str();

    QFile after(dir.filePath("out.png"));
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"in.lwf", "out.png"}));
}
