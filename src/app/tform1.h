#pragma once

// The main window Form1: widgets built by BuildForm1 and bound to the session,
// which owns the state and every handler's behaviour.

#include <QEvent>
#include <QHash>
#include <QPair>
#include <QWidget>

#include "core/session.h"

namespace lumora::app {

class TForm1 : public QWidget {
    Q_OBJECT
  public:
    // preferredPort: selected in "COM PORT" when it is in the list.
    explicit TForm1(core::Session& session, const QString& preferredPort = QString(),
                    QWidget* parent = nullptr);

    core::Session& session() { return session_; }

    void FormCreate();
    // Shows the four-corner points of mode 0 ("2x2"), 1 ("3x3") or 2 ("5x3").
    void ShowFourCornerPointSet(int mode);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    template <class T>
    T* control(const char* name) const;

    void fillPortList(const QString& preferredPort);
    void bindConnection();
    void bindChannelSelectors();
    void bindGridControls();
    // The event of this widget sets the current channel.
    void selectChannelOn(QWidget* widget, QEvent::Type event, int channel);
    void render();
    void resetPages();
    void showError(const QString& message);

    core::Session& session_;
    QHash<QPair<QObject*, int>, int> channelSelectors_;
};

}  // namespace lumora::app
