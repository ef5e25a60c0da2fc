#pragma once

// The service controls outside the window's visible area: raw packets, the
// typed-packet entry box, a register peek, the HID probe and shortcuts into
// other feature areas. The entry box is held here as a model; the window
// binds its widget to it.

#include <QObject>
#include <QString>
#include <memory>

#include "base/handler_guard.h"
#include "base/operator_messages.h"
#include "base/program_state.h"
#include "link/hid_probe.h"
#include "link/link.h"
#include "picture/edge_blend.h"
#include "picture/uniformity.h"
#include "warp/grid_editing.h"
#include "warp/map_transfer.h"

namespace lumora::core {

class Diagnostics : public QObject {
    Q_OBJECT
  public:
    struct Parts {
        link::Link& link;
        base::ProgramState& state;
        base::HandlerGuard& guard;
        base::OperatorMessages& messages;
        warp::MapTransfer& mapTransfer;
        warp::GridEditing& gridEditing;
        picture::Uniformity& uniformity;
        picture::EdgeBlend& edgeBlend;
    };

    explicit Diagnostics(Parts parts);

    // The HID layer the probe uses (hidapi unless replaced).
    void setHidSystem(std::unique_ptr<link::HidSystem> hid) { hid_ = std::move(hid); }

    const QString& inputText() const { return inputText_; }
    void setInputText(const QString& text) { inputText_ = text; }

    void Button1Click();  // the HID probe
    void Button3Click();  // 06 F0 F0 F0 F0 C6
    void Button4Click();  // 06 F1 F0 F0 F0 C7
    void Button5Click();  // the typed register packet
    void Button6Click();  // the typed free packet
    void Button8Click() {}
    // A live transfer of the tables as they stand, to the channel of the
    // last transfer; nothing while other long work runs.
    void Button9Click();
    void Button13Click();  // the uniformity upload of the current channel
    void Button14Click();  // register 82 of channel 0 into the log
    void Button16Click();  // as "17x17"
    void BitBtn29Click();  // Channel A's "Left" edge switched on

  private:
    // The typed bytes, or a refusal for the operator.
    link::Bytes typedBytes() const;

    Parts p_;
    std::unique_ptr<link::HidSystem> hid_;
    QString inputText_;
};

}  // namespace lumora::core
