#include "cli/info_command.h"

#include <QByteArray>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <vector>

#include "cli/cli_commands.h"
#include "settings/settings_image.h"

namespace lumora::cli {
namespace {

using settings::kSettingsImageSize;
using settings::SettingsImage;

struct NamedValue {
    const char* key;    // JSON
    const char* label;  // text
    std::int32_t value;
};

std::array<NamedValue, 7> Fields(const settings::ColourAdjustRecord& r) {
    return {{{"gainEnable", "gain enable", r.gainEnable},
             {"redGain", "red gain", r.redGain},
             {"greenGain", "green gain", r.greenGain},
             {"blueGain", "blue gain", r.blueGain},
             {"redOffset", "red offset", r.redOffset},
             {"greenOffset", "green offset", r.greenOffset},
             {"blueOffset", "blue offset", r.blueOffset}}};
}

std::array<NamedValue, 12> Fields(const settings::EdgeBlendRecord& r) {
    return {{{"marker", "marker", r.marker},
             {"leftEnable", "left enable", r.leftEnable},
             {"leftWidth", "left width", r.leftWidth},
             {"rightEnable", "right enable", r.rightEnable},
             {"rightWidth", "right width", r.rightWidth},
             {"topEnable", "top enable", r.topEnable},
             {"topWidth", "top width", r.topWidth},
             {"bottomEnable", "bottom enable", r.bottomEnable},
             {"bottomWidth", "bottom width", r.bottomWidth},
             {"transitionOffset", "transition offset", r.transitionOffset},
             {"nonTransitionOffset", "non-transition offset", r.nonTransitionOffset},
             {"gammaX100", "gamma x100", r.gammaX100}}};
}

struct CornerName {
    warp::Corner corner;
    int gridPoint;
    const char* key;
    const char* label;
};

constexpr std::array<CornerName, 4> kCorners = {{
    {warp::kTopLeft, warp::PointIndex(0, 0), "topLeft", "top-left"},
    {warp::kTopRight, warp::PointIndex(warp::kLastLine, 0), "topRight", "top-right"},
    {warp::kBottomLeft, warp::PointIndex(0, warp::kLastLine), "bottomLeft", "bottom-left"},
    {warp::kBottomRight, warp::PointIndex(warp::kLastLine, warp::kLastLine), "bottomRight",
     "bottom-right"},
}};

struct ChannelFacts {
    float minX, minY, maxX, maxY;
    std::int32_t gainMin, gainMax, offsetMin, offsetMax;
};

ChannelFacts Facts(const SettingsImage& s, int channel) {
    const auto c = static_cast<std::size_t>(channel);
    ChannelFacts f{};
    // fmin/fmax pass over NaN, which a foreign file can hold.
    f.minX = f.maxX = s.grids[c][0].x;
    f.minY = f.maxY = s.grids[c][0].y;
    for (const warp::ControlPoint& p : s.grids[c]) {
        f.minX = std::fmin(f.minX, p.x);
        f.maxX = std::fmax(f.maxX, p.x);
        f.minY = std::fmin(f.minY, p.y);
        f.maxY = std::fmax(f.maxY, p.y);
    }
    const auto used = [](const settings::UniformityTable& t) {
        return std::minmax_element(t.begin(), t.begin() + settings::kUniformityUsedEntries);
    };
    const auto gain = used(s.uniformityGain[c]);
    const auto offset = used(s.uniformityOffset[c]);
    f.gainMin = *gain.first;
    f.gainMax = *gain.second;
    f.offsetMin = *offset.first;
    f.offsetMax = *offset.second;
    return f;
}

std::string GridSizeName(std::int32_t index) {
    constexpr std::array<const char*, 4> kNames = {"2x2", "5x5", "9x9", "17x17"};
    return index >= 0 && index < 4 ? kNames[static_cast<std::size_t>(index)]
                                   : std::to_string(index);
}

std::string Number(float value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

std::int16_t Shift(const SettingsImage& s, warp::Corner corner, settings::Axis axis, int channel) {
    return s
        .cornerShift[static_cast<std::size_t>(settings::CornerShiftIndex(corner, axis, channel))];
}

template <std::size_t N>
void PrintFields(std::ostream& out, const std::array<NamedValue, N>& fields) {
    for (std::size_t i = 0; i < N; ++i) {
        out << (i ? ", " : "") << fields[i].label << " " << fields[i].value;
    }
    out << "\n";
}

void PrintChannel(std::ostream& out, const SettingsImage& s, int channel) {
    const auto c = static_cast<std::size_t>(channel);
    const ChannelFacts f = Facts(s, channel);
    out << "Channel " << (channel == 0 ? "A" : "B") << "\n";
    out << "  grid size:      " << GridSizeName(s.gridSize[c]) << "\n";
    out << "  internal grid:  " << s.internalGrid[c] << "\n";
    out << "  grid bounds:    x " << Number(f.minX) << " .. " << Number(f.maxX) << ", y "
        << Number(f.minY) << " .. " << Number(f.maxY) << "\n";
    out << "  grid corners:   ";
    for (const CornerName& k : kCorners) {
        const warp::ControlPoint& p = s.grids[c][static_cast<std::size_t>(k.gridPoint)];
        out << (k.corner == warp::kTopLeft ? "" : ", ") << k.label << " (" << Number(p.x) << ", "
            << Number(p.y) << ")";
    }
    out << "\n  corner shift:   ";
    for (const CornerName& k : kCorners) {
        out << (k.corner == warp::kTopLeft ? "" : ", ") << k.label << " x "
            << Shift(s, k.corner, settings::Axis::kX, channel) << " y "
            << Shift(s, k.corner, settings::Axis::kY, channel);
    }
    out << "\n  uniformity:     enable " << s.uniformityEnable[c] << ", gain " << f.gainMin
        << " .. " << f.gainMax << ", offset " << f.offsetMin << " .. " << f.offsetMax << "\n";
    out << "  colour adjust:  ";
    PrintFields(out, Fields(s.colourAdjust[c]));
    out << "  edge blend:     ";
    PrintFields(out, Fields(s.edgeBlend[c]));
}

template <std::size_t N>
QJsonObject JsonFields(const std::array<NamedValue, N>& fields) {
    QJsonObject object;
    for (const NamedValue& f : fields) {
        object.insert(f.key, f.value);
    }
    return object;
}

QJsonObject XY(double x, double y) {
    return QJsonObject{{"x", x}, {"y", y}};
}

QJsonObject JsonChannel(const SettingsImage& s, int channel) {
    const auto c = static_cast<std::size_t>(channel);
    const ChannelFacts f = Facts(s, channel);
    QJsonObject corners;
    QJsonObject shifts;
    for (const CornerName& k : kCorners) {
        const warp::ControlPoint& p = s.grids[c][static_cast<std::size_t>(k.gridPoint)];
        corners.insert(k.key, XY(p.x, p.y));
        shifts.insert(k.key, XY(Shift(s, k.corner, settings::Axis::kX, channel),
                                Shift(s, k.corner, settings::Axis::kY, channel)));
    }
    const std::int32_t size = s.gridSize[c];
    return QJsonObject{
        {"gridSize", size},
        {"gridSizeName", size >= 0 && size < 4
                             ? QJsonValue(QString::fromStdString(GridSizeName(size)))
                             : QJsonValue()},
        {"internalGrid", s.internalGrid[c]},
        {"gridBounds",
         QJsonObject{{"minX", f.minX}, {"minY", f.minY}, {"maxX", f.maxX}, {"maxY", f.maxY}}},
        {"gridCorners", corners},
        {"cornerShift", shifts},
        {"uniformity", QJsonObject{{"enable", s.uniformityEnable[c]},
                                   {"gainMin", f.gainMin},
                                   {"gainMax", f.gainMax},
                                   {"offsetMin", f.offsetMin},
                                   {"offsetMax", f.offsetMax}}},
        {"colourAdjust", JsonFields(Fields(s.colourAdjust[c]))},
        {"edgeBlend", JsonFields(Fields(s.edgeBlend[c]))},
    };
}

// Where a short file stops, in words: "inside X" or "before X".
std::string WhereItEnds(const settings::SettingsReadResult& r) {
    const settings::SettingsBlock& block = *r.firstShortBlock;
    return (r.bytesUsed > block.offset ? "inside \"" : "before \"") + std::string(block.name) +
           "\" (byte " + std::to_string(block.offset) + ")";
}

}  // namespace

int RunInfoCommand(const Options& options, std::ostream& out, std::ostream& err) {
    const std::string& path = options.positional.at(0);
    QFile file(QString::fromStdString(path));
    // One byte past a settings file is enough to tell a longer file apart
    // without reading all of it.
    QByteArray head;
    if (file.open(QIODevice::ReadOnly)) {
        head = file.read(static_cast<qint64>(kSettingsImageSize) + 1);
    }
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        err << "lumora-warp-cli: cannot read " << path << ": " << file.errorString().toStdString()
            << "\n";
        return kExitFileFailed;
    }
    const std::uint64_t size =
        file.isSequential() ? static_cast<std::uint64_t>(head.size()) : file.size();
    const std::vector<std::uint8_t> bytes(head.begin(), head.end());

    SettingsImage image;
    const auto result = settings::ReadSettingsImage(bytes, image);

    const std::string warning = "lumora-warp-cli: warning: " + path;
    if (!result.complete) {
        err << warning << " is short (" << size << " of " << kSettingsImageSize
            << " bytes): it ends " << WhereItEnds(result)
            << "; what is shown from there on is not from the file\n";
    } else if (size > kSettingsImageSize) {
        err << warning << " is longer than a settings file; the last " << size - kSettingsImageSize
            << " bytes are ignored\n";
    }
    if (!result.headerMatches) {
        err << warning << " does not begin like a settings file; it is shown as the loader "
            << "would take it\n";
    }

    if (options.json) {
        QJsonObject root{
            {"file", QString::fromStdString(path)},
            {"size", static_cast<qint64>(size)},
            {"bytesRead", static_cast<qint64>(result.bytesUsed)},
            {"complete", result.complete},
            {"headerOk", result.headerMatches},
            {"endsIn",
             result.firstShortBlock
                 ? QJsonValue(QJsonObject{
                       {"block", QString::fromUtf8(
                                     result.firstShortBlock->name.data(),
                                     static_cast<qsizetype>(result.firstShortBlock->name.size()))},
                       {"offset", static_cast<qint64>(result.firstShortBlock->offset)}})
                 : QJsonValue()},
            {"channels", QJsonObject{{"A", JsonChannel(image, 0)}, {"B", JsonChannel(image, 1)}}},
        };
        out << QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
        return kExitDone;
    }

    out << "file:   " << path << "\n";
    out << "size:   " << size << " bytes, ";
    if (!result.complete) {
        out << "short: ends " << WhereItEnds(result) << "\n";
    } else if (size > kSettingsImageSize) {
        out << size - kSettingsImageSize << " past the end ignored\n";
    } else {
        out << "complete\n";
    }
    out << "header: " << (result.headerMatches ? "ok" : "not a settings file header") << "\n";
    PrintChannel(out, image, 0);
    PrintChannel(out, image, 1);
    return kExitDone;
}

}  // namespace lumora::cli
