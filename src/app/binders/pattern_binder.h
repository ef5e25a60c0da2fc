#pragma once

// Both "Pattern" pages.

#include "app/form1_controls.h"
#include "picture/test_pattern.h"

namespace lumora::app {

void BindPatternPages(const Form1Controls& c, picture::TestPattern& pattern,
                      base::HandlerGuard& guard, QObject* context);

}  // namespace lumora::app
