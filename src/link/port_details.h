#pragma once

// What the system knows of each serial port beyond its name: the stable names
// udev gives it, which survive replugging and renumbering, and the USB
// adapter's ids and description.

#include <QString>
#include <QStringList>
#include <vector>

namespace lumora::link {

struct PortDetails {
    QString name;             // as in the port list
    QStringList stableNames;  // by-id links; by-path ones only where there is no id
    QString usbId;            // "0403:6001"; empty when unknown
    QString description;      // the adapter's product text; empty when unknown
};

// The folder holding by-id/ and by-path/: $LUMORA_SERIAL_DIR, else /dev/serial.
QString SerialLinkRoot();

// The links under root/by-id (else root/by-path) that lead to `device`, sorted.
QStringList StableNames(const QString& device, const QString& root);

// Every port of ListPorts(), in its order.
std::vector<PortDetails> DescribePorts(const QString& root = SerialLinkRoot());

}  // namespace lumora::link
