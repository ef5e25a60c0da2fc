#include "link/port_lock.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lumora::link {
namespace {

// The lock file's name: the port's name below /dev with '/' as '_'
// ("/dev/pts/3" -> "LCK..pts_3", "/dev/ttyUSB0" -> "LCK..ttyUSB0").
QString LockFileName(const QString& portPath) {
    QString name = portPath;
    if (name.startsWith(QLatin1String("/dev/"))) {
        name = name.mid(5);
    }
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("LCK..") + name;
}

}  // namespace

QStringList SerialLockDirectories() {
    return {QStringLiteral("/var/lock"), QStringLiteral("/run/lock"), QStringLiteral("/tmp"),
            QStringLiteral("/var/tmp")};
}

std::optional<QString> PortLockHolder(const QString& portPath, const QStringList& lockDirectories) {
    for (const QString& dir : lockDirectories) {
        QFile lock(QDir(dir).filePath(LockFileName(portPath)));
        if (!lock.open(QIODevice::ReadOnly)) {
            continue;
        }
        // First line: the process id; second: the program's name.
        const QStringList lines = QString::fromLocal8Bit(lock.read(4096)).split(QLatin1Char('\n'));
        bool ok = false;
        const qint64 pid = lines.value(0).trimmed().toLongLong(&ok);
        if (!ok || pid <= 0) {
            continue;
        }
        const QString program = lines.value(1).trimmed();
        return (program.isEmpty() ? QStringLiteral("another program") : program) +
               QStringLiteral(" (process %1, lock file %2)").arg(pid).arg(lock.fileName());
    }
    return std::nullopt;
}

std::optional<QString> PortInUseText(const QString& portPath, const QStringList& lockDirectories) {
    QString path = portPath;
    if (!path.startsWith(QLatin1Char('/'))) {
        path = QStringLiteral("/dev/") + path;
    }
    if (const auto holder = PortLockHolder(path, lockDirectories)) {
        return QStringLiteral("the port is in use by %1; close that program, then connect again")
            .arg(*holder);
    }
    // Without a lock file: a port this user may read and write that still
    // refuses to open is held exclusively by another program.
    if (::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0) {
        return QStringLiteral(
            "the port is in use by another program; close it, then connect again");
    }
    return std::nullopt;
}

}  // namespace lumora::link
