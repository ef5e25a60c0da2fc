#include "base/handler_guard.h"

#include "base/handler_fault.h"
#include "link/link_error.h"

namespace lumora::base {
void HandlerGuard::endWaitsOnFailure() {
    for (const auto& hook : failureHooks_) {
        hook();
    }
}

void HandlerGuard::runWhole(std::function<void()> handler) {
    if (running_) {
        waiting_.push_back(std::move(handler));
        return;
    }
    running_ = true;
    struct Finished {
        bool& running;
        ~Finished() { running = false; }
    } finished{running_};
    run(handler);
    while (!waiting_.empty()) {
        if (link_.quitting()) {
            waiting_.clear();  // the window is closing: nothing more starts
            break;
        }
        const std::function<void()> next = std::move(waiting_.front());
        waiting_.pop_front();
        run(next);
    }
}

void HandlerGuard::run(const std::function<void()>& body) {
    struct After {
        const std::vector<std::function<void()>>& hooks;
        ~After() {
            for (const auto& hook : hooks) {
                hook();
            }
        }
    } after{afterHooks_};
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
    } catch (const HandlerFault& fault) {
        if (!fault.operatorText().isEmpty()) {
            messages_.raiseError(fault.operatorText());
        }
    }
}

}  // namespace lumora::base
