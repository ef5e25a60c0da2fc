// Any bytes at all as a settings file: the reader must stay in bounds, and
// whatever it took must survive a write and a second read unchanged.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

#include "settings/settings_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lumora::settings;
    auto state = std::make_unique<SettingsImage>();
    const SettingsReadResult result = ReadSettingsImage(std::span(data, size), *state);
    if (result.bytesUsed > kSettingsImageSize || result.complete != (size >= kSettingsImageSize)) {
        std::abort();
    }
    const SettingsBytes written = WriteSettingsImage(*state);
    auto again = std::make_unique<SettingsImage>();
    ReadSettingsImage(written, *again);
    if (WriteSettingsImage(*again) != written) {
        std::abort();
    }
    return 0;
}
