#pragma once

// The main window's widget tree: every control with its name, caption,
// range, start value and place, and no behaviour. The binders reach the
// controls through the typed table that BuildForm1 returns.

#include "app/form1_controls.h"

class QWidget;

namespace lumora::app {

inline constexpr int kFormClientWidth = 953;
inline constexpr int kFormClientHeight = 343;

// Controls that the operator never sees lie at or below this line, outside
// the fixed client area.
inline constexpr int kHiddenAreaTop = 360;

// Fixes the form's size and font and creates all of its child controls.
// Both page controls and "Save to Box" start disabled, as when disconnected.
Form1Controls BuildForm1(QWidget* form);

// The service view: the form grows to hold the controls below and beside
// its client area, and both four-corner pages get their tabs.
void ShowServiceArea(QWidget* form, const Form1Controls& c);

}  // namespace lumora::app
