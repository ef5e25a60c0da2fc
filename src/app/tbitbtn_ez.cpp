#include "app/tbitbtn_ez.h"

#include <QMouseEvent>

namespace lumora::app {

TBitBtnEZ::TBitBtnEZ(QWidget* parent) : QPushButton(parent) {}

void TBitBtnEZ::leaveEvent(QEvent* event) {
    QPushButton::leaveEvent(event);
    emit mouseLeave();
}

// The base class runs first so that the button is already down (and a click
// will follow on release) when the listeners hear of the press.
void TBitBtnEZ::mousePressEvent(QMouseEvent* event) {
    QPushButton::mousePressEvent(event);
    emit mousePressed(event->button());
}

// The base class emits clicked() here; the release is reported after it, as
// the click happens before the button's own mouse-up.
void TBitBtnEZ::mouseReleaseEvent(QMouseEvent* event) {
    QPushButton::mouseReleaseEvent(event);
    emit mouseReleased(event->button());
}

}  // namespace lumora::app
