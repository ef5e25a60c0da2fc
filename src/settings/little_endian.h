#pragma once

// The settings file's scalars as little-endian bytes, whatever the host's byte
// order; floats travel as their IEEE bit patterns.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace lumora::settings {

template <typename T>
concept FileScalar = (std::is_integral_v<T> || std::is_floating_point_v<T>)&&(sizeof(T) == 2 ||
                                                                              sizeof(T) == 4);

template <FileScalar T>
using ScalarBits = std::conditional_t<sizeof(T) == 2, std::uint16_t, std::uint32_t>;

template <FileScalar T>
constexpr std::array<std::uint8_t, sizeof(T)> ToLittleEndian(T value) {
    const auto bits = std::bit_cast<ScalarBits<T>>(value);
    std::array<std::uint8_t, sizeof(T)> bytes{};
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
    return bytes;
}

template <FileScalar T>
constexpr T FromLittleEndian(const std::array<std::uint8_t, sizeof(T)>& bytes) {
    ScalarBits<T> bits = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        bits = static_cast<ScalarBits<T>>(bits | (ScalarBits<T>{bytes[i]} << (8 * i)));
    }
    return std::bit_cast<T>(bits);
}

}  // namespace lumora::settings
