#pragma once

// Both "Pattern" pages: the box's built-in test pattern, switched on and
// off, in one of seven colours, with its horizontal and vertical grid size.
//
// The pages' controls are held here as a model (the window binds its widgets
// to it), so that the handlers read their values from the controls whoever
// set them: the operator, a settings load or the command line.

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>

#include "base/handler_guard.h"
#include "base/program_state.h"
#include "link/link.h"

namespace lumora::picture {

class TestPattern : public QObject {
    Q_OBJECT
  public:
    static constexpr int kColours = 7;
    // Item 6, "White", is selected in the form.
    static constexpr int kWhite = 6;
    static constexpr int kDefaultGridSize = 32;

    // One page's controls (page 0 = Channel A's, 1 = Channel B's).
    struct Page {
        int colourItem = kWhite;  // "Red", "Cyan", "Greem", "Magenta", "Blue", "Yellow", "White"
        bool enabled = false;     // "Enable Pattern"
        int horizontal = kDefaultGridSize;  // 0..255
        int vertical = kDefaultGridSize;
        QString horizontalText = QStringLiteral("32");
        QString verticalText = QStringLiteral("32");
    };

    // The code of a colour item: bit 0 red, bit 1 green, bit 2 blue.
    static std::uint8_t ColourCode(int item);

    TestPattern(link::Link& link, base::ProgramState& state, base::HandlerGuard& guard);

    const Page& page(int p) const { return pages_[static_cast<std::size_t>(p)]; }
    Page& page(int p) { return pages_[static_cast<std::size_t>(p)]; }

    // Page p's controls set as the operator sets them: a different value is
    // shown and runs the control's handler at once; the same value (a click
    // on the colour already chosen) does nothing.
    void setColourItem(int p, int item);
    void setEnabled(int p, bool on);
    void setHorizontal(int p, int size);
    void setVertical(int p, int size);

    // "Enable Pattern" of page p: the current channel gets the page's colour
    // and the switch state.
    void CBEnablePatternClick(int p);
    // A colour chosen on page p: sent with the switch on, but only while the
    // page's pattern is on.
    void RGPtnColorClick(int p);
    // A grid-size bar of page p moved: its read-out, then both sizes of the
    // page.
    void SBarHGridSizeChange(int p);
    void SBarVGridSizeChange(int p);

  signals:
    // Page p's controls or read-outs have something new to show.
    void changed(int page);

  private:
    // Channel A's page always addresses channel 0 for colour and size;
    // Channel B's the current channel.
    std::uint8_t channelFor(int p) const;
    void sendSizes(int p);

    link::Link& link_;
    base::ProgramState& state_;
    base::HandlerGuard& guard_;
    std::array<Page, base::kChannels> pages_{};
};

}  // namespace lumora::picture
