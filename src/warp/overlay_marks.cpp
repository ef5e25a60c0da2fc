#include "warp/overlay_marks.h"

namespace lumora::warp {
namespace {

struct Span {
    int start;
    int length;
};

using Lattice = std::array<std::int32_t, kLatticeLines>;

int At(const Lattice& lattice, int index) {
    return lattice[static_cast<std::size_t>(index)];
}

// Centred on the lattice line; on the first and last line the span is cut
// to the part inside the picture.
Span MarkSpan(const Lattice& lattice, int index, int borderLength, int middleLength) {
    if (index == 0) {
        return {0, borderLength};
    }
    if (index == kLastLine) {
        return {At(lattice, kLastLine) - borderLength, borderLength};
    }
    return {At(lattice, index) - middleLength / 2, middleLength};
}

Span BoxSpan(const Lattice& lattice, int index) {
    return MarkSpan(lattice, index, 16, 24);
}

Span DotSpan(const Lattice& lattice, int index) {
    return MarkSpan(lattice, index, 8, 8);
}

Span InnerSpan(const Lattice& lattice, int index) {
    const Span box = BoxSpan(lattice, index);
    const bool border = index == 0 || index == kLastLine;
    return {index == 0 ? box.start : box.start + 2, border ? box.length - 2 : box.length - 4};
}

FillRect Rect(Span across, Span down) {
    return {across.start, down.start, across.length, down.length};
}

}  // namespace

FillRect MarkerBox(const GridModel& model, int column, int row) {
    return Rect(BoxSpan(model.latticeX(), column), BoxSpan(model.latticeY(), row));
}

FillRect MarkerDot(const GridModel& model, int column, int row) {
    return Rect(DotSpan(model.latticeX(), column), DotSpan(model.latticeY(), row));
}

FillRect SelectionInner(const GridModel& model, int column, int row) {
    return Rect(InnerSpan(model.latticeX(), column), InnerSpan(model.latticeY(), row));
}

}  // namespace lumora::warp
