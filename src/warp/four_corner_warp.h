#pragma once

// The four-corner pages (each channel's second "Warp adjust"): a warp mode
// that the box computes itself. The page picks a point set, selects one of
// up to 15 points and nudges it by a step; only the reset addresses the
// current channel, everything else channel 0 with Channel A's controls,
// whichever page fired.
//
// Channel A's page controls are held here as a model; the window binds its
// widgets to it, the command line drives the same handlers.

#include <QObject>
#include <QString>
#include <cstdint>

#include "base/handler_guard.h"
#include "base/operator_messages.h"
#include "base/program_state.h"
#include "link/link.h"

namespace lumora::warp {

class FourCornerWarp : public QObject {
    Q_OBJECT
  public:
    static constexpr int kMaxStepPosition = 49;  // the step sent is position + 1

    // Tags of the move buttons.
    enum Move { kUp = 0, kLeft = 1, kDown = 2, kRight = 3 };

    // Channel A's page as it shows.
    struct View {
        int modeItem = 0;      // CBWarpMode
        int stepPosition = 0;  // ChangeStepBar
        QString stepLabel = QStringLiteral("1");
        std::uint32_t shownPoints = 0;  // bit k: RBCur k enabled and visible
        int checkedPoint = 0;           // the RBCur switched on
    };

    FourCornerWarp(link::Link& link, base::ProgramState& state, base::HandlerGuard& guard,
                   base::OperatorMessages& messages);

    const View& view() const { return view_; }
    int selectedPoint() const { return selected_; }

    // CBWarpMode set to `item` (0 "2x2", 1 "3x3", 2 "5x3"); sends nothing.
    void setModeItem(int item);
    // ChangeStepBar moved to `position` (0..49); sends nothing.
    void setStepPosition(int position);

    void CBWarpModeChange();
    // A point's radio button switched on: logs it and selects it.
    void RB4CClick(int tag);
    // RBCur `point` switched on by the operator.
    void RBCurClick(int point);
    void ChangeStepBarChange();
    void Warp4CBtnClick(int tag);
    void Button2Click();

  signals:
    void changed();

  private:
    // Shows the points of `mode`, then switches RBCur0 on.
    void showPointSet(int mode);

    link::Link& link_;
    base::ProgramState& state_;
    base::HandlerGuard& guard_;
    base::OperatorMessages& messages_;
    View view_;
    int selected_ = 0;
};

}  // namespace lumora::warp
