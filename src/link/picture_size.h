#pragma once

// The box's picture size: four register reads of channel A, width low and
// high byte (0x45, 0x46), then height low and high byte (0x49, 0x4A).

#include <optional>

#include "link/register_port.h"

namespace lumora::link {

struct PictureSize {
    int width = 0;
    int height = 0;

    friend bool operator==(const PictureSize&, const PictureSize&) = default;
};

struct PictureSizeRead {
    // Set only when all four reads were answered: a size built from reads
    // that got no answer would be a made-up size.
    std::optional<PictureSize> size;
    int answered = 0;  // of the four reads
};

inline constexpr int kPictureSizeReads = 4;

// Always sends all four reads.
PictureSizeRead ReadPictureSize(RegisterPort& port);

// What the operator is told when some of the reads got no answer.
inline constexpr const char* kPictureSizeUnreadText =
    "The box did not report its picture size: a register read got no answer. Disconnect and "
    "connect again; if it happens again, check the cable and the box.";

}  // namespace lumora::link
