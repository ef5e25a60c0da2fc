#include "warp/corner_shift.h"

namespace lumora::warp {

void CornerShift::onBoxAnswered() {
    counters_.fill(0);
    emit changed();
}

}  // namespace lumora::warp
