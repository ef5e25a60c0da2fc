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

std::string NotFinitePointText(int channel, int column, int row, char axis, float value) {
    return Format(
        "Warp map not computed: point (%d, %d) of %s holds %c = %g, which is not a finite "
        "number. Give it a position or reset the grid%s",
        column, row, ChannelName(channel).c_str(), axis, static_cast<double>(value), kKept);
}

std::string FarOutPointText(int channel, int column, int row, char axis, float value) {
    return Format(
        "Warp map not computed: point (%d, %d) of %s lies too far out (%c = %g) to compute "
        "with. Move it back%s",
        column, row, ChannelName(channel).c_str(), axis, static_cast<double>(value), kKept);
}

std::string UnprojectablePointText(int channel, int column, int row, const ControlPoint& point) {
    return Format(
        "Warp map not computed: the shifted corners of %s give point (%d, %d), at (%g, %g), "
        "no finite position. Move the point back or shift a corner back%s",
        ChannelName(channel).c_str(), column, row, static_cast<double>(point.x),
        static_cast<double>(point.y), kKept);
}

std::string DerivedFarOutText(int channel, int column, int row, char axis, float value) {
    return Format(
        "Warp map not computed: point (%d, %d) of %s, derived from the points around it, "
        "comes out at %c = %g. Move those points apart%s",
        column, row, ChannelName(channel).c_str(), axis, static_cast<double>(value), kKept);
}

std::string LineCurveFaultText(int channel, bool rows, int line, SplineFault::Kind kind,
                               int column1, int row1, int column2, int row2) {
    const char* what = rows ? "row" : "column";
    const std::string why =
        kind == SplineFault::Kind::kSingularKnot
            ? Format("its equations at point (%d, %d) have no unique solution", column1, row1)
            : Format(
                  "its coefficients between points (%d, %d) and (%d, %d) are not finite "
                  "numbers",
                  column1, row1, column2, row2);
    return Format(
        "Warp map not computed: the curve through %s %d of %s cannot be fitted: %s. Move the "
        "points of that %s apart and into order%s",
        what, line, ChannelName(channel).c_str(), why.c_str(), what, kKept);
}

std::string InverseCurveFaultText(int channel, bool rows, char axis, float at,
                                  SplineFault::Kind kind, int first) {
    const char* what = rows ? "row" : "column";
    const std::string why =
        kind == SplineFault::Kind::kSingularKnot
            ? Format("its equations at %s %d have no unique solution", what, first)
            : Format("its coefficients between %ss %d and %d are not finite numbers", what, first,
                     first + 1);
    return Format(
        "Warp map not computed: the curve across the %ss of %s at output %c = %g cannot be "
        "fitted: %s. Move the points of those %ss apart%s",
        what, ChannelName(channel).c_str(), axis, static_cast<double>(at), why.c_str(), what,
        kKept);
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
