#include "app/binders/channel_selector.h"

namespace lumora::app {

ChannelSelector::ChannelSelector(const Form1Controls& c, base::ProgramState& state,
                                 base::HandlerGuard& guard, QObject* parent)
    : QObject(parent), state_(state), guard_(guard) {
    QWidget* const hoverA[] = {c.GroupBox9,  c.PageControl1, c.GroupBox3, c.WP2x2A,    c.WP5x5A,
                               c.WP9x9A,     c.WP17x17A,     c.BitBtn1,   c.BitBtn2,   c.BitBtn3,
                               c.BitBtn4,    c.BitBtn5,      c.BitBtn6,   c.BitBtn7,   c.BitBtn8,
                               c.TabSheet14, c.TabSheet2,    c.TabSheet5, c.TabSheet9, c.GroupBox15,
                               c.TabSheet11, c.GroupBox17};
    QWidget* const hoverB[] = {c.GroupBox6, c.PageControl2, c.GroupBox14, c.WP2x2B,
                               c.WP5x5B,    c.WP9x9B,       c.WP17x17B,   c.BitBtn9,
                               c.BitBtn10,  c.BitBtn11,     c.BitBtn12,   c.BitBtn13,
                               c.BitBtn14,  c.BitBtn15,     c.BitBtn16,   c.TabSheet13,
                               c.TabSheet4, c.TabSheet6,    c.GroupBox16, c.GroupBox19};
    for (QWidget* widget : hoverA) {
        selectOn(widget, QEvent::MouseMove, 0);
    }
    for (QWidget* widget : hoverB) {
        selectOn(widget, QEvent::MouseMove, 1);
    }
    // The corner groups of both "Warp Shift" pages and the groups of Channel
    // B's "Edge Blend" page.
    for (auto* group : c.TabSheet14->findChildren<QGroupBox*>()) {
        selectOn(group, QEvent::MouseMove, 0);
    }
    for (auto* group : c.TabSheet13->findChildren<QGroupBox*>()) {
        selectOn(group, QEvent::MouseMove, 1);
    }
    for (auto* group : c.TabSheet4->findChildren<QGroupBox*>()) {
        selectOn(group, QEvent::MouseMove, 1);
    }
    // The context-menu request on Channel A's "Warp Shift" page selects A too.
    selectOn(c.TabSheet14, QEvent::ContextMenu, 0);
    selectOn(c.GroupBox18, QEvent::MouseButtonPress, 0);
    selectOn(c.GroupBox20, QEvent::MouseButtonPress, 1);
    connect(c.BitBtnEZ1, &TBitBtnEZ::mouseLeave, this, [this] { select(1); });
    connect(c.RGChannel, &RadioGroup::itemClicked, this, [this](int index) { select(index); });
}

void ChannelSelector::selectOn(QWidget* widget, QEvent::Type event, int channel) {
    if (event == QEvent::MouseMove) {
        widget->setMouseTracking(true);
    }
    widget->installEventFilter(this);
    selectors_.insert({widget, event}, channel);
}

void ChannelSelector::select(int channel) {
    guard_.runWhole([this, channel] { state_.setCurrentChannel(channel); });
}

bool ChannelSelector::eventFilter(QObject* watched, QEvent* event) {
    if (auto it = selectors_.find({watched, event->type()}); it != selectors_.end()) {
        select(*it);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace lumora::app
