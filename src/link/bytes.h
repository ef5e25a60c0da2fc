#pragma once

#include <cstdint>
#include <vector>

namespace lumora::link {

using Bytes = std::vector<std::uint8_t>;

}  // namespace lumora::link
