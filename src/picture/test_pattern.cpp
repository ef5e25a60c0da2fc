#include "picture/test_pattern.h"

#include "link/packets.h"
#include "picture/set_control.h"

namespace lumora::picture {

std::uint8_t TestPattern::ColourCode(int item) {
    constexpr std::array<std::uint8_t, kColours> kCodes = {1, 6, 2, 5, 4, 3, 7};
    return item >= 0 && item < kColours ? kCodes[static_cast<std::size_t>(item)] : 0;
}

TestPattern::TestPattern(link::Link& link, base::ProgramState& state, base::HandlerGuard& guard)
    : link_(link), state_(state), guard_(guard) {}

void TestPattern::setColourItem(int p, int item) {
    SetControl(page(p).colourItem, item, [&] {
        emit changed(p);
        RGPtnColorClick(p);
    });
}

void TestPattern::setEnabled(int p, bool on) {
    SetControl(page(p).enabled, on, [&] {
        emit changed(p);
        CBEnablePatternClick(p);
    });
}

void TestPattern::setHorizontal(int p, int size) {
    SetControl(page(p).horizontal, size, [&] { SBarHGridSizeChange(p); });
}

void TestPattern::setVertical(int p, int size) {
    SetControl(page(p).vertical, size, [&] { SBarVGridSizeChange(p); });
}

std::uint8_t TestPattern::channelFor(int p) const {
    return p == 0 ? 0 : state_.currentChannel;
}

void TestPattern::CBEnablePatternClick(int p) {
    guard_.run([&] {
        const Page& pg = page(p);
        link_.send(link::PatternEnablePacket(state_.currentChannel, ColourCode(pg.colourItem),
                                             pg.enabled));
    });
}

void TestPattern::RGPtnColorClick(int p) {
    guard_.run([&] {
        const Page& pg = page(p);
        if (pg.enabled) {
            link_.send(link::PatternEnablePacket(channelFor(p), ColourCode(pg.colourItem), true));
        }
    });
}

void TestPattern::SBarHGridSizeChange(int p) {
    page(p).horizontalText = QString::number(page(p).horizontal);
    emit changed(p);
    sendSizes(p);
}

void TestPattern::SBarVGridSizeChange(int p) {
    page(p).verticalText = QString::number(page(p).vertical);
    emit changed(p);
    sendSizes(p);
}

void TestPattern::sendSizes(int p) {
    guard_.run([&] {
        const Page& pg = page(p);
        // The low bytes of the two scroll positions.
        link_.send(link::PatternGridSizePacket(channelFor(p),
                                               static_cast<std::uint8_t>(pg.horizontal & 0xFF),
                                               static_cast<std::uint8_t>(pg.vertical & 0xFF)));
    });
}

}  // namespace lumora::picture
