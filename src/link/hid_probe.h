#pragma once

// The USB HID probe: finds the one HID device the tool knows (0x0416:0x5020),
// writes one fixed test command to it as a 513-byte output report and says
// how that went in log lines. It never reads an answer and never touches the
// serial link. The system's HID layer sits behind HidSystem so that every
// outcome can be driven without a device.

#include <QStringList>
#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace lumora::link {

inline constexpr std::uint16_t kHidVendorId = 0x0416;
inline constexpr std::uint16_t kHidProductId = 0x5020;
inline constexpr std::size_t kHidReportSize = 513;
inline constexpr std::chrono::milliseconds kHidWriteBound{100};

struct HidDeviceInfo {
    std::string path;  // held whole, however long
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

// One open device; closing it (the destructor) releases everything it holds.
class HidDevice {
  public:
    virtual ~HidDevice() = default;
    // True when the whole report was written within `bound`.
    virtual bool write(std::span<const std::uint8_t> report, std::chrono::milliseconds bound) = 0;
};

class HidSystem {
  public:
    virtual ~HidSystem() = default;
    virtual std::vector<HidDeviceInfo> devices() = 0;
    // Null when the path cannot be opened.
    virtual std::unique_ptr<HidDevice> open(const std::string& path) = 0;
};

// hidapi's hidraw backend.
std::unique_ptr<HidSystem> MakeHidapiSystem();

using HidReport = std::array<std::uint8_t, kHidReportSize>;
// Report id 0, the 18-byte test command, then 0xCC to the end.
HidReport HidTestReport();

enum class HidOutcome { kWritten, kWriteFailed, kNoDevice };

struct HidProbeResult {
    HidOutcome outcome = HidOutcome::kNoDevice;
    QStringList lines;  // for the log, in order
};

HidProbeResult RunHidProbe(HidSystem& system);

}  // namespace lumora::link
