#pragma once

// Both "Warp adjust" pages at work: the grid-size buttons, "Internal Grid"
// and "Show Grid", showing a page, the selection and move arrows with their
// repeat, the step track bars, UNDO and RESET (the warp reset itself lives
// in WarpReset). The overlay that the box draws of the grids is kept in line
// with them here.

#include <QObject>
#include <QString>
#include <QTimer>
#include <array>

#include "base/handler_guard.h"
#include "base/program_state.h"
#include "warp/grid_model.h"
#include "warp/live_warp.h"
#include "warp/overlay.h"
#include "warp/undo_stack.h"
#include "warp/warp_reset.h"

namespace lumora::warp {

enum class MoveDirection : std::int32_t { kUp = 0, kDown = 1, kLeft = 2, kRight = 3 };

class GridEditing : public QObject {
    Q_OBJECT
  public:
    static constexpr int kRepeatIntervalMs = 500;

    // The grid controls of both pages as the window shows them. The "Show
    // Grid" box is the operator's; the model's flag follows it on the
    // channel that is current when it changes.
    struct View {
        std::array<bool, base::kChannels> showGrid{};
        std::array<int, base::kChannels> gridSizeButton{};  // 0 = "2x2" .. 3 = "17x17"
        std::array<bool, base::kChannels> internalGrid{};
        std::array<QString, base::kChannels> stepText{QStringLiteral("16"), QStringLiteral("16")};
    };

    struct Context {
        base::ProgramState& state;
        base::HandlerGuard& guard;
        GridModel& model;
        LiveWarp& live;
        GridOverlay& overlay;
        WarpReset& reset;
    };

    explicit GridEditing(const Context& context);

    const View& view() const { return view_; }
    GridModel& grid() { return model_; }
    GridOverlay& overlay() { return overlay_; }
    const GridOverlay& overlay() const { return overlay_; }
    // Per-channel undo of arrow moves (0 = Channel A, 1 = Channel B).
    UndoStack& undoStack(int channel) { return undoStacks_[static_cast<std::size_t>(channel)]; }
    QTimer& timer2() { return timer2_; }

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

    // The grid-size buttons and "Internal Grid" of page `half` set as a
    // settings load sets them: a different value runs the control's handler
    // (on the current channel) as the operator's change would; the same
    // value, or a button outside "2x2".."17x17", does nothing.
    void setGridSizeButton(int half, int button) {
        auto& pressed = view_.gridSizeButton[static_cast<std::size_t>(half)];
        if (button < kGrid2x2 || button > kGrid17x17 || pressed == button) {
            return;
        }
        pressed = button;
        gridSizeClick(button);
    }
    // The grid-size button of page `half` pressed by a settings load: shown
    // pressed, and its click handler run whatever was pressed before.
    void pressGridSizeButton(int half, int button) {
        view_.gridSizeButton[static_cast<std::size_t>(half)] = button;
        gridSizeClick(button);
    }
    void setInternalGrid(int half, bool on) {
        auto& checked = view_.internalGrid[static_cast<std::size_t>(half)];
        if (checked == on) {
            return;
        }
        checked = on;
        InterGridAClick(on);
    }

    // Move arrows of the current channel.
    void GridUpClick() { arrowMove(MoveDirection::kUp); }
    void GridDownClick() { arrowMove(MoveDirection::kDown); }
    void GridLeftClick() { arrowMove(MoveDirection::kLeft); }
    void GridRightClick() { arrowMove(MoveDirection::kRight); }
    // Pressing an arrow moves at once; holding it repeats the move in its
    // direction every 500 ms, each repeat held off while a transfer runs.
    void GridArrowDown(MoveDirection direction);
    // Releasing the arrow or leaving it.
    void GridArrowUp();
    void Timer2Timer();

    // Selection arrows: left, down, right, up.
    void BitBtn1Click() { stepSelection(-1, 0); }
    void BitBtn2Click() { stepSelection(0, 1); }
    void BitBtn3Click() { stepSelection(1, 0); }
    void BitBtn4Click() { stepSelection(0, -1); }

    // "Step" track bar of page `page` (0 = Channel A's, 1 = Channel B's),
    // position 1..64: its read-out shows it, the current channel's step takes it.
    void TBStepChange(int page, int position);

    // "RESET" of Channel A's page (Button7) and Channel B's (Button11).
    void Button7Click() { resetClick(0); }
    void Button11Click() { resetClick(1); }
    // "UNDO": the channel is the button's tag.
    void Button15Click(int tag);

    // The connect reply's part: both "Show Grid" boxes checked (running the
    // handler for each that changes), "2x2" pressed, "Internal Grid"
    // unchecked, both undo streams emptied.
    void onBoxAnswered();
    // The port closed: the next connection starts with nothing drawn.
    void onDisconnected();
    // The set-up after connect has reset both grids: the window shows them.
    void onGridsReset();

  signals:
    void changed();

  private:
    void gridSizeClick(std::int32_t gridSize);
    void warpAdjustShow(int channel);
    void stepSelection(int columnStep, int rowStep);
    void arrowMove(MoveDirection direction);
    // Moves the current point of c by (dx, dy) and sends the map live.
    // False when the point did not move, or the map was refused (then the
    // point is back where it was).
    bool movePoint(int c, float dx, float dy);
    void resetClick(int button);
    // The window shows the grid settings of channel c as the model holds them.
    void showGridSettings(int c);

    base::ProgramState& state_;
    base::HandlerGuard& guard_;
    GridModel& model_;
    LiveWarp& live_;
    GridOverlay& overlay_;
    WarpReset& reset_;
    View view_;
    std::array<UndoStack, base::kChannels> undoStacks_;
    QTimer timer2_;
    MoveDirection heldDirection_ = MoveDirection::kUp;
};

}  // namespace lumora::warp
