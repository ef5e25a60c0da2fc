#include "app/binders/warp_shift_binder.h"

#include <array>

namespace lumora::app {

void BindWarpShiftPages(const Form1Controls& c, warp::CornerShift& shift, QObject* context) {
    // In counter order.
    const std::array<QLabel*, warp::CornerShift::kCounters> labels = {
        c.TLShiftXValueA, c.TLShiftXValueB, c.TLShiftYValueA, c.TLShiftYValueB,
        c.BLShiftXValueA, c.BLShiftXValueB, c.BLShiftYValueA, c.BLShiftYValueB,
        c.TRShiftXValueA, c.TRShiftXValueB, c.TRShiftYValueA, c.TRShiftYValueB,
        c.BRShiftXValueA, c.BRShiftXValueB, c.BRShiftYValueA, c.BRShiftYValueB};
    const auto show = [labels, &shift] {
        for (std::size_t i = 0; i < labels.size(); ++i) {
            labels[i]->setText(QString::number(shift.counters()[i]));
        }
    };
    QObject::connect(&shift, &warp::CornerShift::changed, context, show);
    show();
}

}  // namespace lumora::app
