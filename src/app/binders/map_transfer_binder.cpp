#include "app/binders/map_transfer_binder.h"

#include <array>

#include "app/binders/whole.h"

namespace lumora::app {

void BindMapTransfer(const Form1Controls& c, warp::MapTransfer& transfer, base::HandlerGuard& guard,
                     QObject* context) {
    const std::array<QPushButton*, 10> slotButtons = {
        c.SavetoBox1, c.SavetoBox2, c.SavetoBox3, c.SavetoBox4, c.SavetoBox5,
        c.SavetoBox6, c.SavetoBox7, c.SavetoBox8, c.SavetoBox9, c.SavetoBox10};
    for (std::size_t slot = 0; slot < slotButtons.size(); ++slot) {
        QObject::connect(
            slotButtons[slot], &QAbstractButton::clicked, context,
            Whole(guard, [&transfer, slot] { transfer.SavetoBoxClick(static_cast<int>(slot)); }));
    }
    QObject::connect(c.Button35, &QAbstractButton::clicked, context,
                     Whole(guard, [&transfer] { transfer.Button35Click(); }));
}

}  // namespace lumora::app
