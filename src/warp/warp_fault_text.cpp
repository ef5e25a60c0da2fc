#include "warp/warp_fault_text.h"

#include <cstdio>

namespace lumora::warp {
namespace {

constexpr const char* kKept = "; the previous map is kept.";

std::string Format(const char* format, auto... values) {
    char buffer[320];
    std::snprintf(buffer, sizeof buffer, format, values...);
    return buffer;
}

const char* CornerName(int corner) {
    static constexpr const char* kNames[] = {"top-left", "top-right", "bottom-left",
                                             "bottom-right"};
    return kNames[corner];
}

}  // namespace

std::string ChannelName(int channel) {
    return channel == 0 ? "Channel A" : "Channel B";
}

std::string PictureSizeFaultText(int width, int height) {
    if (width <= 0 || height <= 0) {
        return Format(
            "Warp map not computed: the picture size is not known (%d x %d). "
            "Connect to the box first%s",
            width, height, kKept);
    }
    return Format(
        "Warp map not computed: the picture size %d x %d is larger than the warp "
        "map holds (at most 1984 x 1232). Set the box to a smaller picture%s",
        width, height, kKept);
}

std::string CoincidentPointsText(int channel, int column1, int row1, int column2, int row2,
                                 char axis, float value) {
    return Format(
        "Warp map not computed: points (%d, %d) and (%d, %d) of %s have the same %c "
        "(%g). Move one of them apart%s",
        column1, row1, column2, row2, ChannelName(channel).c_str(), axis,
        static_cast<double>(value), kKept);
}

std::string CrossingLinesText(int channel, bool rows, int first, char axis, float at) {
    return Format(
        "Warp map not computed: grid %s %d and %d of %s meet at %c = %g. Move their "
        "points apart%s",
        rows ? "rows" : "columns", first, first + 1, ChannelName(channel).c_str(), axis,
        static_cast<double>(at), kKept);
}

std::string NoSourceText(int channel, float x, float y) {
    return Format(
        "Warp map not computed: the grid of %s folds so far that the output sample "
        "at (%g, %g) has no source position. Move its points back%s",
        ChannelName(channel).c_str(), static_cast<double>(x), static_cast<double>(y), kKept);
}

std::string DegenerateCornersText(int channel, bool shifted, const Corners& corners) {
    const std::string what = shifted ? "the shifted corners of " + ChannelName(channel)
                                     : "the corner points of " + ChannelName(channel) + "'s grid";
    const std::string remedy = shifted ? "Shift a corner back" : "Move a corner point";
    for (int a = 0; a < 4; ++a) {
        for (int b = a + 1; b < 4; ++b) {
            if (corners[a] == corners[b]) {
                return Format(
                    "Warp map not computed: in %s the %s and %s corners coincide at "
                    "(%g, %g). %s%s",
                    what.c_str(), CornerName(a), CornerName(b), static_cast<double>(corners[a].x),
                    static_cast<double>(corners[a].y), remedy.c_str(), kKept);
            }
        }
    }
    return Format(
        "Warp map not computed: %s enclose no area or fold over (top-left (%g, %g), "
        "top-right (%g, %g), bottom-left (%g, %g), bottom-right (%g, %g)). %s%s",
        what.c_str(), static_cast<double>(corners[0].x), static_cast<double>(corners[0].y),
        static_cast<double>(corners[1].x), static_cast<double>(corners[1].y),
        static_cast<double>(corners[2].x), static_cast<double>(corners[2].y),
        static_cast<double>(corners[3].x), static_cast<double>(corners[3].y), remedy.c_str(),
        kKept);
}

}  // namespace lumora::warp
