#pragma once

// A channel's record of arrow moves, for UNDO. Popping keeps the popped record
// stored until the next push overwrites it, as a rewound stream does.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace lumora::warp {

struct UndoRecord {
    std::int32_t gridSize = 0;
    std::int32_t direction = 0;  // 0 up, 1 down, 2 left, 3 right
    std::int32_t column = 0;
    std::int32_t row = 0;
    float step = 0.0f;

    friend bool operator==(const UndoRecord&, const UndoRecord&) = default;
};

class UndoStack {
  public:
    void push(const UndoRecord& record);
    // nullopt when nothing lies before the position.
    std::optional<UndoRecord> pop();
    void clear();
    std::size_t depth() const { return position_; }
    bool empty() const { return position_ == 0; }

  private:
    std::vector<UndoRecord> records_;
    std::size_t position_ = 0;
};

}  // namespace lumora::warp
