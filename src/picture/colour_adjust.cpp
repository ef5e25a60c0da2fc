#include "picture/colour_adjust.h"

#include "picture/set_control.h"

namespace lumora::picture {
namespace {

constexpr std::uint8_t kBankSelect = 0x00;
constexpr std::uint8_t kColourBank = 5;
constexpr std::uint8_t kMainBank = 0;

constexpr std::uint8_t kGainEnable = 0x1F;
constexpr std::uint8_t kGainOn = 0x20;
constexpr std::uint8_t kGainOff = 0x00;

// Each colour's value is split over a low register (bits 0-7) and the one
// after it: 11-bit gains, 10-bit two's-complement offsets.
constexpr std::array<std::uint8_t, ColourAdjust::kColours> kGainLow = {0x32, 0x34, 0x36};
constexpr std::array<std::uint8_t, ColourAdjust::kColours> kOffsetLow = {0x38, 0x3A, 0x3C};
constexpr int kGainHighMask = 0x07;
constexpr int kOffsetHighMask = 0x03;

constexpr std::uint8_t Low(int value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

constexpr std::uint8_t High(int value, int mask) {
    return static_cast<std::uint8_t>((value >> 8) & mask);
}

}  // namespace

ColourAdjust::ColourAdjust(link::Link& link, base::ProgramState& state, base::HandlerGuard& guard)
    : link_(link), state_(state), guard_(guard) {}

void ColourAdjust::setGainEnabled(int channel, bool on) {
    SetControl(page(channel).gainEnabled, on, [&] {
        emit changed(channel);
        InGainEnableCBClick(channel);
    });
}

void ColourAdjust::setGain(int channel, int colour, int value) {
    SetControl(page(channel).gain[static_cast<std::size_t>(colour)], value, [&] {
        emit changed(channel);
        InGainBarChange(channel, colour);
    });
}

void ColourAdjust::setOffset(int channel, int colour, int value) {
    SetControl(page(channel).offset[static_cast<std::size_t>(colour)], value,
               [&] { InOffsetBarChange(channel, colour); });
}

void ColourAdjust::writeBank(std::uint8_t channel,
                             std::initializer_list<std::pair<std::uint8_t, std::uint8_t>> writes) {
    link_.write8(channel, kBankSelect, kColourBank);
    for (const auto& [reg, value] : writes) {
        link_.write8(channel, reg, value);
    }
    link_.write8(channel, kBankSelect, kMainBank);
}

void ColourAdjust::sendGain(int channel, int colour) {
    Page& pg = page(channel);
    const auto c = static_cast<std::size_t>(colour);
    if (!pg.gainEnabled) {
        return;
    }
    state_.setCurrentChannel(channel);
    const int v = pg.gain[c];
    pg.gainText[c] = QString::number(v);
    emit changed(channel);
    const std::uint8_t reg = kGainLow[c];
    writeBank(static_cast<std::uint8_t>(channel),
              {{reg, Low(v)}, {static_cast<std::uint8_t>(reg + 1), High(v, kGainHighMask)}});
}

void ColourAdjust::InGainBarChange(int channel, int colour) {
    guard_.run([&] { sendGain(channel, colour); });
}

void ColourAdjust::InOffsetBarChange(int channel, int colour) {
    Page& pg = page(channel);
    const auto c = static_cast<std::size_t>(colour);
    state_.setCurrentChannel(channel);
    const int v = pg.offset[c];
    pg.offsetText[c] = QString::number(v);
    emit changed(channel);
    guard_.run([&] {
        const std::uint8_t reg = kOffsetLow[c];
        writeBank(static_cast<std::uint8_t>(channel),
                  {{reg, Low(v)}, {static_cast<std::uint8_t>(reg + 1), High(v, kOffsetHighMask)}});
    });
}

void ColourAdjust::InGainEnableCBClick(int channel) {
    state_.setCurrentChannel(channel);
    guard_.run([&] {
        const bool on = page(channel).gainEnabled;
        if (on) {
            for (int colour = kRed; colour <= kBlue; ++colour) {
                sendGain(channel, colour);
            }
        }
        writeBank(static_cast<std::uint8_t>(channel), {{kGainEnable, on ? kGainOn : kGainOff}});
    });
}

}  // namespace lumora::picture
