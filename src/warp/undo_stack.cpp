#include "warp/undo_stack.h"

namespace lumora::warp {

void UndoStack::push(const UndoRecord& record) {
    if (position_ < records_.size()) {
        records_[position_] = record;
    } else {
        records_.push_back(record);
    }
    ++position_;
}

std::optional<UndoRecord> UndoStack::pop() {
    if (position_ == 0) {
        return std::nullopt;
    }
    --position_;
    return records_[position_];
}

void UndoStack::clear() {
    records_.clear();
    position_ = 0;
}

}  // namespace lumora::warp
