#pragma once

// Both "Edge Blend" pages: per edge a blend width and its switch, the blend
// marker, the offsets of the transition and non-transition windows and the
// transition gamma.
//
// The pages' controls are held here as a model (the window binds its widgets
// to it). One set of handlers serves both pages: they address the current
// channel and read that channel's controls, whichever page the change came
// from. The left and right widths also place the box's transition and
// non-transition windows across a fixed 1920 x 1080 blend frame.

#include <QObject>
#include <QString>
#include <array>
#include <chrono>
#include <cstdint>

#include "base/handler_guard.h"
#include "base/program_state.h"
#include "link/link.h"

namespace lumora::picture {

class EdgeBlend : public QObject {
    Q_OBJECT
  public:
    enum Edge { kLeft = 0, kRight = 1, kTop = 2, kBottom = 3 };
    static constexpr int kEdges = 4;
    static constexpr int kMinWidth = 50;
    static constexpr int kMinGamma = 90;
    // The gamma bar rests only on multiples of this.
    static constexpr int kGammaStep = 10;
    // The box wants a moment between a width and each window that follows it.
    static constexpr std::chrono::milliseconds kWindowPause{100};

    // One page's controls (page 0 = Channel A's, 1 = Channel B's).
    struct Page {
        std::array<bool, kEdges> edgeEnabled{};  // "Left", "Right", "Top", "Bottom"
        std::array<int, kEdges> width{kMinWidth, kMinWidth, kMinWidth, kMinWidth};  // 50..800
        std::array<QString, kEdges> widthText{"50", "50", "50", "50"};
        bool marker = false;  // "Marker Enable"
        int transition = 0;   // 0..48
        QString transitionText = QStringLiteral("0");
        int nonTransition = 0;  // 0..48
        QString nonTransitionText = QStringLiteral("0");
        int gamma = kMinGamma;  // 90..250, in hundredths
        QString gammaText = QStringLiteral("0.9");
    };

    // Where the gamma bar may rest for a proposed position: the next
    // multiple of ten upwards.
    static int GammaSCBarScroll(int proposed);
    // A gamma position in hundredths as the shortest decimal: 0.9, 1, 1.1.
    static QString GammaText(int position);

    // `pause` separates a width from the windows that follow it.
    EdgeBlend(link::Link& link, base::ProgramState& state, base::HandlerGuard& guard,
              std::chrono::milliseconds pause = kWindowPause);

    const Page& page(int p) const { return pages_[static_cast<std::size_t>(p)]; }
    Page& page(int p) { return pages_[static_cast<std::size_t>(p)]; }

    // Page p's controls set as the operator sets them (the window, a
    // settings load, the command line): a different value is shown and runs
    // the control's handler at once; the same value does nothing.
    void setEdgeEnabled(int p, int edge, bool on);
    void setWidth(int p, int edge, int width);
    void setMarker(int p, bool on);
    void setTransition(int p, int value);
    void setNonTransition(int p, int value);
    void setGamma(int p, int value);

    // The width bar of `edge` on page p moved: its position goes into the
    // read-out of the current channel's edge and, while that edge is
    // switched on, to the box, for left or right with the two windows.
    void EBSBarChange(int p, int edge);
    // An edge switched on (its width, and the windows for left or right) or
    // off (width 0; for left or right the windows without it).
    void EdgeCheckBoxClick(int edge);
    // Page p's marker, transition offset, non-transition offset and gamma,
    // sent to the current channel.
    void EBMarkerCbClick(int p);
    void TransitionSBarChange(int p);
    void NonTransitionSBarChange(int p);
    void GammaSCBarChange(int p);

  signals:
    // Page p's controls or read-outs have something new to show.
    void changed(int page);

  private:
    // Both windows after the left or right width of the current channel
    // changed, in the order the box needs them.
    void sendWindowsFor(std::uint8_t channel, int edge);
    void sendWindowsWithout(std::uint8_t channel, int edge);
    void sendWindow(std::uint8_t channel, const std::array<std::uint16_t, 6>& values);
    void pause();

    link::Link& link_;
    base::ProgramState& state_;
    base::HandlerGuard& guard_;
    std::chrono::milliseconds pause_;
    std::array<Page, base::kChannels> pages_{};
};

}  // namespace lumora::picture
