#include "warp/live_warp.h"

namespace lumora::warp {

bool LiveWarp::send(int c, const std::function<void()>& change,
                    const std::function<void()>& takeBack) {
    if (busy() || !GridModel::isGridChannel(c)) {
        return false;
    }
    change();
    if (const auto fault = maps_.computeShifted(model_, c)) {
        takeBack();
        messages_.raiseError(QString::fromStdString(fault->message));
        return false;
    }
    try {
        transfer_.startLive(c);
    } catch (...) {
        // Nothing reached the box: neither does the change.
        takeBack();
        throw;
    }
    return true;
}

}  // namespace lumora::warp
