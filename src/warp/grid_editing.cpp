#include "warp/grid_editing.h"

namespace lumora::warp {

GridEditing::GridEditing(const Context& context)
    : state_(context.state),
      guard_(context.guard),
      model_(context.model),
      live_(context.live),
      overlay_(context.overlay),
      reset_(context.reset) {
    timer2_.setInterval(kRepeatIntervalMs);
    // The repeat is operator input too: it never starts inside a handler.
    connect(&timer2_, &QTimer::timeout, this,
            [this] { guard_.runWhole([this] { Timer2Timer(); }); });
}

void GridEditing::onBoxAnswered() {
    // Checking a "Show Grid" box runs its handler, on whichever channel is
    // current, as a click on it would.
    for (int box = 0; box < base::kChannels; ++box) {
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
    timer2_.stop();
}

void GridEditing::onGridsReset() {
    for (int c = 0; c < base::kChannels; ++c) {
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

void GridEditing::stepSelection(int columnStep, int rowStep) {
    const int c = state_.currentChannel;
    if (!GridModel::isGridChannel(c)) {
        return;
    }
    model_.StepSelection(c, columnStep, rowStep);
    guard_.run([&] { overlay_.UpdateOverlay(c, true); });
}

void GridEditing::TBStepChange(int page, int position) {
    view_.stepText[static_cast<std::size_t>(page)] = QString::number(position);
    const int c = state_.currentChannel;
    if (GridModel::isGridChannel(c)) {
        model_.channel(c).step = static_cast<float>(position);
    }
    emit changed();
}

bool GridEditing::movePoint(int c, float dx, float dy) {
    ChannelGrid& grid = model_.channel(c);
    ControlPoint& point = grid.points[PointIndex(grid.currentColumn, grid.currentRow)];
    const ControlPoint old = point;
    const ControlPoint moved{old.x + dx / model_.transform().scaleX,
                             old.y + dy / model_.transform().scaleY};
    // A step too small to change the coordinates moves nothing, and sends
    // nothing: the tables may hold the other channel's map.
    if (moved == old) {
        return false;
    }
    const std::int32_t recordedSize = model_.recordedGridSize;
    const std::int32_t recordedInternal = model_.recordedInternalGrid;
    return live_.send(
        c,
        [&] {
            model_.recordedGridSize = grid.gridSize;
            model_.recordedInternalGrid = grid.internalGrid;
            point = moved;
        },
        [&] {
            point = old;
            model_.recordedGridSize = recordedSize;
            model_.recordedInternalGrid = recordedInternal;
        });
}

void GridEditing::arrowMove(MoveDirection direction) {
    guard_.run([&] {
        const int c = state_.currentChannel;
        if (live_.busy() || !GridModel::isGridChannel(c)) {
            return;
        }
        const ChannelGrid& grid = model_.channel(c);
        const float s = grid.step;
        float dx = 0.0f;
        float dy = 0.0f;
        switch (direction) {
            case MoveDirection::kUp:
                dy = -s;
                break;
            case MoveDirection::kDown:
                dy = s;
                break;
            case MoveDirection::kLeft:
                dx = -s;
                break;
            case MoveDirection::kRight:
                dx = s;
                break;
        }
        const UndoRecord record{grid.gridSize, static_cast<std::int32_t>(direction),
                                grid.currentColumn, grid.currentRow, s};
        if (movePoint(c, dx, dy)) {
            undoStack(c).push(record);
        }
    });
}

void GridEditing::GridArrowDown(MoveDirection direction) {
    heldDirection_ = direction;
    arrowMove(direction);
    timer2_.start(kRepeatIntervalMs);
}

void GridEditing::GridArrowUp() {
    timer2_.stop();
}

void GridEditing::Timer2Timer() {
    // The repeat waits for the transfer of the move before it.
    if (!live_.busy()) {
        arrowMove(heldDirection_);
    }
}

void GridEditing::Button15Click(int tag) {
    guard_.run([&] {
        if (live_.busy() || !GridModel::isGridChannel(tag)) {
            return;
        }
        state_.setCurrentChannel(tag);
        const std::optional<UndoRecord> record = undoStack(tag).pop();
        if (!record) {
            return;
        }
        // The opposite way, by the recorded step, whatever the step is now.
        const float amount = record->direction % 2 != 0 ? -record->step : record->step;
        ChannelGrid& grid = model_.channel(tag);
        const int column = grid.currentColumn;
        const int row = grid.currentRow;
        grid.currentColumn = record->column;
        grid.currentRow = record->row;
        const bool vertical = record->direction < 2;
        // Nothing taken back (refused, or the map never left): the record
        // and the selection stay.
        const auto keepRecord = [&] {
            undoStack(tag).push(*record);
            grid.currentColumn = column;
            grid.currentRow = row;
        };
        try {
            if (!movePoint(tag, vertical ? 0.0f : amount, vertical ? amount : 0.0f)) {
                keepRecord();
            }
        } catch (...) {
            keepRecord();
            throw;
        }
    });
}

void GridEditing::resetClick(int button) {
    guard_.run([&] {
        if (live_.busy()) {
            return;
        }
        reset_.Reset(state_.currentChannel, view_.showGrid[static_cast<std::size_t>(button)],
                     [&] { undoStack(button).clear(); });
    });
}

}  // namespace lumora::warp
