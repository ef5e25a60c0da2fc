#pragma once

// One pair of warp-map tables as the box receives them: X (table 0) and
// Y (table 1), each 125 columns of 78 signed 16-bit entries.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumora::sim {

class MapTables {
  public:
    static constexpr int kColumns = 125;
    static constexpr int kRows = 78;
    static constexpr int kTables = 2;
    static constexpr std::size_t kTableBytes = std::size_t{kColumns} * kRows * 2;

    MapTables() : entries_(static_cast<std::size_t>(kTables * kColumns * kRows), 0) {}

    static bool contains(int table, int column, int row) {
        return table >= 0 && table < kTables && column >= 0 && column < kColumns && row >= 0 &&
               row < kRows;
    }
    // Callers check contains() first.
    std::int16_t at(int table, int column, int row) const {
        return entries_[index(table, column, row)];
    }
    void set(int table, int column, int row, std::int16_t value) {
        entries_[index(table, column, row)] = value;
    }

    // One table as the tool's own raw dump holds it: column after column,
    // 16-bit little-endian entries, kTableBytes in all.
    std::vector<std::uint8_t> rawTable(int table) const {
        std::vector<std::uint8_t> bytes;
        bytes.reserve(kTableBytes);
        for (int column = 0; column < kColumns; ++column) {
            for (int row = 0; row < kRows; ++row) {
                const auto bits = static_cast<std::uint16_t>(at(table, column, row));
                bytes.push_back(static_cast<std::uint8_t>(bits & 0xFF));
                bytes.push_back(static_cast<std::uint8_t>(bits >> 8));
            }
        }
        return bytes;
    }

    bool operator==(const MapTables&) const = default;

  private:
    static std::size_t index(int table, int column, int row) {
        return static_cast<std::size_t>((table * kColumns + column) * kRows + row);
    }

    std::vector<std::int16_t> entries_;
};

}  // namespace lumora::sim
