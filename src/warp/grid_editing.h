#pragma once

// The grid side of both "Warp adjust" pages: the grid-size buttons,
// "Internal Grid" and "Show Grid", showing a page, the warp reset, the undo
// streams of the arrow moves, and the initialisation after connect. The
// overlay that the box draws of the grids is kept in line with them here.

#include <QObject>
#include <array>

#include "core/handler_guard.h"
#include "core/program_state.h"
#include "link/link.h"
#include "link/picture_size.h"
#include "warp/grid_model.h"
#include "warp/overlay.h"
#include "warp/undo_stack.h"

namespace lumora::warp {

class GridEditing : public QObject {
    Q_OBJECT
  public:
    // The grid controls of both pages as the window shows them. The "Show
    // Grid" box is the operator's; the model's flag follows it on the
    // channel that is current when it changes.
    struct View {
        std::array<bool, core::kChannels> showGrid{};
        std::array<int, core::kChannels> gridSizeButton{};  // 0 = "2x2" .. 3 = "17x17"
        std::array<bool, core::kChannels> internalGrid{};
    };

    GridEditing(link::Link& link, core::ProgramState& state, core::HandlerGuard& guard,
                GridModel& model);

    const View& view() const { return view_; }
    GridModel& grid() { return model_; }
    GridOverlay& overlay() { return overlay_; }
    const GridOverlay& overlay() const { return overlay_; }
    // Per-channel undo of arrow moves (0 = Channel A, 1 = Channel B).
    UndoStack& undoStack(int channel) { return undoStacks_[static_cast<std::size_t>(channel)]; }

    // Grid-size buttons "2x2" to "17x17", "Internal Grid", "Show Grid" and
    // the "Warp adjust" pages of Channel A (7) and B (8). All act on the
    // current channel and do nothing for "All".
    void WP2x2Click();
    void WP5x5AClick();
    void WP9x9AClick();
    void WP17x17AClick();
    void InterGridAClick(bool checked);
    void ShowGridAClick(bool checked);
    void TabSheet7Show();
    void TabSheet8Show();

    // 0x31 for the current channel.
    void SendWarpReset();
    // Sets the transfer state and sends the warp reset; the box's 0x31 reply
    // ends the wait.
    void startWarpReset();

    // The connect reply's part: both "Show Grid" boxes checked (running the
    // handler for each that changes), "2x2" pressed, "Internal Grid"
    // unchecked, both undo streams emptied.
    void onBoxAnswered();
    // The port closed: the next connection starts with nothing drawn.
    void onDisconnected();
    // Timer1's tick, once the picture size has been read.
    void InitialiseAfterConnect(const link::PictureSize& size);

  signals:
    void changed();

  private:
    void gridSizeClick(std::int32_t gridSize);
    void warpAdjustShow(int channel);
    // The window shows the grid settings of channel c as the model holds them.
    void showGridSettings(int c);

    link::Link& link_;
    core::ProgramState& state_;
    core::HandlerGuard& guard_;
    GridModel& model_;
    GridOverlay overlay_;
    View view_;
    std::array<UndoStack, core::kChannels> undoStacks_;
};

}  // namespace lumora::warp
