#pragma once

// A minimal box for link and session tests: answers the connect request,
// warp resets and register reads from a table, and can fall silent.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <map>

#include "link/pipe_transport.h"

namespace lumora::testing {

class ScriptedPeer {
  public:
    explicit ScriptedPeer(link::PipeTransport& pipe) : pipe_(pipe) {
        pipe_.setPeer([this](const link::Bytes& packet) { onPacket(packet); });
        setPictureSize(1920, 1080);
    }

    void setPictureSize(int width, int height) {
        registers_[0x45] = static_cast<std::uint8_t>(width & 0xFF);
        registers_[0x46] = static_cast<std::uint8_t>(width >> 8);
        registers_[0x49] = static_cast<std::uint8_t>(height & 0xFF);
        registers_[0x4A] = static_cast<std::uint8_t>(height >> 8);
    }
    void setRegister(std::uint8_t reg, std::uint8_t value) { registers_[reg] = value; }
    void setSilent(bool silent) { silent_ = silent; }
    void setAnswerConnect(bool answer) { answerConnect_ = answer; }
    int readsSeen() const { return reads_; }

  private:
    void onPacket(const link::Bytes& packet) {
        if (silent_ || packet.size() < 4) {
            return;
        }
        switch (packet[1]) {
            case 0x30:
                if (answerConnect_)
                    pipe_.deliverFromPeer({0x30, 0x12, 0x34});
                break;
            case 0x31:
                pipe_.deliverFromPeer({0x31, 0x00, 0x00});
                break;
            case 0x21:
                ++reads_;
                pipe_.deliverFromPeer({0x21, registers_[packet[3]], 0x00});
                break;
            default:
                break;
        }
    }

    link::PipeTransport& pipe_;
    std::map<std::uint8_t, std::uint8_t> registers_;
    bool silent_ = false;
    bool answerConnect_ = true;
    int reads_ = 0;
};

// Serves the event loop until pred() holds or boundMs passes.
template <class Pred>
bool ServeUntil(Pred pred, int boundMs = 3000) {
    QElapsedTimer clock;
    clock.start();
    while (!pred() && clock.elapsed() < boundMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return pred();
}

inline void ServeFor(int ms) {
    ServeUntil([] { return false; }, ms);
}

}  // namespace lumora::testing
