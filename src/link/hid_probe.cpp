#include "link/hid_probe.h"

#include <algorithm>

namespace lumora::link {
namespace {

void PutLe32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace

HidReport HidTestReport() {
    HidReport report;
    report.fill(0xCC);
    report[0] = 0;  // report id
    std::uint8_t* command = report.data() + 1;
    command[0] = 0xB4;
    command[1] = 14;  // bytes the checksum covers
    PutLe32(command + 2, 0x12345678);
    PutLe32(command + 6, 0xABCDEF01);
    PutLe32(command + 10, 0x43444948);  // "HIDC"
    std::uint32_t sum = 0;
    for (int i = 0; i < 14; ++i) {
        sum += command[i];
    }
    PutLe32(command + 14, sum);
    return report;
}

HidProbeResult RunHidProbe(HidSystem& system) {
    HidProbeResult result;
    std::unique_ptr<HidDevice> device;
    for (const HidDeviceInfo& info : system.devices()) {
        if (info.vendorId != kHidVendorId || info.productId != kHidProductId) {
            continue;
        }
        device = system.open(info.path);
        if (device) {
            break;
        }
    }
    if (!device) {
        result.lines << QStringLiteral("Can't Open HID Device");
        return result;
    }
    result.lines << QStringLiteral("USB HID Device VID Open Success.")
                 << QStringLiteral(">>> Test command");
    const HidReport report = HidTestReport();
    if (device->write(report, kHidWriteBound)) {
        result.outcome = HidOutcome::kWritten;
    } else {
        result.outcome = HidOutcome::kWriteFailed;
        result.lines << QStringLiteral("ERROR: Send test command error");
    }
    return result;
}

}  // namespace lumora::link
