#pragma once

// A zip archive built in memory, so that it can be written whole or not at
// all like any other file.

#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace lumora::cli {

struct ZipEntry {
    std::string name;  // at the archive's root
    std::span<const std::uint8_t> bytes;
};

// The archive's bytes, or the text of what went wrong.
std::variant<std::vector<std::uint8_t>, std::string> ZipArchive(std::span<const ZipEntry> entries);

}  // namespace lumora::cli
