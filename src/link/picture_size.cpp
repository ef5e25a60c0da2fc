#include "link/picture_size.h"

#include <array>
#include <cstdint>

namespace lumora::link {

PictureSizeRead ReadPictureSize(RegisterPort& port) {
    constexpr std::array<std::uint8_t, kPictureSizeReads> kRegisters{0x45, 0x46, 0x49, 0x4A};
    std::array<int, kPictureSizeReads> bytes{};
    PictureSizeRead result;
    for (std::size_t i = 0; i < kRegisters.size(); ++i) {
        if (const auto value = port.read(0, kRegisters[i])) {
            bytes[i] = *value;
            ++result.answered;
        }
    }
    if (result.answered == kPictureSizeReads) {
        result.size = PictureSize{bytes[0] + 256 * bytes[1], bytes[2] + 256 * bytes[3]};
    }
    return result;
}

}  // namespace lumora::link
