#pragma once

// Who holds a serial port. Qt's serial layer (this program, and others built
// on it) leaves a lock file LCK..<name> naming the holder's process; a port
// opened exclusively without one still refuses a second opener. Either way
// the open fails as a permission error, which would send the operator to
// fix group membership for a port that is merely busy.

#include <QString>
#include <QStringList>
#include <optional>

namespace lumora::link {

// The folders where serial lock files are looked for, in order.
QStringList SerialLockDirectories();

// What the lock file of `portPath` says about its holder, e.g.
// "lumora-warp (process 4242)"; nullopt when there is no readable lock file.
std::optional<QString> PortLockHolder(const QString& portPath,
                                      const QStringList& lockDirectories = SerialLockDirectories());

// Why opening `portPath` failed with a permission error: the port is held by
// another program (the text says which, where a lock file tells), or this
// user may not open it. nullopt for a real permission problem.
std::optional<QString> PortInUseText(const QString& portPath,
                                     const QStringList& lockDirectories = SerialLockDirectories());

}  // namespace lumora::link
