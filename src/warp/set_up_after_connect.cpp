#include "warp/set_up_after_connect.h"

namespace lumora::warp {

void SetUpAfterConnect::InitialiseAfterConnect(const link::PictureSize& size) {
    GridModel& model = c_.model;
    model.setPictureSize(size.width, size.height);
    for (int c = 0; c < base::kChannels; ++c) {
        ChannelGrid& channel = model.channel(c);
        channel.gridSize = kGrid2x2;
        channel.internalGrid = 0;
        channel.showGrid = 1;
        channel.currentColumn = 0;
        channel.currentRow = 0;
        c_.overlay.setShownSelection(c, {0, 0});
    }
    model.transform() = {.scaleX = 1.0f, .scaleY = 1.0f, .offsetX = 0.0f, .offsetY = 0.0f};
    model.recordedGridSize = kGrid2x2;
    model.recordedInternalGrid = 0;
    for (const int c : {1, 0}) {
        c_.state.currentChannel = static_cast<std::uint8_t>(c);
        model.ApplyGridSize(c, model.channel(c).gridSize);
        model.ResetGrid(c);
    }
    if (gridsShown_) {
        gridsShown_();
    }
    // The grids are at the lattice: set 9 goes to Channel A, none to B.
    c_.reset.expectConfirmations();
    c_.reset.ResetWarpMap(0);
    if (uniformityTables_) {
        uniformityTables_();
    }
    for (const int c : {0, 1}) {
        c_.state.currentChannel = static_cast<std::uint8_t>(c);
        c_.overlay.RebuildOverlay(c, true);
        c_.reset.SendWarpReset(static_cast<std::uint8_t>(c));
    }
    if (uniformityCursors_) {
        uniformityCursors_();
    }
    if (!c_.reset.awaitConfirmations()) {
        c_.messages.appendLog(
            QStringLiteral("The box did not confirm the warp resets of the set-up after connect "
                           "within two seconds."));
    }
}

}  // namespace lumora::warp
