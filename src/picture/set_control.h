#pragma once

// A control of a picture page set as the operator sets it: a different
// value is taken and runs the control's change handler at once, with the
// other controls as they stand; the same value does nothing.

namespace lumora::picture {

template <class T, class Handler>
void SetControl(T& control, const T& value, Handler&& changeHandler) {
    if (control == value) {
        return;
    }
    control = value;
    changeHandler();
}

}  // namespace lumora::picture
