#include "app/binders/warp_shift_binder.h"

#include <QMouseEvent>
#include <array>

#include "app/binders/draw.h"
#include "app/binders/whole.h"

namespace lumora::app {
namespace {

using warp::Axis;
using warp::Corner;

struct CornerGroup {
    Corner corner;
    std::array<TBitBtnEZ*, 4> buttons;  // up, down, left, right
    QCheckBox* x10;
};

// Up and Left decrease, Down and Right increase: y grows downward.
constexpr std::array<Axis, 4> kAxes = {Axis::kY, Axis::kY, Axis::kX, Axis::kX};
constexpr std::array<int, 4> kSigns = {-1, 1, -1, 1};

// The number of the mouse button, as the caption shows it.
class MouseButtonCaption : public QObject {
  public:
    explicit MouseButtonCaption(QWidget* window) : QObject(window), window_(window) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto button = static_cast<QMouseEvent*>(event)->button();
            const int number = button == Qt::RightButton ? 1 : button == Qt::MiddleButton ? 2 : 0;
            window_->setWindowTitle(QString::number(number));
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QWidget* window_;
};

}  // namespace

void BindWarpShiftPages(const Form1Controls& c, warp::CornerShift& shift, base::HandlerGuard& guard,
                        QWidget* window) {
    const std::array<std::array<CornerGroup, 4>, base::kChannels> pages = {{
        {{{Corner::kTopLeft,
           {c.TLShiftUpBtnA, c.TLShiftDownBtnA, c.TLShiftLeftBtnA, c.TLShiftRightBtnA},
           c.TLX10A},
          {Corner::kTopRight,
           {c.TRShiftUpBtnA, c.TRShiftDownBtnA, c.TRShiftLeftBtnA, c.TRShiftRightBtnA},
           c.TRX10A},
          {Corner::kBottomLeft,
           {c.BLShiftUpBtnA, c.BLShiftDownBtnA, c.BLShiftLeftBtnA, c.BLShiftRightBtnA},
           c.BLX10A},
          {Corner::kBottomRight,
           {c.BRShiftUpBtnA, c.BRShiftDownBtnA, c.BRShiftLeftBtnA, c.BRShiftRightBtnA},
           c.BRX10A}}},
        {{{Corner::kTopLeft,
           {c.TLShiftUpBtnB, c.TLShiftDownBtnB, c.TLShiftLeftBtnB, c.TLShiftRightBtnB},
           c.TLX10B},
          {Corner::kTopRight,
           {c.TRShiftUpBtnB, c.TRShiftDownBtnB, c.TRShiftLeftBtnB, c.TRShiftRightBtnB},
           c.TRX10B},
          {Corner::kBottomLeft,
           {c.BLShiftUpBtnB, c.BLShiftDownBtnB, c.BLShiftLeftBtnB, c.BLShiftRightBtnB},
           c.BLX10B},
          {Corner::kBottomRight,
           {c.BRShiftUpBtnB, c.BRShiftDownBtnB, c.BRShiftLeftBtnB, c.BRShiftRightBtnB},
           c.BRX10B}}},
    }};
    for (int channel = 0; channel < base::kChannels; ++channel) {
        for (const CornerGroup& group : pages[static_cast<std::size_t>(channel)]) {
            for (std::size_t k = 0; k < group.buttons.size(); ++k) {
                QObject::connect(group.buttons[k], &QAbstractButton::clicked, window,
                                 Whole(guard, [&shift, channel, corner = group.corner, k] {
                                     shift.ShiftClick(channel, corner, kAxes[k], kSigns[k]);
                                 }));
            }
            QObject::connect(group.x10, &QAbstractButton::toggled, window,
                             Whole(guard, [&shift, channel, corner = group.corner](bool on) {
                                 shift.setX10(channel, corner, on);
                             }));
        }
    }
    auto* caption = new MouseButtonCaption(window);
    c.TLShiftRightBtnA->installEventFilter(caption);
    c.TLShiftRightBtnB->installEventFilter(caption);

    // In counter order.
    const std::array<QLabel*, warp::kCornerShiftCounters> labels = {
        c.TLShiftXValueA, c.TLShiftXValueB, c.TLShiftYValueA, c.TLShiftYValueB,
        c.BLShiftXValueA, c.BLShiftXValueB, c.BLShiftYValueA, c.BLShiftYValueB,
        c.TRShiftXValueA, c.TRShiftXValueB, c.TRShiftYValueA, c.TRShiftYValueB,
        c.BRShiftXValueA, c.BRShiftXValueB, c.BRShiftYValueA, c.BRShiftYValueB};
    const auto show = [labels, pages, &shift] {
        for (std::size_t i = 0; i < labels.size(); ++i) {
            labels[i]->setText(QString::number(shift.counters()[i]));
        }
        for (int channel = 0; channel < base::kChannels; ++channel) {
            for (const CornerGroup& group : pages[static_cast<std::size_t>(channel)]) {
                DrawChecked(group.x10, shift.x10(channel, group.corner));
            }
        }
    };
    QObject::connect(&shift, &warp::CornerShift::changed, window, show);
    show();
}

}  // namespace lumora::app
