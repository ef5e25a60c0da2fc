#pragma once

// The log Memo1 and the message boxes of errors.

#include <QWidget>

#include "app/form1_controls.h"
#include "base/operator_messages.h"

namespace lumora::app {

// Message boxes open over `window`.
void BindMessages(const Form1Controls& c, base::OperatorMessages& messages, QWidget* window);

}  // namespace lumora::app
