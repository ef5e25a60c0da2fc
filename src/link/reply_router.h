#pragma once

// Hands each reply of the box to whoever registered for its code, so that
// every feature area registers its own replies instead of one switch that
// grows with each of them. Codes nobody registered for are ignored.

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "link/reply.h"

namespace lumora::link {

class ReplyRouter {
  public:
    using Handler = std::function<void(const Reply&)>;

    void route(std::uint8_t code, Handler handler);
    // Sees every reply, before the handlers of its code (an echo, a tap).
    void observeAll(Handler handler);
    void dispatch(const Reply& reply) const;

  private:
    std::map<std::uint8_t, std::vector<Handler>> handlers_;
    std::vector<Handler> observers_;
};

}  // namespace lumora::link
