#pragma once

// "Save file" and "Load file" with their file dialogs.

#include <QWidget>

#include "app/form1_controls.h"
#include "base/handler_guard.h"
#include "settings/settings_file.h"

namespace lumora::app {

void BindSettingsFile(const Form1Controls& c, settings::SettingsFile& file,
                      base::HandlerGuard& guard, QWidget* form);

}  // namespace lumora::app
