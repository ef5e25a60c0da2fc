#pragma once

// The right-hand column: "COM PORT", "Connect" and the picture size, and the
// pages and "Save to Box" that the connection enables.

#include <QString>

#include "app/form1_controls.h"
#include "core/connection.h"

namespace lumora::app {

// preferredPort: selected in "COM PORT" when it is in the list.
void BindConnection(const Form1Controls& c, core::Connection& connection, base::HandlerGuard& guard,
                    QObject* context, const QString& preferredPort);

}  // namespace lumora::app
