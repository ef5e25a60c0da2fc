#pragma once

// The box's rectangle-fill engine: one fill of the overlay memory, the clear
// of a whole picture, and the bounded wait for the engine to go idle.

#include <chrono>
#include <cstdint>
#include <stdexcept>

#include "base/handler_fault.h"
#include "link/register_port.h"

namespace lumora::warp {

using link::RegisterPort;

struct FillRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const FillRect&, const FillRect&) = default;
};

inline constexpr std::uint8_t kMarkerColour = 0x88;
inline constexpr std::uint8_t kClearColour = 0x00;

// The engine status never went idle. The drawing that waited on it is
// abandoned; what had completed before stays done.
class OverlayStalled : public base::HandlerFault {
  public:
    enum class Reason {
        kNoReply,     // status reads in a row got no reply
        kStayedBusy,  // the status read busy past the bound
    };

    explicit OverlayStalled(Reason reason);
    Reason reason() const { return reason_; }

  private:
    Reason reason_;
};

// Bound on the status poll of one fill. A box that answers busy forever
// would otherwise hold the handler (and the operator) for good.
inline constexpr std::chrono::milliseconds kMaxBusyTime{2000};
inline constexpr int kMaxBusyReads = 2000;
// Status reads in a row without a reply before the drawing is abandoned.
inline constexpr int kMaxUnansweredReads = 2;

// Register values of a fill of `rect`; widths and addresses wrap as the
// engine's registers do.
std::uint16_t FillWidthRegister(int width);
std::uint16_t FillHeightRegister(int height);
std::uint32_t FillAddressRegister(int x, int y);

// Reads the engine status until a fill has ended, within the bounds above.
// Throws OverlayStalled when it does not get there.
void WaitUntilIdle(RegisterPort& port, std::uint8_t channel);

// Fills `rect` with `colour` and returns when the engine is idle. Throws
// OverlayStalled when it does not get there.
void OverlayFill(RegisterPort& port, std::uint8_t channel, const FillRect& rect,
                 std::uint8_t colour);

// Clears the whole overlay of a picture of width x height.
void FullClear(RegisterPort& port, std::uint8_t channel, int width, int height);

}  // namespace lumora::warp
