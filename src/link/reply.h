#pragma once

#include <cstdint>

namespace lumora::link {

// One answer of the box: the code of the command it answers and two data bytes.
struct Reply {
    std::uint8_t code = 0;
    std::uint8_t b1 = 0;
    std::uint8_t b2 = 0;

    friend bool operator==(const Reply&, const Reply&) = default;
};

}  // namespace lumora::link
