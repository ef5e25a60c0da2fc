// `export`: both channels' warp and edge blend as an MPCDI file other tools
// read, and the refusals that leave nothing behind.
#include <gtest/gtest.h>
#include <zip.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>

#include "cli/cli_commands.h"
#include "cli/map_from_settings.h"
#include "cli/pfm_warp_file.h"
#include "render/renderer.h"
#include "settings/settings_image.h"

namespace {

using lumora::warp::WarpMap;
using Bytes = std::vector<std::uint8_t>;

// A PFM file read back; sample (i, j) counts j from the picture's top.
struct Pfm {
    std::string header;  // the three text lines
    int width = 0;
    int height = 0;
    std::vector<std::array<float, 3>> stored;

    explicit Pfm(const Bytes& bytes) {
        const std::string text(bytes.begin(), bytes.end());
        header = text.substr(0, text.find('\n', text.find('\n', 3) + 1) + 1);
        std::istringstream(header.substr(3)) >> width >> height;
        EXPECT_EQ(bytes.size(), header.size() + static_cast<std::size_t>(width) * height * 12);
        stored.resize(static_cast<std::size_t>(width) * height);
        // Little-endian floats on a little-endian test machine.
        std::memcpy(stored.data(), bytes.data() + header.size(),
                    std::min(bytes.size() - header.size(), stored.size() * 12));
    }
    std::array<float, 3> at(int i, int j) const {
        return stored[static_cast<std::size_t>((height - 1 - j) * width + i)];  // bottom first
    }
};

// Fill layout at a size that is no multiple of 16: 62.5 and 37.5 lattice steps
// take 63 and 38, the first sample on the top-left corner, the last on the
// bottom-right one, rows bottom first; a source left of the picture is NaN.
TEST(PfmWarpFile, SamplesSpanThePictureCornerToCornerBottomRowFirst) {
    auto map = std::make_unique<WarpMap>();
    map->setIdentity();
    map->x[WarpMap::Index(0, 0)] = static_cast<std::int16_t>(0xC001);  // x = -1024
    const Pfm pfm(lumora::cli::PfmWarpFile(*map, 1000, 600));

    EXPECT_EQ(pfm.header, "PF\n64 39\n-1.000000\n");
    EXPECT_EQ(pfm.stored.front(), (std::array<float, 3>{0.0f, 1.0f, 0.0f}));
    EXPECT_EQ(pfm.stored.back(), (std::array<float, 3>{1.0f, 0.0f, 0.0f}));
    for (int j = 0; j < 39; ++j) {
        for (int i = 0; i < 64; ++i) {
            if (i < 2 && j < 2) {
                continue;  // near the moved entry
            }
            const auto v = pfm.at(i, j);
            EXPECT_NEAR(v[0] * 1000, i * 1000.0f / 63, 1.0f / 16) << i << ", " << j;
            EXPECT_NEAR(v[1] * 600, j * 600.0f / 38, 1.0f / 16) << i << ", " << j;
            EXPECT_EQ(v[2], 0.0f);
        }
    }
    // Between lattice samples the entries are interpolated: sample (1, 0) lies
    // 1000 / 63 pixels right of the moved one, next to x = 16.
    const float f = 1000.0f / 63 / 16;
    EXPECT_NEAR(pfm.at(1, 0)[0] * 1000, -1023.9375f * (1 - f) + 16 * f, 1.0f / 16);
    const auto outside = pfm.at(0, 0);
    EXPECT_TRUE(std::isnan(outside[0]) && std::isnan(outside[1]));
    EXPECT_EQ(outside[2], 1.0f);
}

class ExportCommandTest : public ::testing::Test {
  protected:
    // Both channels at the nominal 1280 x 720 lattice, 17x17.
    void SetUp() override {
        image = std::make_unique<lumora::settings::SettingsImage>();
        for (int c = 0; c < 2; ++c) {
            image->gridSize[c] = 3;
            for (int j = 0; j < 17; ++j) {
                for (int i = 0; i < 17; ++i) {
                    image->grids[c][lumora::warp::PointIndex(j, i)] = {
                        static_cast<float>(1280 * j / 16), static_cast<float>(720 * i / 16)};
                }
            }
        }
    }
    lumora::cli::Options exportOptions() {
        const auto bytes = lumora::settings::WriteSettingsImage(*image);
        QFile file(dir.filePath("in.lwf"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        lumora::cli::Options options;
        options.command = "export";
        options.positional = {file.fileName().toStdString()};
        options.width = 1280;
        options.height = 720;
        options.mpcdi = dir.filePath("out.mpcdi").toStdString();
        return options;
    }

    QTemporaryDir dir;
    std::unique_ptr<lumora::settings::SettingsImage> image;
};

std::map<std::string, Bytes> ReadZip(const std::string& path) {
    std::map<std::string, Bytes> files;
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    EXPECT_NE(archive, nullptr) << "zip error " << error;
    if (archive == nullptr) {
        return files;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        Bytes bytes(stat.size);
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        EXPECT_EQ(zip_fread(file, bytes.data(), bytes.size()),
                  static_cast<zip_int64_t>(bytes.size()));
        zip_fclose(file);
        files[stat.name] = std::move(bytes);
    }
    zip_close(archive);
    return files;
}

// Channel A's top-left corner shifted right, so its first samples read from
// left of the picture; B with a moved point; A with its left edge blended.
TEST_F(ExportCommandTest, WritesTheDocumentAndEachRegionsWarpAndAlphaAtTheZipsRoot) {
    using lumora::settings::Axis;
    image->cornerShift[lumora::settings::CornerShiftIndex(lumora::warp::kTopLeft, Axis::kX, 0)] =
        32;
    image->grids[1][lumora::warp::PointIndex(8, 8)].x += 40.0f;
    image->edgeBlend[0].leftEnable = 1;
    image->edgeBlend[0].leftWidth = 300;
    image->edgeBlend[0].gammaX100 = 220;
    const lumora::cli::Options options = exportOptions();
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(lumora::cli::RunCommand(options, out, err), 0) << err.str();

    std::map<std::string, Bytes> files = ReadZip(options.mpcdi);
    ASSERT_EQ(files.size(), 5u);
    const Bytes& document = files["mpcdi.xml"];
    QXmlStreamReader xml(QByteArray(reinterpret_cast<const char*>(document.data()),
                                    static_cast<qsizetype>(document.size())));
    // Each fileset names its warp file, then its alpha map: regions A, B.
    std::vector<std::string> paths;
    std::string gammaA;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (xml.name() == u"MPCDI") {
            EXPECT_EQ(xml.attributes().value("profile"), u"2d");
            EXPECT_EQ(xml.attributes().value("geometry"), u"2");
            EXPECT_EQ(xml.attributes().value("version"), u"2.0");
        } else if (xml.name() == u"path") {
            paths.push_back(xml.readElementText().toStdString());
            EXPECT_TRUE(files.count(paths.back())) << paths.back();
        } else if (xml.name() == u"gammaEmbedded" && gammaA.empty()) {
            gammaA = xml.readElementText().toStdString();
        }
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    ASSERT_EQ(paths.size(), 4u);

    auto computer = std::make_unique<lumora::warp::WarpMapComputer>();
    int outside = 0;
    for (int c = 0; c < 2; ++c) {
        const auto computed = lumora::cli::MapFromSettings(*image, {c, 1280, 720, true}, *computer);
        const WarpMap& map = std::get<WarpMap>(computed);
        const Pfm pfm(files[paths[static_cast<std::size_t>(2 * c)]]);
        // 80 x 45 lattice steps: the samples fall on the lattice.
        ASSERT_EQ(pfm.header, "PF\n81 46\n-1.000000\n");
        for (int a = 0; a < 81; ++a) {
            for (int b = 0; b < 46; ++b) {
                const auto i = static_cast<std::size_t>(WarpMap::Index(a, b));
                const float sx = lumora::render::DecodeMapEntry(map.x[i]);
                const float sy = lumora::render::DecodeMapEntry(map.y[i]);
                const auto v = pfm.at(a, b);
                if (sx < 0 || sy < 0 || sx > 1280 || sy > 720) {
                    EXPECT_TRUE(std::isnan(v[0]) && std::isnan(v[1]) && v[2] == 1.0f)
                        << c << ": " << a << ", " << b;
                    ++outside;
                    continue;
                }
                EXPECT_NEAR(v[0] * 1280, sx, 1.0f / 16) << c << ": " << a << ", " << b;
                EXPECT_NEAR(v[1] * 720, sy, 1.0f / 16) << c << ": " << a << ", " << b;
                EXPECT_EQ(v[2], 0.0f);
            }
        }
    }
    EXPECT_GT(outside, 0);

    const Bytes& png = files[paths[1]];
    const QImage alpha = QImage::fromData(png.data(), static_cast<int>(png.size()), "PNG");
    EXPECT_EQ(alpha.format(), QImage::Format_Grayscale8);
    // 300 frame pixels are 200 picture pixels; halfway in, (1/2)^2.2 of 255.
    EXPECT_EQ(alpha.size(), QSize(1280, 720));
    EXPECT_EQ(qGray(alpha.pixel(0, 300)), 0);
    EXPECT_EQ(qGray(alpha.pixel(100, 300)), 55);
    EXPECT_EQ(qGray(alpha.pixel(200, 300)), 255);
    EXPECT_EQ(qGray(alpha.pixel(1279, 719)), 255);
    EXPECT_EQ(gammaA, "2.2");
}

TEST_F(ExportCommandTest, RefusalsNameTheCauseAndLeaveTheOutputAsItWas) {
    QFile existing(dir.filePath("out.mpcdi"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("earlier run");
    existing.close();
    lumora::cli::Options options = exportOptions();
    std::ostringstream out;
    std::ostringstream err;

    lumora::cli::Options missing = options;
    missing.positional = {dir.filePath("missing.lwf").toStdString()};
    EXPECT_EQ(lumora::cli::RunCommand(missing, out, err), 5);
    EXPECT_NE(err.str().find("cannot read " + missing.positional[0]), std::string::npos);

    lumora::cli::Options large = options;
    large.width = 1985;
    large.height = 1080;
    EXPECT_EQ(lumora::cli::RunCommand(large, out, err), 2);
    EXPECT_NE(err.str().find("1985 x 1080"), std::string::npos) << err.str();
    EXPECT_TRUE(std::holds_alternative<lumora::cli::UsageError>(lumora::cli::ParseOptions(
        {"export", "in.lwf", "--size", "1920x", "--mpcdi", "out.mpcdi"})));

    lumora::cli::Options noFolder = options;
    noFolder.mpcdi = dir.filePath("missing/out.mpcdi").toStdString();
    EXPECT_EQ(lumora::cli::RunCommand(noFolder, out, err), 5);
    EXPECT_NE(err.str().find("export: cannot write " + noFolder.mpcdi), std::string::npos)
        << err.str();

    // A refused map: two points of A on one spot.
    image->grids[0][lumora::warp::PointIndex(5, 0)] =
        image->grids[0][lumora::warp::PointIndex(4, 0)];
    EXPECT_EQ(lumora::cli::RunCommand(exportOptions(), out, err), 6);

    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), "earlier run");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"in.lwf", "out.mpcdi"}));
}

}  // namespace
