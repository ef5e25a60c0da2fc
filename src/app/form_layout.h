#pragma once

// The main window's widget tree: every control with its name, caption,
// range, start value and place, and no behaviour. The window code finds the
// controls by name (findChild) and binds their handlers.

class QWidget;

namespace lumora::app {

inline constexpr int kFormClientWidth = 953;
inline constexpr int kFormClientHeight = 343;

// Controls that the operator never sees lie at or below this line, outside
// the fixed client area.
inline constexpr int kHiddenAreaTop = 360;

// Fixes the form's size and font and creates all of its child controls.
// Both page controls and "Save to Box" start disabled, as when disconnected.
void BuildForm1(QWidget* form);

}  // namespace lumora::app
