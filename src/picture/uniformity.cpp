#include "picture/uniformity.h"

#include <algorithm>

#include "picture/uniformity_registers.h"

namespace lumora::picture {

using namespace uniformity_reg;

QString GainText(int position) {
    return QString::asprintf("%f", (position + 1) / 8192.0);
}

Uniformity::Uniformity(link::Link& link, base::ProgramState& state, base::HandlerGuard& guard,
                       const warp::GridModel& model, warp::GridOverlay& overlay)
    : link_(link), state_(state), guard_(guard), model_(model), overlay_(overlay) {
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
    guard_.run([&] { writeGrid(false, page(p).enable); });
}

void Uniformity::UploadUniformityGrid() {
    guard_.run([&] {
        const int c = state_.currentChannel;
        if (c >= base::kChannels) {
            return;  // no tables for "All"
        }
        writeGrid(true, channel(c).enable != 0);
    });
}

void Uniformity::writeGrid(bool storedValues, bool enableAfter) {
    const std::uint8_t ch = state_.currentChannel;
    Channel* tables = ch < base::kChannels ? &channel(ch) : nullptr;
    written_ = 0;
    // Ends the progress whichever way the run ends.
    struct Done {
        Uniformity& self;
        ~Done() { emit self.progress(0, 0); }
    } done{*this};
    const auto counted = [&](int writes) {
        written_ += writes;
        if (written_ % kWritesPerBreath < writes) {
            emit progress(written_, kGridWrites);
            // 7,044 writes are seconds of line time: the window keeps
            // painting meanwhile.
            link_.breathe();
        }
    };
    write(ch, kBankSelect, kBank);
    write(ch, kMode, kWriting);
    counted(2);
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
            counted(11);
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
