#include "core/handler_guard.h"

#include "link/link_error.h"
#include "warp/overlay_fill.h"

namespace lumora::core {
namespace {

const char* const kOverlayStayedBusy =
    "The box did not finish drawing the grid overlay (register 0x66 stayed busy). Check the "
    "box, then show the Warp adjust page again to redraw the grid.";

}  // namespace

void HandlerGuard::endWaitsOnFailure() {
    for (const auto& hook : failureHooks_) {
        hook();
    }
}

void HandlerGuard::run(const std::function<void()>& body) {
    const bool wasOpen = link_.isOpen();
    try {
        body();
    } catch (const link::WaitAborted&) {
        // Closed under the handler or quitting: whoever did it has spoken.
    } catch (const link::LinkError& error) {
        // Nothing will answer a packet that never left: end the wait as a
        // time-out would, so that moves, resets and saves are not blocked.
        endWaitsOnFailure();
        if ((wasOpen && !link_.isOpen()) || link_.lineFailed()) {
            return;
        }
        messages_.raiseError(QString::fromStdString(error.what()));
    } catch (const warp::OverlayStalled& stall) {
        if (stall.reason() == warp::OverlayStalled::Reason::kStayedBusy) {
            messages_.raiseError(QString::fromLatin1(kOverlayStayedBusy));
        }
    }
}

}  // namespace lumora::core
