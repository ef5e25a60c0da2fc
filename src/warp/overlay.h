#pragma once

// The grid overlay of both channels: which markers the box's overlay memory
// holds, where the selection frame was drawn, and the drawing that brings
// the overlay in line with the grid model by sending only the changes.

#include <array>
#include <cstdint>
#include <functional>

#include "link/register_port.h"
#include "warp/grid_model.h"
#include "warp/overlay_fill.h"

namespace lumora::warp {

struct LatticePoint {
    int column = 0;
    int row = 0;

    friend bool operator==(const LatticePoint&, const LatticePoint&) = default;
};

class GridOverlay {
  public:
    // One byte per lattice point, indexed like the points: 1 = its marker is
    // in the overlay memory.
    using DrawnFlags = std::array<std::uint8_t, kLatticePoints>;

    GridOverlay(RegisterPort& port, const GridModel& model) : port_(port), model_(model) {}

    // Channel c is 0 (A) or 1 (B); any other channel draws nothing.
    const DrawnFlags& drawn(int c) const { return channel(c).drawn; }
    LatticePoint shownSelection(int c) const { return channel(c).shownSelection; }
    void setShownSelection(int c, LatticePoint point);
    // The box's overlay memory is unknown again (the port closed): nothing
    // counts as drawn, on both channels.
    void forgetDrawing();

    // Every drawing operation throws OverlayStalled when the engine does not
    // finish a fill; the flags of the fills that did finish are kept.
    //
    // Handlers run while a fill is awaited. An update, rebuild or full clear of
    // a channel asked for while that channel is being drawn is therefore held
    // back and done once the drawing in hand has finished, so that two
    // drawings never interleave their fills.
    void EraseMarker(int c, int column, int row);
    // With `selected`, the selection frame goes in first.
    void DrawMarker(int c, int column, int row, bool selected);
    void UpdateOverlay(int c, bool visibilityAllowed);
    void RebuildOverlay(int c, bool visibilityAllowed);
    void FullClear(int c);
    // Another page (uniformity) takes over channel c's overlay: a full clear
    // after which nothing counts as drawn, then `paint` for that page. Held
    // back like the others while c is being drawn; once held, it wins over
    // grid drawings asked after it, which it would wipe anyway.
    void ClearForOtherDrawing(int c, std::function<void()> paint);

  private:
    enum class Drawing { kNone, kUpdate, kRebuild, kOther };
    struct ChannelOverlay {
        DrawnFlags drawn{};
        LatticePoint shownSelection{};
        bool drawing = false;
        Drawing held = Drawing::kNone;  // the larger of what was asked meanwhile
        bool heldVisibility = false;
        std::function<void()> other;  // the other page's drawing after its clear
    };

    ChannelOverlay& channel(int c) { return channels_[static_cast<std::size_t>(c)]; }
    const ChannelOverlay& channel(int c) const { return channels_[static_cast<std::size_t>(c)]; }
    void draw(int c, Drawing drawing, bool visibilityAllowed);
    void update(int c, bool visibilityAllowed);
    void showOverlay(int c, bool visible);

    RegisterPort& port_;
    const GridModel& model_;
    std::array<ChannelOverlay, GridModel::kChannels> channels_{};
};

}  // namespace lumora::warp
