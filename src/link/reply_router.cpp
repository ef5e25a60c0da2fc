#include "link/reply_router.h"

namespace lumora::link {

void ReplyRouter::route(std::uint8_t code, Handler handler) {
    handlers_[code].push_back(std::move(handler));
}

void ReplyRouter::observeAll(Handler handler) {
    observers_.push_back(std::move(handler));
}

void ReplyRouter::dispatch(const Reply& reply) const {
    for (const Handler& observer : observers_) {
        observer(reply);
    }
    if (const auto it = handlers_.find(reply.code); it != handlers_.end()) {
        for (const Handler& handler : it->second) {
            handler(reply);
        }
    }
}

}  // namespace lumora::link
