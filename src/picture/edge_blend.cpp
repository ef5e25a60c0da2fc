#include "picture/edge_blend.h"

#include <QLocale>

#include "link/packets.h"
#include "picture/set_control.h"

namespace lumora::picture {
namespace {

// The blend frame is the same whatever the picture size.
constexpr std::uint16_t kFrameWidth = 1920;
constexpr std::uint16_t kFrameHeight = 1080;

// Window kinds, and which offset an offset packet sets.
constexpr std::uint16_t kTransition = 0;
constexpr std::uint16_t kNonTransition = 2;
constexpr std::uint16_t kWindowOn = 1;

// The box computes its windows in 16 bits; so do we.
constexpr std::uint16_t U16(int value) {
    return static_cast<std::uint16_t>(value);
}

using Window = std::array<std::uint16_t, 6>;

Window LeftTransitionWindow(int left) {
    return {kTransition, 0, 0, U16(left), kFrameHeight, kWindowOn};
}

Window RightTransitionWindow(int right) {
    return {kTransition, U16(kFrameWidth - right), 0, U16(right), kFrameHeight, kWindowOn};
}

// The part between the transitions: from x over `width`.
Window NonTransitionWindow(int x, int width) {
    return {kNonTransition, U16(x), 0, U16(width), kFrameHeight, kWindowOn};
}

constexpr Window kTransitionOff{};

}  // namespace

int EdgeBlend::GammaSCBarScroll(int proposed) {
    if (proposed % kGammaStep == 0) {
        return proposed;
    }
    return kGammaStep * (proposed / kGammaStep + 1);
}

QString EdgeBlend::GammaText(int position) {
    return QString::number(position / 100.0, 'g', QLocale::FloatingPointShortest);
}

EdgeBlend::EdgeBlend(link::Link& link, base::ProgramState& state, base::HandlerGuard& guard,
                     std::chrono::milliseconds pause)
    : link_(link), state_(state), guard_(guard), pause_(pause) {}

void EdgeBlend::setEdgeEnabled(int p, int edge, bool on) {
    SetControl(page(p).edgeEnabled[static_cast<std::size_t>(edge)], on, [&] {
        emit changed(p);
        EdgeCheckBoxClick(edge);
    });
}

void EdgeBlend::setWidth(int p, int edge, int width) {
    SetControl(page(p).width[static_cast<std::size_t>(edge)], width, [&] {
        emit changed(p);
        EBSBarChange(p, edge);
    });
}

void EdgeBlend::setMarker(int p, bool on) {
    SetControl(page(p).marker, on, [&] {
        emit changed(p);
        EBMarkerCbClick(p);
    });
}

void EdgeBlend::setTransition(int p, int value) {
    SetControl(page(p).transition, value, [&] { TransitionSBarChange(p); });
}

void EdgeBlend::setNonTransition(int p, int value) {
    SetControl(page(p).nonTransition, value, [&] { NonTransitionSBarChange(p); });
}

void EdgeBlend::setGamma(int p, int value) {
    SetControl(page(p).gamma, value, [&] { GammaSCBarChange(p); });
}

void EdgeBlend::pause() {
    link_.wait(pause_);
}

void EdgeBlend::sendWindow(std::uint8_t channel, const Window& values) {
    link_.send(link::BlendWindowPacket(channel, values));
}

void EdgeBlend::sendWindowsFor(std::uint8_t channel, int edge) {
    const Page& pg = page(channel);
    const int left = pg.width[kLeft];
    const int right = pg.width[kRight];
    const Window middle = NonTransitionWindow(left, kFrameWidth - left - right);
    if (edge == kLeft) {
        pause();
        sendWindow(channel, LeftTransitionWindow(left));
        pause();
        sendWindow(channel, middle);
    } else if (edge == kRight) {
        pause();
        sendWindow(channel, middle);
        pause();
        sendWindow(channel, RightTransitionWindow(right));
    }
}

void EdgeBlend::sendWindowsWithout(std::uint8_t channel, int edge) {
    const Page& pg = page(channel);
    if (edge == kLeft) {
        const int right = pg.edgeEnabled[kRight] ? pg.width[kRight] : 0;
        pause();
        sendWindow(channel, kTransitionOff);
        pause();
        sendWindow(channel, NonTransitionWindow(0, kFrameWidth - right));
    } else if (edge == kRight) {
        const int left = pg.edgeEnabled[kLeft] ? pg.width[kLeft] : 0;
        pause();
        sendWindow(channel, NonTransitionWindow(left, kFrameWidth - left));
        pause();
        sendWindow(channel, kTransitionOff);
    }
}

void EdgeBlend::EBSBarChange(int p, int edge) {
    const std::uint8_t channel = state_.currentChannel;
    // "All" has no edge controls of its own.
    if (channel >= base::kChannels) {
        return;
    }
    // The moved bar's own position, whichever page it is on; the read-out,
    // the switch and the other side's width are the current channel's.
    const auto e = static_cast<std::size_t>(edge);
    const int position = page(p).width[e];
    Page& pg = page(channel);
    pg.widthText[e] = QString::number(position);
    emit changed(channel);
    if (!pg.edgeEnabled[e]) {
        return;
    }
    guard_.run([&] {
        link_.send(link::BlendWidthPacket(channel, edge, U16(position)));
        sendWindowsFor(channel, edge);
    });
}

void EdgeBlend::EdgeCheckBoxClick(int edge) {
    const std::uint8_t channel = state_.currentChannel;
    if (channel >= base::kChannels) {
        return;
    }
    guard_.run([&] {
        const Page& pg = page(channel);
        const auto e = static_cast<std::size_t>(edge);
        if (pg.edgeEnabled[e]) {
            link_.send(link::BlendWidthPacket(channel, edge, U16(pg.width[e])));
            sendWindowsFor(channel, edge);
        } else {
            link_.send(link::BlendWidthPacket(channel, edge, 0));
            sendWindowsWithout(channel, edge);
        }
    });
}

void EdgeBlend::EBMarkerCbClick(int p) {
    guard_.run([&] { link_.send(link::BlendMarkerPacket(state_.currentChannel, page(p).marker)); });
}

void EdgeBlend::TransitionSBarChange(int p) {
    Page& pg = page(p);
    pg.transitionText = QString::number(pg.transition);
    emit changed(p);
    guard_.run([&] {
        link_.send(link::BlendOffsetPacket(state_.currentChannel, kTransition, U16(pg.transition)));
    });
}

void EdgeBlend::NonTransitionSBarChange(int p) {
    Page& pg = page(p);
    pg.nonTransitionText = QString::number(pg.nonTransition);
    emit changed(p);
    guard_.run([&] {
        link_.send(
            link::BlendOffsetPacket(state_.currentChannel, kNonTransition, U16(pg.nonTransition)));
    });
}

void EdgeBlend::GammaSCBarChange(int p) {
    Page& pg = page(p);
    pg.gammaText = GammaText(pg.gamma);
    emit changed(p);
    guard_.run([&] { link_.send(link::BlendGammaPacket(state_.currentChannel, U16(pg.gamma))); });
}

}  // namespace lumora::picture
