#include "link/port_list.h"

#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>
#include <cerrno>

namespace lumora::link {
namespace {

bool ProcessAlive(qint64 pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

}  // namespace

QString VirtualBoxAnnounceDir() {
    if (const QByteArray dir = qgetenv("LUMORA_BOXSIM_DIR"); !dir.isEmpty()) {
        return QString::fromLocal8Bit(dir);
    }
    if (const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"); !runtime.isEmpty()) {
        return QString::fromLocal8Bit(runtime) + "/lumora-boxsim";
    }
    return QStringLiteral("/tmp/lumora-boxsim-%1").arg(::getuid());
}

QStringList VirtualBoxPorts() {
    QStringList ports;
    const QDir dir(VirtualBoxAnnounceDir());
    for (const QFileInfo& entry : dir.entryInfoList({"*.port"}, QDir::Files)) {
        bool ok = false;
        const qint64 pid = entry.completeBaseName().toLongLong(&ok);
        if (!ok || !ProcessAlive(pid)) {
            continue;  // left behind by a box that died
        }
        QFile file(entry.filePath());
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QString path = QString::fromLocal8Bit(file.readLine()).trimmed();
        if (!path.isEmpty() && QFileInfo::exists(path)) {
            ports << path;
        }
    }
    return ports;
}

QStringList ListPorts() {
    QStringList ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        ports << info.portName();
    }
    ports << VirtualBoxPorts();
    ports.removeDuplicates();
    // Plain text order: a name ending in 10 comes before one ending in 2.
    std::sort(ports.begin(), ports.end());
    return ports;
}

}  // namespace lumora::link
