#include "picture/uniformity.h"

#include <QElapsedTimer>
#include <algorithm>

#include "base/handler_fault.h"
#include "link/link_error.h"
#include "picture/uniformity_registers.h"

namespace lumora::picture {

using namespace uniformity_reg;

QString GainText(int position) {
    return QString::asprintf("%f", (position + 1) / 8192.0);
}

Uniformity::Uniformity(link::Link& link, base::ProgramState& state, base::HandlerGuard& guard,
                       const warp::GridModel& model, base::LongWork& work,
                       warp::GridOverlay& overlay)
    : link_(link), state_(state), guard_(guard), model_(model), work_(work), overlay_(overlay) {
    // The read-outs as the form has them until the first change.
    page(0).gainText = QStringLiteral("1.0");
    page(1).gainText = QStringLiteral("0");
}

int Uniformity::lastColumn() const {
    // One point every 64 pixels, rounded up, but no further than the tables
    // (and the box's point index) reach: pictures wider than 1984 pixels
    // would otherwise walk the cursor past them.
    return std::min((model_.width() + 63) / 64, kColumns - 1);
}

int Uniformity::lastRow() const {
    return std::min((model_.height() + 63) / 64, kRows - 1);
}

void Uniformity::resetTables() {
    for (Channel& c : channels_) {
        std::fill_n(c.gain.begin(), kPoints, kNeutralGain);
        std::fill_n(c.offset.begin(), kPoints, 0);
    }
}

void Uniformity::resetCursors() {
    for (Channel& c : channels_) {
        c.cursorX = 0;
        c.cursorY = 0;
    }
}

void Uniformity::UniGainValueChange(int p) {
    page(p).gainText = GainText(page(p).gain);
    emit changed(p);
}

void Uniformity::UnOffsetValueChange(int p) {
    page(p).offsetText = QString::number(page(p).offset);
    emit changed(p);
}

void Uniformity::write(std::uint8_t ch, std::uint8_t reg, std::uint8_t value) {
    link_.write8(ch, reg, value);
}

void Uniformity::sendPoint(std::uint8_t ch, int entry, int gain, int offset) {
    write(ch, kPointIndex, static_cast<std::uint8_t>(entry & 0xFF));
    write(ch, kPointIndex, static_cast<std::uint8_t>(entry >> 8));
    for (const std::uint8_t byte : EncodePoint(gain, offset)) {
        write(ch, kPointData, byte);
    }
}

void Uniformity::CBUniformityEnableClick(int p) {
    guard_.run([&] {
        const std::uint8_t ch = state_.currentChannel;
        const bool on = page(p).enable;
        write(ch, kBankSelect, kBank);
        write(ch, kMode, on ? 1 : 0);
        write(ch, kBankSelect, 0x00);
        // "All" has no flag to keep.
        if (ch < base::kChannels) {
            channel(ch).enable = on ? 1 : 0;
        }
    });
}

void Uniformity::UnUpdateClick(int p) {
    guard_.run([&] {
        const int c = state_.currentChannel;
        if (c >= base::kChannels) {
            return;  // no cursor and no tables for "All"
        }
        const std::uint8_t ch = state_.currentChannel;
        const int g = page(p).gain;
        const int o = page(p).offset;
        Channel& uc = channel(c);
        const int entry = Entry(uc.cursorX, uc.cursorY);
        write(ch, kBankSelect, kBank);
        write(ch, kMode, kWriting);
        uc.gain[static_cast<std::size_t>(entry)] = g;
        uc.offset[static_cast<std::size_t>(entry)] = o;
        sendPoint(ch, entry, g, o);
        write(ch, kMode, static_cast<std::uint8_t>(uc.enable));
        write(ch, kBankSelect, 0x00);
    });
}

void Uniformity::ResetUniformityClick(int p) {
    guard_.run([&] { runGrid(false, page(p).enable); });
}

void Uniformity::UploadUniformityGrid() {
    guard_.run([&] {
        const int c = state_.currentChannel;
        if (c >= base::kChannels) {
            return;  // no tables for "All"
        }
        runGrid(true, channel(c).enable != 0);
    });
}

void Uniformity::runGrid(bool storedValues, bool enableAfter) {
    const std::uint8_t ch = state_.currentChannel;
    // Bank-1 writes between the blocks of a transfer would stall it. Inside
    // a settings load the upload is a step of the load's own work.
    waitForTurn();
    const auto id =
        work_.start(base::WorkKind::kUpload, ch, [this](base::WorkEnd) { stopped_ = true; });
    if (!id) {
        return;  // cannot be: nothing ran when the wait ended
    }
    try {
        writeGrid(ch, storedValues, enableAfter);
    } catch (const link::WaitAborted& aborted) {
        work_.finish(*id, aborted.reason() == link::WaitAborted::Reason::kQuitting
                              ? base::WorkEnd::kClosing
                              : base::WorkEnd::kDisconnected);
        throw;
    } catch (const link::LinkError&) {
        work_.finish(*id, base::WorkEnd::kWriteFailed);
        throw;
    } catch (...) {
        work_.finish(*id, base::WorkEnd::kRefused);
        throw;
    }
    work_.finish(*id, base::WorkEnd::kCompleted);  // nothing when the owner ended it
}

void Uniformity::waitForTurn() {
    const auto free = [this] { return work_.canStart(); };
    if (free()) {
        return;
    }
    QElapsedTimer waited;
    waited.start();
    // In slices: work that ends on a timer wakes nobody.
    constexpr std::chrono::milliseconds kSlice{50};
    while (!link_.serveUntil(free, kSlice)) {
        if (waited.elapsed() >= kTurnWait.count()) {
            const QString what = work_.running() ? base::WorkKindText(work_.running()->kind)
                                                 : QStringLiteral("map transfer");
            throw base::HandlerFault(
                "uniformity grid: other work still runs",
                QStringLiteral("The uniformity grid was not sent: the %1 was still running after "
                               "%2 s. Try again once it has finished.")
                    .arg(what)
                    .arg(kTurnWait.count() / 1000));
        }
    }
}

void Uniformity::keepUp(int packets) {
    link::Transport& line = link_.transport();
    const auto report = [&] {
        const std::size_t written = static_cast<std::size_t>(packets) * kPacketBytes;
        const std::size_t queued = std::min(line.outputQueued(), written);
        emit progress(static_cast<int>((written - queued) / kPacketBytes), kGridWrites);
    };
    // Never far ahead of the line: the progress shows what it carried, the
    // window paints while it catches up, and a close leaves little behind.
    while (line.outputQueued() > kBytesAhead) {
        report();
        link_.wait(kCatchUpSlice);
        sinceTurn_.restart();
    }
    if (sinceTurn_.elapsed() >= kTurnInterval.count()) {
        report();
        link_.breathe();
        sinceTurn_.restart();
    }
}

void Uniformity::writeGrid(std::uint8_t ch, bool storedValues, bool enableAfter) {
    Channel* tables = ch < base::kChannels ? &channel(ch) : nullptr;
    // Ends the progress whichever way the run ends.
    struct Done {
        Uniformity& self;
        ~Done() { emit self.progress(0, 0); }
    } done{*this};
    stopped_ = false;
    sinceTurn_.start();
    int packets = 0;
    write(ch, kBankSelect, kBank);
    write(ch, kMode, kWriting);
    packets += 2;
    for (int x = 0; x < kColumns; ++x) {
        for (int y = 0; y < kRows; ++y) {
            const int entry = Entry(x, y);
            const auto e = static_cast<std::size_t>(entry);
            int gain = kNeutralGain;
            int offset = 0;
            if (storedValues) {
                gain = tables->gain[e];
                offset = tables->offset[e];
            }
            sendPoint(ch, entry, gain, offset);
            if (!storedValues && tables != nullptr) {
                tables->gain[e] = kNeutralGain;
                tables->offset[e] = 0;
            }
            packets += 11;
            keepUp(packets);
            if (stopped_) {
                return;
            }
        }
    }
    write(ch, kMode, enableAfter ? 1 : 0);
    write(ch, kBankSelect, 0x00);
}

void Uniformity::moveCursor(int dx, int dy) {
    guard_.run([&] {
        const int c = state_.currentChannel;
        if (c >= base::kChannels) {
            return;  // no cursor for "All"
        }
        const std::uint8_t ch = state_.currentChannel;
        Channel& uc = channel(c);
        DrawCursorMarker(link_, ch, uc.cursorX, uc.cursorY, false);
        const int lastX = lastColumn();
        const int lastY = lastRow();
        // Wrap around at both ends; a cursor left beyond the limit by a
        // smaller picture comes back inside it.
        if (dx < 0) {
            uc.cursorX = uc.cursorX <= 0 ? lastX : std::min(uc.cursorX - 1, lastX);
        } else if (dx > 0) {
            uc.cursorX = uc.cursorX >= lastX ? 0 : uc.cursorX + 1;
        }
        if (dy < 0) {
            uc.cursorY = uc.cursorY <= 0 ? lastY : std::min(uc.cursorY - 1, lastY);
        } else if (dy > 0) {
            uc.cursorY = uc.cursorY >= lastY ? 0 : uc.cursorY + 1;
        }
        DrawCursorMarker(link_, ch, uc.cursorX, uc.cursorY, true);
        // The page whose controls the cursor works with.
        const int p = c == 0 ? 0 : 1;
        if (page(p).autoRepeat) {
            UnUpdateClick(p);
            return;
        }
        const auto e = static_cast<std::size_t>(Entry(uc.cursorX, uc.cursorY));
        page(p).offset = uc.offset[e];
        UnOffsetValueChange(p);
        page(p).gain = uc.gain[e];
        UniGainValueChange(p);
    });
}

void Uniformity::pageShow(int c) {
    state_.setCurrentChannel(c);
    if (!state_.connected) {
        return;
    }
    guard_.run([&] {
        // Through the grid overlay: its drawn flags must know of the clear,
        // and a grid drawing in hand finishes first.
        overlay_.ClearForOtherDrawing(c, [this, c] {
            DrawCursorMarker(link_, static_cast<std::uint8_t>(c), channel(c).cursorX,
                             channel(c).cursorY, true);
        });
    });
}

}  // namespace lumora::picture
