#pragma once

// Both colour pages ("Color adjust" of Channel A, "Color Adjust" of B): the
// input gain of red, green and blue with its switch, and the input offset of
// each. They live in register bank 5 of the page's channel.
//
// The pages' controls are held here as a model (the window binds its widgets
// to it). Each handler works on its own page's channel and makes it the
// current channel.

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <utility>

#include "base/handler_guard.h"
#include "base/program_state.h"
#include "link/link.h"

namespace lumora::picture {

class ColourAdjust : public QObject {
    Q_OBJECT
  public:
    enum Colour { kRed = 0, kGreen = 1, kBlue = 2 };
    static constexpr int kColours = 3;
    static constexpr int kDefaultGain = 512;

    // One page's controls (page 0 = Channel A's, 1 = Channel B's).
    struct Page {
        bool gainEnabled = false;                                                  // "Gain"
        std::array<int, kColours> gain{kDefaultGain, kDefaultGain, kDefaultGain};  // 0..2047
        std::array<QString, kColours> gainText{"512", "512", "512"};
        std::array<int, kColours> offset{};  // -512..511
        std::array<QString, kColours> offsetText{"0", "0", "0"};
    };

    ColourAdjust(link::Link& link, base::ProgramState& state, base::HandlerGuard& guard);

    const Page& page(int channel) const { return pages_[static_cast<std::size_t>(channel)]; }
    Page& page(int channel) { return pages_[static_cast<std::size_t>(channel)]; }

    // The page's controls set as the operator sets them (the window, a
    // settings load, the command line): a different value is shown and runs
    // the control's handler at once; the same value does nothing.
    void setGainEnabled(int channel, bool on);
    void setGain(int channel, int colour, int value);
    void setOffset(int channel, int colour, int value);

    // A gain bar moved: its read-out and gain, only while "Gain" is checked.
    void InGainBarChange(int channel, int colour);
    // An offset bar moved: its read-out and offset, whatever "Gain" says.
    void InOffsetBarChange(int channel, int colour);
    // "Gain" switched on (all three gains first, then the switch) or off.
    void InGainEnableCBClick(int channel);

  signals:
    // The page's controls or read-outs have something new to show.
    void changed(int channel);

  private:
    void sendGain(int channel, int colour);
    // Register writes into the colour bank of `channel`, the bank selected
    // around them.
    void writeBank(std::uint8_t channel,
                   std::initializer_list<std::pair<std::uint8_t, std::uint8_t>> writes);

    link::Link& link_;
    base::ProgramState& state_;
    base::HandlerGuard& guard_;
    std::array<Page, base::kChannels> pages_{};
};

}  // namespace lumora::picture
