#include "link/port_list.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

namespace lumora::link {
namespace {

bool ProcessAlive(qint64 pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

bool Ours(const struct stat& info) {
    return info.st_uid == ::geteuid();
}

// Anyone can create /tmp/lumora-boxsim-<uid> before the box does: only a real
// folder of ours that nobody else can write into is believed. Null otherwise.
DIR* OpenPrivateFolder(const QString& path) {
    const int fd =
        ::open(path.toLocal8Bit().constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    struct stat info {};
    DIR* dir = nullptr;
    if (::fstat(fd, &info) != 0 || !Ours(info) || (info.st_mode & 0777) != 0700 ||
        (dir = ::fdopendir(fd)) == nullptr) {
        ::close(fd);
    }
    return dir;
}

// The first line of a regular file of ours; empty for anything else (a link,
// a FIFO, a file someone else put there).
QByteArray ReadAnnouncement(int dirFd, const char* name) {
    struct stat info {};
    if (::fstatat(dirFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode) ||
        !Ours(info)) {
        return {};
    }
    const int fd = ::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    char text[4096];
    const ssize_t n = ::read(fd, text, sizeof text);
    ::close(fd);
    return QByteArray(text, std::max<ssize_t>(n, 0)).split('\n').front();
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
    DIR* dir = OpenPrivateFolder(VirtualBoxAnnounceDir());
    if (dir == nullptr) {
        return {};
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        if (const std::string name = entry->d_name; name.ends_with(".port")) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());

    QStringList ports;
    for (const std::string& name : names) {
        bool ok = false;
        const qint64 pid = QString::fromStdString(name.substr(0, name.size() - 5)).toLongLong(&ok);
        if (!ok || !ProcessAlive(pid)) {
            continue;  // left behind by a box that died
        }
        const QString path =
            QString::fromLocal8Bit(ReadAnnouncement(::dirfd(dir), name.c_str())).trimmed();
        if (!path.isEmpty() && QFileInfo::exists(path)) {
            ports << path;
        }
    }
    ::closedir(dir);
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
