#include "warp/overlay_fill.h"

#include "warp/overlay_registers.h"

namespace lumora::warp {
namespace {

using namespace overlay_reg;

constexpr std::int64_t kOverlayBase = 0x4C00000;
constexpr std::int64_t kAddressMask = 0x7FFFFFF;
constexpr int kUnitsPerLine = 1024;

// A whole-picture clear runs long; reading status at once would only read busy.
constexpr std::chrono::milliseconds kClearSettle{100};

void StartFill(RegisterPort& port, std::uint8_t channel, const FillRect& rect,
               std::uint8_t colour) {
    port.write8(channel, kBankSelect, 0x00);
    port.write8(channel, kFillColour, colour);
    port.write16(channel, kFillWidth, FillWidthRegister(rect.width));
    port.write16(channel, kFillHeight, FillHeightRegister(rect.height));
    port.write32(channel, kFillAddress, FillAddressRegister(rect.x, rect.y));
    port.write8(channel, kEngineControl, kStartFill);
}

}  // namespace

void WaitUntilIdle(RegisterPort& port, std::uint8_t channel) {
    using Clock = std::chrono::steady_clock;
    Clock::time_point firstBusy;
    for (int busyReads = 0, unanswered = 0;;) {
        const std::optional<std::uint8_t> status = port.read(channel, kEngineStatus);
        // One lost reply is asked again; a second in a row means the box
        // has stopped answering (and the link fails reads at once from then).
        if (!status) {
            if (++unanswered >= kMaxUnansweredReads) {
                throw OverlayStalled(OverlayStalled::Reason::kNoReply);
            }
            continue;
        }
        unanswered = 0;
        if ((*status & kStatusBusy) == 0) {
            return;
        }
        if (++busyReads == 1) {
            firstBusy = Clock::now();
        }
        if (busyReads >= kMaxBusyReads || Clock::now() - firstBusy > kMaxBusyTime) {
            throw OverlayStalled(OverlayStalled::Reason::kStayedBusy);
        }
    }
}

// A box that stopped answering has been reported by the link already.
OverlayStalled::OverlayStalled(Reason reason)
    : base::HandlerFault(
          reason == Reason::kNoReply ? "overlay engine status: no reply"
                                     : "overlay engine status: stayed busy",
          reason == Reason::kNoReply
              ? QString()
              : QStringLiteral("The box did not finish drawing the grid overlay (register 0x66 "
                               "stayed busy). Check the box, then show the Warp adjust page "
                               "again to redraw the grid.")),
      reason_(reason) {}

std::uint16_t FillWidthRegister(int width) {
    return static_cast<std::uint16_t>((width / 2 - 1) & 0xFFF);
}

std::uint16_t FillHeightRegister(int height) {
    return static_cast<std::uint16_t>((height - 1) & 0xFFF);
}

std::uint32_t FillAddressRegister(int x, int y) {
    const std::int64_t address = kOverlayBase + std::int64_t{y} * kUnitsPerLine + x / 2;
    return static_cast<std::uint32_t>(address & kAddressMask);
}

void OverlayFill(RegisterPort& port, std::uint8_t channel, const FillRect& rect,
                 std::uint8_t colour) {
    StartFill(port, channel, rect, colour);
    WaitUntilIdle(port, channel);
}

void FullClear(RegisterPort& port, std::uint8_t channel, int width, int height) {
    StartFill(port, channel, {0, 0, width, height}, kClearColour);
    port.wait(kClearSettle);
    WaitUntilIdle(port, channel);
    port.write8(channel, kEngineControl, kEngineStop);
}

}  // namespace lumora::warp
