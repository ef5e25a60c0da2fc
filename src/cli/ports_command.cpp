#include "cli/ports_command.h"

namespace lumora::cli {

void PrintPorts(const std::vector<link::PortDetails>& ports, std::ostream& out) {
    for (const link::PortDetails& port : ports) {
        out << port.name.toStdString();
        if (!port.usbId.isEmpty()) {
            out << "  " << port.usbId.toStdString();
        }
        if (!port.description.isEmpty()) {
            out << "  " << port.description.toStdString();
        }
        out << "\n";
        for (const QString& name : port.stableNames) {
            out << "  " << name.toStdString() << "\n";
        }
    }
}

}  // namespace lumora::cli
