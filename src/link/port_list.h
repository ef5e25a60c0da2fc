#pragma once

// The serial ports the operator can choose from: the machine's serial devices
// and every running virtual box, names sorted as text.

#include <QStringList>

namespace lumora::link {

// Where running virtual boxes announce their pseudo-terminals: one file
// <pid>.port each, holding the device path.
QString VirtualBoxAnnounceDir();
QStringList VirtualBoxPorts();
QStringList ListPorts();

}  // namespace lumora::link
