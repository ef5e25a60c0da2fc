#pragma once

// One pair of warp-map tables as the box receives them: X (table 0) and
// Y (table 1), each 125 columns of 78 signed 16-bit entries.

#include <cstdint>
#include <vector>

namespace lumora::sim {

class MapTables {
  public:
    static constexpr int kColumns = 125;
    static constexpr int kRows = 78;
    static constexpr int kTables = 2;

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

    bool operator==(const MapTables&) const = default;

  private:
    static std::size_t index(int table, int column, int row) {
        return static_cast<std::size_t>((table * kColumns + column) * kRows + row);
    }

    std::vector<std::int16_t> entries_;
};

}  // namespace lumora::sim
