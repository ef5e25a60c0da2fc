// The "COM PORT" list: virtual boxes announced by running processes only,
// names sorted as text.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "link/port_list.h"

using lumora::link::ListPorts;
using lumora::link::VirtualBoxPorts;

namespace {

void Announce(const QString& dir, qint64 pid, const QString& path) {
    QFile file(QDir(dir).filePath(QString::number(pid) + ".port"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write((path + "\n").toLocal8Bit());
}

void Touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

}  // namespace

TEST(PortList, LiveVirtualBoxesSortedAsText) {
    QTemporaryDir announce;
    QTemporaryDir devices;
    const QString v10 = devices.filePath("ttyV10");
    const QString v2 = devices.filePath("ttyV2");
    Touch(v10);
    Touch(v2);
    Announce(announce.path(), ::getpid(), v2);
    Announce(announce.path(), ::getppid(), v10);
    // Left behind by a box that died, and one whose device is gone.
    Announce(announce.path(), 0x7FFFFFF0, devices.filePath("ttyDead"));
    Touch(devices.filePath("ttyDead"));
    Announce(announce.path(), 1, devices.filePath("ttyGone"));

    const QByteArray previous = qgetenv("LUMORA_BOXSIM_DIR");
    qputenv("LUMORA_BOXSIM_DIR", announce.path().toLocal8Bit());
    QStringList boxes = VirtualBoxPorts();
    boxes.sort();
    EXPECT_EQ(boxes, (QStringList{v10, v2}));

    const QStringList ports = ListPorts();
    ASSERT_TRUE(ports.contains(v10) && ports.contains(v2));
    // A name ending in 10 comes before the same name ending in 2.
    EXPECT_LT(ports.indexOf(v10), ports.indexOf(v2));
    QStringList sorted = ports;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(ports, sorted);
    qputenv("LUMORA_BOXSIM_DIR", previous);
}

TEST(PortList, OnlyAPrivateFolderOfOursIsBelieved) {
    QTemporaryDir announce;
    QTemporaryDir elsewhere;
    const QString v1 = elsewhere.filePath("ttyV1");
    const QString v2 = elsewhere.filePath("ttyV2");
    Touch(v1);
    Touch(v2);
    Announce(announce.path(), ::getpid(), v1);
    // An announcement that is a link to someone's file is not one.
    Announce(elsewhere.path(), ::getppid(), v2);
    ASSERT_TRUE(QFile::link(elsewhere.filePath(QString::number(::getppid()) + ".port"),
                            announce.filePath(QString::number(::getppid()) + ".port")));
    const QString link = elsewhere.filePath("announce-link");
    ASSERT_TRUE(QFile::link(announce.path(), link));

    const QByteArray previous = qgetenv("LUMORA_BOXSIM_DIR");
    qputenv("LUMORA_BOXSIM_DIR", announce.path().toLocal8Bit());
    EXPECT_EQ(VirtualBoxPorts(), QStringList{v1});
    qputenv("LUMORA_BOXSIM_DIR", link.toLocal8Bit());
    EXPECT_EQ(VirtualBoxPorts(), QStringList{});
    qputenv("LUMORA_BOXSIM_DIR", announce.path().toLocal8Bit());
    ASSERT_EQ(::chmod(announce.path().toLocal8Bit().constData(), 0755), 0);
    EXPECT_EQ(VirtualBoxPorts(), QStringList{});
    EXPECT_FALSE(ListPorts().contains(v1));
    qputenv("LUMORA_BOXSIM_DIR", previous);
}
