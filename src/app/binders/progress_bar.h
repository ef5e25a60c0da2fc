#pragma once

// The thin bar along the bottom of the right column: a running map transfer
// or save, a uniformity upload, or a settings load shows how far it is. A
// load's own steps include its transfers and uploads, so while it runs only
// the load's progress is shown.

#include "app/form1_controls.h"
#include "core/session.h"

namespace lumora::app {

void BindProgress(const Form1Controls& c, core::Session& session, QObject* context);

}  // namespace lumora::app
