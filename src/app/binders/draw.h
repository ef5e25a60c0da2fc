#pragma once

// Drawing a control from its model. Signals are blocked meanwhile: drawing
// shows a value, it never runs a handler.

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QSignalBlocker>

namespace lumora::app {

inline void DrawValue(QAbstractSlider* control, int value) {
    const QSignalBlocker quiet(control);
    control->setValue(value);
}

inline void DrawChecked(QAbstractButton* control, bool checked) {
    const QSignalBlocker quiet(control);
    control->setChecked(checked);
}

}  // namespace lumora::app
