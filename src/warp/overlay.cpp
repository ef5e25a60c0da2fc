#include "warp/overlay.h"

#include <algorithm>
#include <utility>

#include "warp/overlay_marks.h"
#include "warp/overlay_registers.h"

namespace lumora::warp {
namespace {

using namespace overlay_reg;

std::uint8_t ChannelByte(int c) {
    return static_cast<std::uint8_t>(c);
}

}  // namespace

void GridOverlay::setShownSelection(int c, LatticePoint point) {
    if (GridModel::isGridChannel(c)) {
        channel(c).shownSelection = point;
    }
}

void GridOverlay::forgetDrawing() {
    for (ChannelOverlay& overlay : channels_) {
        overlay.drawn.fill(0);
        overlay.shownSelection = {};
    }
}

void GridOverlay::EraseMarker(int c, int column, int row) {
    if (!GridModel::isGridChannel(c)) {
        return;
    }
    OverlayFill(port_, ChannelByte(c), MarkerBox(model_, column, row), kClearColour);
}

void GridOverlay::DrawMarker(int c, int column, int row, bool selected) {
    if (!GridModel::isGridChannel(c)) {
        return;
    }
    if (selected) {
        OverlayFill(port_, ChannelByte(c), MarkerBox(model_, column, row), kMarkerColour);
        OverlayFill(port_, ChannelByte(c), SelectionInner(model_, column, row), kClearColour);
    }
    OverlayFill(port_, ChannelByte(c), MarkerDot(model_, column, row), kMarkerColour);
}

void GridOverlay::UpdateOverlay(int c, bool visibilityAllowed) {
    draw(c, Drawing::kUpdate, visibilityAllowed);
}

void GridOverlay::RebuildOverlay(int c, bool visibilityAllowed) {
    draw(c, Drawing::kRebuild, visibilityAllowed);
}

void GridOverlay::draw(int c, Drawing drawing, bool visibilityAllowed) {
    if (!GridModel::isGridChannel(c)) {
        return;
    }
    ChannelOverlay& overlay = channel(c);
    if (overlay.drawing) {
        overlay.held = std::max(overlay.held, drawing);
        overlay.heldVisibility = visibilityAllowed;
        return;
    }
    overlay.drawing = true;
    // Also when a fill stalls: what was held back is dropped with it.
    struct Done {
        ChannelOverlay& overlay;
        ~Done() {
            overlay.drawing = false;
            overlay.held = Drawing::kNone;
            overlay.other = nullptr;
        }
    } done{overlay};
    for (;;) {
        if (drawing == Drawing::kRebuild || drawing == Drawing::kOther) {
            warp::FullClear(port_, ChannelByte(c), model_.width(), model_.height());
            overlay.drawn.fill(0);
        }
        if (drawing == Drawing::kOther) {
            if (const auto paint = std::exchange(overlay.other, nullptr)) {
                paint();
            }
        } else {
            update(c, visibilityAllowed);
        }
        if (overlay.held == Drawing::kNone) {
            return;
        }
        drawing = std::exchange(overlay.held, Drawing::kNone);
        visibilityAllowed = overlay.heldVisibility;
    }
}

void GridOverlay::update(int c, bool visibilityAllowed) {
    const ChannelGrid& grid = model_.channel(c);
    ChannelOverlay& overlay = channel(c);
    // Other handlers may run while a fill is awaited: work from the
    // selection as it was when the update began.
    const LatticePoint selection{grid.currentColumn, grid.currentRow};
    const LatticePoint shown = overlay.shownSelection;
    for (int row = 0; row <= kLastLine; ++row) {
        for (int column = 0; column <= kLastLine; ++column) {
            const int index = PointIndex(column, row);
            std::uint8_t& drawn = overlay.drawn[static_cast<std::size_t>(index)];
            const LatticePoint point{column, row};
            if ((grid.active[static_cast<std::size_t>(index)] != 0) != (drawn != 0)) {
                if (drawn != 0) {
                    EraseMarker(c, column, row);
                    drawn = 0;
                } else {
                    DrawMarker(c, column, row, point == selection);
                    drawn = 1;
                }
            } else if (shown != selection && (point == selection || point == shown)) {
                EraseMarker(c, column, row);
                if (drawn != 0) {
                    DrawMarker(c, column, row, point == selection);
                }
            }
        }
    }
    overlay.shownSelection = selection;
    showOverlay(c, visibilityAllowed && grid.showGrid == 1);
}

void GridOverlay::showOverlay(int c, bool visible) {
    const std::uint8_t ch = ChannelByte(c);
    port_.write8(ch, kBankSelect, 0x00);
    port_.write8(ch, kEngineControl, kMarkerPassDone);
    port_.write8(ch, kBankSelect, kDisplayBank);
    port_.write8(ch, kDisplaySwitch, visible ? 0x01 : 0x00);
    port_.write8(ch, kBankSelect, 0x00);
}

void GridOverlay::ClearForOtherDrawing(int c, std::function<void()> paint) {
    if (!GridModel::isGridChannel(c)) {
        return;
    }
    channel(c).other = std::move(paint);
    draw(c, Drawing::kOther, channel(c).heldVisibility);
}

void GridOverlay::FullClear(int c) {
    if (!GridModel::isGridChannel(c)) {
        return;
    }
    if (channel(c).drawing) {
        // Clearing under the drawing in hand would leave flags that lie.
        draw(c, Drawing::kRebuild, channel(c).heldVisibility);
        return;
    }
    warp::FullClear(port_, ChannelByte(c), model_.width(), model_.height());
}

}  // namespace lumora::warp
