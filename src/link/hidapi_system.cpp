#include <hidapi.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "link/hid_probe.h"

namespace lumora::link {
namespace {

// The hidraw backend's write blocks until the kernel takes the report, with
// no bound of its own. The write runs on a thread of its own; a write that
// outlives the bound keeps the device until it returns, then closes it, so
// the handle is released on that path too.
struct Pending {
    explicit Pending(hid_device* d) : device(d) {}
    hid_device* device;
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool abandoned = false;
    int written = -1;
};

class HidapiDevice : public HidDevice {
  public:
    explicit HidapiDevice(hid_device* device) : device_(device) {}
    ~HidapiDevice() override {
        if (device_ != nullptr) {
            hid_close(device_);
        }
    }
    HidapiDevice(const HidapiDevice&) = delete;
    HidapiDevice& operator=(const HidapiDevice&) = delete;

    bool write(std::span<const std::uint8_t> report, std::chrono::milliseconds bound) override {
        if (device_ == nullptr) {
            return false;
        }
        auto pending = std::make_shared<Pending>(device_);
        std::vector<std::uint8_t> copy(report.begin(), report.end());
        std::thread([pending, copy = std::move(copy)] {
            const int written = hid_write(pending->device, copy.data(), copy.size());
            std::unique_lock lock(pending->mutex);
            pending->written = written;
            pending->finished = true;
            if (pending->abandoned) {
                hid_close(pending->device);
            }
            pending->done.notify_all();
        }).detach();
        std::unique_lock lock(pending->mutex);
        if (!pending->done.wait_for(lock, bound, [&] { return pending->finished; })) {
            pending->abandoned = true;
            device_ = nullptr;  // the writer closes it when the write returns
            return false;
        }
        return pending->written == static_cast<int>(report.size());
    }

  private:
    hid_device* device_;
};

class HidapiSystem : public HidSystem {
  public:
    std::vector<HidDeviceInfo> devices() override {
        std::vector<HidDeviceInfo> found;
        hid_device_info* list = hid_enumerate(0, 0);
        for (hid_device_info* d = list; d != nullptr; d = d->next) {
            found.push_back({d->path != nullptr ? d->path : "", d->vendor_id, d->product_id});
        }
        hid_free_enumeration(list);
        return found;
    }

    std::unique_ptr<HidDevice> open(const std::string& path) override {
        hid_device* device = hid_open_path(path.c_str());
        if (device == nullptr) {
            return nullptr;
        }
        return std::make_unique<HidapiDevice>(device);
    }
};

}  // namespace

std::unique_ptr<HidSystem> MakeHidapiSystem() {
    return std::make_unique<HidapiSystem>();
}

}  // namespace lumora::link
