#pragma once

// Both "Uniformity" pages: a grid of 32 x 20 points, 64 pixels apart, each
// with a gain and an offset that the box applies; a cursor walked over them
// and drawn into the overlay plane; "Update", "Auto Repeat", "RESET",
// "Enable", and the upload of the whole grid from the tables kept here.
//
// The tables, enable flags and cursors are per channel; the sliders and
// boxes belong to a page. A handler addresses the current channel (packets,
// cursor, tables) and reads the controls of its own page.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <array>
#include <chrono>
#include <cstdint>

#include "base/handler_guard.h"
#include "base/long_work.h"
#include "base/program_state.h"
#include "link/link.h"
#include "warp/grid_model.h"
#include "warp/overlay.h"

namespace lumora::picture {

class Uniformity : public QObject {
    Q_OBJECT
  public:
    static constexpr int kColumns = 32;
    static constexpr int kRows = 20;
    static constexpr int kPoints = kColumns * kRows;  // 640
    static constexpr int kEntries = 680;              // 640 to 679 unused
    static constexpr int kNeutralGain = 8191;
    // Writes of a reset or an upload: bank, mode, 11 per point, mode, bank.
    static constexpr int kGridWrites = 2 + kPoints * 11 + 2;  // 7,044
    static constexpr int kPacketBytes = 6;                    // one 8-bit register write
    // During a reset or an upload: the event loop runs at least this often,
    // and the writes keep no more than this ahead of what the line carried.
    static constexpr std::chrono::milliseconds kTurnInterval{40};
    static constexpr std::size_t kBytesAhead = 384;  // about 33 ms of line
    static constexpr std::chrono::milliseconds kCatchUpSlice{10};
    // How long a reset or an upload waits for other long work to end.
    static constexpr std::chrono::milliseconds kTurnWait{15000};

    using Table = std::array<std::int32_t, kEntries>;

    struct Channel {
        Table gain{};
        Table offset{};
        std::int32_t enable = 0;  // the state last sent with "Enable"
        int cursorX = 0;
        int cursorY = 0;
    };

    // One page's controls (page 0 = Channel A's, 1 = Channel B's).
    struct Page {
        int gain = kNeutralGain;  // 0..16383
        int offset = 0;           // -512..511
        bool enable = false;
        bool autoRepeat = false;
        QString gainText;
        QString offsetText = QStringLiteral("0");
    };

    Uniformity(link::Link& link, base::ProgramState& state, base::HandlerGuard& guard,
               const warp::GridModel& model, base::LongWork& work, warp::GridOverlay& overlay);

    Channel& channel(int c) { return channels_[static_cast<std::size_t>(c)]; }
    const Channel& channel(int c) const { return channels_[static_cast<std::size_t>(c)]; }
    Page& page(int p) { return pages_[static_cast<std::size_t>(p)]; }
    const Page& page(int p) const { return pages_[static_cast<std::size_t>(p)]; }
    static int Entry(int x, int y) { return y * kColumns + x; }
    // The cursor's last column and row for the picture size, within the tables.
    int lastColumn() const;
    int lastRow() const;

    // Sliders: the read-outs follow; nothing is sent.
    void UniGainValueChange(int p);
    void UnOffsetValueChange(int p);
    // "Enable" of page p: the mode register, and the current channel's flag.
    void CBUniformityEnableClick(int p);
    // "Update": page p's sliders into the point under the current channel's cursor.
    void UnUpdateClick(int p);
    // "RESET": all 640 points of the current channel to neutral.
    void ResetUniformityClick(int p);
    // The cursor arrows: up, down, left, right, with wrap-around.
    void BitBtn21Click() { moveCursor(0, -1); }
    void BitBtn23Click() { moveCursor(0, 1); }
    void BitBtn22Click() { moveCursor(-1, 0); }
    void BitBtn24Click() { moveCursor(1, 0); }
    // Showing the page of Channel A (9) or B (10).
    void TabSheet9Show() { pageShow(0); }
    void TabSheet10Show() { pageShow(1); }
    // All 640 points of the current channel from the tables.
    void UploadUniformityGrid();

    // The initialisation after connect: neutral tables, then cursors at (0, 0).
    void resetTables();
    void resetCursors();

  signals:
    void changed(int page);
    // Writes the line has carried of `total` during a reset or an upload;
    // total 0 at its end.
    void progress(int sent, int total);

  private:
    // A reset (stored values false) or an upload (true) of the whole grid, as
    // long work once no other runs. With "All" as the current channel a
    // reset is sent but stored nowhere.
    void runGrid(bool storedValues, bool enableAfter);
    void waitForTurn();
    // Stops early when the owner ends the run (Disconnect, a dead line, closing).
    void writeGrid(std::uint8_t ch, bool storedValues, bool enableAfter);
    // Lets the event loop run, and waits while the line is behind.
    void keepUp(int packets);
    void moveCursor(int dx, int dy);
    void pageShow(int c);
    void sendPoint(std::uint8_t ch, int entry, int gain, int offset);
    void write(std::uint8_t ch, std::uint8_t reg, std::uint8_t value);

    link::Link& link_;
    base::ProgramState& state_;
    base::HandlerGuard& guard_;
    const warp::GridModel& model_;
    base::LongWork& work_;
    warp::GridOverlay& overlay_;
    std::array<Channel, base::kChannels> channels_{};
    std::array<Page, base::kChannels> pages_{};
    bool stopped_ = false;  // the owner ended the grid run in hand
    QElapsedTimer sinceTurn_;
};

// The gain read-out: (position + 1) / 8192 with six decimals.
QString GainText(int position);

}  // namespace lumora::picture
