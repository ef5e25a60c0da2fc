#include <gtest/gtest.h>

#include <map>

#include "link/hid_probe.h"

namespace lumora::link {
namespace {

struct FakeHid : HidSystem {
    struct Device : HidDevice {
        explicit Device(FakeHid& owner) : owner(owner) { ++owner.openNow; }
        ~Device() override { --owner.openNow; }
        bool write(std::span<const std::uint8_t> report, std::chrono::milliseconds bound) override {
            owner.written.assign(report.begin(), report.end());
            owner.bound = bound;
            return owner.writeCompletes;
        }
        FakeHid& owner;
    };

    std::vector<HidDeviceInfo> devices() override { return present; }
    std::unique_ptr<HidDevice> open(const std::string& path) override {
        opened.push_back(path);
        if (!openable[path]) {
            return nullptr;
        }
        return std::make_unique<Device>(*this);
    }

    std::vector<HidDeviceInfo> present;
    std::map<std::string, bool> openable;
    bool writeCompletes = true;
    std::vector<std::string> opened;
    std::vector<std::uint8_t> written;
    std::chrono::milliseconds bound{0};
    int openNow = 0;
};

TEST(HidProbe, NoMatchingDeviceLogsOneLineAndSkipsOtherProducts) {
    FakeHid hid;
    hid.present = {{"/dev/hidraw0", 0x0416, 0x5021}, {"/dev/hidraw1", 0x0417, 0x5020}};
    hid.openable = {{"/dev/hidraw0", true}, {"/dev/hidraw1", true}};
    const HidProbeResult result = RunHidProbe(hid);
    EXPECT_EQ(result.outcome, HidOutcome::kNoDevice);
    EXPECT_EQ(result.lines, QStringList{"Can't Open HID Device"});
    EXPECT_TRUE(hid.opened.empty());
}

TEST(HidProbe, WritesTheTestReportToTheFirstDeviceThatOpens) {
    FakeHid hid;
    const std::string longPath = "/dev/" + std::string(300, 'p');
    hid.present = {{"/dev/hidraw0", 0x0416, 0x5020}, {longPath, 0x0416, 0x5020}};
    hid.openable = {{"/dev/hidraw0", false}, {longPath, true}};
    const HidProbeResult result = RunHidProbe(hid);
    EXPECT_EQ(result.outcome, HidOutcome::kWritten);
    EXPECT_EQ(result.lines, (QStringList{"USB HID Device VID Open Success.", ">>> Test command"}));
    EXPECT_EQ(hid.opened, (std::vector<std::string>{"/dev/hidraw0", longPath}));
    EXPECT_EQ(hid.bound, std::chrono::milliseconds(100));
    const std::vector<std::uint8_t> head = {0x00, 0xB4, 0x0E, 0x78, 0x56, 0x34, 0x12,
                                            0x01, 0xEF, 0xCD, 0xAB, 0x48, 0x49, 0x44,
                                            0x43, 0x56, 0x05, 0x00, 0x00};
    ASSERT_EQ(hid.written.size(), 513u);
    EXPECT_TRUE(std::equal(head.begin(), head.end(), hid.written.begin()));
    EXPECT_EQ(std::count(hid.written.begin() + 19, hid.written.end(), 0xCC), 494);
    EXPECT_EQ(hid.openNow, 0);
}

TEST(HidProbe, AWriteThatDoesNotCompleteIsReportedAndTheDeviceReleased) {
    FakeHid hid;
    hid.present = {{"/dev/hidraw3", 0x0416, 0x5020}};
    hid.openable = {{"/dev/hidraw3", true}};
    hid.writeCompletes = false;
    const HidProbeResult result = RunHidProbe(hid);
    EXPECT_EQ(result.outcome, HidOutcome::kWriteFailed);
    EXPECT_EQ(result.lines, (QStringList{"USB HID Device VID Open Success.", ">>> Test command",
                                         "ERROR: Send test command error"}));
    EXPECT_EQ(hid.openNow, 0);
}

}  // namespace
}  // namespace lumora::link
