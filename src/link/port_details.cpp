#include "link/port_details.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include "link/port_list.h"

namespace lumora::link {
namespace {

QStringList LinksTo(const QString& target, const QString& folder) {
    QStringList links;
    const QDir dir(folder);
    for (const QString& entry : dir.entryList(QDir::System | QDir::Files, QDir::Name)) {
        const QString path = dir.filePath(entry);
        if (QFileInfo(path).canonicalFilePath() == target) {
            links << path;
        }
    }
    return links;
}

}  // namespace

QString SerialLinkRoot() {
    if (const QByteArray root = qgetenv("LUMORA_SERIAL_DIR"); !root.isEmpty()) {
        return QString::fromLocal8Bit(root);
    }
    return QStringLiteral("/dev/serial");
}

QStringList StableNames(const QString& device, const QString& root) {
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty()) {
        return {};
    }
    // An adapter without a serial number has no by-id name; its by-path name
    // is then the only one that outlasts a replug (in the same socket).
    const QStringList byId = LinksTo(target, root + "/by-id");
    return byId.isEmpty() ? LinksTo(target, root + "/by-path") : byId;
}

std::vector<PortDetails> DescribePorts(const QString& root) {
    const QList<QSerialPortInfo> known = QSerialPortInfo::availablePorts();
    std::vector<PortDetails> ports;
    for (const QString& name : ListPorts()) {
        PortDetails port{name, {}, {}, {}};
        QString device = name;
        for (const QSerialPortInfo& info : known) {
            if (info.portName() != name) {
                continue;
            }
            device = info.systemLocation();
            if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
                port.usbId = QStringLiteral("%1:%2")
                                 .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                                 .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
            }
            port.description = info.description();
        }
        port.stableNames = StableNames(device, root);
        ports.push_back(std::move(port));
    }
    return ports;
}

}  // namespace lumora::link
