#include "warp/grid_editing.h"

#include "link/packets.h"

namespace lumora::warp {

GridEditing::GridEditing(link::Link& link, core::ProgramState& state, core::HandlerGuard& guard,
                         GridModel& model)
    : link_(link), state_(state), guard_(guard), model_(model), overlay_(link, model) {
    link_.router().route(link::code::kWarpReset,
                         [this](const link::Reply&) { state_.transferState = 0; });
}

void GridEditing::SendWarpReset() {
    link_.send(link::WarpResetPacket(state_.currentChannel));
}

void GridEditing::startWarpReset() {
    state_.transferState = 1;
    SendWarpReset();
}

void GridEditing::onBoxAnswered() {
    // Checking a "Show Grid" box runs its handler, on whichever channel is
    // current, as a click on it would.
    for (int box = 0; box < core::kChannels; ++box) {
        if (!view_.showGrid[static_cast<std::size_t>(box)]) {
            view_.showGrid[static_cast<std::size_t>(box)] = true;
            ShowGridAClick(true);
        }
    }
    view_.gridSizeButton = {0, 0};
    view_.internalGrid = {false, false};
    for (UndoStack& stack : undoStacks_) {
        stack.clear();
    }
    emit changed();
}

void GridEditing::onDisconnected() {
    overlay_.forgetDrawing();
}

void GridEditing::InitialiseAfterConnect(const link::PictureSize& size) {
    model_.setPictureSize(size.width, size.height);
    for (int c = 0; c < core::kChannels; ++c) {
        ChannelGrid& channel = model_.channel(c);
        channel.gridSize = kGrid2x2;
        channel.internalGrid = 0;
        channel.showGrid = 1;
        channel.currentColumn = 0;
        channel.currentRow = 0;
        overlay_.setShownSelection(c, {0, 0});
    }
    model_.transform() = {.scaleX = 1.0f, .scaleY = 1.0f, .offsetX = 0.0f, .offsetY = 0.0f};
    model_.recordedGridSize = kGrid2x2;
    model_.recordedInternalGrid = 0;
    for (const int c : {1, 0}) {
        state_.currentChannel = static_cast<std::uint8_t>(c);
        model_.ApplyGridSize(c, model_.channel(c).gridSize);
        model_.ResetGrid(c);
    }
    for (int c = 0; c < core::kChannels; ++c) {
        showGridSettings(c);
    }
    emit changed();
}

void GridEditing::showGridSettings(int c) {
    const ChannelGrid& channel = model_.channel(c);
    const auto i = static_cast<std::size_t>(c);
    view_.gridSizeButton[i] = channel.gridSize;
    view_.internalGrid[i] = channel.internalGrid != 0;
    view_.showGrid[i] = channel.showGrid != 0;
}

void GridEditing::WP2x2Click() {
    gridSizeClick(kGrid2x2);
}

void GridEditing::WP5x5AClick() {
    gridSizeClick(kGrid5x5);
}

void GridEditing::WP9x9AClick() {
    gridSizeClick(kGrid9x9);
}

void GridEditing::WP17x17AClick() {
    gridSizeClick(kGrid17x17);
}

void GridEditing::gridSizeClick(std::int32_t gridSize) {
    const int c = state_.currentChannel;
    if (GridModel::isGridChannel(c)) {
        model_.ApplyGridSize(c, gridSize);
        showGridSettings(c);
    }
    // Also for "All": the window goes back to what the model holds.
    emit changed();
    guard_.run([&] { overlay_.RebuildOverlay(c, true); });
}

void GridEditing::InterGridAClick(bool checked) {
    const int c = state_.currentChannel;
    if (GridModel::isGridChannel(c)) {
        ChannelGrid& channel = model_.channel(c);
        channel.internalGrid = checked ? 1 : 0;
        model_.ApplyGridSize(c, channel.gridSize);
        showGridSettings(c);
    }
    emit changed();
    guard_.run([&] { overlay_.UpdateOverlay(c, true); });
}

void GridEditing::ShowGridAClick(bool checked) {
    const int c = state_.currentChannel;
    if (GridModel::isGridChannel(c)) {
        model_.channel(c).showGrid = checked ? 1 : 0;
        showGridSettings(c);
    }
    emit changed();
    guard_.run([&] { overlay_.UpdateOverlay(c, true); });
}

void GridEditing::TabSheet7Show() {
    warpAdjustShow(0);
}

void GridEditing::TabSheet8Show() {
    warpAdjustShow(1);
}

void GridEditing::warpAdjustShow(int channel) {
    state_.setCurrentChannel(channel);
    if (state_.connected) {
        guard_.run([&] {
            overlay_.FullClear(channel);
            overlay_.RebuildOverlay(channel, true);
        });
    }
}

}  // namespace lumora::warp
