// `info` on settings files written by the program: the summary, its JSON form,
// and the files it cannot read.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <sstream>

#include "cli/cli_commands.h"
#include "settings/settings_image.h"

using lumora::settings::SettingsImage;

namespace {

struct Outcome {
    int code;
    std::string out;
    std::string err;
    QJsonObject json() const { return QJsonDocument::fromJson(out.c_str()).object(); }
};

Outcome Info(const std::string& path, bool json) {
    lumora::cli::Options options;
    options.command = "info";
    options.positional = {path};
    options.json = json;
    std::ostringstream out;
    std::ostringstream err;
    const int code = lumora::cli::RunCommand(options, out, err);
    return {code, out.str(), err.str()};
}

std::string Save(const QTemporaryDir& dir, const SettingsImage& image, qint64 length) {
    const auto bytes = lumora::settings::WriteSettingsImage(image);
    QFile file(dir.filePath(QString("f%1.lwf").arg(length)));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), length);
    return file.fileName().toStdString();
}

}  // namespace

TEST(InfoCommand, SummarisesSavedShortAndMissingFiles) {
    QTemporaryDir dir;
    SettingsImage s;
    s.gridSize = {3, 5};
    for (int c = 0; c < 17; ++c) {
        for (int r = 0; r < 17; ++r) {
            s.grids[0][lumora::warp::PointIndex(c, r)] = {120.0f * c, 67.5f * r};
        }
    }
    s.cornerShift[8] = 10;  // top-right X of A
    s.cornerShift[7] = -3;  // bottom-left Y of B
    s.uniformityGain[1] = lumora::settings::ConnectionGainTable();
    s.uniformityGain[1][5] = 16383;
    s.colourAdjust[1].redGain = 100;
    s.edgeBlend[0].gammaX100 = 250;

    const std::string whole = Save(dir, s, 15728);
    const Outcome text = Info(whole, false);
    EXPECT_EQ(text.code, 0);
    EXPECT_EQ(text.err, "");
    for (const char* line : {"15728 bytes, complete", "grid size:      17x17",
                             "grid size:      5\n", "x 0 .. 1920, y 0 .. 1080",
                             "top-right x 10 y 0", "gain 8191 .. 16383", "gamma x100 250"}) {
        EXPECT_NE(text.out.find(line), std::string::npos) << line << "\n" << text.out;
    }
    const QJsonObject root = Info(whole, true).json();
    EXPECT_TRUE(root["complete"].toBool() && root["headerOk"].toBool());
    const QJsonObject a = root["channels"]["A"].toObject();
    const QJsonObject b = root["channels"]["B"].toObject();
    EXPECT_EQ(a["gridSizeName"].toString(), "17x17");
    EXPECT_EQ(b["gridSize"].toInt(), 5);
    EXPECT_TRUE(b["gridSizeName"].isNull());
    EXPECT_EQ(a["gridCorners"]["bottomRight"]["y"].toDouble(), 1080.0);
    EXPECT_EQ(a["cornerShift"]["topRight"]["x"].toInt(), 10);
    EXPECT_EQ(b["cornerShift"]["bottomLeft"]["y"].toInt(), -3);
    EXPECT_EQ(b["colourAdjust"]["redGain"].toInt(), 100);
    EXPECT_EQ(a["edgeBlend"]["gammaX100"].toInt(), 250);

    const std::string cut = Save(dir, s, 5000);
    const Outcome shortText = Info(cut, false);
    EXPECT_EQ(shortText.code, 0);
    EXPECT_NE(shortText.err.find("warning: " + cut + " is short (5000 of 15728 bytes)"),
              std::string::npos)
        << shortText.err;
    const QJsonObject shortRoot = Info(cut, true).json();
    EXPECT_FALSE(shortRoot["complete"].toBool());
    EXPECT_EQ(shortRoot["endsIn"]["block"].toString(), "uniformity gain A");
    EXPECT_EQ(shortRoot["channels"]["A"]["cornerShift"]["topRight"]["x"].toInt(), 10);

    const std::string missing = dir.filePath("missing.lwf").toStdString();
    const Outcome none = Info(missing, false);
    EXPECT_EQ(none.code, 5);
    EXPECT_EQ(none.err,
              "lumora-warp-cli: cannot read " + missing + ": No such file or directory\n");
    EXPECT_EQ(Info(dir.path().toStdString(), true).code, 5);
}
