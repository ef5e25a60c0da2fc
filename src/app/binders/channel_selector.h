#pragma once

// Moving the pointer over a control of a half selects that half's channel;
// controls without such a handler leave it unchanged. A few controls select
// on a click or a context-menu request instead, and "RGChannel" selects
// Channel A, B or "All" outright.
//
// A selection is operator input like any other and waits its turn behind a
// handler that is running: a click queued there must still run with the
// channel that was current when it was made.

#include <QEvent>
#include <QHash>
#include <QObject>
#include <QPair>

#include "app/form1_controls.h"
#include "base/handler_guard.h"
#include "base/program_state.h"

namespace lumora::app {

class ChannelSelector : public QObject {
    Q_OBJECT
  public:
    ChannelSelector(const Form1Controls& c, base::ProgramState& state, base::HandlerGuard& guard,
                    QObject* parent);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The event of this widget sets the current channel.
    void selectOn(QWidget* widget, QEvent::Type event, int channel);
    void select(int channel);

    base::ProgramState& state_;
    base::HandlerGuard& guard_;
    QHash<QPair<QObject*, int>, int> selectors_;
};

}  // namespace lumora::app
