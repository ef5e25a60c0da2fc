#pragma once

// The corner-shift counters of both "Warp Shift" pages.

#include <QObject>
#include <array>
#include <cstdint>

namespace lumora::warp {

class CornerShift : public QObject {
    Q_OBJECT
  public:
    static constexpr int kCounters = 16;
    // In the order TL X A, TL X B, TL Y A, TL Y B, BL …, TR …, BR …; each
    // value label shows its counter in decimal.
    using Counters = std::array<std::int16_t, kCounters>;

    const Counters& counters() const { return counters_; }
    // The connect reply sets all sixteen to 0.
    void onBoxAnswered();

  signals:
    void changed();

  private:
    Counters counters_{};
};

}  // namespace lumora::warp
